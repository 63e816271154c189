#include "unit/random_world.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/constants.h"
#include "settings/icon_setting.h"
#include "sim/backend/sim_form.h"
#include "sim/model/ansi.h"
#include "ui/form_controls.h"

namespace quorvel::testing::randomised {

namespace fs = std::filesystem;
using namespace platform;

namespace {

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream(path, std::ios::binary) << bytes;
}

// The window menu's entries the user can pick, as the program left them.
std::vector<std::string> MenuTexts(const sim::Window& w) {
    std::vector<std::string> texts;
    for (const sim::MenuEntry& e : w.systemMenu) {
        if (!e.separator) texts.push_back(e.text);
    }
    return texts;
}

constexpr char kDialogLetters[] = "aocxftbs";  // Alt+ these: the dialog's mnemonics

}  // namespace

World::World() {
    desk.onProcessReaped = [this](int pid) {
        instances_.erase(pid);
        if (pid == running_) running_ = 0;
    };
    // The user's documents, and a file of the Windows folder beside TEMP.
    WriteFile(desk.HostPath("C:\\Documents\\letter.txt"), "Dear reader");
    WriteFile(desk.HostPath("C:\\Documents\\report.doc"), "Figures");
    WriteFile(desk.HostPath("C:\\Documents\\keep.tmp"), "Not in TEMP");
    WriteFile(desk.HostPath("C:\\WINDOWS\\win.ini"), "[windows]");
}

World::~World() {
    desk.onProcessReaped = nullptr;
    instances_.clear();
}

App* World::Running() {
    auto it = instances_.find(running_);
    return it == instances_.end() || !desk.Alive(running_) ? nullptr : it->second.app.get();
}

bool World::SecondStartAlive() const {
    return std::any_of(instances_.begin(), instances_.end(), [&](const auto& entry) {
        return entry.first != running_ && desk.Alive(entry.first);
    });
}

bool World::Watching() {
    return std::any_of(instances_.begin(), instances_.end(), [&](auto& entry) {
        return desk.Alive(entry.first) && entry.second.app->Reveal().Watching();
    });
}

int World::RevealsBegun() {
    App* app = Running();
    if (app == nullptr) return 0;
    if (revealsOf_ != running_) {
        revealsOf_ = running_;
        revealsBegun_ = 0;
        callsRead_ = 0;
    }
    const std::string hiding = "SetWindowPos(" + sim::Hex(app->TaskbarForm().hWnd()) + ",";
    const auto& calls = desk.seen.calls;
    for (; callsRead_ < calls.size(); ++callsRead_) {
        const std::string& call = calls[callsRead_];
        if (call.rfind(hiding, 0) != 0) continue;
        // The flags come last: "..., 0x83)".
        const std::uint32_t flags = static_cast<std::uint32_t>(
            std::strtoul(call.c_str() + call.rfind(' ') + 1, nullptr, 16));
        if (flags & SWP_HIDEWINDOW) ++revealsBegun_;
    }
    return revealsBegun_;
}

bool World::MenuOpen() {
    return desk.MenuOpen() && Running() != nullptr;
}

bool World::DialogOpen() {
    App* app = Running();
    return app != nullptr && app->DialogVisible();
}

bool World::DialogInFront() {
    App* app = Running();
    return app != nullptr && app->DialogVisible() &&
           desk.Active() == app->ConfigureDialogForm()->hWnd();
}

Hwnd World::Other(std::uint32_t index) const {
    return others_.empty() ? 0 : others_[index % others_.size()];
}

bool World::IsOthers(Hwnd hwnd) const {
    return std::find(others_.begin(), others_.end(), hwnd) != others_.end();
}

bool World::IsShells(Hwnd hwnd) const {
    const sim::Window* w = desk.Find(hwnd);
    return w != nullptr && (w->className == "Progman" || w->className == "Shell_TrayWnd");
}

bool World::TakesActivation(Hwnd hwnd) const {
    const sim::Window* w = desk.Find(hwnd);
    return w != nullptr && w->visible && !w->minimised && w->enabled;
}

