// The static description of a form and its controls, from which a backend
// builds the real windows (or the simulated ones).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace quorvel::platform {

enum class ControlKind {
    FileListBox,
    PictureBox,
    Timer,
    Menu,      // a top-level menu, opened only as a pop-up menu here
    MenuItem,  // an item of the menu named by `container`; caption "-" is a separator
    CommandButton,
    OptionButton,
    Frame,
    TextBox,
    Image,
};

struct TwipsRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

inline constexpr std::uint32_t kDefaultColour = 0xFFFFFFFF;

// Icon resources of the program (numbers of the resource script).
inline constexpr int kAppIconResource = 1;
inline constexpr int kTrayIconResource = 2;

struct ControlDescription {
    ControlKind kind = ControlKind::CommandButton;
    std::string name;
    int index = 0;  // position in a control array; 0 when the control is no array member
    std::string caption;
    TwipsRect rect;
    bool visible = true;
    std::string container;  // empty: the form itself
    int tabIndex = -1;      // -1: takes no part in the tab order
    bool isDefault = false;
    bool isCancel = false;
    bool border = false;
    bool multiLine = false;
    bool verticalScrollBar = false;
    bool readOnly = false;
    std::uint32_t backColour = kDefaultColour;  // 0x00BBGGRR
    std::string pattern;                        // file list
    int interval = 0;                           // timer, milliseconds
    int iconResource = 0;                       // picture box, image
};

struct FormDescription {
    std::string name;
    std::string caption;
    TwipsRect client;  // screen position and size of the client area
    bool windowMenu = false;
    bool minButton = false;
    bool maxButton = false;
    bool taskbarButton = false;  // the form's window stands for the program on the taskbar
    bool dialog = false;         // keyboard and focus as in the system's dialog boxes
    int iconResource = kAppIconResource;
    std::vector<ControlDescription> controls;  // in creation order
};

}  // namespace quorvel::platform
