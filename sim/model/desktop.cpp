#include "sim/model/desktop.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <stdexcept>
#include <utility>

#include "platform/constants.h"
#include "platform/message_words.h"
#include "platform/winapi.h"
#include "sim/model/ansi.h"

namespace quorvel::sim {

using namespace platform;

namespace {
constexpr int kShellPid = 1;

std::uint32_t Read32(const std::uint8_t* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}
}  // namespace

Desktop::Desktop(bool withShell) {
    char pattern[] = "/tmp/quorvel-sim-XXXXXX";
    const char* made = mkdtemp(pattern);
    if (made == nullptr) throw std::runtime_error("cannot make the simulated drive C:");
    driveC = made;
    std::filesystem::create_directories(driveC / "WINDOWS" / "TEMP");
    alive_.insert(kShellPid);
    if (withShell) {
        Window progman;
        progman.title = "Program Manager";
        progman.className = "Progman";
        progman.visible = true;
        progman.taskbarButton = false;
        shell_ = CreateWindow(kShellPid, progman);
        Window taskbar;
        taskbar.className = "Shell_TrayWnd";
        taskbar.visible = true;
        taskbar.taskbarButton = false;
        taskbar.toolWindow = true;
        taskbar.thread = 1;
        taskbar_ = CreateWindow(kShellPid, taskbar);
    }
}

const char* ShellKindName(ShellKind kind) {
    switch (kind) {
        case ShellKind::Windows:
            return "WindowsOwn";
        case ShellKind::Harsh:
            return "Harsh";
        case ShellKind::HarshSync:
            return "HarshSync";
        case ShellKind::WindowsLayout:
            return "WindowsLayout";
        case ShellKind::WindowsLayoutWithoutAltM:
            return "WindowsLayoutWithoutAltM";
    }
    return "?";
}

Desktop::~Desktop() {
    std::error_code ignored;
    std::filesystem::remove_all(driveC, ignored);
}

// --- processes ---

int Desktop::NewProcess(const std::string&) {
    int pid = nextPid_++;
    alive_.insert(pid);
    if (integrityOfNewPrograms == Integrity::High) elevated_.insert(pid);
    return pid;
}

Desktop::Integrity Desktop::IntegrityOf(int pid) const {
    return elevated_.count(pid) ? Integrity::High : Integrity::Medium;
}

void Desktop::AllowThroughWindowFilter(Hwnd hwnd, std::uint32_t msg) {
    if (Window* w = Find(hwnd)) w->allowedFromLower.insert(msg);
}

bool Desktop::PostFrom(int from, Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                       std::uint32_t lParam) {
    const Window* w = Find(hwnd);
    if (w == nullptr) return false;
    if (IntegrityOf(from) < IntegrityOf(w->pid) && w->allowedFromLower.count(msg) == 0) {
        return false;
    }
    Post(hwnd, msg, wParam, lParam);
    return true;
}

Desktop::NamedObject Desktop::CreateNamedObject(int pid, const std::string& name) {
    auto it = namedObjects_.find(name);
    if (it == namedObjects_.end() || !Alive(it->second)) {
        namedObjects_[name] = pid;
        return {true, 0};
    }
    if (denyingHolders_.count(it->second)) return {false, ERROR_ACCESS_DENIED};
    return {true, ERROR_ALREADY_EXISTS};
}

int Desktop::HoldNamedObjectDenyingOthers(const std::string& name) {
    int pid = NewProcess("elevated");
    namedObjects_[name] = pid;
    denyingHolders_.insert(pid);
    return pid;
}

void Desktop::Drive(const std::function<void()>& f) {
    try {
        f();
    } catch (const ProcessEnded& ended) {
        if (depth_[ended.pid] > 0) throw;  // its frames are further out
        Reap(ended.pid);
    }
}

void Desktop::SetQuitHandler(int pid, std::function<void(std::uint32_t)> onQuit) {
    quitHandlers_[pid] = std::move(onQuit);
}

void Desktop::PostQuit(int pid, std::uint32_t exitCode) {
    posted_.push_back([this, pid, exitCode] {
        auto it = quitHandlers_.find(pid);
        if (!Alive(pid) || it == quitHandlers_.end() || !it->second) return;
        auto onQuit = it->second;
        Drive([&] {
            InProcess guard(*this, pid);
            onQuit(exitCode);
        });
    });
}

void Desktop::Reap(int pid) {
    // Windows restores the timer resolution of a process that ends.
    finestTimer_.erase(pid);
    if (!Alive(pid)) return;
    alive_.erase(pid);
    std::vector<Hwnd> owned;
    for (const auto& [hwnd, w] : windows_) {
        if (w.pid == pid) owned.push_back(hwnd);
    }
    for (Hwnd hwnd : owned) DestroyWindow(hwnd);
    comLibraries_.erase(pid);
    quitHandlers_.erase(pid);
    for (auto it = timers_.begin(); it != timers_.end();) {
        it = it->second.pid == pid ? timers_.erase(it) : std::next(it);
    }
    // Its notification-area icons stay until the shell notices, as in Windows.
    if (onProcessReaped) onProcessReaped(pid);
}

// --- windows ---

Hwnd Desktop::CreateWindow(int pid, Window window) {
    const Hwnd hwnd = nextHwnd_;
    nextHwnd_ += 2;
    window.hwnd = hwnd;
    window.pid = pid;
    window.pixelsPerInch = DensityAt(window.x, window.y, window.width, window.height);
    const bool topLevel = !window.messageOnly;
    windows_[hwnd] = std::move(window);
    if (topLevel) zOrder_.insert(zOrder_.begin(), hwnd);
    return hwnd;
}

void Desktop::DestroyWindow(Hwnd hwnd) {
    if (Find(hwnd) == nullptr) return;
    if (active_ == hwnd) {
        Hide(hwnd);
        if (active_ == hwnd) active_ = 0;
    }
    windows_.erase(hwnd);
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
}

Window* Desktop::Find(Hwnd hwnd) {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
}

const Window* Desktop::Find(Hwnd hwnd) const {
    auto it = windows_.find(hwnd);
    return it == windows_.end() ? nullptr : &it->second;
}

Hwnd Desktop::FindByTitle(std::string_view title) const {
    Hwnd any = 0;
    for (Hwnd hwnd : zOrder_) {
        const Window* w = Find(hwnd);
        if (Lower(w->title) != Lower(std::string(title))) continue;
        if (w->visible) return hwnd;
        if (any == 0) any = hwnd;
    }
    return any;
}

std::intptr_t Desktop::Send(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam,
                            std::uint32_t lParam) {
    Window* w = Find(hwnd);
    if (w == nullptr || !w->proc || !Alive(w->pid)) return 0;
    auto proc = w->proc;  // the window may go while its procedure runs
    InProcess guard(*this, w->pid);
    return proc(msg, wParam, lParam);
}

void Desktop::Post(Hwnd hwnd, std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam) {
    posted_.push_back([this, hwnd, msg, wParam, lParam] { Send(hwnd, msg, wParam, lParam); });
}

void Desktop::Activate(Hwnd hwnd) {
    if (hwnd == active_ || Find(hwnd) == nullptr) return;
    Hwnd old = active_;
    active_ = hwnd;
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
    zOrder_.insert(zOrder_.begin(), hwnd);
    if (old == shell_) shellFocus_ = false;
    if (hwnd == shell_) {
        // The foreground is the shell's at once; the keyboard focus only once
        // the shell's thread has handled the activation.
        shellFocus_ = false;
        if (lateFocus_ != 0) {
            activations_.push_back([this, late = lateFocus_] {
                if (const Window* w = Find(late); w != nullptr && w->visible) Activate(late);
            });
            lateFocus_ = 0;
        }
        activations_.push_back([this] {
            if (active_ != shell_) return;
            shellFocus_ = true;
            shellTaskbarFocus_ = false;  // the focus starts on the desktop
            FocusTaken(shell_);
        });
    } else {
        FocusTaken(hwnd);
    }
    auto minimised = [this](Hwnd h) {
        const Window* w = Find(h);
        return w != nullptr && w->minimised ? 1 : 0;
    };
    if (old != 0) Send(old, WM_ACTIVATE, MakeLong(WA_INACTIVE, minimised(old)), hwnd);
    Send(hwnd, WM_ACTIVATE, MakeLong(WA_ACTIVE, minimised(hwnd)), old);
}

void Desktop::Show(Hwnd hwnd, bool activate) {
    Window* w = Find(hwnd);
    if (w == nullptr) return;
    bool wasVisible = w->visible;
    w->visible = true;
    if (activate) Activate(hwnd);
    if (!wasVisible) Post(hwnd, WM_PAINT);
}

void Desktop::Hide(Hwnd hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr) return;
    w->visible = false;
    if (active_ == hwnd) HandOff(hwnd);
}

