// Another start for the turn's conformance test: takes the turn at once,
// writes "1" if it got it, else "0", then "ready", and holds it until its
// standard input ends; then it ends without giving it back (abandoned).
#include <windows.h>

#include <cstdio>

#include "platform/win32/win32_turn.h"

int main() {
    HANDLE turn = CreateMutexA(nullptr, FALSE, quorvel::win32::kTurnName);
    const DWORD got = turn != nullptr ? WaitForSingleObject(turn, 0) : WAIT_FAILED;
    std::puts(got == WAIT_OBJECT_0 || got == WAIT_ABANDONED ? "1" : "0");
    std::puts("ready");
    std::fflush(stdout);
    char c;
    DWORD read = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), &c, 1, &read, nullptr) && read > 0) {
    }
    return 0;
}
