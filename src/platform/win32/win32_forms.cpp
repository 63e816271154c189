#include "platform/win32/win32_forms.h"

#include <algorithm>

#include "platform/dispatch.h"
#include "platform/file_pattern.h"
#include "platform/win32/win32_runtime.h"

namespace quorvel::win32 {

using namespace platform;

namespace {

constexpr const char* kFormClass = "QuorvelForm";
constexpr const char* kPanelClass = "QuorvelPanel";

// The path with each of its names in the case the file system stores it
// ("C:\windows\TEMP" is "C:\windows\temp" under Wine). Wine finds a name of
// the right case at once but searches the folder for any other spelling, and
// would do so again for every file name built from the path. Nothing but the
// case changes: a name found in another form (an 8.3 alias) is kept as given.
std::string SpeltAsStored(const std::string& path) {
    std::size_t at = path.find('\\');
    if (at == std::string::npos) return path;
    std::string stored = path.substr(0, at);  // the drive, kept as it is
    while (at != std::string::npos) {
        std::size_t next = path.find('\\', at + 1);
        std::string name = path.substr(at + 1, next == std::string::npos ? next : next - at - 1);
        stored += '\\';
        if (!name.empty()) {
            WIN32_FIND_DATAA found;
            FindHandle find(FindFirstFileA((stored + name).c_str(), &found));
            if (find.valid() && lstrlenA(found.cFileName) == static_cast<int>(name.size()) &&
                lstrcmpiA(found.cFileName, name.c_str()) == 0) {
                name = found.cFileName;
            }
        }
        stored += name;
        at = next;
    }
    return stored;
}

constexpr int kFirstControlId = 100;

using platform::TwipsToPixels;

}  // namespace

// --- controls ---

Win32Control::Win32Control(Win32Form& form, ControlDescription description, int id)
    : Control(std::move(description)), form_(form), id_(id) {}

Win32Control::~Win32Control() {
    StopTimer();
}

void Win32Control::Create(HWND parent, HFONT font) {
    const ControlDescription& s = description();
    RECT r{TwipsToPixels(s.rect.left), TwipsToPixels(s.rect.top),
           TwipsToPixels(s.rect.left + s.rect.width), TwipsToPixels(s.rect.top + s.rect.height)};
    DWORD style = WS_CHILD | WS_CLIPSIBLINGS | (s.visible ? WS_VISIBLE : 0);
    DWORD exStyle = 0;
    const char* cls = nullptr;
    HINSTANCE instance = form_.rt_.instance();
    switch (s.kind) {
        case ControlKind::CommandButton:
            cls = "BUTTON";
            style |= WS_TABSTOP | (s.isDefault ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON);
            break;
        case ControlKind::OptionButton:
            cls = "BUTTON";
            style |= WS_TABSTOP | BS_AUTORADIOBUTTON | BS_MULTILINE | (s.index == 1 ? WS_GROUP : 0);
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
    hwnd_ = CreateWindowExA(exStyle, cls, Caption().c_str(), style, r.left, r.top, r.right - r.left,
                            r.bottom - r.top, parent,
                            reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id_)), instance, this);
    SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

LRESULT CALLBACK Win32Control::PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<Win32Control*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    switch (msg) {
        case WM_COMMAND:
        case WM_CTLCOLORSTATIC:
        case WM_CTLCOLOREDIT:
        case WM_CTLCOLORBTN:
            return SendMessageA(GetAncestor(hwnd, GA_ROOT), msg, wParam, lParam);
        case WM_PAINT: {
            PAINTSTRUCT ps;
            HDC dc = BeginPaint(hwnd, &ps);
            if (self != nullptr && self->description().kind == ControlKind::Frame) {
                RECT r;
                GetClientRect(hwnd, &r);
                r.top += 6;  // where a frame's title would stand
                DrawEdge(dc, &r, EDGE_ETCHED, BF_RECT);
            }
            if (self != nullptr && self->icon_ != nullptr) {
                DrawIconEx(dc, 0, 0, self->icon_, 32, 32, 0, nullptr, DI_NORMAL);
            }
            EndPaint(hwnd, &ps);
            return 0;
        }
        case WM_NCDESTROY:
            SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            break;
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
            }
            break;
        case Property::Interval:
            StopTimer();
            if (Interval() > 0 && form_.loaded_) {
                SetTimer(form_.hwnd_, id_, static_cast<UINT>(Interval()), nullptr);
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
    if (inTick_) return;  // a tick never re-enters its own handler (DoEvents)
    ScopedFlag ticking(inTick_);
    form_.rt_.events.Raise(Timer);
}

std::string Win32Control::Path() const {
    Require(ControlKind::FileListBox);
    return path_;
}

void Win32Control::SetPath(const std::string& path) {
    Require(ControlKind::FileListBox);
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        throw RuntimeError("Path not found");
    }
    std::string folder = SpeltAsStored(path);
    std::vector<std::string> names;
    WIN32_FIND_DATAA found;
    // The system's search narrows the folder down to the pattern (so only
    // those entries are looked at further), but it also matches 8.3 names:
    // "report.tmpl" is REPORT~1.TMP. Each name found is matched again below.
    FindHandle find(FindFirstFileA((folder + "\\" + Pattern()).c_str(), &found));
    if (find.valid()) {
        do {
            // Files only, the hidden and system ones left out, as a file list
            // shows by default; the pattern against the file's own name.
            constexpr DWORD kLeftOut =
                FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
            if (found.dwFileAttributes & kLeftOut) continue;
            if (!MatchesPattern(found.cFileName, Pattern())) continue;
            names.emplace_back(found.cFileName);
        } while (FindNextFileA(find.get(), &found));
    }
    // The list is never shown and is read once: the names stay in the order
    // the system returns them, which is the cheapest order to delete them in.
    if (names.size() > 32767) names.resize(32767);
    path_ = std::move(folder);
    entries_ = std::move(names);
}