void Desktop::HandOff(Hwnd gone) {
    for (Hwnd candidate : zOrder_) {
        const Window* c = Find(candidate);
        if (candidate != gone && candidate != taskbar_ && c->visible && c->enabled) {
            Activate(candidate);
            return;
        }
    }
}

void Desktop::HideKeepingActivation(Hwnd hwnd) {
    if (Window* w = Find(hwnd)) w->visible = false;
}

void Desktop::Minimise(Hwnd hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr || w->minimised) return;
    w->minimised = true;
    if (w->hidesWhenMinimised) w->visible = false;
    SendSize(hwnd, SIZE_MINIMIZED);
    if (active_ == hwnd && Find(hwnd) != nullptr) HandOff(hwnd);
}

void Desktop::SendSize(Hwnd hwnd, std::uint32_t how) {
    const Window* w = Find(hwnd);
    if (w == nullptr) return;
    // wParam how it was sized; lParam the client area's width in the low
    // word and height in the high word, none while minimised.
    const std::uint32_t size = how == SIZE_MINIMIZED ? 0 : MakeLong(w->width, w->height);
    Send(hwnd, WM_SIZE, how, size);
}

void Desktop::Restore(Hwnd hwnd) {
    Window* w = Find(hwnd);
    if (w == nullptr || !w->minimised) return;
    w->minimised = false;
    SendSize(hwnd, SIZE_RESTORED);
}

