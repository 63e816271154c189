// The controls the program's handlers use, found once when their form is
// made. A name or kind that does not match the form's description fails
// there (at start-up for Form1 and Form2), not in a handler at each event,
// where the run time's error modes would skip it.
#pragma once

#include <array>
#include <cstdint>
#include <exception>
#include <functional>

#include "platform/forms.h"

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

struct ControlsOfForm1 {
    explicit ControlsOfForm1(platform::Form& form1);
    platform::Control& tmpFileList;
    platform::Control& Picture1;
};

struct ControlsOfForm2 {
    explicit ControlsOfForm2(platform::Form& form2);
    platform::Control& Timer1;
    platform::Control& mnuTaskBarPopUp;
    platform::Control& lblDesktop;
    platform::Control& lblConfigure;
    platform::Control& lblAbout;
    platform::Control& lblExit;
};

struct ControlsOfForm3 {
    explicit ControlsOfForm3(platform::Form& form3);
    platform::Control& Command1;  // switches between the two views
    platform::Control& Command2;  // OK
    platform::Control& Command3;  // Cancel
    platform::Control& Command4;  // Exit
    platform::Control& Frame1;
    platform::Control& AboutBox;
    platform::Control& Label1;
    // Option1(1) to Option1(3); the index is the icon mode.
    platform::Control& Option1(int index) const;

private:
    std::array<std::reference_wrapper<platform::Control>, 3> option1_;
};

}  // namespace quorvel
