#include "ui/form_descriptions.h"

namespace quorvel {

using platform::ControlDescription;
using platform::ControlKind;
using platform::FormDescription;

namespace {

ControlDescription Make(ControlKind kind, const char* name, const char* caption,
                        platform::TwipsRect rect, int tabIndex) {
    ControlDescription c;
    c.kind = kind;
    c.name = name;
    c.caption = caption;
    c.rect = rect;
    c.tabIndex = tabIndex;
    return c;
}

ControlDescription MenuItem(const char* name, const char* caption) {
    ControlDescription c = Make(ControlKind::MenuItem, name, caption, {}, -1);
    c.container = "mnuTaskBarPopUp";
    return c;
}

ControlDescription Option(int index, const char* caption, int top, int height) {
    ControlDescription c =
        Make(ControlKind::OptionButton, "Option1", caption, {240, top, 2055, height}, index);
    c.index = index;
    c.container = "Frame1";
    return c;
}

ControlDescription Button(const char* name, const char* caption, int top, int tabIndex) {
    return Make(ControlKind::CommandButton, name, caption, {3825, top, 855, 375}, tabIndex);
}

FormDescription BuildTaskbarForm() {
    FormDescription f;
    f.name = "Form1";
    f.caption = "Desktop";
    f.client = {30, 2070, 1560, 600};
    f.windowMenu = true;
    f.taskbarButton = true;

    ControlDescription files =
        Make(ControlKind::FileListBox, "tmpFileList", "", {600, 0, 735, 615}, 1);
    files.visible = false;
    files.pattern = "*.tmp";
    ControlDescription picture = Make(ControlKind::PictureBox, "Picture1", "", {0, 0, 615, 615}, 0);
    picture.iconResource = platform::kTrayIconResource;
    f.controls = {files, picture};
    return f;
}

FormDescription BuildIconHostForm() {
    FormDescription f;
    f.name = "Form2";
    f.client = {75, 3360, 1560, 510};

    ControlDescription timer = Make(ControlKind::Timer, "Timer1", "", {}, -1);
    timer.interval = 0;
    f.controls = {
        timer,
        Make(ControlKind::Menu, "mnuTaskBarPopUp", "", {}, -1),
        MenuItem("lblDesktop", "Show &Desktop"),
        MenuItem("lblLine1", "-"),
        MenuItem("lblConfigure", "&Configure"),
        MenuItem("lblAbout", "About Q&uorvel"),
        MenuItem("lblLine2", "-"),
        MenuItem("lblExit", "E&xit Quorvel"),
    };
    return f;
}

FormDescription BuildConfigureDialog() {
    FormDescription f;
    f.name = "Form3";
    f.caption = "Configure Quorvel";
    f.client = {2175, 1710, 4845, 2235};
    f.dialog = true;

    ControlDescription aboutBox =
        Make(ControlKind::PictureBox, "AboutBox", "", {105, 90, 3600, 1740}, 8);
    aboutBox.visible = false;
    aboutBox.border = true;
    ControlDescription label =
        Make(ControlKind::TextBox, "Label1", "Text1", {15, 30, 3495, 1635}, 9);
    label.container = "AboutBox";
    label.multiLine = true;
    label.verticalScrollBar = true;
    label.readOnly = true;
    label.backColour = 0xC0C0C0;
    ControlDescription exit = Button("Command4", "E&xit", 1545, 7);
    ControlDescription cancel = Button("Command3", "&Cancel", 1065, 6);
    cancel.isCancel = true;
    ControlDescription ok = Button("Command2", "&OK", 585, 5);
    ok.isDefault = true;
    ControlDescription about = Button("Command1", "&About", 105, 4);
    ControlDescription frame = Make(ControlKind::Frame, "Frame1", "", {1110, 210, 2415, 1575}, 0);
    ControlDescription image = Make(ControlKind::Image, "Image1", "", {135, 120, 480, 480}, -1);
    image.iconResource = platform::kAppIconResource;

    f.controls = {aboutBox,
                  label,
                  exit,
                  cancel,
                  ok,
                  about,
                  frame,
                  Option(3, "&Show both icons", 1200, 195),
                  Option(2, "Show icon in Task&bar and ALT/TAB", 720, 375),
                  Option(1, "Show icon in &Tray", 360, 195),
                  image};
    return f;
}

}  // namespace

const FormDescription& TaskbarFormDescription() {
    static const FormDescription description = BuildTaskbarForm();
    return description;
}

const FormDescription& IconHostFormDescription() {
    static const FormDescription description = BuildIconHostForm();
    return description;
}

const FormDescription& ConfigureDialogDescription() {
    static const FormDescription description = BuildConfigureDialog();
    return description;
}

}  // namespace quorvel
