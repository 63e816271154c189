// The form run time on real Windows: windows, a message loop, and the
// services the program relies on.
#pragma once

#include <windows.h>

#include <memory>
#include <utility>
#include <vector>

#include "platform/errors.h"
#include "platform/runtime.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_api.h"

namespace quorvel::win32 {

class Win32Form;

class Win32Runtime : public platform::Runtime {
public:
    explicit Win32Runtime(HINSTANCE instance);
    ~Win32Runtime() override;

    platform::WinApi& api() override { return api_; }
    std::unique_ptr<platform::Form> CreateForm(const platform::FormSpec& spec,
                                               platform::FormEvents events) override;
    void ActivateStartupForm(platform::Form& form) override;
    bool AppActivate(std::string_view title) override;
    void SendKeys(std::string_view keys) override;
    void DoEvents() override;
    int MsgBox(std::string_view prompt, int style, std::string_view title) override;
    void Kill(const std::string& path) override;
    bool PrevInstance() override { return prevInstance_; }

    // The event loop of the program; returns only if WM_QUIT arrives.
    int RunMessageLoop();

    // For the forms.
    HINSTANCE instance() const { return instance_; }
    HWND applicationWindow() const { return appWindow_; }
    HFONT font() const { return font_.get(); }
    HICON Icon(int resource, int size) const;
    bool IsOurs(HWND hwnd) const;
    // Activation goes back to the user's window, never to another of our forms.
    void HandActivationAway();
    // Keyboard navigation of the modal dialog (Tab, arrows, Enter, Escape, access keys).
    bool TranslateDialogMessage(MSG& msg);

    // Raises an event of the program. Activations that happen while one of
    // its handlers runs are the program's own doing (SetWindowPos without
    // SWP_NOACTIVATE, a message box closing, a pop-up menu's owner): they are
    // not a change of its current form and raise no Activate.
    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args&... args) {
        ++eventDepth;
        struct Leave {
            int& depth;
            ~Leave() { --depth; }
        } leave{eventDepth};
        platform::RaiseEvent(handler, args...);
    }
    // A message loop inside a handler (modal dialog, DoEvents) takes the
    // user's input again: what it dispatches comes from outside.
    class OutsideInput {
    public:
        explicit OutsideInput(Win32Runtime& rt)
            : rt_(rt), saved_(std::exchange(rt.eventDepth, 0)) {}
        ~OutsideInput() { rt_.eventDepth = saved_; }
        OutsideInput(const OutsideInput&) = delete;
        OutsideInput& operator=(const OutsideInput&) = delete;

    private:
        Win32Runtime& rt_;
        int saved_;
    };
    int eventDepth = 0;

    Win32Form* lastActiveForm = nullptr;
    Win32Form* modalForm = nullptr;
    std::vector<Win32Form*> forms;

protected:
    void EndProcess() override;

private:
    static LRESULT CALLBACK ApplicationProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    HWND NextWindowOfOtherProgram() const;

    HINSTANCE instance_;
    Win32Api api_;
    HWND appWindow_ = nullptr;
    Font font_;
    KernelHandle instanceMutex_;
    bool prevInstance_ = false;
    UINT taskbarCreated_ = 0;
};

}  // namespace quorvel::win32