void Desktop::BringToFront(Hwnd hwnd) {
    if (Find(hwnd) == nullptr) return;
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
    zOrder_.insert(zOrder_.begin(), hwnd);
}

bool Desktop::PlaceInZOrder(Hwnd hwnd, Hwnd insertAfter) {
    if (insertAfter == platform::HWND_NOTOPMOST) return true;
    if (insertAfter == platform::HWND_TOP) {
        BringToFront(hwnd);
        return true;
    }
    if (insertAfter != platform::HWND_BOTTOM && Find(insertAfter) == nullptr) return false;
    if (insertAfter == hwnd) return true;
    zOrder_.erase(std::remove(zOrder_.begin(), zOrder_.end(), hwnd), zOrder_.end());
    auto at = insertAfter == platform::HWND_BOTTOM
                  ? zOrder_.end()
                  : std::next(std::find(zOrder_.begin(), zOrder_.end(), insertAfter));
    zOrder_.insert(at, hwnd);
    return true;
}

Hwnd Desktop::NextWindowOfOtherProgram(int pid, Hwnd preferred) const {
    auto takes = [&](Hwnd hwnd) {
        const Window* w = Find(hwnd);
        return w != nullptr && hwnd != shell_ && w->visible && !w->cloaked && w->enabled &&
               !w->minimised && !w->toolWindow && !w->noActivate && !w->transparent &&
               w->pid != pid && w->pid != kShellPid;
    };
    if (takes(preferred)) return preferred;
    for (Hwnd hwnd : zOrder_) {
        const Window* w = Find(hwnd);
        bool onScreen = w->x + w->width > 0 && w->y + w->height > 0;
        if (takes(hwnd) && onScreen) return hwnd;
    }
    return shell_;
}

bool Desktop::SameThread(Hwnd a, Hwnd b) const {
    return ThreadOf(a) != 0 && ThreadOf(a) == ThreadOf(b);
}

std::uint32_t Desktop::ThreadOf(Hwnd hwnd) const {
    const Window* w = Find(hwnd);
    if (w == nullptr) return 0;
    const int thread = hwnd == taskbar_ && !TwoThreads() ? 0 : w->thread;
    return static_cast<std::uint32_t>(w->pid * 16 + thread + 1);
}

Hwnd Desktop::FocusOfThread(Hwnd hwnd) const {
    return active_ != 0 && SameThread(active_, hwnd) && HasKeyboardFocus(active_) ? active_ : 0;
}

Hwnd Desktop::CreateAppWindow(const std::string& title) {
    Window w;
    w.title = title;
    w.className = "Edit";
    w.visible = true;
    w.minimiseBox = true;
    w.x = 100;
    w.y = 100;
    w.width = 400;
    w.height = 300;
    Hwnd hwnd = CreateWindow(NewProcess(title), w);
    Activate(hwnd);
    return hwnd;
}

// --- the shell ---

bool Desktop::WindowsShell() const {
    return shellKind == ShellKind::Windows || TwoThreads();
}

bool Desktop::TwoThreads() const {
    return shellKind == ShellKind::WindowsLayout ||
           shellKind == ShellKind::WindowsLayoutWithoutAltM;
}

std::vector<Hwnd> Desktop::MinimisableWindows(int pid) const {
    std::vector<Hwnd> found;
    for (Hwnd hwnd : zOrder_) {
        const Window* w = Find(hwnd);
        if (w->pid != pid && w->pid != kShellPid && w->visible && w->enabled && !w->minimised &&
            w->owner == 0 && w->minimiseBox && !w->toolWindow && !w->cloaked) {
            found.push_back(hwnd);
        }
    }
    return found;
}

bool Desktop::StillShown(Hwnd hwnd) const {
    const Window* w = Find(hwnd);
    return w != nullptr && w->visible && !w->minimised;
}

bool Desktop::ComInitialise(int pid) {
    if (comLibraries_.count(pid) == 0) {
        ++libraryLoads["ole32.dll"];
        comLibraries_[pid];
    }
    return true;
}

void Desktop::ComUninitialise(int pid) {
    auto it = comLibraries_.find(pid);
    if (it == comLibraries_.end()) return;
    // The program keeps ole32 itself; what COM loaded goes.
    it->second.clear();
}

int Desktop::MakeShellObject(int pid) {
    auto it = comLibraries_.find(pid);
    if (it == comLibraries_.end() || shell_ == 0) return 0;  // CO_E_NOTINITIALIZED, no shell
    if (it->second.insert("shell32.dll").second) ++libraryLoads["shell32.dll"];
    ++shellObjectsMade;
    ++shellObjectsHeld;
    shellObjects_[++lastShellObject_] = taskbars_;
    return lastShellObject_;
}