Hwnd World::HostWindow() const {
    for (Hwnd hwnd : desk.ZOrder()) {
        const sim::Window* w = desk.Find(hwnd);
        if (w->pid == running_ && w->className == "ThunderForm" && w->title.empty()) return hwnd;
    }
    return 0;
}

std::string World::WindowMenuChoice(const Action& a) {
    App* app = Running();
    if (app == nullptr) return "";
    const std::vector<std::string> texts = MenuTexts(*desk.Find(app->TaskbarForm().hWnd()));
    return texts.empty() ? "" : texts[a.args[0] % texts.size()];
}

bool World::CanDo(const Action& a) {
    App* app = Running();
    const bool menu = MenuOpen();
    const bool dialog = DialogOpen();
    const bool second = SecondStartAlive();
    switch (a.act) {
        case Act::Shell:
            return !ShellAway();
        case Act::Start:
            return !LoopOpen();
        case Act::Click:
            return app != nullptr && !menu && !ShellAway() &&
                   desk.HasTaskbarButton(app->TaskbarForm().hWnd());
        case Act::Tray:
            // A right press opens the menu: not inside a second start's wait.
            // A press while the menu is up closes it first.
            return app != nullptr && (a.args[0] % 4 != 1 || !second) && HostWindow() != 0 &&
                   desk.FindTrayIcon(HostWindow(), 1) != nullptr;
        case Act::TrayInWait:
            return app != nullptr && !LoopOpen() && HostWindow() != 0 &&
                   desk.FindTrayIcon(HostWindow(), 1) != nullptr &&
                   (a.args[2] % 3 != 1 ||
                    (!ShellAway() && desk.HasTaskbarButton(app->TaskbarForm().hWnd())));
        case Act::Item:
        case Act::MenuEsc:
            return menu;
        case Act::MenuAway:
            return menu && TakesActivation(Other(a.args[0]));
        case Act::WindowMenu:
            return app != nullptr && !menu && !dialog && !second && !ShellAway() &&
                   desk.HasTaskbarButton(app->TaskbarForm().hWnd());
        case Act::AltF4: {
            const Hwnd front = desk.Active();
            if (menu || front == 0) return false;
            const sim::Window* w = desk.Find(front);
            return IsOthers(front) || (w->pid == running_ && !second);
        }
        case Act::Button:
            return dialog;
        case Act::Option:
            return dialog &&
                   ConfigureDialogControls(*app->ConfigureDialogForm()).modeFrame.Visible();
        case Act::DialogKey:
            return DialogInFront();
        case Act::Close:
            return !others_.empty();
        case Act::Front:
            return !others_.empty() &&
                   (a.args[1] == 1 || (!menu && TakesActivation(Other(a.args[0]))));
        case Act::TaskbarButton:
            return !others_.empty() && !menu && !ShellAway() &&
                   desk.HasTaskbarButton(Other(a.args[0]));
        case Act::TaskbarCreated:
            return !ShellAway();
        case Act::Quit:
            return app != nullptr;
        case Act::TaskManager:
            return app != nullptr && (a.args[0] % 3 != 2 || dialog);
        case Act::CloseCommand:
            // The taskbar form's close command opens the dialog.
            return app != nullptr && !second && (a.args[0] % 3 != 2 || dialog) &&
                   (a.args[0] % 3 != 1 || HostWindow() != 0);
        default:
            return true;
    }
}

