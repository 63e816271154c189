// The program's trace: one line per activation message, per decision about
// it, per key sent and per reveal, with the tick count, through
// OutputDebugStringA. Nothing is written anywhere unless a debugger or a
// debug viewer listens (under Wine: WINEDEBUG=+debugstr); then a run that
// lost a click says which sequence lost it.
#pragma once

#include <windows.h>

#include <cstdarg>
#include <cstdio>

namespace quorvel::win32 {

[[gnu::format(printf, 1, 2)]] inline void Trace(const char* format, ...) {
    char line[256];
    int used = std::snprintf(line, sizeof line, "quorvel: %lu ", GetTickCount());
    std::va_list args;
    va_start(args, format);
    std::vsnprintf(line + used, sizeof line - used, format, args);
    va_end(args);
    OutputDebugStringA(line);
}

}  // namespace quorvel::win32
