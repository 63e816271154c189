// The start-up cleanup of the Windows folder's TEMP, on real files in a host
// folder that stands for drive C:.
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "unit/sim_fixture.h"

namespace quorvel::testing {
namespace {

namespace fs = std::filesystem;

class CleanupTest : public SimTest {
protected:
    fs::path Temp() const { return desk.DriveC() / "WINDOWS" / "TEMP"; }
    fs::path Touch(const fs::path& path) {
        fs::create_directories(path.parent_path());
        std::ofstream(path) << "x";
        return path;
    }
    // A first start, its cleanup run to its end from the message loop.
    App* StartAndClean() {
        App* app = Start();
        desk.Run();
        return app;
    }
    // TEMP holding `count` "*.tmp" files, each deleted in `deleteUs`.
    void FillTemp(int count, std::uint64_t deleteUs) {
        for (int i = 0; i < count; ++i) {
            std::ofstream(Temp() / ("f" + std::to_string(i) + ".tmp")) << "x";
        }
        desk.files.deleteUs = deleteUs;
        desk.files.listEntryUs = 20;
    }
    std::ptrdiff_t FilesLeft() const {
        return std::distance(fs::directory_iterator(Temp()), fs::directory_iterator());
    }
    std::set<std::string> Left(const fs::path& folder) const {
        std::set<std::string> names;
        for (const auto& e : fs::recursive_directory_iterator(folder)) {
            names.insert(fs::relative(e.path(), folder).generic_string());
        }
        return names;
    }
};

TEST_F(CleanupTest, OnlyMatchingFilesOfTheFolderItselfGo) {
    for (const char* name :
         {"a.tmp", "B.TMP", "c.tmp.bak", "d.tmpl", "e.tmp1", "f.txt", "sub/h.tmp", "with space.tmp",
          "caf\xC3\xA9.tmp", "\xE2\x82\xAC.tmp"}) {
        Touch(Temp() / name);
    }
    fs::create_directory(Temp() / "g.tmp");
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_EQ(Left(Temp()), (std::set<std::string>{"c.tmp.bak", "d.tmpl", "e.tmp1", "f.txt",
                                                   "g.tmp", "sub", "sub/h.tmp"}));
}

TEST_F(CleanupTest, AFileThatCannotBeDeletedStaysAndTheOthersStillGo) {
    fs::path readOnly = Touch(Temp() / "1-readonly.tmp");
    chmod(readOnly.c_str(), 0444);
    fs::path inUse = Touch(Temp() / "2-in-use.tmp");
    desk.files.locked.insert(sim::Lower(inUse.string()));
    Touch(Temp() / "0-first.tmp");
    Touch(Temp() / "3-last.tmp");
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_EQ(Left(Temp()), (std::set<std::string>{"1-readonly.tmp", "2-in-use.tmp"}));
}

TEST_F(CleanupTest, HiddenAndSystemFilesAreNotListed) {
    fs::path hidden = Touch(Temp() / "hidden.tmp");
    fs::path system = Touch(Temp() / "system.tmp");
    desk.files.hidden.insert(sim::Lower(hidden.string()));
    desk.files.system.insert(sim::Lower(system.string()));
    Touch(Temp() / "plain.tmp");
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_EQ(Left(Temp()), (std::set<std::string>{"hidden.tmp", "system.tmp"}));
}

// The simulated file system resolves a link when it opens it, as Wine does:
// the file it would delete is the target, outside the folder, so the link is
// left alone and its target never touched.
TEST_F(CleanupTest, ALinkToAFileOutsideIsSkippedAndItsTargetIsNeverTouched) {
    fs::path target = Touch(desk.DriveC() / "precious.dat");
    fs::create_symlink(target, Temp() / "link.tmp");
    fs::create_directories(desk.DriveC() / "folder");
    Touch(desk.DriveC() / "folder" / "inside.tmp");
    fs::create_directory_symlink(desk.DriveC() / "folder", Temp() / "folderlink.tmp");
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_TRUE(fs::exists(target));
    EXPECT_TRUE(fs::is_symlink(Temp() / "link.tmp"));
    EXPECT_TRUE(fs::exists(desk.DriveC() / "folder" / "inside.tmp"));
    EXPECT_TRUE(fs::is_symlink(Temp() / "folderlink.tmp"));
}

// ListCount is a 16-bit number: one start deletes the first 32,767 names of a
// fuller folder, the next start the rest.
TEST_F(CleanupTest, AFolderOfMoreThan32767FilesIsCleanedOver2Starts) {
    for (int i = 0; i < 40000; ++i) {
        std::ofstream(Temp() / ("f" + std::to_string(i) + ".tmp")) << "x";
    }
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_EQ(FilesLeft(), 40000 - 32767);
    desk.ShutDown();
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_EQ(FilesLeft(), 0);
}

TEST_F(CleanupTest, NoWindowsFolderOrOneTooLongCleansNothingAndStartUpGoesOn) {
    Touch(desk.DriveC() / "TEMP" / "root.tmp");  // "\TEMP" of the current drive
    Touch(Temp() / "a.tmp");
    for (std::string folder : {std::string(), "C:\\" + std::string(300, 'W')}) {
        desk.files.windowsDirectory = folder;
        App* app = StartAndClean();
        ASSERT_NE(app, nullptr);
        EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
        EXPECT_TRUE(fs::exists(desk.DriveC() / "TEMP" / "root.tmp"));
        EXPECT_TRUE(fs::exists(Temp() / "a.tmp"));
        desk.ShutDown();
    }
}

TEST_F(CleanupTest, AMissingTempFolderEndsTheCleanupSilently) {
    fs::remove_all(Temp());
    App* app = StartAndClean();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(app->IconMode(), TaskbarOnly);  // the start-up went on
}

TEST_F(CleanupTest, AWindowsFolderAtTheRootOfADriveGivesADoubledSeparatorThatStillWorks) {
    desk.files.windowsDirectory = "C:\\";
    Touch(desk.DriveC() / "TEMP" / "root.tmp");
    ASSERT_NE(StartAndClean(), nullptr);
    EXPECT_FALSE(fs::exists(desk.DriveC() / "TEMP" / "root.tmp"));
    EXPECT_EQ(desk.seen.CountCalls("GetWindowsDirectoryA(254)"), 1u);
}

// The button and the icon come first: nothing is listed before the start-up
// is over; the cleanup then runs from the message loop.
TEST_F(CleanupTest, AFirstStartShowsItsButtonBeforeAnyFileIsListed) {
    Touch(Temp() / "a.tmp");
    App* app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(desk.seen.CountCalls("FindFirstFileA"), 0u);
    EXPECT_TRUE(fs::exists(Temp() / "a.tmp"));
    desk.Run();
    EXPECT_EQ(desk.seen.CountCalls("FindFirstFileA"), 1u);
    EXPECT_FALSE(fs::exists(Temp() / "a.tmp"));
}

// A TEMP nothing cleaned for long: the cleanup takes seconds, in slices, and
// a click on the button coming meanwhile is answered between two of them,
// during the listing (no file gone yet) as during the deletion, the files not
// reached yet still there; they all go by the cleanup's end.
TEST_F(CleanupTest, AClickDuringTheCleanupIsServedBeforeItEnds) {
    const struct {
        const char* what;
        std::uint64_t listEntryUs, deleteUs;
        std::ptrdiff_t leftOnceServedAtLeast;
    } cases[] = {
        {"during the listing", 1000, 0, 3000},
        {"during the deletion", 20, 1000, 1001},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        FillTemp(3000, c.deleteUs);
        desk.files.listEntryUs = c.listEntryUs;
        if (desk.FindByTitle("Untitled - Notepad") == 0) desk.CreateAppWindow("Untitled - Notepad");
        App* app = Start();
        ASSERT_NE(app, nullptr);
        const Hwnd button = app->TaskbarForm().hWnd();
        const int revealsBefore = desk.seen.minimiseAlls;
        std::ptrdiff_t leftAtClick = -1, leftOnceServed = -1;
        int revealed = -1;
        std::uint64_t lookedAtUs = 0;
        desk.At(200, [&] {
            leftAtClick = FilesLeft();
            desk.ClickTaskbarButton(button);
        });
        const std::uint64_t startedUs = desk.NowUs();
        desk.At(700, [&] {
            lookedAtUs = desk.NowUs() - startedUs;
            revealed = desk.seen.minimiseAlls - revealsBefore;
            leftOnceServed = FilesLeft();
        });
        desk.Run(800);
        EXPECT_EQ(desk.seen.CountCalls("FindFirstFileA"), 1u);  // the cleanup was under way
        // The loop took its due work between two slices of the cleanup,
        // never a slice's length late.
        EXPECT_LT(lookedAtUs, 700'000 + 2 * kCleanupSliceUs);
        EXPECT_EQ(revealed, 1);
        EXPECT_GE(leftOnceServed, c.leftOnceServedAtLeast);
        EXPECT_LE(leftOnceServed, leftAtClick);
        desk.Run(5000);
        EXPECT_EQ(FilesLeft(), 0);
        desk.ShutDown();
        desk.Run();
        desk.seen.calls.clear();
    }
}

// A shut-down during the cleanup is answered at once: the program ends
// between two files, and the next start deletes what it left.
TEST_F(CleanupTest, AShutDownDuringTheCleanupIsAnsweredBeforeItEndsAndTheNextStartDeletesTheRest) {
    FillTemp(3000, 1000);
    ASSERT_NE(Start(), nullptr);
    const int pid = lastPid;
    std::ptrdiff_t leftAtShutDown = -1;
    desk.At(500, [&] {
        leftAtShutDown = FilesLeft();
        desk.ShutDown();
    });
    desk.Run(600);
    EXPECT_FALSE(Alive(pid));
    EXPECT_GT(leftAtShutDown, 1000);
    EXPECT_EQ(FilesLeft(), leftAtShutDown);
    ASSERT_NE(Start(), nullptr);
    desk.Run(5000);
    EXPECT_EQ(FilesLeft(), 0);
}

// A second start (a hot key) during the first start's cleanup: its keys go
// before its own cleanup lists anything, whatever the first has left.
TEST_F(CleanupTest, ASecondStartDuringTheCleanupRevealsBeforeItsOwnCleanup) {
    FillTemp(3000, 1000);
    desk.CreateAppWindow("Untitled - Notepad");
    ASSERT_NE(Start(), nullptr);
    std::ptrdiff_t leftAtLaunch = -1, leftAtReveal = -1;
    desk.At(200, [&] {
        leftAtLaunch = FilesLeft();
        desk.AfterMinimiseAll([&] { leftAtReveal = FilesLeft(); });
        EXPECT_EQ(Start(), nullptr);
    });
    desk.Run(5000);
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_GT(leftAtLaunch, 1000);  // the first start's cleanup under way
    EXPECT_GT(leftAtReveal, leftAtLaunch / 2);
    EXPECT_EQ(FilesLeft(), 0);
}

TEST_F(CleanupTest, ASecondStartCleansOnceItsRequestIsAnsweredAndEnds) {
    ASSERT_NE(StartAndClean(), nullptr);
    Touch(Temp() / "later.tmp");
    EXPECT_EQ(Start(), nullptr);
    EXPECT_FALSE(fs::exists(Temp() / "later.tmp"));
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

}  // namespace
}  // namespace quorvel::testing
