// Start-up, the off-screen rule, close requests and the end of the program.
#include <algorithm>
#include <functional>

#include "platform/errors.h"
#include "ui/form_controls.h"
#include "ui/form_descriptions.h"
#include "unit/reveal_fixture.h"

namespace quorvel::testing {
namespace {

using platform::kTwipsPerPixel;

class LifecycleTest : public SimTest {};

TEST_F(LifecycleTest, StartsWithTaskbarButtonOffScreenAndIdle) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    Hwnd taskbarForm = app->TaskbarForm().hWnd();
    EXPECT_EQ(WindowOf(taskbarForm).title, "Desktop");
    EXPECT_TRUE(desk.HasTaskbarButton(taskbarForm));
    EXPECT_EQ(WindowOf(taskbarForm).x, kOffScreenPixels);
    EXPECT_EQ(WindowOf(taskbarForm).y, kOffScreenPixels);
    EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).x, kOffScreenPixels);
    EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).y, kOffScreenPixels);
    EXPECT_FALSE(WindowOf(app->IconHostForm().hWnd()).visible);
    EXPECT_FALSE(desk.HasTaskbarButton(app->IconHostForm().hWnd()));
    // Idle means idle: no timer runs.
    EXPECT_EQ(desk.RunningTimers(), 0u);
    // The start-up activation is over and the taskbar form is not left active, or the
    // next click on its button would minimise it instead.
    EXPECT_NE(desk.Active(), taskbarForm);
    EXPECT_EQ(desk.seen.minimiseAlls, 0);
}

// The controls the handlers use are found when their form is made: a name
// or kind that does not match the form's description fails there, through
// every error mode, and never ends a handler silently at each event.
TEST_F(LifecycleTest, AControlTheHandlersUseThatTheFormLacksFailsWhenTheFormIsMade) {
    using platform::ControlKind;
    sim::SimRuntime runtime(desk);
    const platform::FormDescription forms[] = {TaskbarFormDescription(), IconHostFormDescription(),
                                               ConfigureDialogDescription()};
    const std::function<void(platform::Form&)> findControls[] = {
        [](platform::Form& f) { TaskbarFormControls{f}; },
        [](platform::Form& f) { IconHostFormControls{f}; },
        [](platform::Form& f) { ConfigureDialogControls{f}; },
    };
    for (int i = 0; i < 3; ++i) {
        EXPECT_NO_THROW(findControls[i](*runtime.CreateForm(forms[i], {}))) << "Form" << i + 1;
    }

    struct Mismatch {
        int form;  // 1 to 3
        const char* control;
        int index;
        std::function<void(platform::ControlDescription&)> change;
    };
    const Mismatch mismatches[] = {
        {1, "tmpFileList", 0, [](auto& c) { c.name = "tmpFileLst"; }},
        {2, "lblExit", 0, [](auto& c) { c.name = "lblQuit"; }},
        {2, "mnuTaskBarPopUp", 0, [](auto& c) { c.kind = ControlKind::MenuItem; }},
        {3, "Option1", 3, [](auto& c) { c.index = 4; }},
        {3, "Frame1", 0, [](auto& c) { c.kind = ControlKind::PictureBox; }},
    };
    for (const Mismatch& m : mismatches) {
        platform::FormDescription description = forms[m.form - 1];
        for (auto& c : description.controls) {
            if (c.name == m.control && c.index == m.index) m.change(c);
        }
        auto form = runtime.CreateForm(description, {});
        std::function<void()> handler = [&] { findControls[m.form - 1](*form); };
        EXPECT_THROW(platform::ResumeNext(handler), UnknownControl) << m.control;
        EXPECT_THROW(platform::RaiseEvent(handler), UnknownControl) << m.control;
    }
}

