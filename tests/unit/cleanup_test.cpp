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
    ASSERT_NE(Start(), nullptr);
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
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(Left(Temp()), (std::set<std::string>{"1-readonly.tmp", "2-in-use.tmp"}));
}

TEST_F(CleanupTest, HiddenAndSystemFilesAreNotListed) {
    fs::path hidden = Touch(Temp() / "hidden.tmp");
    fs::path system = Touch(Temp() / "system.tmp");
    desk.files.hidden.insert(sim::Lower(hidden.string()));
    desk.files.system.insert(sim::Lower(system.string()));
    Touch(Temp() / "plain.tmp");
    ASSERT_NE(Start(), nullptr);
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
    ASSERT_NE(Start(), nullptr);
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
    auto left = [&] {
        return std::distance(fs::directory_iterator(Temp()), fs::directory_iterator());
    };
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(left(), 40000 - 32767);
    desk.ShutDown();
    ASSERT_NE(Start(), nullptr);
    EXPECT_EQ(left(), 0);
}

TEST_F(CleanupTest, NoWindowsFolderOrOneTooLongCleansNothingAndStartUpGoesOn) {
    Touch(desk.DriveC() / "TEMP" / "root.tmp");  // "\TEMP" of the current drive
    Touch(Temp() / "a.tmp");
    for (std::string folder : {std::string(), "C:\\" + std::string(300, 'W')}) {
        desk.files.windowsDirectory = folder;
        App* app = Start();
        ASSERT_NE(app, nullptr);
        EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
        EXPECT_TRUE(fs::exists(desk.DriveC() / "TEMP" / "root.tmp"));
        EXPECT_TRUE(fs::exists(Temp() / "a.tmp"));
        desk.ShutDown();
    }
}

TEST_F(CleanupTest, AMissingTempFolderEndsTheCleanupSilently) {
    fs::remove_all(Temp());
    App* app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_TRUE(desk.HasTaskbarButton(app->TaskbarForm().hWnd()));
    EXPECT_EQ(app->IconMode(), TaskbarOnly);  // the start-up went on
}

TEST_F(CleanupTest, AWindowsFolderAtTheRootOfADriveGivesADoubledSeparatorThatStillWorks) {
    desk.files.windowsDirectory = "C:\\";
    Touch(desk.DriveC() / "TEMP" / "root.tmp");
    ASSERT_NE(Start(), nullptr);
    EXPECT_FALSE(fs::exists(desk.DriveC() / "TEMP" / "root.tmp"));
    EXPECT_EQ(desk.seen.CountCalls("GetWindowsDirectoryA(254)"), 1u);
}

TEST_F(CleanupTest, ASecondStartCleansBeforeItRevealsAndEnds) {
    ASSERT_NE(Start(), nullptr);
    Touch(Temp() / "later.tmp");
    EXPECT_EQ(Start(), nullptr);
    EXPECT_FALSE(fs::exists(Temp() / "later.tmp"));
    desk.Run();
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

}  // namespace
}  // namespace quorvel::testing
