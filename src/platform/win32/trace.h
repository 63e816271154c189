// The program's trace: one line per activation message, per decision about
// it, per key sent and per reveal, with the tick count, through
// OutputDebugStringA. Nothing is written anywhere unless a debugger or a
// debug viewer listens (under Wine: WINEDEBUG=+debugstr); then a run that
// lost a click says which sequence lost it.
#pragma once

#include <windows.h>

#include <cstdarg>

namespace quorvel::win32 {

// wsprintf's formats (%s, %u, %lu, %p, %02X...): the C library's printf
// would add some 30 KB to the program for a line nobody reads.
[[gnu::format(printf, 1, 2)]] inline void Trace(const char* format, ...) {
    char line[1024];  // wvsprintfA writes at most 1024 characters
    int used = wsprintfA(line, "quorvel: %lu ", GetTickCount());
    char rest[1024];
    std::va_list args;
    va_start(args, format);
    wvsprintfA(rest, format, args);
    va_end(args);
    lstrcpynA(line + used, rest, static_cast<int>(sizeof line) - used);
    OutputDebugStringA(line);
}

}  // namespace quorvel::win32
