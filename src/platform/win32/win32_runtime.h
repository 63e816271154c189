// The form run time on real Windows: windows, a message loop, and the
// services the program relies on.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/form_runtime.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_delete_file.h"
#include "platform/win32/win32_shell_wait.h"
#include "platform/win32/win32_turn.h"
#include "platform/win32/win32_window_facts.h"

struct IShellDispatch;

namespace quorvel::win32 {

class Win32Form;

class Win32Runtime : public platform::FormRuntime {
public:
    explicit Win32Runtime(HINSTANCE instance);
    ~Win32Runtime() override;

    platform::WinApi& api() override { return api_; }
    std::unique_ptr<platform::Form> CreateForm(const platform::FormDescription& description,
                                               platform::FormEvents events) override;
    void DoEvents() override;
    int MsgBox(std::string_view prompt, int style, std::string_view title) override;
    void Kill(const std::string& folder, const std::string& name) override;
    bool PrevInstance() override { return prevInstance_; }
    std::uint32_t Now() const override { return GetTickCount(); }
    void PumpUntil(const std::function<bool()>& done) override;
    void Trace(const platform::WindowedForm& form, const char* what, const char* detail) override;
    void TraceNote(std::string_view line) override;
    // The reveal's questions and acts (see platform/runtime.h).
    platform::Hwnd Foreground() const override;
    platform::Hwnd FocusOfThread(platform::Hwnd window) override;
    platform::Hwnd WindowOfClass(std::string_view className, std::uint32_t process) override;
    std::uint32_t ThreadOf(platform::Hwnd window) override;
    std::uint32_t ProcessOf(platform::Hwnd window) override;
    void LetThreadCatchUp(platform::Hwnd window, std::uint32_t boundMs) override;
    platform::WindowStanding Standing(platform::Hwnd window) override;
    std::uint32_t RunningInstanceValue() override;
    void KeepValueForLaterStarts(std::uint32_t value) override;
    void TellRunningInstance(std::uint32_t value, std::uint32_t withinMs) override;
    bool TakeTurn() override;
    void EndTurn() override;
    bool WaitUntil(const std::function<bool()>& condition, std::uint32_t boundUs) override;
    std::uint64_t NowUs() const override;

    // The event loop of the program; WM_QUIT ends the program (see Quit).
    [[noreturn]] void RunMessageLoop();

    // For the forms.
    HINSTANCE instance() const { return instance_; }
    HWND applicationWindow();  // made on first need
    int SystemPixelsPerInch() const override;
    HICON Icon(int resource, int size) const;
    // Before the first button or text box: the common controls of the
    // manifest (version 6) are loaded then, not at every start.
    void UseCommonControls();
    bool IsOurs(HWND hwnd) const;
    // Keyboard navigation of the modal dialog (Tab, arrows, Enter, Escape, access keys).
    bool TranslateDialogMessage(MSG& msg);

    BeforeDeletion beforeDeletion;  // for tests: runs inside Kill, see ListedFileDeleter

protected:
    void EndProcess() override;
    platform::Hwnd FindTitled(std::string_view title) override;
    platform::Hwnd ShellWindowTitled(std::string_view title) override;
    bool OwnsWindow(platform::Hwnd hwnd) const override { return IsOurs(ToHwnd(hwnd)); }
    bool RequestForeground(platform::Hwnd target) override;
    void StopFlashing(platform::Hwnd window) override;
    void TraceAppActivate(std::string_view title, platform::Hwnd target,
                          platform::Hwnd inFront) override;
    std::vector<std::uint8_t> HeldModifiers() const override;
    void SendKeyEvents(const std::vector<platform::KeyEvent>& keys) override;
    bool EnterComApartment() override;
    void LeaveComApartment() override;
    bool MakeShellObject() override;
    bool ShellMinimizeAll() override;
    void ReleaseShellObject() override;
    void SetFinestTimerResolution(bool finest) override { timerResolution_.Hold(finest); }
    bool StartTimer(int id, std::uint32_t milliseconds) override;
    void StopTimer(int id) override;

private:
    // The application window's procedure (see bound_window.h).
    LRESULT ApplicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // One step of every loop of the program (the main one, the modal
    // dialog's, DoEvents, PumpUntil): one message taken, waiting for it or
    // not, and handled: the dialog's keys, then translated and dispatched.
    // WM_QUIT ends the program (see Quit). False when `wait` is false and
    // no message was there; with `wait` and idle work queued, a step with no
    // message runs its next piece instead of waiting.
    bool PumpStep(bool wait);
    Win32Form* modal() const;
    platform::WindowFacts& windowFacts() override { return facts_; }
    // The application window of the running instance, null for none.
    HWND RunningInstanceWindow();

    HINSTANCE instance_;
    Win32Api api_;
    Win32WindowFacts facts_;
    HWND appWindow_ = nullptr;
    ListedFileDeleter deleter_;
    KernelHandle instanceMutex_;
    Turn turn_;
    bool prevInstance_ = false;
    bool commonControlsLoaded_ = false;
    UINT taskbarCreatedMessage_ = 0;
    UINT minimiseAllWayMessage_ = 0;  // what a second start tells the running instance
    // COM, for the shell's automation object: ole32 from the system folder,
    // loaded when the object is first needed, and the object, kept.
    HMODULE ole32_ = nullptr;
    Owned<IShellDispatch*, ReleaseComObject> shellObject_;
    TimerResolutionHold timerResolution_;
};

}  // namespace quorvel::win32
