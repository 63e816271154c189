// The notification-area icon on the icon's host form, put there again while
// a shell still starting refuses it.
#pragma once

#include <cstdint>

#include "platform/runtime.h"
#include "ui/program_forms.h"

namespace quorvel {

class TrayIcon {
public:
    // `iconMode` is the mode in force, read when the taskbar is recreated.
    TrayIcon(platform::Runtime& runtime, Forms& forms, const std::int16_t& iconMode);
    TrayIcon(const TrayIcon&) = delete;
    TrayIcon& operator=(const TrayIcon&) = delete;

    // The icon now, or, when the shell refuses it, once the shell takes it.
    void Put();
    // No icon, and none put later: the icon this process asked for is
    // removed; with none asked for, the shell is not asked at all.
    void Remove();
    // The shell's taskbar was recreated: the icon again, in modes 1 and 3.
    void TaskbarRecreated();
    // As the program ends: the icon of the host form's window is removed
    // whether or not this process knows of one.
    void RemoveAtExit();

private:
    // Whether the shell took the icon.
    bool DeleteThenAdd();
    void StopRetry();
    void TryAgain();

    platform::Runtime& runtime_;
    Forms& forms_;
    const std::int16_t& iconMode_;
    // Whether this process has asked the shell for an icon: only then can
    // there be one to remove.
    bool asked_ = false;
    // A refused icon tried again later: the pending one-shot timer (0: none)
    // and the tries left.
    int retryTimer_ = 0;
    int triesLeft_ = 0;
};

}  // namespace quorvel
