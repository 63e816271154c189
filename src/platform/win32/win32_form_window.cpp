// A form's placement, visibility, modal showing and pop-up menus.
#include <windows.h>

#include "platform/dispatch.h"
#include "platform/errors.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_forms.h"

namespace quorvel::win32 {

using namespace platform;

int Win32Form::TwipsToPixels(double twips) const {
    return platform::TwipsToPixels(twips, rt_.pixelsPerInch());
}
double Win32Form::PixelsToTwips(int pixels) const {
    return platform::PixelsToTwips(pixels, rt_.pixelsPerInch());
}

platform::Hwnd Win32Form::hWnd() const {
    // Asking for the handle is a need of the window; making it changes
    // nothing else the caller can see.
    const_cast<Win32Form*>(this)->Realise();
    return FromHwnd(hwnd_);
}

RECT Win32Form::ClientRect() const {
    Require();
    if (hwnd_ == nullptr) return pending_;
    RECT r;
    GetClientRect(hwnd_, &r);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

double Win32Form::Left() const {
    return PixelsToTwips(ClientRect().left);
}
double Win32Form::Top() const {
    return PixelsToTwips(ClientRect().top);
}
double Win32Form::Width() const {
    RECT r = ClientRect();
    return PixelsToTwips(r.right - r.left);
}
double Win32Form::Height() const {
    RECT r = ClientRect();
    return PixelsToTwips(r.bottom - r.top);
}

void Win32Form::MoveClientTo(int x, int y) {
    Require();
    if (hwnd_ == nullptr) {
        OffsetRect(&pending_, x - pending_.left, y - pending_.top);
        return;
    }
    if (IsIconic(hwnd_)) throw RuntimeError("Can't move or size a minimized form");
    RECT client = ClientRect();
    // Already there: under Wine even a move that moves nothing costs round
    // trips to the server, and the forms are put off the screen again on
    // every show, resize and repaint.
    if (client.left == x && client.top == y) return;
    RECT window;
    GetWindowRect(hwnd_, &window);
    SetWindowPos(hwnd_, nullptr, x - (client.left - window.left), y - (client.top - window.top), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SizeClientTo(int width, int height) {
    Require();
    if (hwnd_ == nullptr) {
        pending_.right = pending_.left + width;
        pending_.bottom = pending_.top + height;
        return;
    }
    if (IsIconic(hwnd_)) throw RuntimeError("Can't move or size a minimized form");
    RECT r{0, 0, width, height};
    AdjustWindowRectEx(&r, style_, FALSE, exStyle_);
    SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SetLeft(double twips) {
    MoveClientTo(TwipsToPixels(twips), ClientRect().top);
}
void Win32Form::SetTop(double twips) {
    MoveClientTo(ClientRect().left, TwipsToPixels(twips));
}
void Win32Form::SetWidth(double twips) {
    RECT r = ClientRect();
    SizeClientTo(TwipsToPixels(twips), r.bottom - r.top);
}
void Win32Form::SetHeight(double twips) {
    RECT r = ClientRect();
    SizeClientTo(r.right - r.left, TwipsToPixels(twips));
}

std::string Win32Form::Caption() const {
    Require();
    if (hwnd_ == nullptr) return description().caption;
    char text[256] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    return text;
}

void Win32Form::SetCaption(std::string_view caption) {
    Require();
    Realise();
    SetWindowTextA(hwnd_, std::string(caption).c_str());
}

void Win32Form::TaskbarChanged() {
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
            TaskbarChanged();
            break;
        case Showing::Activate:
            ::ShowWindow(hwnd_, SW_SHOW);
            SetForegroundWindow(hwnd_);
            break;
        case Showing::Hide:
            ::ShowWindow(hwnd_, SW_HIDE);
            TaskbarChanged();
            break;
        case Showing::MinimiseNoActivate:
            ::ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
            break;
    }
}

void Win32Form::PopupMenu(std::string_view menuName) {
    Require();
    Realise();
    auto menu = menus_.find(menuName);
    if (menu == menus_.end()) throw RuntimeError("Menu not found");
    // The window is made foreground first, or the menu would not close when
    // the user clicks elsewhere; the WM_NULL afterwards lets the next menu
    // open normally.
    SetForegroundWindow(hwnd_);
    POINT at;
    GetCursorPos(&at);
    UINT chosen = TrackPopupMenu(menu->second.get(), TPM_RETURNCMD | TPM_NONOTIFY, at.x, at.y, 0,
                                 hwnd_, nullptr);
    PostMessageA(hwnd_, WM_NULL, 0, 0);
    if (chosen == 0) return;
    if (Win32Control* item = ById(static_cast<int>(chosen))) Raise(item->Click);
}

}  // namespace quorvel::win32