bool Desktop::ShellObjectMinimizeAll(int object) {
    ++shellObjectCalls;
    auto it = shellObjects_.find(object);
    if (it == shellObjects_.end() || it->second != taskbars_) return false;  // disconnected
    if (!shellObjectWorks || shell_ == 0) return false;
    // It asks the taskbar, which minimises as its keys would.
    if (!shellObjectSilent) Post([this] { MinimiseAll(); });
    return true;
}

void Desktop::ReleaseShellObject(int object) {
    if (shellObjects_.erase(object) != 0) --shellObjectsHeld;
}

bool Desktop::MayTakeForeground(int pid) const {
    const Window* active = Find(Active());
    return !foregroundLocked || active == nullptr || active->pid == pid;
}

bool Desktop::HasTaskbarButton(Hwnd hwnd) const {
    const Window* w = Find(hwnd);
    return w != nullptr && w->visible && w->taskbarButton && w->owner == 0 && !w->title.empty();
}

std::vector<Hwnd> Desktop::TaskbarButtons() const {
    std::vector<Hwnd> buttons;
    for (const auto& [hwnd, w] : windows_) {
        if (HasTaskbarButton(hwnd)) buttons.push_back(hwnd);
    }
    return buttons;
}

void Desktop::MinimiseAll() {
    // Every visible, enabled top-level window that is not the shell's own
    // (desktop, taskbar) and not a dialog box; Windows' own shell only those
    // with a minimise button. Collected first: the windows hear of it and
    // may change the set.
    std::vector<Hwnd> targets;
    for (const auto& [hwnd, w] : windows_) {
        if (w.pid != kShellPid && w.visible && w.enabled && !w.minimised &&
            w.className != "#32770" && (!WindowsShell() || w.minimiseBox)) {
            targets.push_back(hwnd);
        }
    }
    ++minimiseAll_;
    for (Hwnd hwnd : targets) {
        if (shellKind == ShellKind::HarshSync) {
            Minimise(hwnd);
        } else {
            Post([this, hwnd] { Minimise(hwnd); });
        }
    }
    if (auto late = std::exchange(afterMinimiseAll, nullptr)) late();
}

void Desktop::QueueKeys(const std::vector<platform::KeyEvent>& keys) {
    ++keyBatches_;
    for (const platform::KeyEvent& key : keys) {
        keysSent.push_back({key.virtualKey, key.up, now_});
        keys_.push_back({key.virtualKey, key.up, !HasKeyboardFocus(active_), active_, keyBatches_});
    }
}

bool Desktop::HasKeyboardFocus(Hwnd hwnd) const {
    if (hwnd == 0 || hwnd != active_) return false;
    return hwnd != shell_ || shellFocus_;
}

bool Desktop::RunOneActivation() {
    if (activations_.empty()) return false;
    auto f = std::move(activations_.front());
    activations_.pop_front();
    f();
    return true;
}

bool Desktop::AnyDown(std::initializer_list<std::uint8_t> vks) const {
    return std::any_of(vks.begin(), vks.end(), [this](std::uint8_t vk) { return KeyDown(vk); });
}

bool Desktop::RunShellStep() {
    if (RunOneActivation()) return true;
    return !shellBusy && ProcessNextKey();
}

void Desktop::ProcessKey(const Key& key) {
    if (focusEventPending_ != 0 && focusEventPending_ == active_ && key.batch >= focusEventBatch_) {
        TakeFocusEvent();
    }
    ApplyKey(key.vk, !key.up);
    const bool modifier = (key.vk >= VK_SHIFT && key.vk <= VK_MENU) ||
                          (key.vk >= VK_LSHIFT && key.vk <= VK_RMENU) || key.vk == VK_LWIN ||
                          key.vk == VK_RWIN;
    if (key.up || modifier || key.vk == kMaskKey) return;
    const bool win = AnyDown({VK_LWIN, VK_RWIN});
    if (win && key.vk == 'M') {
        ++winMPresses;
        // Windows' shell's hot key: taken where the keys are read, whatever
        // window is in front. With Shift it would be Windows key + Shift + M,
        // which restores what was minimised.
        if (TwoThreads() && shell_ != 0 && !hotKeyIgnored &&
            !AnyDown({VK_SHIFT, VK_CONTROL, VK_MENU})) {
            MinimiseAll();
        }
        return;
    }
    if (active_ == 0 || active_ != key.to) return;
    // What the user holds modifies the sent key too.
    const bool alt = KeyDown(VK_MENU);
    const bool others = AnyDown({VK_SHIFT, VK_CONTROL, VK_LWIN, VK_RWIN});
    if (active_ == shell_ || (active_ == taskbar_ && taskbar_ != 0)) {
        shellKeys.push_back(WithModifiers(key.vk));
        ShellKey(key, alt, others);
        if (auto late = std::exchange(afterShellKey, nullptr)) late();
        return;
    }
    Window* w = Find(active_);
    if (w->proc) return;  // the program's own windows take no typing here
    if (key.vk == VK_TAB) {
        w->typed += '\t';
    } else if (alt) {
        w->typed += std::string("<Alt+") + static_cast<char>(key.vk) + ">";
    } else {
        w->typed += static_cast<char>(key.vk);
    }
}