void World::Do(const Action& a) {
    // Each case ends with its one call into the desktop: the program may end
    // inside it, and what it owned with it.
    App* app = Running();
    lastAct_ = a.act;
    switch (a.act) {
        case Act::Shell:
            return RestartShell(a);
        case Act::Start:
            return StartProgram(a.args[0], a.args[1] != 0);
        case Act::Click:
            return desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
        case Act::Tray:
            return desk.MouseOverTrayIcon(HostWindow(), 1, Presses(a.args[0]));
        case Act::TrayInWait: {
            // Pressed while the program waits inside a reveal: the callback
            // is sent, and the wait takes it. The reveal is the next one, or
            // one the user asks for right away.
            const std::uint32_t how = a.args[0] % 4;
            desk.DuringWait(static_cast<int>(a.args[1] % 6), [this, how] {
                const Hwnd host = HostWindow();
                if (host == 0 || desk.FindTrayIcon(host, 1) == nullptr) return;
                // Not the menu inside a second start's wait: see LoopOpen.
                if (how == 1 && SecondStartAlive()) return;
                if (how != 1 && how != 3) {
                    pressesInWaits.push_back(
                        {desk.Now(), desk.seen.minimiseAlls, desk.seen.trace.size(),
                         MinimisableWindows(running_).empty() || desk.KeyDown(VK_MENU),
                         desk.WaitingPid() == running_, RevealsBegun()});
                }
                desk.MouseOverTrayIcon(host, 1, Presses(how));
            });
            if (a.args[2] % 3 == 1) return desk.ClickTaskbarButton(app->TaskbarForm().hWnd());
            if (a.args[2] % 3 == 2) return desk.MouseOverTrayIcon(HostWindow(), 1, Presses(0));
            return;
        }
        case Act::Item: {
            static const char* const kItems[] = {"Show &Desktop", "&Configure", "About Q&uorvel",
                                                 "E&xit Quorvel"};
            return desk.ChooseMenuItem(kItems[a.args[0] % 4]);
        }
        case Act::MenuEsc:
            return TypeKey(VK_ESCAPE);
        case Act::MenuAway:
            return desk.ClickWindow(Other(a.args[0]));
        case Act::WindowMenu: {
            const std::string entry = WindowMenuChoice(a);
            if (entry.empty()) return;
            return desk.ChooseWindowMenu(
                app->TaskbarForm().hWnd(), entry,
                a.args[1] ? sim::MenuChoice::Mnemonic : sim::MenuChoice::Mouse);
        }
        case Act::AltF4:
            return CloseInFront();
        case Act::Button:
        case Act::Option:
            return DialogControlClick(a);
        case Act::DialogKey:
            return DialogKey(a);
        case Act::Hold: {
            const std::uint8_t vk = kHeldKeys[a.args[0] % 4];
            const bool down = a.args[1] != 0;
            if (a.args[2] == 0) return desk.HoldKey(vk, down);
            return desk.BetweenKeyBatches([this, vk, down] { desk.HoldKey(vk, down); });
        }
        case Act::Open: {
            const std::string title = "Document " + std::to_string(++opened_) + " - Editor";
            return desk.Drive([&] { others_.push_back(desk.CreateAppWindow(title)); });
        }
        case Act::Close: {
            const Hwnd gone = Other(a.args[0]);
            others_.erase(std::find(others_.begin(), others_.end(), gone));
            return desk.Drive([&] { desk.DestroyWindow(gone); });
        }
        case Act::Front: {
            const Hwnd front = Other(a.args[0]);
            if (a.args[1] == 0) return desk.Drive([&] { desk.Activate(front); });
            // Between Tab and Alt+M, should a reveal come.
            return desk.AfterShellKey([this, front] {
                if (TakesActivation(front)) desk.Activate(front);
            });
        }
        case Act::TaskbarButton:
            return desk.ClickTaskbarButton(Other(a.args[0]));
        case Act::Lock:
            desk.activation.foregroundLocked = a.args[0] != 0;
            return;
        case Act::Busy: {
            // Its thread busy (keys wait), or its desktop hung (no activation).
            bool sim::ShellKnobs::*what =
                a.args[1] ? &sim::ShellKnobs::desktopHung : &sim::ShellKnobs::busy;
            desk.shell.*what = true;
            return desk.At(a.args[0], [this, what] { desk.shell.*what = false; });
        }
        case Act::Slow: {
            const std::uint64_t was = desk.timing.shellStepUs;
            desk.timing.shellStepUs = std::max<std::uint32_t>(a.args[0], 1);
            return desk.At(a.args[1], [this, was] { desk.timing.shellStepUs = was; });
        }
        case Act::TaskbarCreated:
            return desk.RecreateTaskbar();
        case Act::Dpi:
            return desk.Drive([&] { desk.SetMonitorDensity(0, static_cast<int>(a.args[0])); });
        case Act::Colours:
            return desk.colours.SetSysColors({a.args[0], a.args[1], a.args[2], a.args[3]});
        case Act::HighContrast:
            return desk.colours.SetHighContrast(a.args[0] != 0);
        case Act::HighContrastTheme:
            return desk.colours.ChooseHighContrastTheme(
                a.args[0] != 0, {a.args[1], a.args[2], a.args[1], a.args[2]});
        case Act::Theme:
            return desk.colours.ChangeTheme();
        case Act::Setting:
            return StoreSetting(kStoredSettings[a.args[0] % kStoredSettings.size()]);
        case Act::Plant:
            return PlantFile(kPlants[a.args[0] % kPlants.size()]);
        case Act::Quit:
            return desk.PostQuit(running_);
        case Act::EndSession:
            return desk.ShutDown();
        case Act::TaskManager:
        case Act::CloseCommand: {
            const Hwnd forms[] = {app->TaskbarForm().hWnd(), HostWindow(),
                                  app->DialogVisible() ? app->ConfigureDialogForm()->hWnd() : 0};
            const Hwnd target = forms[a.args[0] % 3];
            if (target == 0) return;
            if (a.act == Act::CloseCommand) return desk.PressClose(target);
            return desk.CloseFromTaskManager(target);
        }
        case Act::Rest:
            return;
    }
}