// Started before the shell (at log-on), with no other window to take the
// activation: once the shell is there the form rests, and the first click
// on its button is a click, not the minimising of the window in front.
TEST_F(LifecycleTest, StartedBeforeTheShellTheFirstClickReveals) {
    desk.EndShell();
    App* app = Start();
    ASSERT_NE(app, nullptr);
    const Hwnd taskbarForm = app->TaskbarForm().hWnd();
    EXPECT_EQ(desk.Active(), taskbarForm);
    desk.StartShell();
    desk.Run(1000);
    EXPECT_NE(desk.Active(), taskbarForm);
    EXPECT_TRUE(WindowOf(taskbarForm).minimised);
    desk.ClickTaskbarButton(taskbarForm);
    desk.Run(1000);
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
}

TEST_F(LifecycleTest, ResizeOrPaintOfEitherFormMovesBothBack) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    const Hwnd taskbarForm = app->TaskbarForm().hWnd(), iconHost = app->IconHostForm().hWnd();
    for (bool paintOfIconHost : {false, true}) {
        desk.Drive([&] {
            // Minimised at rest, the taskbar form is moved only once restored; its
            // restore is its Resize.
            if (paintOfIconHost) desk.Restore(taskbarForm);
            desk.Find(taskbarForm)->x = 10;
            desk.Find(iconHost)->y = 20;
            if (paintOfIconHost) {
                desk.Send(iconHost, platform::WM_PAINT);
            } else {
                desk.Minimise(taskbarForm);
                desk.Restore(taskbarForm);
            }
        });
        EXPECT_EQ(WindowOf(taskbarForm).x, kOffScreenPixels);
        EXPECT_EQ(WindowOf(iconHost).y, kOffScreenPixels);
    }
}

TEST_F(LifecycleTest, FailedMoveOfTaskbarFormDoesNotStopTheMovesOfIconHost) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    sim::Window& taskbarForm = *desk.Find(app->TaskbarForm().hWnd());
    taskbarForm.minimised = true;  // a minimised form cannot be moved
    taskbarForm.x = 5;
    desk.Find(app->IconHostForm().hWnd())->x = 5;
    desk.Post(app->IconHostForm().hWnd(), platform::WM_PAINT);
    desk.Run();
    EXPECT_EQ(taskbarForm.x, 5);
    EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).x, kOffScreenPixels);
    EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).y, kOffScreenPixels);
}

// The taskbar form itself never closes: the window menu's close command opens the
// dialog and the program runs on; every other close request ends it.
TEST_F(LifecycleTest, TaskbarFormCancelsEveryCloseAndEndsForAllButTheWindowMenu) {
    for (std::int16_t mode = platform::vbFormControlMenu; mode <= 4; ++mode) {
        App* app = Start();
        ASSERT_NE(app, nullptr);
        const int pid = lastPid;
        const bool windowMenu = mode == platform::vbFormControlMenu;
        bool dialogOpened = false;
        if (windowMenu) {
            desk.At(10, [&] {
                dialogOpened = app->DialogVisible();
                desk.PressClose(app->ConfigureDialogForm()->hWnd());
            });
        }
        std::int16_t cancel = 0;
        desk.Drive([&] {
            auto running = desk.InProcess(pid);
            app->TaskbarForm().events.QueryUnload(cancel, mode);
        });
        EXPECT_EQ(cancel, 1) << "UnloadMode " << mode;
        EXPECT_EQ(Alive(pid), windowMenu) << "UnloadMode " << mode;
        EXPECT_EQ(dialogOpened, windowMenu) << "UnloadMode " << mode;
        if (windowMenu) desk.ShutDown();
    }
}

TEST_F(LifecycleTest, TaskManagerCloseOfIconHostEndsAndRemovesTheIcon) {
    StoreMode(kBothIcons);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    int pid = lastPid;
    Hwnd iconHost = app->IconHostForm().hWnd();
    ASSERT_NE(desk.FindTrayIcon(iconHost, kIconId), nullptr);
    desk.CloseFromTaskManager(iconHost);
    EXPECT_FALSE(Alive(pid));
    EXPECT_EQ(desk.FindTrayIcon(iconHost, kIconId), nullptr);
}

