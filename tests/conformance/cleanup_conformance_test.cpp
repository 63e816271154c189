// The start-up cleanup over a hostile TEMP folder, built twice: against the
// simulated file system (host) and the real one (Wine). For every case the
// expected names go, the others stay, and not one byte outside TEMP changes.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "conformance/cleanup_target.h"
#include "housekeeping/clean_temp_files.h"

namespace quorvel::testing {
namespace {

constexpr unsigned kReadOnly = 0x1, kHidden = 0x2, kSystem = 0x4;

class CleanupConformance : public ::testing::Test {
protected:
    void SetUp() override {
        fs.Clear();
        fs.MakeFolder("WINDOWS\\TEMP");
        fs.Write("outside\\precious.dat", "precious");
        fs.Write("outside\\hard.dat", "hard-linked");
        fs.Write("outside\\folder\\inner.tmp", "inner");
        fs.Write("outside\\victim.tmp", "victim");
    }
    void TearDown() override {
        fs.SetBeforeDeletion({});
        fs.Clear();
    }
    std::string Windows() { return fs.Root() + "\\WINDOWS"; }
    std::string Abs(const std::string& name) { return fs.Root() + "\\" + name; }
    static std::string T(const std::string& name) { return "WINDOWS\\TEMP\\" + name; }
    void Clean() { CleanTempFolder(fs.list(), fs.runtime(), Windows()); }
    void ExpectGone(const std::vector<std::string>& names) {
        for (const auto& n : names) EXPECT_FALSE(fs.Exists(T(n))) << n << " should be gone";
    }
    void ExpectKept(const std::vector<std::string>& names) {
        for (const auto& n : names) EXPECT_TRUE(fs.Exists(T(n))) << n << " should stay";
    }

    CleanupTarget& fs = Cleanup();
};

TEST_F(CleanupConformance, AHostileFolderLosesExactlyItsPlainMatchingFiles) {
    const std::vector<std::string> plain = {"plain.tmp", "with space.tmp", "several.dots.in.it.tmp",
                                            "MiXeD.TmP", "caf\xE9.tmp",    "hard.tmp"};
    for (const auto& n : plain) fs.Write(T(n), n);
    fs.HardLink(T("hard.tmp"), Abs("outside\\hard.dat"));
    // Names whose 8.3 alias ends in .TMP, and other files that stay.
    for (const char* n : {"keep.tmpl", "longername.tmpx", "keep.dat", "readonly.tmp", "hidden.tmp",
                          "system.tmp", "sub\\deep.tmp", "dir.tmp\\inner.tmp"}) {
        fs.Write(T(n), n);
    }
    fs.SetAttributes(T("readonly.tmp"), kReadOnly);
    fs.SetAttributes(T("hidden.tmp"), kHidden);
    fs.SetAttributes(T("system.tmp"), kSystem);
    fs.SymbolicLink(T("link-out.tmp"), Abs("outside\\precious.dat"));
    fs.SymbolicLink(T("link-dir.tmp"), Abs("outside\\folder"));
    fs.SymbolicLink(T("link-in.tmp"), Abs(T("keep.dat")));
    fs.SymbolicLink(T("dangling.tmp"), Abs("outside\\missing.dat"));
    ASSERT_TRUE(fs.Exists(T("dangling.tmp")));
    const std::string outside = fs.Fingerprint("outside");

    Clean();

    ExpectGone(plain);
    ExpectKept({"keep.tmpl", "longername.tmpx", "keep.dat", "readonly.tmp", "hidden.tmp",
                "system.tmp", "sub", "sub\\deep.tmp", "dir.tmp", "dir.tmp\\inner.tmp",
                "link-dir.tmp"});
    // A link to a file can only go as a link, where its own handle is the
    // link; where opening it opens the target, it stays.
    for (const char* link : {"link-out.tmp", "link-in.tmp", "dangling.tmp"}) {
        EXPECT_EQ(fs.Exists(T(link)), fs.LinksResolveOnOpen()) << link;
    }
    EXPECT_EQ(fs.Fingerprint("outside"), outside);
}

TEST_F(CleanupConformance, AFileHeldOpenElsewhereStaysAndTheOthersGo) {
    fs.Write(T("held.tmp"), "held");
    fs.Write(T("free.tmp"), "free");
    {
        auto holder = fs.HoldOpen(T("held.tmp"));
        Clean();
    }
    ExpectKept({"held.tmp"});
    ExpectGone({"free.tmp"});
}

// One file is swapped for a link to a file outside after the listing, before
// its turn; the other, already checked and held, cannot be swapped at all.
TEST_F(CleanupConformance, FilesSwappedForLinksAfterTheListingNeverLeadOutside) {
    fs.Write(T("one.tmp"), "one");
    fs.Write(T("two.tmp"), "two");
    const std::string outside = fs.Fingerprint("outside");
    int calls = 0;
    bool heldSwapped = true, otherSwapped = false;
    fs.SetBeforeDeletion([&](const std::string& path) {
        if (calls++ != 0) return;
        const bool first = path.substr(path.rfind('\\') + 1) == "one.tmp";
        heldSwapped =
            fs.ReplaceWithLink(T(first ? "one.tmp" : "two.tmp"), Abs("outside\\victim.tmp"));
        otherSwapped =
            fs.ReplaceWithLink(T(first ? "two.tmp" : "one.tmp"), Abs("outside\\victim.tmp"));
    });
    Clean();
    EXPECT_EQ(calls, fs.LinksResolveOnOpen() ? 1 : 2);
    EXPECT_FALSE(heldSwapped) << "the file being deleted was swapped under the deletion";
    EXPECT_TRUE(otherSwapped);
    EXPECT_EQ(fs.Fingerprint("outside"), outside);
    EXPECT_TRUE(fs.Exists("outside\\victim.tmp"));
}

TEST_F(CleanupConformance, AWindowsFolderAtADriveRootStillCleansOnlyItsTemp) {
    // "C:\" + "\TEMP": the doubled separator names the same folder.
    fs.Write(T("root.tmp"), "x");
    fs.SymbolicLink(T("link.tmp"), Abs("outside\\precious.dat"));
    const std::string outside = fs.Fingerprint("outside");
    CleanTempFolder(fs.list(), fs.runtime(), Windows() + "\\");
    ExpectGone({"root.tmp"});
    EXPECT_EQ(fs.Exists(T("link.tmp")), fs.LinksResolveOnOpen());
    EXPECT_EQ(fs.Fingerprint("outside"), outside);
}

}  // namespace
}  // namespace quorvel::testing
