#include "ui/form_controls.h"

namespace quorvel {

using platform::ControlKind;

namespace {

platform::Control& Find(platform::Form& form, ControlKind kind, const char* name, int index = 0) {
    for (const auto& c : form.controls()) {
        const platform::ControlDescription& d = c->description();
        if (d.name == name && d.index == index && d.kind == kind) return *c;
    }
    throw UnknownControl(name);
}

}  // namespace

ControlsOfForm1::ControlsOfForm1(platform::Form& form1)
    : tmpFileList(Find(form1, ControlKind::FileListBox, "tmpFileList")),
      Picture1(Find(form1, ControlKind::PictureBox, "Picture1")) {}

ControlsOfForm2::ControlsOfForm2(platform::Form& form2)
    : Timer1(Find(form2, ControlKind::Timer, "Timer1")),
      mnuTaskBarPopUp(Find(form2, ControlKind::Menu, "mnuTaskBarPopUp")),
      lblDesktop(Find(form2, ControlKind::MenuItem, "lblDesktop")),
      lblConfigure(Find(form2, ControlKind::MenuItem, "lblConfigure")),
      lblAbout(Find(form2, ControlKind::MenuItem, "lblAbout")),
      lblExit(Find(form2, ControlKind::MenuItem, "lblExit")) {}

ControlsOfForm3::ControlsOfForm3(platform::Form& form3)
    : Command1(Find(form3, ControlKind::CommandButton, "Command1")),
      Command2(Find(form3, ControlKind::CommandButton, "Command2")),
      Command3(Find(form3, ControlKind::CommandButton, "Command3")),
      Command4(Find(form3, ControlKind::CommandButton, "Command4")),
      Frame1(Find(form3, ControlKind::Frame, "Frame1")),
      AboutBox(Find(form3, ControlKind::PictureBox, "AboutBox")),
      Label1(Find(form3, ControlKind::TextBox, "Label1")),
      option1_{Find(form3, ControlKind::OptionButton, "Option1", 1),
               Find(form3, ControlKind::OptionButton, "Option1", 2),
               Find(form3, ControlKind::OptionButton, "Option1", 3)} {}

platform::Control& ControlsOfForm3::Option1(int index) const {
    // As the run time's own lookup: an element the array does not have is a
    // run-time error.
    if (index < 1 || index > static_cast<int>(option1_.size())) {
        throw platform::RuntimeError("Control not found");
    }
    return option1_[index - 1];
}

}  // namespace quorvel