std::int16_t Win32Control::ListCount() const {
    Require(ControlKind::FileListBox);
    return static_cast<std::int16_t>(entries_.size());
}

std::string Win32Control::List(int index) const {
    Require(ControlKind::FileListBox);
    if (index < 0 || index >= static_cast<int>(entries_.size())) {
        throw RuntimeError("Invalid property array index");
    }
    return entries_[index];
}

Hicon Win32Control::Picture() const {
    Require(ControlKind::PictureBox);
    return static_cast<Hicon>(reinterpret_cast<UINT_PTR>(icon_));
}

// --- forms ---

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
    RECT r{TwipsToPixels(description.client.left), TwipsToPixels(description.client.top),
           TwipsToPixels(description.client.left + description.client.width),
           TwipsToPixels(description.client.top + description.client.height)};
    AdjustWindowRectEx(&r, style_, FALSE, exStyle_);
    // Forms without a taskbar button of their own are owned by the hidden
    // application window, so the shell shows none for them.
    HWND owner = description.taskbarButton ? nullptr : rt_.applicationWindow();
    hwnd_ =
        CreateWindowExA(exStyle_, kFormClass, description.caption.c_str(), style_, r.left, r.top,
                        r.right - r.left, r.bottom - r.top, owner, nullptr, rt_.instance(), this);
    loaded_ = true;
    SendMessageA(hwnd_, WM_SETICON, ICON_BIG,
                 reinterpret_cast<LPARAM>(rt_.Icon(description.iconResource, 32)));
    SendMessageA(hwnd_, WM_SETICON, ICON_SMALL,
                 reinterpret_cast<LPARAM>(rt_.Icon(description.iconResource, 16)));

    int id = kFirstControlId;
    std::map<std::string, HWND, std::less<>> containers;
    for (const ControlDescription& c : description.controls) {
        auto& control =
            static_cast<Win32Control&>(Add(std::make_unique<Win32Control>(*this, c, id++)));
        if (c.kind == ControlKind::Menu) {
            menus_[c.name] = Menu(CreatePopupMenu());
            continue;
        }
        if (c.kind == ControlKind::MenuItem) {
            auto menu = menus_.find(c.container);
            if (menu == menus_.end()) continue;
            if (c.caption == "-") {
                AppendMenuA(menu->second.get(), MF_SEPARATOR, 0, nullptr);
            } else {
                AppendMenuA(menu->second.get(), MF_STRING, control.id(), c.caption.c_str());
            }
            continue;
        }
        auto parent = containers.find(c.container);
        control.Create(parent == containers.end() ? hwnd_ : parent->second, rt_.font());
        if (control.window() != nullptr) containers[c.name] = control.window();
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
    rt_.forms.push_back(this);
    creating_ = false;
}

Win32Form::~Win32Form() {
    if (loaded_) Destroy();
}

LRESULT CALLBACK Win32Form::FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
        auto* form = static_cast<Win32Form*>(create->lpCreateParams);
        form->hwnd_ = hwnd;
        SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* self = reinterpret_cast<Win32Form*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
    if (msg == WM_NCDESTROY) SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    if (self == nullptr) return DefWindowProcA(hwnd, msg, wParam, lParam);
    return self->Handle(msg, wParam, lParam);
}

template <typename Handler, typename... Args>
void Win32Form::Raise(const Handler& handler, Args&... args) {
    if (creating_ || !loaded_) return;
    rt_.events.Raise(handler, args...);
}