TEST_F(LifecycleTest, ShutDownEndsTheProgramAndRemovesTheIcon) {
    StoreMode(kTrayOnly);
    App* app = Start();
    ASSERT_NE(app, nullptr);
    int pid = lastPid;
    Hwnd iconHost = app->IconHostForm().hWnd();
    desk.ShutDown();
    EXPECT_FALSE(Alive(pid));
    EXPECT_EQ(desk.FindTrayIcon(iconHost, kIconId), nullptr);
}

TEST_F(LifecycleTest, TaskManagerCloseOfTaskbarFormEnds) {
    App* app = Start();
    ASSERT_NE(app, nullptr);
    int pid = lastPid;
    desk.CloseFromTaskManager(app->TaskbarForm().hWnd());
    EXPECT_FALSE(Alive(pid));
}

// Nothing but the program's exit takes the icon away. Alt+F4 with the
// icon's host in front (where a menu left it, or another program's
// activation) is its close command: cancelled in every icon mode, the host
// form, its timer and its icon kept. The program's own unload goes through
// and ends nothing (the exit's, which then ends the process).
TEST_F(LifecycleTest, IconHostCancelsItsCloseCommandInEveryModeAndItsOwnUnloadEndsNothing) {
    for (const char* mode : {kTrayOnly, kTaskbarOnly, kBothIcons}) {
        World w;
        w.StoreMode(mode);
        App* app = w.Start();
        ASSERT_NE(app, nullptr) << mode;
        const int pid = w.lastPid;
        platform::Form& host = app->IconHostForm();
        const Hwnd window = host.hWnd();
        const bool icon = w.desk.FindTrayIcon(window, kIconId) != nullptr;
        ASSERT_EQ(icon, std::string(mode) != kTaskbarOnly) << mode;
        platform::Control& timer = app->IconHostControls().activationTimer;
        w.desk.Drive([&] {
            auto running = w.desk.InProcess(pid);
            timer.SetInterval(100);
        });
        w.desk.Activate(window);
        w.desk.PressAltF4();
        w.desk.Run(300);
        EXPECT_TRUE(w.Alive(pid)) << mode;
        EXPECT_TRUE(host.Loaded()) << mode;
        EXPECT_EQ(app->IconHostForm().hWnd(), window) << mode;
        EXPECT_EQ(timer.Interval(), 100) << mode;
        EXPECT_GE(w.desk.RunningTimers(), 1u) << mode << ": the host's timer stopped";
        EXPECT_EQ(w.desk.FindTrayIcon(window, kIconId) != nullptr, icon) << mode;
    }
    App* app = Start();
    ASSERT_NE(app, nullptr);
    int pid = lastPid;
    for (std::int16_t unloadMode : {0, 1}) {
        std::int16_t cancel = 0;
        desk.Drive([&] { app->IconHostForm().events.QueryUnload(cancel, unloadMode); });
        EXPECT_TRUE(Alive(pid));
        EXPECT_EQ(cancel, unloadMode == platform::vbFormControlMenu ? 1 : 0);
    }
}