void World::TypeKey(std::uint8_t vk) {
    // What the user types lands where it lands: a window's typing beyond
    // what reached it so is the program's.
    const Hwnd front = desk.Active();
    const sim::Window* w = desk.Find(front);
    const std::size_t before = w == nullptr ? 0 : w->typed.size();
    desk.TypeKey(vk);
    if (const sim::Window* after = desk.Find(front))
        userTyped_[front] += after->typed.size() - before;
}

std::size_t World::UserTyped(Hwnd hwnd) const {
    auto it = userTyped_.find(hwnd);
    return it == userTyped_.end() ? 0 : it->second;
}

std::vector<std::uint32_t> World::Presses(std::uint32_t how) {
    static const std::vector<std::uint32_t> kPresses[] = {
        {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_LBUTTONUP},
        {WM_MOUSEMOVE, WM_RBUTTONDOWN, WM_RBUTTONUP},
        {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP},
        {WM_MOUSEMOVE, WM_MOUSEMOVE},
    };
    return kPresses[how % 4];
}

void World::StartProgram(std::uint32_t held, bool inBackground) {
    static const std::vector<std::uint8_t> kHotKeys[] = {{}, {VK_LCONTROL, VK_LMENU}, {VK_LWIN}};
    const std::vector<std::uint8_t>& keys = kHotKeys[held % 3];
    for (std::uint8_t vk : keys) desk.HoldKey(vk, true);
    // Started by a scheduled task, a tool's hot key or a macro program: from
    // no process in front.
    desk.processes.startedInBackground = inBackground;
    auto runtime = std::make_unique<sim::SimRuntime>(desk);
    desk.processes.startedInBackground = false;
    const int pid = runtime->pid();
    if (!runtime->PrevInstance()) running_ = pid;
    Instance& instance = instances_[pid];
    instance.runtime = std::move(runtime);
    instance.app = std::make_unique<App>(*instance.runtime);
    App* app = instance.app.get();
    desk.StartProgram([&] {
        auto in = desk.InProcess(pid);
        app->Start();
        desk.RunPending();
    });
    // The hot key's keys are let go once the program is under way.
    for (std::uint8_t vk : keys) desk.HoldKey(vk, false);
}

