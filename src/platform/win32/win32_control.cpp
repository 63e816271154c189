// Controls as child windows of their form or container, and the timer.
#include <windows.h>

#include "platform/win32/win32_form.h"

namespace quorvel::win32 {

using namespace platform;

Win32Control::Win32Control(Win32Form& form, ControlDescription description, int id)
    : Control(std::move(description)), form_(form), id_(id) {}

Win32Control::~Win32Control() {
    StopTimer();
}

void Win32Control::Create(HWND parent, HFONT font) {
    const ControlDescription& s = description();
    const ClientArea at = form_.ControlArea(s);
    // Made when the form's window is: as the control is at that moment,
    // which may differ from its description.
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (Visible() ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    const char* cls = nullptr;
    HINSTANCE instance = form_.rt_.instance();
    switch (s.kind) {
        case ControlKind::CommandButton:
            cls = "BUTTON";
            style |= WS_TABSTOP | (s.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            // Each push button is a group of its own: arrow keys on it go
            // nowhere, never into the option group (where they would click).
            style |= WS_GROUP;
            break;
        case ControlKind::OptionButton:
            cls = "BUTTON";
            // A group is one tab stop, its checked option; none is checked
            // yet. An auto radio button that receives the focus clicks
            // itself, so no unchecked one may ever be a tab stop.
            style |= BS_AUTORADIOBUTTON | BS_MULTILINE | (s.index == 1 ? WS_GROUP : 0);
            break;
        case ControlKind::TextBox:
            cls = "EDIT";
            style |= WS_TABSTOP | (s.multiLine ? ES_MULTILINE : 0) |
                     (s.readOnly ? ES_READONLY : 0) | (s.verticalScrollBar ? WS_VSCROLL : 0) |
                     ES_AUTOVSCROLL;
            if (s.border) style |= WS_BORDER;
            break;
        case ControlKind::Frame:
        case ControlKind::PictureBox:
            // Containers: a panel of our own that hands its children's
            // notifications to the form.
            cls = kPanelClass;
            exStyle |= WS_EX_CONTROLPARENT;
            if (s.border) style |= WS_BORDER;
            style |= WS_CLIPCHILDREN;
            if (s.iconResource != 0) icon_ = form_.rt_.Icon(s.iconResource, 32);
            break;
        case ControlKind::Image:
            // Drawn on the form's surface, below every other control.
            icon_ = form_.rt_.Icon(s.iconResource, 32);
            return;
        default:
            return;  // file list, timer and menus have no window of their own
    }
    if (cls != kPanelClass) form_.rt_.UseCommonControls();
    hwnd_ = CreateWindowExA(exStyle, cls, Caption().c_str(), style, at.x, at.y, at.width, at.height,
                            parent, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)), instance,
                            this);
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    if (s.kind == ControlKind::OptionButton && Value()) {
        SendMessageA(hwnd_, BM_SETCHECK, BST_CHECKED, 0);
    }
}

LRESULT Win32Control::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT handled = 0;
    if (PanelDialogMessage(hwnd, msg, wParam, lParam, handled)) return handled;
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
        case WM_PAINT:
            Paint(hwnd, [&](HDC dc) {
                if (description().kind == ControlKind::Frame) {
                    RECT r;
                    GetClientRect(hwnd, &r);
                    r.top += 6;  // where a frame's title would stand
                    DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
                }
                if (icon_ != nullptr) {
                    const int size = form_.Pixels(kIconTwips);
                    DrawIconEx(dc, 0, 0, icon_, size, size, 0, nullptr, DI_NORMAL);
                }
            });
            return 0;
        default:
            break;
    }
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

void Win32Control::Changed(Property property) {
    switch (property) {
        case Property::Visible:
            if (hwnd_ != nullptr) ShowWindow(hwnd_, Visible() ? SW_SHOWNA : SW_HIDE);
            if (description().kind == ControlKind::Image)
                InvalidateRect(form_.hwnd_, nullptr, TRUE);
            break;
        case Property::Caption:
            if (hwnd_ != nullptr) SetWindowTextA(hwnd_, Caption().c_str());
            break;
        case Property::Value:
            if (hwnd_ != nullptr) {
                SendMessageA(hwnd_, BM_SETCHECK, Value() ? BST_CHECKED : BST_UNCHECKED, 0);
                if (form_.IsDialog()) form_.OptionChecked(*this);
            }
            break;
        case Property::Interval:
            StopTimer();
            if (Interval() > 0 && form_.loaded_) {
                SetTimer(form_.RealisedWindow(), id_, static_cast<UINT>(Interval()), nullptr);
                timerRunning_ = true;
            }
            break;
    }
}

void Win32Control::StopTimer() {
    if (timerRunning_ && form_.hwnd_ != nullptr) KillTimer(form_.hwnd_, id_);
    timerRunning_ = false;
}

void Win32Control::Tick() {
    RaiseTimer(form_.dispatcher());
}

Hicon Win32Control::Picture() const {
    Require(ControlKind::PictureBox);
    form_.Realise();  // the picture is loaded with the control's window
    return FromHandle(icon_);
}
}  // namespace quorvel::win32