LRESULT Win32Form::Handle(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE) {
                focus_ = GetFocus();
                return 0;
            }
            if (rt_.modalForm == this) {
                HWND target = focus_ != nullptr && IsChild(hwnd_, focus_)
                                  ? focus_
                                  : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
                if (target != nullptr) SetFocus(target);
            }
            // Activate is raised when the user or another program makes the
            // form the program's current form; not when the user comes back to
            // it from another program, and not for activations the program's
            // own handlers cause.
            if (!rt_.events.InHandler() && rt_.lastActiveForm != this && !creating_) {
                rt_.lastActiveForm = this;
                Raise(events.Activate);
            }
            return 0;
        case WM_MOUSEMOVE: {
            // The notification-area callback arrives here too, with the icon's
            // identifier in wParam and the mouse message in lParam.
            auto button = static_cast<std::int16_t>(((wParam & MK_LBUTTON) ? 1 : 0) |
                                                    ((wParam & MK_RBUTTON) ? 2 : 0) |
                                                    ((wParam & MK_MBUTTON) ? 4 : 0));
            auto shift = static_cast<std::int16_t>(((wParam & MK_SHIFT) ? 1 : 0) |
                                                   ((wParam & MK_CONTROL) ? 2 : 0) |
                                                   (GetKeyState(VK_MENU) < 0 ? 4 : 0));
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
        case DM_GETDEFID:
            for (const auto& c : controls()) {
                if (c->description().isDefault) {
                    return MAKELRESULT(static_cast<Win32Control*>(c.get())->id(), DC_HASDEFID);
                }
            }
            return 0;
        case WM_TIMER:
            if (Win32Control* c = ById(static_cast<int>(wParam))) c->Tick();
            return 0;
        case WM_SIZE:
            Raise(events.Resize);
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
    return DefWindowProcA(hwnd_, msg, wParam, lParam);
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
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(hwnd_, &ps);
    for (const auto& c : controls()) {
        auto* wc = static_cast<Win32Control*>(c.get());
        if (c->description().kind == ControlKind::Image && c->Visible() && wc->icon_ != nullptr) {
            DrawIconEx(dc, TwipsToPixels(c->description().rect.left),
                       TwipsToPixels(c->description().rect.top), wc->icon_, 32, 32, 0, nullptr,
                       DI_NORMAL);
        }
    }
    EndPaint(hwnd_, &ps);
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
    // Enter and Escape of the dialog's keyboard handling arrive as IDOK and IDCANCEL.
    for (const auto& c : controls()) {
        if ((id == IDOK && c->description().isDefault) ||
            (id == IDCANCEL && c->description().isCancel)) {
            id = static_cast<Win32Control*>(c.get())->id();
            break;
        }
    }
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
    if (rt_.modalForm == this || rt_.modalForm == nullptr) rt_.HandActivationAway();
    HWND hwnd = hwnd_;
    DestroyWindow(hwnd);
    if (rt_.lastActiveForm == this) rt_.lastActiveForm = nullptr;
    rt_.forms.erase(std::remove(rt_.forms.begin(), rt_.forms.end(), this), rt_.forms.end());
}

void Win32Form::Require() const {
    if (!loaded_) throw RuntimeError("Form not loaded");
}

RECT Win32Form::ClientRect() const {
    Require();
    RECT r;
    GetClientRect(hwnd_, &r);
    MapWindowPoints(hwnd_, nullptr, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

double Win32Form::Left() const {
    return ClientRect().left * kTwipsPerPixel;
}
double Win32Form::Top() const {
    return ClientRect().top * kTwipsPerPixel;
}
double Win32Form::Width() const {
    RECT r = ClientRect();
    return (r.right - r.left) * kTwipsPerPixel;
}
double Win32Form::Height() const {
    RECT r = ClientRect();
    return (r.bottom - r.top) * kTwipsPerPixel;
}

void Win32Form::MoveClientTo(int x, int y) {
    Require();
    if (IsIconic(hwnd_)) throw RuntimeError("Can't move or size a minimized form");
    RECT window;
    GetWindowRect(hwnd_, &window);
    RECT client = ClientRect();
    SetWindowPos(hwnd_, nullptr, x - (client.left - window.left), y - (client.top - window.top), 0,
                 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void Win32Form::SizeClientTo(int width, int height) {
    Require();
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
    char text[256] = {};
    GetWindowTextA(hwnd_, text, sizeof text);
    return text;
}

void Win32Form::SetCaption(std::string_view caption) {
    Require();
    SetWindowTextA(hwnd_, std::string(caption).c_str());
}

void Win32Form::SetVisible(bool visible) {
    Require();
    if (!visible) {
        Hide();
    } else if (!IsWindowVisible(hwnd_)) {
        // Shown without taking the activation from the user's window: no
        // Activate, and the next click on the taskbar button activates it.
        hiddenByProgram = false;
        ShowWindow(hwnd_, SW_SHOWNA);
        TaskbarChanged();
    }
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
    hiddenByProgram = false;
    ShowWindow(hwnd_, SW_SHOWNA);
    // The shown form is the program's current form, so that the next
    // activation of another form is an Activate of that form.
    rt_.lastActiveForm = this;
}

void Win32Form::Hide() {
    Require();
    hiddenByProgram = true;
    // Hiding never leaves the activation with another of the program's forms:
    // activating Form1 is what its taskbar button's click does.
    if (rt_.modalForm == nullptr) rt_.HandActivationAway();
    ShowWindow(hwnd_, SW_HIDE);
    TaskbarChanged();
}

void Win32Form::ShowModal() {
    Require();
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
    if (rt_.lastActiveForm != this) {
        rt_.lastActiveForm = this;
        Raise(events.Activate);
    }
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
