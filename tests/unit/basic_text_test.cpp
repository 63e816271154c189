// The run time's conversions the setting is read and written with.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "platform/basic_text.h"
#include "platform/file_pattern.h"
#include "platform/keys.h"
#include "platform/types.h"

namespace quorvel::platform {
namespace {

TEST(Val, ReadsTheNumberAtTheFrontSkippingBlanksAnywhere) {
    EXPECT_EQ(Val("3"), 3);
    EXPECT_EQ(Val(" 3"), 3);
    EXPECT_EQ(Val("3 "), 3);
    EXPECT_EQ(Val("\t\n 3"), 3);
    EXPECT_EQ(Val("1 2"), 12);  // blanks inside the number are skipped too
    EXPECT_EQ(Val("3abc"), 3);
    EXPECT_EQ(Val(std::string("2\0   ", 5)), 2);  // stops at the NUL after the digits
    EXPECT_EQ(Val("-1"), -1);
    EXPECT_EQ(Val("+4"), 4);
    EXPECT_EQ(Val("- 5"), -5);
    EXPECT_DOUBLE_EQ(Val("2.5"), 2.5);
    EXPECT_DOUBLE_EQ(Val("1.2.3"), 1.2);  // one decimal point
    EXPECT_DOUBLE_EQ(Val(".5"), 0.5);
}

TEST(Val, TextWithoutANumberGivesZero) {
    for (const char* text : {"", "abc", " ", ".", "-", "x3", "\r3"}) {
        EXPECT_EQ(Val(text), 0) << '"' << text << '"';
    }
}

TEST(StrTrim, PositiveNumbersLoseTheLeadingBlank) {
    EXPECT_EQ(Str(2), " 2");
    EXPECT_EQ(Str(-2), "-2");
    EXPECT_EQ(Trim(Str(3)), "3");
    EXPECT_EQ(Trim("  a b  "), "a b");
    EXPECT_EQ(Trim("   "), "");
}

TEST(RoundToInt16, HalvesGoToTheEvenNeighbourAndOverflowFails) {
    auto round = [](double v) {
        std::int16_t r = 0;
        EXPECT_TRUE(RoundToInt16(v, r)) << v;
        return r;
    };
    EXPECT_EQ(round(2.5), 2);
    EXPECT_EQ(round(3.5), 4);
    EXPECT_EQ(round(-0.5), 0);
    EXPECT_EQ(round(-1.5), -2);
    EXPECT_EQ(round(2.4999), 2);
    EXPECT_EQ(round(32767.4), 32767);
    EXPECT_EQ(round(-32768.5), -32768);
    std::int16_t r = 0;
    EXPECT_FALSE(RoundToInt16(32767.5, r));
    EXPECT_FALSE(RoundToInt16(99999, r));
    EXPECT_FALSE(RoundToInt16(-40000, r));
    EXPECT_FALSE(RoundToInt16(std::numeric_limits<double>::quiet_NaN(), r));
    EXPECT_FALSE(RoundToInt16(std::numeric_limits<double>::infinity(), r));
}

TEST(MatchesPattern, MatchesTheNameItselfIgnoringCase) {
    EXPECT_TRUE(MatchesPattern("a.tmp", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("B.TMP", "*.tmp"));
    EXPECT_TRUE(MatchesPattern(".tmp", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("x.tmp.tmp", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("with space.tmp", "*.tmp"));
    EXPECT_FALSE(MatchesPattern("c.tmp.bak", "*.tmp"));
    EXPECT_FALSE(MatchesPattern("d.tmpl", "*.tmp"));
    EXPECT_FALSE(MatchesPattern("e.tmp1", "*.tmp"));
    EXPECT_FALSE(MatchesPattern("tmp", "*.tmp"));
    EXPECT_TRUE(MatchesPattern("ab", "a?"));
    EXPECT_FALSE(MatchesPattern("a", "a?"));
}

// Which listed names the cleanup's Kill opens at all: the name of one file
// directly in its folder, never a path, a drive, a stream or a wildcard.
TEST(IsPlainFileName, OnlyAFilesOwnNameInItsFolder) {
    for (std::string_view name :
         {"a.tmp", "with space.tmp", "caf\xE9.tmp", "\x80.tmp", ".tmp", "..x.tmp", "x..tmp"}) {
        EXPECT_TRUE(IsPlainFileName(name)) << name;
    }
    for (std::string_view name :
         {"", ".", "..", "...", "x\\..\\..\\v.tmp", "..\\v.tmp", "v.tmp\\", "x/../v.tmp", "C:v.tmp",
          "a.tmp:stream", "*.tmp", "?.tmp", "a\"b.tmp", "a<b.tmp", "a>b.tmp", "a|b.tmp", "a\tb.tmp",
          "a\x01.tmp"}) {
        EXPECT_FALSE(IsPlainFileName(name)) << name;
    }
    EXPECT_FALSE(IsPlainFileName(std::string_view("a\0b.tmp", 7)));
    // UTF-16: the separators are the ASCII ones only.
    EXPECT_TRUE(IsPlainFileName(std::u16string_view(u"x\uFF3C..\uFF3Cv.tmp")));
    EXPECT_FALSE(IsPlainFileName(std::u16string_view(u"x\\v.tmp")));
}

TEST(ParseKeys, TabThenAltM) {
    auto keys = ParseKeys("{tab}%m");
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].virtualKey, 0x09);
    EXPECT_FALSE(keys[0].alt);
    EXPECT_EQ(keys[1].virtualKey, 'M');
    EXPECT_TRUE(keys[1].alt);
    EXPECT_THROW(ParseKeys("{nosuchkey}"), RuntimeError);
    EXPECT_THROW(ParseKeys("{tab"), RuntimeError);
}

}  // namespace
}  // namespace quorvel::platform
