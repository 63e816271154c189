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

TaskbarFormControls::TaskbarFormControls(platform::Form& form)
    : fileList(Find(form, ControlKind::FileListBox, "tmpFileList")),
      picture(Find(form, ControlKind::PictureBox, "Picture1")) {}

IconHostFormControls::IconHostFormControls(platform::Form& form)
    : activationTimer(Find(form, ControlKind::Timer, "Timer1")),
      popupMenu(Find(form, ControlKind::Menu, "mnuTaskBarPopUp")),
      showDesktopItem(Find(form, ControlKind::MenuItem, "lblDesktop")),
      configureItem(Find(form, ControlKind::MenuItem, "lblConfigure")),
      aboutItem(Find(form, ControlKind::MenuItem, "lblAbout")),
      exitItem(Find(form, ControlKind::MenuItem, "lblExit")) {}

ConfigureDialogControls::ConfigureDialogControls(platform::Form& form)
    : viewButton(Find(form, ControlKind::CommandButton, "Command1")),
      okButton(Find(form, ControlKind::CommandButton, "Command2")),
      cancelButton(Find(form, ControlKind::CommandButton, "Command3")),
      exitButton(Find(form, ControlKind::CommandButton, "Command4")),
      modeFrame(Find(form, ControlKind::Frame, "Frame1")),
      aboutBox(Find(form, ControlKind::PictureBox, "AboutBox")),
      aboutText(Find(form, ControlKind::TextBox, "Label1")),
      modeOptions_{Find(form, ControlKind::OptionButton, "Option1", 1),
                   Find(form, ControlKind::OptionButton, "Option1", 2),
                   Find(form, ControlKind::OptionButton, "Option1", 3)} {}

platform::Control& ConfigureDialogControls::ModeOption(int mode) const {
    // As the run time's own lookup: an element the array does not have is a
    // run-time error.
    if (mode < 1 || mode > static_cast<int>(modeOptions_.size())) {
        throw platform::RuntimeError("Control not found");
    }
    return modeOptions_[mode - 1];
}

}  // namespace quorvel
