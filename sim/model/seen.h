// What the simulated desktop saw happen, for the tests to read
// (`desk.seen.flashes`): logs and counters, grouped by the part of Windows
// that keeps them. The model only adds to them; a test may clear one to look
// at what comes after.
#pragma once

#include <algorithm>
#include <cstddef>
#include <map>
#include <string>
#include <vector>

#include "sim/model/desktop_types.h"

namespace quorvel::sim {

struct Seen {
    // --- the program ---
    // Every Win32 call a program made, with its arguments.
    std::vector<std::string> calls;
    // The program's trace of its activation decisions, a line each.
    std::vector<std::string> trace;
    std::size_t CountCalls(const std::string& prefix) const {
        return std::count_if(calls.begin(), calls.end(),
                             [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
    }

    // --- activation ---
    // Each flash of a window's taskbar button begun (a request for the
    // foreground refused, FlashWindowEx), and each stopped by FlashWindowEx.
    std::vector<Hwnd> flashes;
    std::vector<Hwnd> flashesStopped;
    // Every window activated, in turn.
    std::vector<Hwnd> activations;

    // --- the shell ---
    int minimiseAlls = 0;  // each time the shell minimised every window
    // The keys that reached the shell's windows, with the modifiers down as
    // it read them ("Tab", "Alt+M", "Ctrl+Alt+M").
    std::vector<std::string> shellKeys;
    int winMPresses = 0;   // Windows key + M, whoever takes it (Windows' shell does)
    int ignoredAltMs = 0;  // Alt+M that reached a window of the shell and did nothing
    // The shell's automation object: calls of its MinimizeAll, objects made,
    // objects made and not yet released.
    int shellObjectCalls = 0;
    int shellObjectsMade = 0;
    int shellObjectsHeld = 0;
    // Every load of a library into a program's process (its own of ole32,
    // COM's of shell32), by name.
    std::map<std::string, int> libraryLoads;

    // --- the keyboard ---
    // Each key a program sent as it went out, and each key that reached the
    // shell as its thread handled it.
    std::vector<TimedKey> keysSent;
    std::vector<TimedKey> keysHandledByShell;
    // What Windows does with a lone Windows key (the Start menu opens) and a
    // lone Alt (the window in front enters its menu bar): a key that goes up
    // with no other key pressed since it went down.
    int startMenus = 0;
    int menuBars = 0;

    // --- the clock ---
    // How often a timer of a program has fired: each is the program woken;
    // each timeBeginPeriod of a program.
    int timerFires = 0;
    int timerResolutionRaises = 0;

    // --- message boxes and pop-up menus ---
    std::vector<MessageBox> messageBoxes;          // every one shown
    std::vector<std::vector<std::string>> popups;  // the items of every one shown
};

}  // namespace quorvel::sim
