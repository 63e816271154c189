// What is queued for this thread, handled, for about `ms`: the conformance
// targets' wait for what a window system does meanwhile.
#pragma once

#include <windows.h>

namespace quorvel::testing {

inline void Pump(DWORD ms) {
    const DWORD until = GetTickCount() + ms;
    do {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        Sleep(5);
    } while (static_cast<LONG>(until - GetTickCount()) > 0);
}

}  // namespace quorvel::testing
