// A form's window: built from its description, its window procedure turning
// messages into the form's events, and its close requests.
#include <windows.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_forms.h"

namespace quorvel::win32 {

using namespace platform;

namespace {
constexpr int kFirstControlId = 100;
}  // namespace

void Win32Form::RegisterClasses(HINSTANCE instance) {
    WNDCLASSA form{};
    form.lpfnWndProc = FormProc;
    form.hInstance = instance;
    form.hCursor = LoadCursor(nullptr, IDC_ARROW);
    form.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    form.lpszClassName = kFormClass;
    RegisterClassA(&form);

    WNDCLASSA panel{};
    panel.lpfnWndProc = Win32Control::PanelProc;
    panel.hInstance = instance;
    panel.hCursor = LoadCursor(nullptr, IDC_ARROW);
    panel.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    panel.lpszClassName = kPanelClass;
    RegisterClassA(&panel);

    RegisterDialogClass(instance);
}

Win32Form::Win32Form(Win32Runtime& runtime, const FormDescription& description,
                     FormEvents formEvents)
    : Form(description, std::move(formEvents)), rt_(runtime) {
    style_ = WS_CAPTION | WS_BORDER | WS_CLIPCHILDREN;
    if (description.windowMenu) style_ |= WS_SYSMENU;
    if (description.minButton) style_ |= WS_MINIMIZEBOX;
    if (description.maxButton) style_ |= WS_MAXIMIZEBOX;
    exStyle_ = WS_EX_CONTROLPARENT;
    if (description.taskbarButton) {
        exStyle_ |= WS_EX_APPWINDOW;
    } else if (description.controls.empty() || description.caption.empty()) {
        exStyle_ |= WS_EX_TOOLWINDOW;  // the host form is never seen
    } else {
        exStyle_ |= WS_EX_DLGMODALFRAME;
    }
    pending_ = {TwipsToPixels(description.client.left), TwipsToPixels(description.client.top),
                TwipsToPixels(description.client.left + description.client.width),
                TwipsToPixels(description.client.top + description.client.height)};
    loaded_ = true;
    int id = kFirstControlId;
    for (const ControlDescription& c : description.controls) {
        Add(std::make_unique<Win32Control>(*this, c, ControlId(c, id++)));
    }
    rt_.forms.push_back(this);
    // A dialog is shown as soon as it is made; other forms get their window
    // when something first needs it (see Realise).
    if (IsDialog()) Realise();
    creating_ = false;
}

void Win32Form::Realise() {
    // A loaded form's window is made on first need: its handle, showing it,
    // its menus or timers. Until then its place and size are kept here. A
    // second start only moves Form2 off the screen and ends, and under Wine
    // making a window and its owner costs hundreds of round trips to the
    // server and the display: nothing anyone could see.
    if (hwnd_ != nullptr || !loaded_) return;
    const bool wasCreating = creating_;
    creating_ = true;
    const FormDescription& description = this->description();
    RECT r = pending_;
    AdjustWindowRectEx(&r, style_, FALSE, exStyle_);
    // Forms without a taskbar button of their own are owned by the hidden
    // application window, so the shell shows none for them.
    HWND owner = description.taskbarButton ? nullptr : rt_.applicationWindow();
    hwnd_ = CreateWindowExA(exStyle_, IsDialog() ? kDialogClass : kFormClass,
                            description.caption.c_str(), style_, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, owner, nullptr, rt_.instance(), this);

    std::map<std::string, HWND, std::less<>> containers;
    for (const auto& c : controls()) {
        auto& control = static_cast<Win32Control&>(*c);
        const ControlDescription& d = c->description();
        if (d.kind == ControlKind::Menu) {
            menus_[d.name] = Menu(CreatePopupMenu());
            continue;
        }
        if (d.kind == ControlKind::MenuItem) {
            auto menu = menus_.find(d.container);
            if (menu == menus_.end()) continue;
            if (d.caption == "-") {
                AppendMenuA(menu->second.get(), MF_SEPARATOR, 0, nullptr);
            } else {
                AppendMenuA(menu->second.get(), MF_STRING, control.id(), d.caption.c_str());
            }
            continue;
        }
        auto parent = containers.find(d.container);
        control.Create(parent == containers.end() ? hwnd_ : parent->second, rt_.font());
        if (control.window() != nullptr) containers[d.name] = control.window();
    }
    // The tab order is the order of the windows: bring them into it.
    std::vector<Win32Control*> ordered;
    for (const auto& c : controls()) {
        auto* wc = static_cast<Win32Control*>(c.get());
        if (wc->window() != nullptr && c->description().tabIndex >= 0) ordered.push_back(wc);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](Win32Control* a, Win32Control* b) {
        return a->description().tabIndex < b->description().tabIndex;
    });
    for (Win32Control* c : ordered) {
        SetWindowPos(c->window(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    for (const auto& c : controls()) {
        if (c->description().backColour != kDefaultColour) {
            textBackground_.Reset(CreateSolidBrush(c->description().backColour));
        }
    }
    if (IsDialog()) DialogBuilt();
    creating_ = wasCreating;
}

Win32Form::~Win32Form() {
    if (loaded_) Destroy();
}

Win32Form* Win32Form::Bound(HWND hwnd, UINT msg, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<Win32Form*>(create->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    return self;
}

LRESULT CALLBACK Win32Form::FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    Win32Form* self = Bound(hwnd, msg, lParam);
    if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->Handle(msg, wParam, lParam);
}

LRESULT Win32Form::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_SHOWWINDOW:
            if (wParam) SetIconsOnce();
            break;
        case WM_ACTIVATE: {
            Trace("WM_ACTIVATE %p state=%u minimised=%u", static_cast<void*>(hwnd_),
                  LOWORD(wParam), HIWORD(wParam));
            if (LOWORD(wParam) == WA_INACTIVE) {
                // Not from inside the deactivation: minimising a window that
                // is still being deactivated would hand the activation on.
                if (description().taskbarButton) PostMessageA(hwnd_, kRestMessage, 0, 0);
                return 0;
            }
            // Which activations raise Activate: see platform/activation.h. The
            // high word says the form is minimised: a click on the taskbar
            // button of a minimised form counts once it has restored it.
            const Decision decision =
                rt_.activation.Activated(this, HIWORD(wParam) != 0,
                                         rt_.events.InHandler() || creating_, rt_.modalForm,
                                         GetTickCount());
            Trace("activation of %p: %s", static_cast<void*>(hwnd_), decision.why);
            if (decision) {
                // This click has been told, also when it is a restore still
                // under way: Windows activates a restored window before it
                // sends its WM_SIZE.
                restoreCheckPending_ = false;
                restoreTold_ = minimised_;
                Raise(events.Activate);
            } else if (HIWORD(wParam) == 0 && !rt_.events.InHandler() &&
                       rt_.activation.Settling(GetTickCount())) {
                // The shell's second step of the click that has just revealed:
                // left in front, the form's next click would minimise it
                // instead of activating it. Hand the activation back once the
                // shell has had the time to act on the keys (activated in
                // the middle of them, it would forget the Tab).
                Trace("hand-back of %p in %u ms", static_cast<void*>(hwnd_), kHandAwayAfterMs);
                SetTimer(hwnd_, kHandAwayTimer, kHandAwayAfterMs, nullptr);
            }
            return 0;
        }
        case WM_MOUSEMOVE: {
            // The notification-area callback arrives here too, with the icon's
            // identifier in wParam and the mouse message in lParam. Alt is
            // read from the keyboard: the thread's own key state keeps Alt
            // down when the key went up over another window (after Alt+F4).
            auto button = static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? 1 : 0) |
                                                    ((wParam & MK_RBUTTON) ? 2 : 0) |
                                                    ((wParam & MK_MBUTTON) ? 4 : 0));
            auto shift = static_cast<std::int16_t>(((wParam & MK_SHIFT) ? 1 : 0) |
                                                   ((wParam & MK_CONTROL) ? 2 : 0) |
                                                   (GetAsyncKeyState(VK_MENU) < 0 ? 4 : 0));
            float x = static_cast<float>(static_cast<short>(LOWORD(lParam))) * kTwipsPerPixel;
            float y = static_cast<float>(static_cast<short>(HIWORD(lParam))) * kTwipsPerPixel;
            Raise(events.MouseMove, button, shift, x, y);
            return 0;
        }
        case WM_SYSCOMMAND:
            if ((wParam & 0xFFF0) == SC_CLOSE) {
                CloseRequest(vbFormControlMenu);
                return 0;
            }
            break;
        case WM_CLOSE:
            CloseRequest(vbAppTaskManager);
            return 0;
        case WM_QUERYENDSESSION:
            CloseRequest(vbAppWindows);
            return loaded_ ? FALSE : TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) == BN_CLICKED) Command(LOWORD(wParam));
            return 0;
        case WM_TIMER:
            if (wParam == kHandAwayTimer) {
                KillTimer(hwnd_, kHandAwayTimer);
                if (GetForegroundWindow() == hwnd_ && rt_.modalForm == nullptr) {
                    Trace("hand-back of %p now", static_cast<void*>(hwnd_));
                    rt_.HandActivationAway();
                }
                return 0;
            }
            if (Win32Control* c = ById(static_cast<int>(wParam))) c->Tick();
            return 0;
        case WM_SIZE:
            Resized(wParam);
            return 0;
        case kRestoredMessage:
            // Only when the restore's own activation has not told the form.
            if (restoreCheckPending_ && !IsIconic(hwnd_)) {
                const Decision decision =
                    rt_.activation.Restored(this, GetActiveWindow() == hwnd_, false,
                                            rt_.modalForm, GetTickCount());
                Trace("restore of %p: %s", static_cast<void*>(hwnd_), decision.why);
                if (decision) Raise(events.Activate);
            }
            restoreCheckPending_ = false;
            return 0;
        case kRestMessage:
            Rest();
            return 0;

        case WM_PAINT:
            Paint();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return ControlColour(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        default:
            break;
    }
    return DefaultProc(msg, wParam, lParam);
}