void World::RestartShell(const Action& a) {
    desk.EndShell();
    auto start = [this, a] {
        desk.shell.kind = sim::kShellKinds[a.args[0] % std::size(sim::kShellKinds)];
        const std::uint32_t flags = a.args[1];
        desk.shell.registersWindow = (flags & kRegistersWindow) != 0;
        desk.shell.objectWorks = (flags & kObjectWorks) != 0;
        desk.shell.objectSilent = (flags & kObjectSilent) != 0;
        desk.shell.hotKeyIgnored = (flags & kHotKeyIgnored) != 0;
        desk.shell.readsKeysFirst = (flags & kReadsKeysFirst) != 0;
        desk.tray.refuseAdds = static_cast<int>(a.args[3]);
        ++shellStarts;
        shellRefusedAdds = static_cast<int>(a.args[3]);
        desk.StartShell();
    };
    if (a.args[2] == 0) return start();
    desk.At(a.args[2], start);
}

void World::StoreSetting(const StoredSetting& s) {
    if (s.type == 0) return desk.registry.DeleteKey(HKEY_LOCAL_MACHINE, kSettingsKey);
    desk.registry.Set(HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, s.type,
                      std::vector<std::uint8_t>(s.bytes.begin(), s.bytes.end()));
}

void World::PlantFile(const Plant& plant) {
    const std::string name = std::string("C:\\WINDOWS\\TEMP\\") + plant.name;
    const fs::path path = desk.HostPath(name);
    std::error_code ec;
    if (fs::exists(fs::symlink_status(path, ec))) return;
    fs::create_directories(path.parent_path());
    switch (plant.kind) {
        case Plant::Folder:
            fs::create_directory(path);
            break;
        case Plant::Link:
            fs::create_symlink(desk.HostPath(plant.target), path, ec);
            break;
        case Plant::HardLink:
            fs::create_hard_link(desk.HostPath(plant.target), path, ec);
            break;
        default:
            WriteFile(path, std::string("planted ") + plant.name);
    }
    if (plant.kind == Plant::ReadOnly) chmod(path.c_str(), 0444);
    if (plant.kind == Plant::Hidden) desk.files.hidden.insert(sim::Lower(path.string()));
}

void World::DialogControlClick(const Action& a) {
    platform::Form& dialog = *Running()->ConfigureDialogForm();
    const ConfigureDialogControls c(dialog);
    platform::Control* controls[] = {&c.viewButton, &c.okButton, &c.cancelButton, &c.exitButton,
                                     &c.exitButton};
    platform::Control& control = a.act == Act::Option
                                     ? c.ModeOption(static_cast<int>(a.args[0] % 3) + 1)
                                     : *controls[a.args[0] % 5];
    desk.user.messageBoxAnswers = {a.args[0] % 5 == 4 ? vbCancel : vbOK};
    // A click on a window behind activates it first.
    if (desk.Active() != dialog.hWnd()) {
        const Hwnd hwnd = dialog.hWnd();
        desk.Drive([&] { desk.Activate(hwnd); });
        if (!DialogOpen()) return;
    }
    sim::ClickControl(dialog, control);
}

void World::DialogKey(const Action& a) {
    platform::Form& dialog = *Running()->ConfigureDialogForm();
    desk.user.messageBoxAnswers = {a.args[1] == 2 ? vbCancel : vbOK};
    const std::uint32_t key = a.args[0] % (4 + sizeof kDialogLetters - 1);
    if (key >= 4) return sim::PressAltKey(dialog, kDialogLetters[key - 4]);
    static const std::uint8_t kKeys[] = {VK_ESCAPE, VK_RETURN, VK_TAB, VK_TAB};
    sim::PressKey(dialog, kKeys[key], key == 3);
}

void World::CloseInFront() {
    const Hwnd front = desk.Active();
    if (IsOthers(front)) {
        // Its program closes it, as the default window procedure's SC_CLOSE does.
        others_.erase(std::find(others_.begin(), others_.end(), front));
        return desk.Drive([&] { desk.DestroyWindow(front); });
    }
    desk.PressAltF4();
}

}  // namespace quorvel::testing::randomised