TEST_F(LifecycleTest, SecondStartRevealsOnceAndEndsLeavingTheFirstAlone) {
    StoreMode(kBothIcons);
    App* first = Start();
    ASSERT_NE(first, nullptr);
    int firstPid = lastPid;
    Hwnd firstTaskbarForm = first->TaskbarForm().hWnd();
    ASSERT_TRUE(HasTrayIcon(*first));
    const std::vector<std::uint8_t> iconBefore =
        desk.FindTrayIcon(first->IconHostForm().hWnd(), kIconId)->record;
    desk.registry.DeleteKey(platform::HKEY_LOCAL_MACHINE, kSettingsKey);
    desk.Run();  // the first start's cleanup
    desk.seen.calls.clear();

    EXPECT_EQ(Start(), nullptr);
    int secondPid = lastPid;
    desk.Run();
    EXPECT_FALSE(Alive(secondPid));
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    // Its keys went first: its window is gone with it, so the calls are all
    // that is left to see (the cleanup's effect on files is in the cleanup
    // tests). The window menu of a form it never shows is left as it is; the
    // cleanup came once the shell had answered, before the process ended.
    const auto& calls = desk.seen.calls;
    auto firstCall = [&](const std::string& prefix) {
        return std::find_if(calls.begin(), calls.end(),
                            [&](const std::string& c) { return c.rfind(prefix, 0) == 0; }) -
               calls.begin();
    };
    EXPECT_EQ(desk.seen.CountCalls("GetSystemMenu"), 0u);
    EXPECT_EQ(desk.seen.CountCalls("GetWindowsDirectoryA"), 1u);
    ASSERT_EQ(desk.seen.CountCalls("FindFirstFileA"), 1u);
    ASSERT_GT(desk.seen.CountCalls("SendInput"), 0u);
    EXPECT_LT(firstCall("SendInput"), firstCall("GetWindowsDirectoryA"));
    // Its windows are never shown: nothing is asked of the window manager
    // for them (under Wine its library would cost a good part of the start).
    EXPECT_EQ(desk.seen.CountCalls("DwmSetWindowAttribute"), 0u);
    // It never touched the notification area or the setting: the first
    // instance's icon is as it was, and a setting it would have read and
    // found missing is still missing (a read stores the default).
    EXPECT_EQ(desk.FindTrayIcon(first->IconHostForm().hWnd(), kIconId)->record, iconBefore);
    EXPECT_EQ(StoredMode(), "<none>");
    EXPECT_TRUE(Alive(firstPid));
    EXPECT_TRUE(desk.HasTaskbarButton(firstTaskbarForm));
    EXPECT_EQ(desk.TrayIconCount(), 1u);
    EXPECT_EQ(desk.TaskbarButtons(), std::vector<Hwnd>{firstTaskbarForm});
}

// A WM_QUIT from outside (PostThreadMessage, say) is an orderly end in
// whichever loop of the running instance takes it: the icon removed, the
// process ended. A second start waiting for the shell ends at once, asking
// nothing more, and leaves the running instance as it was.
TEST_F(LifecycleTest, AQuitFromOutsideEndsTheRunningInstanceThroughItsExitInEveryLoop) {
    enum Loop { Main, Modal, SecondStartsWait };
    const struct {
        const char* name;
        Loop loop;
    } cases[] = {
        {"its main loop, at rest", Main},
        {"the Configure dialog's loop", Modal},
        {"a second start's wait for the shell", SecondStartsWait},
    };
    for (const auto& c : cases) {
        sim::Desktop d;
        d.shell.kind = sim::ShellKind::WindowsLayoutWithoutAltM;
        d.CreateAppWindow("Untitled - Notepad");
        d.registry.SetText(platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, kBothIcons);
        std::map<int, Instance> running;
        d.onProcessReaped = [&](int pid) { running.erase(pid); };
        int latest = 0;
        auto start = [&] {
            auto runtime = std::make_unique<sim::SimRuntime>(d);
            const int pid = latest = runtime->pid();
            Instance& instance = running[pid];
            instance.runtime = std::move(runtime);
            instance.app = std::make_unique<App>(*instance.runtime);
            d.StartProgram([&] {
                auto in = d.InProcess(pid);
                instance.app->Start();
                d.RunPending();
            });
            return pid;
        };
        const int pid = start();
        ASSERT_TRUE(d.Alive(pid)) << c.name;
        App& app = *running.at(pid).app;
        const Hwnd iconHost = app.IconHostForm().hWnd();
        ASSERT_NE(d.FindTrayIcon(iconHost, kIconId), nullptr) << c.name;
        if (c.loop == Main) {
            d.PostQuit(pid);
            d.Run(1000);
        } else if (c.loop == Modal) {
            bool open = false;
            d.At(10, [&] {
                open = app.DialogVisible();
                d.PostQuit(pid);
            });
            d.ChooseWindowMenu(app.TaskbarForm().hWnd(), "&Configure");
            EXPECT_TRUE(open) << c.name;
        } else {
            // Within the wait for its keys to be judged ignored.
            d.At(100, [&] { d.PostQuit(latest); });
            const int second = start();
            d.Run(1000);
            EXPECT_FALSE(d.Alive(second)) << c.name;
            EXPECT_EQ(d.seen.minimiseAlls, 0) << c.name << ": the other way asked after the end";
            EXPECT_EQ(d.seen.shellObjectCalls, 0) << c.name;
            // The running instance is as it was.
            EXPECT_TRUE(d.Alive(pid)) << c.name;
            EXPECT_NE(d.FindTrayIcon(iconHost, kIconId), nullptr) << c.name;
            d.ShutDown();
            continue;
        }
        EXPECT_FALSE(d.Alive(pid)) << c.name;
        EXPECT_EQ(d.FindTrayIcon(iconHost, kIconId), nullptr) << c.name << ": the icon stays";
    }
}

