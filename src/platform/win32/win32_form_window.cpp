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

void Win32Form::SetVisible(bool visible) {
    Require();
    if (!visible) {
        Hide();
    } else if (!IsWindowVisible(window())) {
        // Shown without taking the activation from the user's window: no
        // Activate, and the next click on the taskbar button activates it.
        hiddenByProgram = false;
        ShowWindow(hwnd_, SW_SHOWNA);
        TaskbarChanged();
        if (description().taskbarButton) PostMessageA(hwnd_, kRestMessage, 0, 0);
    }
}

void Win32Form::Rest() {
    // See "At rest" in platform/activation.h. Without activation: the
    // user's window keeps the keyboard.
    if (!loaded_ || hwnd_ == nullptr ||
        !ActivationModel::ToRest(IsWindowVisible(hwnd_), IsIconic(hwnd_),
                                 GetForegroundWindow() == hwnd_, IsWindowEnabled(hwnd_),
                                 rt_.modalForm)) {
        return;
    }
    Trace("rest: %p minimised", static_cast<void*>(hwnd_));
    ShowWindow(hwnd_, SW_SHOWMINNOACTIVE);
}

void Win32Form::TaskbarChanged() {
    // Showing or hiding an inactive window does not reach every shell's
    // taskbar (Wine's syncs its buttons on caption notifications only); a
    // caption notification of the inactive state makes it look again.
    if (description().taskbarButton && GetForegroundWindow() != hwnd_) {
        SendMessageA(hwnd_, WM_NCACTIVATE, FALSE, 0);
    }
}

void Win32Form::Show() {
    Require();
    Realise();
    hiddenByProgram = false;
    ShowWindow(hwnd_, SW_SHOWNA);
    // The shown form is the program's current form, so that the next
    // activation of another form is an Activate of that form.
    rt_.activation.Shown(this);
}

void Win32Form::Hide() {
    Require();
    Realise();
    hiddenByProgram = true;
    // Hiding never leaves the activation with another of the program's forms:
    // activating Form1 is what its taskbar button's click does.
    if (rt_.modalForm == nullptr) rt_.HandActivationAway();
    ShowWindow(hwnd_, SW_HIDE);
    TaskbarChanged();
}

void Win32Form::ShowModal() {
    Require();
    Realise();
    Win32Form* outer = rt_.modalForm;
    std::vector<HWND> disabled;
    for (Win32Form* f : rt_.forms) {
        if (f != this && f->loaded_ && IsWindowEnabled(f->hwnd_)) {
            EnableWindow(f->hwnd_, FALSE);
            disabled.push_back(f->hwnd_);
        }
    }
    rt_.modalForm = this;
    hiddenByProgram = false;
    ShowWindow(hwnd_, SW_SHOW);
    SetForegroundWindow(hwnd_);
    if (rt_.activation.current() != this) {
        rt_.activation.Shown(this);
        Raise(events.Activate);
    }
    if (IsDialog() && loaded_) FocusFirstTabStop();
    EventDispatcher::OutsideInput outside(rt_.events);
    MSG msg;
    while (loaded_) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got <= 0) {
            PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        if (rt_.TranslateDialogMessage(msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    rt_.modalForm = outer;
    for (HWND h : disabled) {
        if (IsWindow(h)) EnableWindow(h, TRUE);
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
