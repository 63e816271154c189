// The controls the program's handlers use, found once when their form is
// made and named for what they are; the strings are the names the forms'
// descriptions give them. A name or kind that does not match the form's
// description fails there (at start-up for the taskbar form and the icon's
// host form), not in a handler at each event, where the run time's error
// modes would skip it.
#pragma once

#include <array>
#include <exception>
#include <functional>

#include "platform/form.h"

namespace quorvel {

// A control the program refers to that its form's description does not have,
// or has as another kind of control. It is a fault of the program, not a
// run-time error, so no error mode skips it.
class UnknownControl : public std::exception {
public:
    explicit UnknownControl(const char* name) noexcept : name_(name) {}
    const char* what() const noexcept override { return name_; }

private:
    const char* name_;
};

// The taskbar form, whose button reveals the desktop.
struct TaskbarFormControls {
    explicit TaskbarFormControls(platform::Form& form);
    platform::Control& fileList;  // "tmpFileList": the cleanup's "*.tmp" files
    platform::Control& picture;   // "Picture1": holds the notification-area icon
};

// The icon host form, never seen: its window hosts the notification-area icon.
struct IconHostFormControls {
    explicit IconHostFormControls(platform::Form& form);
    platform::Control& activationTimer;  // "Timer1": brings the Configure dialog forward
    platform::Control& popupMenu;        // "mnuTaskBarPopUp": the icon's menu
    platform::Control& showDesktopItem;  // "lblDesktop"
    platform::Control& configureItem;    // "lblConfigure"
    platform::Control& aboutItem;        // "lblAbout"
    platform::Control& exitItem;         // "lblExit"
};

// The Configure dialog.
struct ConfigureDialogControls {
    explicit ConfigureDialogControls(platform::Form& form);
    platform::Control& viewButton;    // "Command1": switches between the two views
    platform::Control& okButton;      // "Command2"
    platform::Control& cancelButton;  // "Command3"
    platform::Control& exitButton;    // "Command4"
    platform::Control& modeFrame;     // "Frame1": holds the mode options
    platform::Control& aboutBox;      // "AboutBox"
    platform::Control& aboutText;     // "Label1", a read-only text box
    // The option of icon mode 1, 2 or 3 ("Option1" of that index).
    platform::Control& ModeOption(int mode) const;

private:
    std::array<std::reference_wrapper<platform::Control>, 3> modeOptions_;
};

}  // namespace quorvel