void Desktop::ShellKey(const Key& key, bool alt, bool others) {
    keysHandledByShell.push_back({key.vk, key.up, now_});
    if (key.system && active_ == shell_) {
        // A system key is no move to the taskbar.
        shellTaskbarFocus_ = false;
        return;
    }
    const bool altM = key.vk == 'M' && alt && !others;
    if (TwoThreads()) {
        if (active_ == shell_ && key.vk == VK_TAB && !alt && !others) {
            // The desktop hands the keyboard to the taskbar, a window of
            // another of the shell's threads. Until that thread has taken
            // its activation no window is in front (GetForegroundWindow
            // answers NULL "when a window is losing activation"), and a key
            // then reaches none.
            Send(shell_, WM_ACTIVATE, 0, 0);
            active_ = 0;
            shellFocus_ = false;
            activations_.push_back([this] {
                if (active_ == 0) Activate(taskbar_);
            });
        } else if (altM && active_ == taskbar_ && shellKind == ShellKind::WindowsLayout) {
            MinimiseAll();
        } else if (altM) {
            ++ignoredAltMs;
        }
        return;
    }
    // One window takes both: Tab moves the focus from the desktop to the
    // taskbar; Alt+M there minimises every window. Ctrl+Alt+Tab, Shift+Tab
    // and the like do neither.
    if (key.vk == VK_TAB && !alt && !others) {
        shellTaskbarFocus_ = true;
    } else if (altM && shellTaskbarFocus_) {
        shellTaskbarFocus_ = false;
        MinimiseAll();
    } else {
        shellTaskbarFocus_ = false;
    }
}

void Desktop::NoteForMenus(std::uint8_t vk, bool down) {
    // Left and right Alt, and Alt by its common code, are one Alt here.
    if (vk == VK_LMENU || vk == VK_RMENU) vk = VK_MENU;
    const bool menuKey = OpensMenuWhenAlone(vk);
    if (down) {
        // Another key pressed: no key held so far goes up alone. The same
        // key again (its repeat) changes nothing.
        const bool wasLone = lone_.count(vk) != 0;
        lone_.clear();
        if (menuKey && (wasLone || !KeyDown(vk))) lone_.insert(vk);
        return;
    }
    if (lone_.erase(vk) == 0) return;
    if (vk == VK_MENU) {
        ++menuBars;
    } else {
        ++startMenus;
    }
}

namespace {
// VK_LSHIFT..VK_RMENU pair up as VK_LSHIFT + 2 * (common - VK_SHIFT) + side:
// a sided key moves its common code with it.
void SetKey(std::set<std::uint8_t>& state, std::uint8_t vk, bool down) {
    if (down) {
        state.insert(vk);
    } else {
        state.erase(vk);
    }
    if (vk < VK_LSHIFT || vk > VK_RMENU) return;
    const std::uint8_t common = static_cast<std::uint8_t>(VK_SHIFT + (vk - VK_LSHIFT) / 2);
    const std::uint8_t left = static_cast<std::uint8_t>(VK_LSHIFT + 2 * (common - VK_SHIFT));
    if (state.count(left) || state.count(left + 1)) {
        state.insert(common);
    } else {
        state.erase(common);
    }
}
}  // namespace

void Desktop::HoldKey(std::uint8_t vk, bool down) {
    SetKey(physical_, vk, down);
    ApplyKey(vk, down);
}

void Desktop::ApplyKey(std::uint8_t vk, bool down) {
    NoteForMenus(vk, down);
    SetKey(keysDown_, vk, down);
    if (const Window* active = Find(active_)) SetKey(threadKeysDown_[active->pid], vk, down);
}

void Desktop::FocusTaken(Hwnd hwnd) {
    if (keyStateFollowsFocus == 0) return;
    focusEventPending_ = hwnd;
    focusEventBatch_ = keyBatches_ + keyStateFollowsFocus;
}

void Desktop::TakeFocusEvent() {
    const Window* w = Find(focusEventPending_);
    focusEventPending_ = 0;
    if (w == nullptr) return;
    keysDown_ = physical_;
    threadKeysDown_[w->pid] = physical_;
}

std::string Desktop::WithModifiers(std::uint8_t vk) const {
    std::string name;
    if (AnyDown({VK_LWIN, VK_RWIN})) name += "Win+";
    if (KeyDown(VK_CONTROL)) name += "Ctrl+";
    if (KeyDown(VK_SHIFT)) name += "Shift+";
    if (KeyDown(VK_MENU)) name += "Alt+";
    return name + (vk == VK_TAB ? std::string("Tab") : std::string(1, static_cast<char>(vk)));
}

bool Desktop::ThreadKeyDown(int pid, std::uint8_t vk) const {
    auto it = threadKeysDown_.find(pid);
    return it != threadKeysDown_.end() && it->second.count(vk) != 0;
}

// --- scheduling ---

void Desktop::At(std::uint64_t delayMs, std::function<void()> f) {
    scheduled_.push_back({now_ + delayMs * 1000, seq_++, std::move(f)});
}

