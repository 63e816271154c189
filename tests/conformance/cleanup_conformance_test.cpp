// The start-up cleanup over a hostile TEMP folder, built twice: against the
// simulated file system (host) and the real one (Wine). For every case the
// expected names go, the others stay, and not one byte outside TEMP changes.
#include <gtest/gtest.h>

#include <algorithm>
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

// File names with characters the ANSI code page lacks, which the file list
// therefore shows with their "best fit" (as the ANSI functions list them):
// U+FF3C fullwidth reverse solidus and U+2216 set minus as "\", U+FF0F
// fullwidth solidus as "/", U+FF0E fullwidth full stop as ".", a fullwidth
// letter as its letter. Each name so listed is a path out of TEMP to a file
// that is there, or the name of a file in TEMP the cleanup never deletes;
// none of them may lead the deletion there, and the planted files, not
// plain names of their own, stay too. Only the plain a.tmp beside them goes.
TEST_F(CleanupConformance, PlantedNamesListedAsOtherNamesNeverLeadTheDeletionThere) {
    const std::string bs = "\xEF\xBC\xBC", slash = "\xEF\xBC\x8F", dot = "\xEF\xBC\x8E",
                      minus = "\xE2\x88\x96";
    struct Planted {
        std::string name;    // in UTF-8
        std::string listed;  // as the file list shows it
        std::string target;  // the file that path names
    };
    // Each starts with "x\..\", which names TEMP again, as a name that
    // starts with a dot is a hidden file to Wine, and the list leaves those out.
    const std::string up = "x" + bs + ".." + bs;
    const std::vector<Planted> planted = {
        // One folder up, to a file in TEMP's parent.
        {up + ".." + bs + "v.tmp", "x\\..\\..\\v.tmp", "WINDOWS\\v.tmp"},
        {"x" + minus + ".." + minus + ".." + minus + "minus.tmp", "x\\..\\..\\minus.tmp",
         "WINDOWS\\minus.tmp"},
        // Into a sibling folder of TEMP.
        {up + ".." + bs + "SIBLING" + bs + "s.tmp", "x\\..\\..\\SIBLING\\s.tmp",
         "WINDOWS\\SIBLING\\s.tmp"},
        // Two and three folders up, to files outside the Windows folder.
        {up + ".." + bs + ".." + bs + "outside" + bs + "victim.tmp",
         "x\\..\\..\\..\\outside\\victim.tmp", "outside\\victim.tmp"},
        {"x" + slash + ".." + slash + ".." + slash + ".." + slash + "outside" + slash + "slash.tmp",
         "x/../../../outside/slash.tmp", "outside\\slash.tmp"},
        {up + ".." + bs + ".." + bs + ".." + bs + "qvclean" + bs + "outside" + bs + "three.tmp",
         "x\\..\\..\\..\\..\\qvclean\\outside\\three.tmp", "outside\\three.tmp"},
        // Names of fullwidth dots, listed as ".." and nothing else.
        {dot + dot + bs + "v.tmp", "..\\v.tmp", "WINDOWS\\v.tmp"},
        {dot + dot + bs + dot + dot + bs + "dots.tmp", "..\\..\\dots.tmp", "dots.tmp"},
        // Fullwidth first letters: listed as the names of files in TEMP that
        // the list leaves out (made hidden and system below).
        {"\xEF\xBD\x88idden.tmp", "hidden.tmp", "WINDOWS\\TEMP\\hidden.tmp"},
        {"\xEF\xBD\x93ystem.tmp", "system.tmp", "WINDOWS\\TEMP\\system.tmp"},
    };
    for (const Planted& p : planted) {
        fs.WriteUtf8(T(p.name), "planted");
        fs.Write(p.target, "precious " + p.target);
    }
    fs.SetAttributes(T("hidden.tmp"), kHidden);
    fs.SetAttributes(T("system.tmp"), kSystem);
    std::vector<std::string> listed;
    fs.list().SetPath(Abs("WINDOWS\\TEMP"));
    for (int i = 0; i < fs.list().ListCount(); ++i) listed.push_back(fs.list().List(i));
    for (const Planted& p : planted) {
        EXPECT_NE(std::find(listed.begin(), listed.end(), p.listed), listed.end())
            << p.listed << " is not listed: the test would not try the name as a path";
    }
    const std::string everything = fs.Fingerprint("");
    fs.Write(T("a.tmp"), "plain");

    Clean();

    ExpectGone({"a.tmp"});
    for (const Planted& p : planted) {
        EXPECT_TRUE(fs.ExistsUtf8(T(p.name))) << p.listed << " should stay";
        EXPECT_TRUE(fs.Exists(p.target)) << p.target << " was deleted by way of " << p.listed;
    }
    EXPECT_EQ(fs.Fingerprint(""), everything);
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

    // A folder that is a volume's root, as TEMP is where a volume is mounted
    // on it: the system names it with a final "\", and its files are still
    // its own.
    const std::string drive = fs.Root().substr(0, 3);  // "C:\"
    fs.Write("..\\qvclean-root.tmp", "x");
    ASSERT_TRUE(fs.Exists("..\\qvclean-root.tmp"));
    EXPECT_NO_THROW(fs.runtime().Kill(drive, "qvclean-root.tmp"));
    EXPECT_FALSE(fs.Exists("..\\qvclean-root.tmp"));
}

}  // namespace
}  // namespace quorvel::testing