void Win32Form::SetIconsOnce() {
    // A window's icons are seen only once it is: on its taskbar button, in
    // Alt+Tab, in its caption. They are given when the window is first
    // shown (WM_SHOWWINDOW comes before it appears), not when it is made:
    // under Wine each icon costs the display driver dozens of round trips,
    // and a second start, which never shows a window, would pay them for
    // nothing. A tool window (the never-seen host form) shows its icons
    // nowhere: it has neither a button nor a place in Alt+Tab.
    if (iconsSet_ || (exStyle_ & WS_EX_TOOLWINDOW) != 0) return;
    iconsSet_ = true;
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(rt_.Icon(description().iconResource, 32)));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(rt_.Icon(description().iconResource, 16)));
}

LRESULT Win32Form::ControlColour(HDC dc, HWND child) {
    for (const auto& c : controls()) {
        auto* wc = static_cast<Win32Control*>(c.get());
        if (wc->window() == child && c->description().backColour != kDefaultColour &&
            textBackground_) {
            SetBkColor(dc, c->description().backColour);
            return reinterpret_cast<LRESULT>(textBackground_.get());
        }
    }
    SetBkColor(dc, GetSysColor(COLOR_BTNFACE));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
}

void Win32Form::Paint() {
    {
        Painting painting(hwnd_);
        for (const auto& c : controls()) {
            auto* wc = static_cast<Win32Control*>(c.get());
            if (c->description().kind == ControlKind::Image && c->Visible() &&
                wc->icon_ != nullptr) {
                DrawIconEx(painting.dc(), TwipsToPixels(c->description().rect.left),
                           TwipsToPixels(c->description().rect.top), wc->icon_, 32, 32, 0, nullptr,
                           DI_NORMAL);
            }
        }
    }  // the drawing ends before the handler runs
    Raise(events.Paint);
}

