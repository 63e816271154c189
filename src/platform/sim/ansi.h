// Texts reach the Win32 functions in the system's ANSI code page (1252
// here); the host's file names are UTF-8.
#pragma once

#include <string>

namespace quorvel::sim {

std::string AnsiToUtf8(const std::string& ansi);
std::string Utf8ToAnsi(const std::string& utf8);  // '?' for what 1252 cannot hold

}  // namespace quorvel::sim
