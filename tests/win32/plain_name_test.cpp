// The names the Win32 backend's deletion opens, read in the code page they
// are listed in: a double-byte character whose second byte is 0x5C is a
// character, not a separator; in a single-byte code page 0x5C is "\".
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_delete_file.h"

namespace quorvel::testing {
namespace {

TEST(Win32PlainName, IsReadInTheCodePageItIsListedIn) {
    struct Case {
        UINT codePage;
        std::string name;
        std::wstring plain;  // empty: not a plain name
    };
    const Case cases[] = {
        {1252, "a.tmp", L"a.tmp"},
        {1252, "caf\xE9.tmp", L"caf\u00E9.tmp"},
        {1252, "x\\..\\v.tmp", L""},
        {1252, "\x95\x5C.tmp", L""},           // a bullet, then "\"
        {932, "\x95\x5C.tmp", L"\u8868.tmp"},  // one character (U+8868)
        {932, "\x95\x5C\\..\\v.tmp", L""},     // that character, then a path
        {932, "\x95\x5C\x95\x5C.tmp", L"\u8868\u8868.tmp"},
        {932, "a\x81\x5F.tmp", L"a\uFF3C.tmp"},  // fullwidth reverse solidus, held by 932
        {932, "\x95", L""},                      // a first byte alone
    };
    for (const Case& c : cases) {
        EXPECT_EQ(win32::PlainName(c.name, c.codePage), c.plain)
            << "code page " << c.codePage << ", \"" << c.name << '"';
    }
}

}  // namespace
}  // namespace quorvel::testing