Win32Control* Win32Form::ById(int id) {
    for (const auto& c : controls()) {
        auto* wc = static_cast<Win32Control*>(c.get());
        if (wc->id() == id) return wc;
    }
    return nullptr;
}

void Win32Form::Command(int id) {
    Win32Control* c = ById(id);
    if (c == nullptr) return;
    if (c->description().kind == ControlKind::OptionButton) {
        c->SetValue(true);
    } else if (c->description().kind == ControlKind::CommandButton) {
        Raise(c->Click);
    }
}

void Win32Form::CloseRequest(std::int16_t unloadMode) {
    std::int16_t cancel = 0;
    Raise(events.QueryUnload, cancel, unloadMode);
    if (cancel == 0 && loaded_) Destroy();
}

void Win32Form::Unload() {
    if (!loaded_) return;
    std::int16_t cancel = 0;
    std::int16_t mode = vbFormCode;
    Raise(events.QueryUnload, cancel, mode);
    if (cancel == 0 && loaded_) Destroy();
}

void Win32Form::Destroy() {
    loaded_ = false;
    for (const auto& c : controls()) static_cast<Win32Control*>(c.get())->StopTimer();
    // Closing the dialog must not hand the activation to Form1: to the shell
    // that would be a click on its taskbar button.
    if (hwnd_ != nullptr && (rt_.modalForm == this || rt_.modalForm == nullptr)) {
        rt_.HandActivationAway();
    }
    if (hwnd_ != nullptr) DestroyWindow(hwnd_);
    rt_.activation.Unloaded(this);
    rt_.forms.erase(std::remove(rt_.forms.begin(), rt_.forms.end(), this), rt_.forms.end());
}

void Win32Form::Resized(WPARAM kind) {
    // Back from minimised: looked at once the restore is over (it may still
    // activate the form), and only when the program's own code did not do it.
    if (kind == SIZE_RESTORED && minimised_ && !restoreTold_ && !rt_.events.InHandler() &&
        !creating_) {
        restoreCheckPending_ = true;
        PostMessageA(hwnd_, kRestoredMessage, 0, 0);
    }
    // A WM_SIZE of a form that stays minimised (moved by the program, say)
    // is no end of the restore under way.
    // Restored from outside while another window is active (a shell's "undo
    // minimise all"): back to rest.
    if (kind == SIZE_RESTORED && minimised_ && description().taskbarButton &&
        GetForegroundWindow() != hwnd_) {
        PostMessageA(hwnd_, kRestMessage, 0, 0);
    }
    if (!(minimised_ && kind == SIZE_MINIMIZED)) restoreTold_ = false;
    minimised_ = kind == SIZE_MINIMIZED;
    if (minimised_) rt_.activation.Minimised();
    Raise(events.Resize);
}

void Win32Form::Require() const {
    if (!loaded_) throw RuntimeError("Form not loaded");
}
}  // namespace quorvel::win32
