// A form's placement, visibility, modal showing and pop-up menus.
#include <windows.h>

#include "platform/errors.h"
#include "platform/event_dispatcher.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_density.h"
#include "platform/win32/win32_form.h"

namespace quorvel::win32 {

using namespace platform;

platform::Hwnd Win32Form::hWnd() const {
    // Asking for the handle is a need of the window; making it changes
    // nothing else the caller can see.
    const_cast<Win32Form*>(this)->Realise();
    return FromHwnd(hwnd_);
}

ClientArea Win32Form::WindowArea() const {
    RECT r = areaUntilMade_;
    if (hwnd_ != nullptr) {
        GetClientRect(hwnd_, &r);
        MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    }
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

void Win32Form::PlaceWindow(const ClientArea& to) {
    if (hwnd_ == nullptr) {
        areaUntilMade_ = {to.x, to.y, to.x + to.width, to.y + to.height};
        return;
    }
    const ClientArea from = WindowArea();
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE;
    if (to.x == from.x && to.y == from.y) flags |= SWP_NOMOVE;
    if (to.width == from.width && to.height == from.height) flags |= SWP_NOSIZE;
    // The frame moves with the client area; its size follows from the style.
    RECT window;
    GetWindowRect(hwnd_, &window);
    RECT frame{0, 0, to.width, to.height};
    AddFrame(frame, style_, exStyle_, PixelsPerInch());
    SetWindowPos(hwnd_, nullptr, window.left + to.x - from.x, window.top + to.y - from.y,
                 frame.right - frame.left, frame.bottom - frame.top, flags);
}

std::string Win32Form::Caption() const {
    RequireLoaded();
    if (hwnd_ == nullptr) return description().caption;
    char text[256] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    return text;
}

void Win32Form::SetCaption(std::string_view caption) {
    RequireLoaded();
    Realise();
    SetWindowTextA(hwnd_, std::string(caption).c_str());
}

void Win32Form::MakeTaskbarLookAgain() {
    // Showing or hiding an inactive window does not reach every shell's
    // taskbar (Wine's syncs its buttons on caption notifications only); a
    // caption notification of the inactive state makes it look again.
    if (description().taskbarButton && GetForegroundWindow() != hwnd_) {
        SendMessageA(hwnd_, WM_NCACTIVATE, FALSE, 0);
    }
}

void Win32Form::ShowWindow(Showing how) {
    Realise();
    switch (how) {
        case Showing::NoActivate:
            if (IsWindowVisible(hwnd_)) return;
            ::ShowWindow(hwnd_, SW_SHOWNA);
            MakeTaskbarLookAgain();
            break;
        case Showing::Activate:
            ::ShowWindow(hwnd_, SW_SHOW);
            SetForegroundWindow(hwnd_);
            break;
        case Showing::Hide:
            ::ShowWindow(hwnd_, SW_HIDE);
            MakeTaskbarLookAgain();
            break;
        case Showing::MinimiseNoActivate:
            ::ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
            break;
    }
}

Control* Win32Form::TrackMenu(std::string_view menuName) {
    Realise();
    auto menu = menus_.find(menuName);
    if (menu == menus_.end()) throw RuntimeError("Menu not found");
    // The window is in front already (WindowedForm::PopupMenu); the WM_NULL
    // afterwards lets the next menu open normally ("TrackPopupMenu function").
    POINT at;
    GetCursorPos(&at);
    UINT chosen = TrackPopupMenu(menu->second.get(), TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
                                 hwnd_, nullptr);
    PostMessageA(hwnd_, WM_NULL, 0, 0);
    return chosen == 0 ? nullptr : ControlWithId(static_cast<int>(chosen));
}

}  // namespace quorvel::win32
