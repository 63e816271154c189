// The form run time on real Windows: windows, a message loop, and the
// services the program relies on.
#pragma once

#include <windows.h>

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/activation.h"
#include "platform/dispatch.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_api.h"
#include "platform/win32/win32_delete_file.h"

namespace quorvel::win32 {

class Win32Form;

class Win32Runtime : public platform::Runtime {
public:
    explicit Win32Runtime(HINSTANCE instance);
    ~Win32Runtime() override;

    platform::WinApi& api() override { return api_; }
    std::unique_ptr<platform::Form> CreateForm(const platform::FormDescription& description,
                                               platform::FormEvents events) override;
    void Load(platform::Form& form) override { events.Raise(form.events.Load); }
    void ActivateStartupForm(platform::Form& form) override;
    bool AppActivate(std::string_view title) override;
    void SendKeys(std::string_view keys) override;
    void DoEvents() override;
    int MsgBox(std::string_view prompt, int style, std::string_view title) override;
    void Kill(const std::string& folder, const std::string& name) override;
    bool PrevInstance() override { return prevInstance_; }
    int SetTimeout(std::uint32_t milliseconds, std::function<void()> f) override;
    void ClearTimeout(int id) override;

    // The event loop of the program; returns only if WM_QUIT arrives.
    int RunMessageLoop();

    // For the forms.
    HINSTANCE instance() const { return instance_; }
    HWND applicationWindow();  // made on first need
    HFONT font() const { return font_.get(); }
    // The screen's density, at which twips become pixels.
    int pixelsPerInch() const { return pixelsPerInch_; }
    int PixelsPerInch() const override { return pixelsPerInch_; }
    HICON Icon(int resource, int size) const;
    // Before the first button or text box: the common controls of the
    // manifest (version 6) are loaded then, not at every start.
    void UseCommonControls();
    bool IsOurs(HWND hwnd) const;
    // Activation goes back to the user's window, never to another of our forms.
    void HandActivationAway();
    // Keyboard navigation of the modal dialog (Tab, arrows, Enter, Escape, access keys).
    bool TranslateDialogMessage(MSG& msg);

    platform::EventDispatcher events;
    BeforeDeletion beforeDeletion;  // for tests: runs inside Kill, see ListedFileDeleter

    platform::ActivationModel activation;
    Win32Form* modalForm = nullptr;
    std::vector<Win32Form*> forms;

protected:
    void EndProcess() override;

private:
    static LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND NextWindowOfOtherProgram();
    bool IsCloaked(HWND hwnd);
    // Waits, taking the messages other threads send us, until `target` is the
    // foreground window; false when it is not within the time allowed.
    static void WaitBriefly();
    static bool WaitForForeground(HWND target);
    // In front, given the keyboard focus by its thread, and that thread idle.
    static bool WaitUntilReadyForKeys(HWND target);
    static bool HasKeyboardFocus(HWND target);
    static void WaitForTaskbar();
    static void WaitUntilIdle(HWND target);
    // WM_TIMER of the application window: a timer set with SetTimeout is due.
    void RunTimeout(UINT_PTR id);

    HINSTANCE instance_;
    Win32Api api_;
    HWND appWindow_ = nullptr;
    ListedFileDeleter deleter_;
    Font font_;
    KernelHandle instanceMutex_;
    bool prevInstance_ = false;
    bool commonControls_ = false;
    bool dwmLookedUp_ = false;
    void* dwmGetAttribute_ = nullptr;  // DwmGetWindowAttribute, where there is one
    int pixelsPerInch_ = platform::kStandardPixelsPerInch;
    UINT taskbarCreated_ = 0;
    std::map<UINT_PTR, std::function<void()>> timeouts_;
    UINT_PTR lastTimeout_ = 0;
};

}  // namespace quorvel::win32