bool Desktop::ProcessNextKey() {
    if (keys_.empty()) return false;
    Key key = keys_.front();
    keys_.pop_front();
    ProcessKey(key);
    // The user's action between two batches, once the first is handled.
    if (betweenKeyBatches_ && key.batch > betweenArmedAt_ &&
        (keys_.empty() || keys_.front().batch != key.batch)) {
        std::exchange(betweenKeyBatches_, nullptr)();
    }
    return true;
}

bool Desktop::RunOne() {
    if (RunOneActivation()) return true;
    if (shellReadsKeysFirst && ProcessNextKey()) return true;
    if (!posted_.empty()) {
        auto f = std::move(posted_.front());
        posted_.pop_front();
        f();
        return true;
    }
    return ProcessNextKey();
}

void Desktop::RunPending() {
    while (RunOne()) {
    }
}

namespace {
constexpr std::uint64_t kNever = ~std::uint64_t{0};
}

bool Desktop::FireDue(std::uint64_t limit) {
    auto s = std::min_element(scheduled_.begin(), scheduled_.end(),
                              [](const Scheduled& a, const Scheduled& b) {
                                  return a.due != b.due ? a.due < b.due : a.seq < b.seq;
                              });
    auto t = std::min_element(timers_.begin(), timers_.end(), [](const auto& a, const auto& b) {
        return a.second.due < b.second.due;
    });
    std::uint64_t sDue = s == scheduled_.end() ? kNever : s->due;
    std::uint64_t tDue = t == timers_.end() ? kNever : t->second.due;
    std::uint64_t next = std::min(sDue, tDue);
    if (next == kNever || next > limit) return false;
    now_ = std::max(now_, next);
    if (sDue <= tDue) {
        auto f = std::move(s->f);
        scheduled_.erase(s);
        Drive(f);
    } else {
        Timer& timer = t->second;
        timer.due = OnTick(timer.due + timer.interval * std::uint64_t{1000});
        auto tick = timer.tick;
        int pid = timer.pid;
        ++timerFires;
        Drive([&] {
            InProcess guard(*this, pid);
            tick();
        });
    }
    return true;
}

void Desktop::Run(std::uint64_t ms) {
    const std::uint64_t target = now_ + ms * 1000;
    RunPending();
    while (FireDue(target)) RunPending();
    now_ = std::max(now_, target);
}

void Desktop::PumpUntil(const std::function<bool()>& done) {
    for (;;) {
        RunPending();
        if (done()) return;
        // Advance the clock to the next timer tick or scheduled action.
        if (!FireDue(kNever)) throw SimStall("nothing scheduled could end the wait");
    }
}

int Desktop::SetTimer(int pid, std::uint32_t intervalMs, std::function<void()> tick) {
    int id = nextTimer_++;
    timers_[id] = {pid, intervalMs, OnTick(now_ + intervalMs * std::uint64_t{1000}),
                   std::move(tick)};
    return id;
}

std::uint64_t Desktop::EffectiveTickUs() const {
    constexpr std::uint64_t kFinestUs = 1000;
    return finestTimer_.empty() ? tickUs : std::min(tickUs, kFinestUs);
}

std::uint64_t Desktop::OnTick(std::uint64_t us) const {
    const std::uint64_t tick = EffectiveTickUs();
    return tick == 0 ? us : (us + tick - 1) / tick * tick;
}

void Desktop::Wait(int, std::uint64_t untilUs) {
    RunShellUntil(highResolutionTimers ? untilUs : OnTick(untilUs),
                  [this] { return RunShellStep(); });
}

void Desktop::HoldFinestTimerResolution(int pid, bool hold) {
    if (hold) {
        finestTimer_.insert(pid);
    } else {
        finestTimer_.erase(pid);
    }
}

void Desktop::LookAtEveryWindow(const std::function<bool()>& step) {
    // The program is busy, not waiting: no event ends it, no tick rounds it.
    RunShellUntil(now_ + windowLookUs * windows_.size(), step);
}

void Desktop::RunShellUntil(std::uint64_t endUs, const std::function<bool()>& step) {
    // The shell's threads run beside the program's: a step longer than the
    // time given goes on in the next, and is done once its time is spent.
    while (now_ < endUs) {
        const std::uint64_t need = shellStepUs - std::min(shellStepUs, shellProgressUs_);
        if (now_ + need > endUs) {
            shellProgressUs_ += endUs - now_;
            break;
        }
        const std::uint64_t was = now_;
        now_ += need;
        shellProgressUs_ = 0;
        if (!step()) {
            // Nothing to do: the time was idle.
            now_ = was;
            break;
        }
    }
    now_ = std::max(now_, endUs);
}

void Desktop::Sleep(std::uint64_t untilUs) {
    now_ = std::max(now_, highResolutionTimers ? untilUs : OnTick(untilUs));
}

void Desktop::KillTimer(int timerId) {
    timers_.erase(timerId);
}

// --- driver ---

