// Texts reach the Win32 functions in the system's ANSI code page (1252
// here); the host's file names are UTF-8.
#pragma once

#include <string>

namespace quorvel::sim {

std::string AnsiToUtf8(const std::string& ansi);
// As Windows maps a name to the code page: a character 1252 does not hold
// becomes its "best fit" where there is one (the fullwidth forms U+FF01 to
// U+FF5E their ASCII, U+2215 division slash "/", U+2216 set minus "\"),
// else '?'.
std::string Utf8ToAnsi(const std::string& utf8);

}  // namespace quorvel::sim