// A monitor whose rectangle holds the point (x, y).
bool OnAMonitor(const sim::Desktop& desk, int x, int y) {
    for (const sim::Monitor& m : desk.display.monitors) {
        if (x >= m.x && x < m.x + m.width && y >= m.y && y < m.y + m.height) return true;
    }
    return false;
}

TEST_F(LifecycleTest, AMonitorLeftOfAndAboveThePrimaryOneDoesNotShowTheForms) {
    // A second monitor left of the primary one, reaching above it.
    desk.display.monitors.push_back({-1280, -300, 1280, 1024});
    App* app = Start();
    ASSERT_NE(app, nullptr);
    desk.ClickTaskbarButton(app->TaskbarForm().hWnd());  // a reveal moves them again
    desk.Run();
    ASSERT_EQ(desk.seen.minimiseAlls, 1);
    for (Hwnd form : {app->TaskbarForm().hWnd(), app->IconHostForm().hWnd()}) {
        const sim::Window& w = WindowOf(form);
        // -2500 twips beyond the virtual screen's left and top edges.
        EXPECT_EQ(w.x, -1280 + kOffScreenPixels);
        EXPECT_EQ(w.y, -300 + kOffScreenPixels);
        for (int dx : {0, std::max(w.width - 1, 0)}) {
            for (int dy : {0, std::max(w.height - 1, 0)}) {
                EXPECT_FALSE(OnAMonitor(desk, w.x + dx, w.y + dy));
            }
        }
    }
}

TEST_F(LifecycleTest, AMonitorThatMissesTheOffScreenPointLeavesTheUsualPosition) {
    // Right of the primary, and one above it that starts right of the point.
    desk.display.monitors.push_back({1024, 0, 1280, 1024});
    desk.display.monitors.push_back({0, -768, 1024, 768});
    App* app = Start();
    ASSERT_NE(app, nullptr);
    EXPECT_EQ(WindowOf(app->TaskbarForm().hWnd()).x, kOffScreenPixels);
    EXPECT_EQ(WindowOf(app->TaskbarForm().hWnd()).y, kOffScreenPixels);
    EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).x, kOffScreenPixels);
    EXPECT_EQ(WindowOf(app->IconHostForm().hWnd()).y, kOffScreenPixels);
}

TEST_F(LifecycleTest, AnInstanceWhoseObjectRefusesUsStillMakesThisASecondStart) {
    // The first instance runs elevated, or as another user in this session:
    // its named object exists but this process may not open it.
    StoreMode(kBothIcons);
    desk.HoldNamedObjectDenyingOthers("Quorvel.Instance");
    sim::NamedObject answer = desk.CreateNamedObject(desk.NewProcess("probe"), "Quorvel.Instance");
    EXPECT_FALSE(answer.handle);
    EXPECT_EQ(answer.lastError, static_cast<std::uint32_t>(platform::ERROR_ACCESS_DENIED));

    EXPECT_EQ(Start(), nullptr);
    desk.Run();
    EXPECT_FALSE(Alive(lastPid));
    EXPECT_EQ(desk.seen.minimiseAlls, 1);
    EXPECT_EQ(desk.TrayIconCount(), 0u);
    EXPECT_TRUE(desk.TaskbarButtons().empty());
}

}  // namespace
}  // namespace quorvel::testing