void Desktop::ClickTaskbarButton(Hwnd hwnd) {
    Drive([&] {
        Window* w = Find(hwnd);
        if (w == nullptr || !HasTaskbarButton(hwnd))
            throw std::logic_error("no such taskbar button");
        if (!w->enabled) {
            // A program showing a modal dialog brings the dialog to the front.
            for (Hwnd candidate : zOrder_) {
                const Window* c = Find(candidate);
                if (c->pid == w->pid && c->visible && c->enabled) {
                    Activate(candidate);
                    break;
                }
            }
        } else if (w->minimised && WindowsShell()) {
            // Restored, the window is activated before its WM_SIZE, and once
            // the restore is over it is given the focus, which activates it
            // again (Wine's ShowWindow): a program that handed the foreground
            // away in the meantime gets it back from the same click.
            w->minimised = false;
            Activate(hwnd);
            SendSize(hwnd, SIZE_RESTORED);
            if (const Window* again = Find(hwnd); again != nullptr && again->visible) {
                Activate(hwnd);
            }
        } else if (w->minimised) {
            // The harsh shells activate the minimised window before they have
            // it restore itself: the activation arrives while the window is
            // minimised.
            Activate(hwnd);
            if (w->proc) {
                Send(hwnd, WM_SYSCOMMAND, SC_RESTORE);
            } else {
                Restore(hwnd);
            }
            // Then it makes the window the foreground window, a step that
            // reaches the program only after it has handled the restore (as
            // Wine's taskbar does): a program that handed the foreground away
            // meanwhile is activated a second time by the same click.
            At(1, [this, hwnd] {
                if (const Window* again = Find(hwnd); again != nullptr && again->visible) {
                    Activate(hwnd);
                }
            });
        } else if (active_ == hwnd) {
            // The button of the active window minimises it.
            Minimise(hwnd);
        } else {
            Activate(hwnd);
        }
        RunPending();
    });
}

namespace {

std::uint32_t SystemCommandLParam(Desktop::MenuChoice how, int x, int y) {
    switch (how) {
        case Desktop::MenuChoice::Mouse:
            return MakeLong(x, y);
        case Desktop::MenuChoice::Accelerator:
            return MakeLong(0, -1);
        case Desktop::MenuChoice::Mnemonic:
            break;
    }
    return 0;
}

}  // namespace

void Desktop::ChooseWindowMenu(Hwnd hwnd, const std::string& text, MenuChoice how,
                               std::uint32_t systemBits) {
    Drive([&] {
        Window* w = Find(hwnd);
        if (w == nullptr) throw std::logic_error("no such window");
        auto entry = std::find_if(w->systemMenu.begin(), w->systemMenu.end(),
                                  [&](const MenuEntry& e) { return e.text == text; });
        if (entry == w->systemMenu.end()) throw std::logic_error("no such menu entry: " + text);
        Send(hwnd, WM_SYSCOMMAND, entry->id | (systemBits & 0xF),
             SystemCommandLParam(how, pointerX, pointerY));
        RunPending();
    });
}

void Desktop::PressClose(Hwnd hwnd) {
    Drive([&] {
        Send(hwnd, WM_SYSCOMMAND, SC_CLOSE,
             SystemCommandLParam(MenuChoice::Accelerator, pointerX, pointerY));
        RunPending();
    });
}

void Desktop::CloseFromTaskManager(Hwnd hwnd) {
    Drive([&] {
        Send(hwnd, WM_CLOSE);
        RunPending();
    });
}

void Desktop::ShutDown() {
    std::vector<Hwnd> targets;
    // WM_QUERYENDSESSION goes to the top-level windows.
    for (const auto& [hwnd, w] : windows_) {
        if (w.pid != kShellPid && w.proc && !w.messageOnly) targets.push_back(hwnd);
    }
    // Windows asks only the windows still there.
    const auto there = [this](Hwnd hwnd) {
        const Window* w = Find(hwnd);
        return w != nullptr && Alive(w->pid);
    };
    bool agreed = true;
    for (Hwnd hwnd : targets) {
        if (!there(hwnd)) continue;
        Drive([&] {
            agreed = Send(hwnd, WM_QUERYENDSESSION) != 0 && agreed;
            RunPending();
        });
    }
    for (Hwnd hwnd : targets) {
        if (!there(hwnd)) continue;
        Drive([&] {
            Send(hwnd, WM_ENDSESSION, agreed ? 1 : 0);
            RunPending();
        });
    }
}

void Desktop::MouseOverTrayIcon(Hwnd hwnd, std::uint32_t id,
                                const std::vector<std::uint32_t>& messages) {
    const TrayIcon* icon = FindTrayIcon(hwnd, id);
    if (icon == nullptr) throw std::logic_error("no such notification-area icon");
    for (std::uint32_t m : messages) Post(hwnd, icon->callbackMessage, id, m);
    Drive([&] { RunPending(); });
}

void Desktop::ClickTrayIcon(Hwnd hwnd, std::uint32_t id, bool right) {
    if (right) {
        MouseOverTrayIcon(hwnd, id, {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP});
    } else {
        MouseOverTrayIcon(hwnd, id, {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP});
    }
}

