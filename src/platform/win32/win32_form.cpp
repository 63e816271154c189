// A form's window: built from its description, its window procedure turning
// messages into the form's events, and its close requests.
#include <windows.h>

#include <algorithm>

#include "platform/errors.h"
#include "platform/message_words.h"
#include "platform/scope_exit.h"
#include "platform/win32/bound_window.h"
#include "platform/win32/trace.h"
#include "platform/win32/win32_colours.h"
#include "platform/win32/win32_density.h"
#include "platform/win32/win32_form.h"

namespace quorvel::win32 {

using namespace platform;

namespace {
constexpr int kFirstControlId = 100;

void RegisterClassOf(HINSTANCE instance, const char* name, WNDPROC proc, int extraBytes = 0) {
    WNDCLASSA c{};
    c.lpfnWndProc = proc;
    c.cbWndExtra = extraBytes;
    c.hInstance = instance;
    c.hCursor = LoadCursor(nullptr, IDC_ARROW);
    c.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    c.lpszClassName = name;
    RegisterWindowClass(c);
}
}  // namespace

void RegisterWindowClass(const WNDCLASSA& windowClass) {
    // A class another run time of this process registered is the same class
    // (one procedure, bound to its object at WM_NCCREATE). Any other failure
    // is left to the window that needs the class: making it then fails,
    // which is the run-time error; a start that makes no window of it (a
    // second start) is not hindered.
    if (RegisterClassA(&windowClass) != 0) return;
    const DWORD error = GetLastError();
    if (error != ERROR_CLASS_ALREADY_EXISTS) {
        Trace("RegisterClassA %s: error %lu", windowClass.lpszClassName, error);
    }
}

void RequireMade(HWND window) {
    // The program cannot do without the window it asked for: a form without
    // its window, or the forms' owner without its own, is no form of the
    // program's. The error reaches the program where it asked for the form.
    if (window == nullptr) throw RuntimeError("Out of memory");
}

void Win32Form::RegisterClasses(HINSTANCE instance) {
    RegisterClassOf(instance, kFormClass, BoundWindowProc<Win32Form, &Win32Form::FormProc>);
    RegisterClassOf(instance, kPanelClass, BoundWindowProc<Win32Control, &Win32Control::PanelProc>);
    // The dialog's class keeps the dialog manager's data and falls back to
    // its procedure (see win32_dialog.cpp).
    RegisterClassOf(instance, kDialogClass,
                    BoundWindowProc<Win32Form, &Win32Form::DialogProc, DefDlgProcA>,
                    DLGWINDOWEXTRA);
}

Win32Form::Win32Form(Win32Runtime& runtime, const FormDescription& description,
                     FormEvents formEvents)
    : WindowedForm(runtime, description, std::move(formEvents)), rt_(runtime) {
    creating_ = true;
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
    const ClientArea area = DesignArea();
    areaUntilMade_ = {area.x, area.y, area.x + area.width, area.y + area.height};
    int id = kFirstControlId;
    for (const ControlDescription& c : description.controls) {
        Add(std::make_unique<Win32Control>(*this, c, ControlId(c, id++)));
    }
    // A dialog is shown as soon as it is made; other forms get their window
    // when something first needs it (see Realise).
    if (IsDialog()) Realise();
    creating_ = false;
}

void Win32Form::Realise() {
    // A loaded form's window is made on first need: its handle, showing it,
    // its menus or timers. Until then its place and size are kept here. A
    // second start only moves the icon host form off the screen and ends, and under Wine
    // making a window and its owner costs hundreds of round trips to the
    // server and the display: nothing anyone could see.
    if (hwnd_ != nullptr || !loaded_) return;
    // Held while the window is built, and given back on every way out, a
    // window that could not be made included.
    const auto building = HoldAt(creating_, true);
    const FormDescription& description = this->description();
    RECT r = areaUntilMade_;
    AddFrame(r, style_, exStyle_, PixelsPerInch());
    // Forms without a taskbar button of their own are owned by the hidden
    // application window, so the shell shows none for them.
    HWND owner = description.taskbarButton ? nullptr : rt_.applicationWindow();
    // Null too when a window was bound at WM_NCCREATE and then refused: the
    // form stays without a window, and the next need tries again.
    hwnd_ = CreateWindowExA(exStyle_, IsDialog() ? kDialogClass : kFormClass,
                            description.caption.c_str(), style_, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, owner, nullptr, rt_.instance(), this);
    RequireMade(hwnd_);
    // Made where the design put it at the system's density; Windows gave it
    // the density of the monitor there. Known only now, without the library
    // that tells a monitor's (shcore, whose loading costs every start).
    TakeDensity(WindowDensity(hwnd_));

    // Only the dialog's controls show text.
    if (IsDialog()) MakeDialogFont();
    std::map<std::string, HWND, std::less<>> containers;
    for (Win32Control& control : Win32Controls()) {
        const ControlDescription& d = control.description();
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
        control.Create(parent == containers.end() ? hwnd_ : parent->second, font_.get());
        if (control.window() != nullptr) containers[d.name] = control.window();
    }
    // The tab order is the order of the windows: bring them into it.
    std::vector<Win32Control*> ordered;
    for (Win32Control& c : Win32Controls()) {
        if (c.window() != nullptr && c.description().tabIndex >= 0) ordered.push_back(&c);
    }
    std::stable_sort(ordered.begin(), ordered.end(), [](Win32Control* a, Win32Control* b) {
        return a->description().tabIndex < b->description().tabIndex;
    });
    for (Win32Control* c : ordered) {
        SetWindowPos(c->window(), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (IsDialog()) SetDefaultButton();
}

Win32Form::~Win32Form() {
    if (loaded_) Destroy();
}

LRESULT Win32Form::FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) hwnd_ = hwnd;
    if (paint_.Told(msg, static_cast<std::uint32_t>(wParam))) RepaintInNewColours(hwnd_, msg);
    switch (msg) {
        case WM_SHOWWINDOW:
            if (wParam) SetIconsOnce();
            break;
        case WM_ACTIVATE:
            Trace("WM_ACTIVATE %p state=%u minimised=%u", static_cast<void*>(hwnd_),
                  LowWord(wParam), HighWord(wParam));
            break;
        case WM_COMMAND:
            if (HighWord(wParam) == BN_CLICKED) ButtonClicked(LowWord(wParam));
            return 0;
        case WM_TIMER:
            if (Win32Control* c = ControlWithId(static_cast<int>(wParam))) c->Tick();
            return 0;
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
            return ControlColour(msg, reinterpret_cast<HDC>(wParam),
                                 reinterpret_cast<HWND>(lParam));
        case WM_GETDPISCALEDSIZE:
        case WM_DPICHANGED:
            return DensityChanged(msg, wParam, lParam);
        default:
            break;
    }
    std::intptr_t result = 0;
    if (Message(msg, static_cast<std::uint32_t>(wParam), static_cast<std::uint32_t>(lParam),
                result)) {
        return result;
    }
    return DefaultProc(msg, wParam, lParam);
}

bool Win32Form::AltDown() const {
    // From the keyboard: the thread's own key state keeps Alt down when the
    // key went up over another window (after Alt+F4).
    return GetAsyncKeyState(VK_MENU) < 0;
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

LRESULT Win32Form::ControlColour(UINT msg, HDC dc, HWND child) {
    // The control's text and background by the colour rule, and a brush of
    // that background to fill it with ("WM_CTLCOLORSTATIC message": both
    // colours are the answering parent's to set). The panels pass their
    // children's questions on to the form.
    for (Win32Control& c : Win32Controls()) {
        if (c.window() != child) continue;
        const auto [drawn, brush] =
            paint_.For(c.description(), SystemColourScheme,
                       [](platform::Colour colour) { return Brush(CreateSolidBrush(colour)); });
        if (brush == nullptr) break;
        SetTextColor(dc, drawn.text);
        SetBkColor(dc, drawn.background);
        return reinterpret_cast<LRESULT>(brush);
    }
    // No control of this form's, or no brush: the system's colours.
    return DefaultProc(msg, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(child));
}

void Win32Form::Draw() {
    // The images; the drawing ends before the handler runs.
    Paint(hwnd_, [this](HDC dc) {
        for (Win32Control& c : Win32Controls()) {
            if (c.description().kind == ControlKind::Image && c.Visible() && c.icon_ != nullptr) {
                // As large as the image is at this density: the icon's one
                // picture of 32 pixels, stretched where the density is higher.
                const ClientArea at = ControlArea(c.description());
                DrawIconEx(dc, at.x, at.y, c.icon_, at.width, at.height, 0, nullptr, DI_NORMAL);
            }
        }
    });
}

Win32Control* Win32Form::ControlWithId(int id) {
    for (Win32Control& c : Win32Controls()) {
        if (c.id() == id) return &c;
    }
    return nullptr;
}

void Win32Form::ButtonClicked(int id) {
    Win32Control* c = ControlWithId(id);
    if (c == nullptr) return;
    if (c->description().kind == ControlKind::OptionButton) {
        c->SetValue(true);
    } else if (c->description().kind == ControlKind::CommandButton) {
        Raise(c->Click);
    }
}

void Win32Form::Post(Deferred what) {
    static_assert(kDeferredMessage == WM_APP + 1);
    PostMessageA(hwnd_, kDeferredMessage, static_cast<WPARAM>(what), 0);
}

void Win32Form::StopControlTimers() {
    for (Win32Control& c : Win32Controls()) c.StopTimer();
}

void Win32Form::DestroyWindow() {
    if (hwnd_ != nullptr) ::DestroyWindow(hwnd_);
}
}  // namespace quorvel::win32