void Desktop::RecreateTaskbar() {
    tray_.clear();
    ++taskbars_;
    // Broadcast: to the top-level windows.
    for (const auto& [hwnd, w] : windows_) {
        if (!w.messageOnly) PostFrom(kShellPid, hwnd, WM_TASKBARCREATED);
    }
    Drive([&] { RunPending(); });
}

void Desktop::ChooseMenuItem(const std::string& caption) {
    if (!popup) throw std::logic_error("no pop-up menu is open");
    auto it = std::find(popup->items.begin(), popup->items.end(), caption);
    if (it == popup->items.end()) throw std::logic_error("no such menu item: " + caption);
    popup->chosen = static_cast<int>(it - popup->items.begin());
}

// --- notification area ---

std::int32_t Desktop::NotifyIcon(std::uint32_t message, const std::uint8_t* record) {
    if (refuseTrayCalls || record == nullptr || Read32(record) != 88) return 0;
    if (message == NIM_ADD && refuseTrayAdds > 0) {
        --refuseTrayAdds;
        return 0;
    }
    TrayIcon icon;
    icon.hwnd = Read32(record + 4);
    icon.id = Read32(record + 8);
    icon.flags = Read32(record + 12);
    icon.callbackMessage = Read32(record + 16);
    icon.icon = Read32(record + 20);
    const char* tip = reinterpret_cast<const char*>(record + 24);
    icon.tip.assign(tip, strnlen(tip, 64));
    icon.record.assign(record, record + 88);
    auto existing = std::find_if(tray_.begin(), tray_.end(), [&](const TrayIcon& t) {
        return t.hwnd == icon.hwnd && t.id == icon.id;
    });
    switch (message) {
        case NIM_ADD:
            if (existing != tray_.end() || Find(icon.hwnd) == nullptr) return 0;
            tray_.push_back(icon);
            return 1;
        case NIM_MODIFY:
            if (existing == tray_.end()) return 0;
            if (icon.flags & NIF_MESSAGE) existing->callbackMessage = icon.callbackMessage;
            if (icon.flags & NIF_ICON) existing->icon = icon.icon;
            if (icon.flags & NIF_TIP) existing->tip = icon.tip;
            return 1;
        case NIM_DELETE:
            if (existing == tray_.end()) return 0;
            tray_.erase(existing);
            return 1;
        default:
            return 0;
    }
}

const TrayIcon* Desktop::FindTrayIcon(Hwnd hwnd, std::uint32_t id) const {
    for (const TrayIcon& t : tray_) {
        if (t.hwnd == hwnd && t.id == id) return &t;
    }
    return nullptr;
}

Window* Desktop::MenuOwner(std::uint32_t menu) {
    if ((menu & 0x40000000u) == 0) return nullptr;
    return Find(menu & ~0x40000000u);
}

// --- files ---

std::filesystem::path Desktop::HostPath(const std::string& windowsPath) const {
    // "C:..." or, on the current drive (which is C:), "\...".
    std::size_t start = 0;
    if (windowsPath.size() >= 2 && Lower(windowsPath.substr(0, 2)) == "c:") {
        start = 2;
    } else if (windowsPath.empty() || (windowsPath[0] != '\\' && windowsPath[0] != '/')) {
        return {};
    }
    // The names of the path as Windows reads it before it looks at the disk:
    // "\" and "/" both separate names, "." is no name, and ".." takes the
    // name before it away (at the drive's root it stays there), whether or
    // not that name exists.
    std::vector<std::string> names;
    std::string part;
    for (std::size_t i = start; i <= windowsPath.size(); ++i) {
        if (i < windowsPath.size() && windowsPath[i] != '\\' && windowsPath[i] != '/') {
            part += windowsPath[i];
            continue;
        }
        if (part == "..") {
            if (!names.empty()) names.pop_back();
        } else if (!part.empty() && part != ".") {
            names.push_back(AnsiToUtf8(part));
        }
        part.clear();
    }
    std::error_code ec;
    // Spelled as it is on disk (the common case): one look, no search.
    std::filesystem::path whole = driveC;
    for (const std::string& name : names) whole /= name;
    if (std::filesystem::exists(std::filesystem::symlink_status(whole, ec))) return whole;
    std::filesystem::path host = driveC;
    for (const std::string& name : names) {
        // The file system ignores letter case: the name as given first, and
        // only when it is not there a search for one that differs in case.
        std::string actual = name;
        if (!std::filesystem::exists(std::filesystem::symlink_status(host / name, ec)) &&
            std::filesystem::is_directory(host, ec)) {
            for (const auto& entry : std::filesystem::directory_iterator(host, ec)) {
                std::string found = entry.path().filename().string();
                if (Lower(found) == Lower(name)) {
                    actual = found;
                    break;
                }
            }
        }
        host /= actual;
    }
    return host;
}

std::size_t Desktop::CountCalls(const std::string& prefix) const {
    return std::count_if(calls.begin(), calls.end(),
                         [&](const std::string& c) { return c.rfind(prefix, 0) == 0; });
}

}  // namespace quorvel::sim
