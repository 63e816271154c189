// Forms and controls as real windows: one window procedure per window class,
// bound to its object at WM_NCCREATE, turning messages into the form events.
#pragma once

#include <windows.h>

#include <map>
#include <ranges>
#include <string>
#include <vector>

#include "platform/control_colours.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_runtime.h"
#include "platform/windowed_form.h"

namespace quorvel::win32 {

class Win32Form;

inline constexpr const char* kFormClass = "QuorvelForm";
inline constexpr const char* kPanelClass = "QuorvelPanel";

inline constexpr const char* kDialogClass = "QuorvelDialog";

// Registers a window class of the program's; one already registered is the
// same class, and any other failure shows where a window of it is made.
void RegisterWindowClass(const WNDCLASSA& windowClass);
// A run-time error when the window asked for was not made.
void RequireMade(HWND window);

// A container's share of the dialog manager's work (see win32_dialog.cpp):
// true when it handled the message.
bool PanelDialogMessage(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

class Win32Control : public platform::Control {
public:
    Win32Control(Win32Form& form, platform::ControlDescription description, int id);
    ~Win32Control() override;

    int id() const { return id_; }
    // The control's own child window; null until the form's is made, and
    // for a control without one (see Create).
    HWND window() const { return hwnd_; }
    void Create(HWND parent, HFONT font);
    void StopTimer();
    void Tick();

    platform::Hicon Picture() const override;

protected:
    void Changed(Property property) override;
    std::unique_ptr<FolderReading> OpenFolder(std::string& path) const override;

private:
    // A container's window procedure (see bound_window.h).
    LRESULT PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    Win32Form& form_;
    int id_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    bool timerRunning_ = false;

    friend class Win32Form;
};

class Win32Form : public platform::WindowedForm {
public:
    Win32Form(Win32Runtime& runtime, const platform::FormDescription& description,
              platform::FormEvents events);
    ~Win32Form() override;

    static void RegisterClasses(HINSTANCE instance);

    // The form's window, made now if it is not yet (see Realise); hWnd()
    // is the same window as the program's 32-bit handle value.
    HWND RealisedWindow() {
        Realise();
        return hwnd_;
    }
    // The window if it has been made, else null: for what must not make it
    // (a trace line).
    HWND windowIfMade() const { return hwnd_; }
    void Realise();

    platform::Hwnd hWnd() const override;
    std::string Caption() const override;
    void SetCaption(std::string_view caption) override;
    // The brushes it holds for its controls' backgrounds.
    std::size_t BrushesHeld() const { return paint_.Brushes(); }

protected:
    platform::ClientArea WindowArea() const override;
    void PlaceWindow(const platform::ClientArea& to) override;
    bool WindowVisible() const override { return hwnd_ != nullptr && IsWindowVisible(hwnd_); }
    bool WindowMinimised() const override { return hwnd_ != nullptr && IsIconic(hwnd_); }
    bool WindowEnabled() const override { return hwnd_ != nullptr && IsWindowEnabled(hwnd_); }
    bool IsForeground() const override {
        return hwnd_ != nullptr && GetForegroundWindow() == hwnd_;
    }
    bool IsActive() const override { return hwnd_ != nullptr && GetActiveWindow() == hwnd_; }
    void EnableWindow(bool enabled) override { ::EnableWindow(RealisedWindow(), enabled); }
    void ShowWindow(platform::Showing how) override;
    void DestroyWindow() override;
    void Post(platform::Deferred what) override;
    void StopControlTimers() override;
    platform::Control* TrackMenu(std::string_view menuName) override;
    void FocusFirstTabStop() override;
    bool AltDown() const override;
    void Draw() override;

private:
    // The form's window procedure (see bound_window.h). The form learns its
    // window at WM_NCCREATE: what comes before CreateWindowExA returns
    // needs it already.
    LRESULT FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    // A dialog form's window belongs to the system's dialog manager, which
    // keeps its focus and its default button and reads its keys.
    LRESULT DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    int ControlId(const platform::ControlDescription& c, int next) const;
    // Tells the dialog manager the default button, where there is one.
    void SetDefaultButton();
    void OptionChecked(Win32Control& option);
    bool IsDialog() const { return description().dialog; }
    void MakeTaskbarLookAgain();
    void SetIconsOnce();
    void ButtonClicked(int id);
    Win32Control* ControlWithId(int id);
    // The form's controls, each the Win32Control the form made it as.
    auto Win32Controls() {
        return controls() | std::views::transform([](const auto& c) -> Win32Control& {
                   return static_cast<Win32Control&>(*c);
               });
    }
    // WM_CTLCOLORSTATIC and WM_CTLCOLOREDIT from a control about to be drawn.
    LRESULT ControlColour(UINT msg, HDC dc, HWND child);
    // The dialog font at the form's density.
    void MakeDialogFont();
    // The controls' windows and font at the form's density.
    void LayOut();
    // A per-monitor aware window at a place of another density: its size
    // there (WM_GETDPISCALEDSIZE), and the move there (WM_DPICHANGED).
    LRESULT DensityChanged(UINT msg, WPARAM wParam, LPARAM lParam);

    Win32Runtime& rt_;
    HWND hwnd_ = nullptr;
    RECT areaUntilMade_{};  // the client area, in screen pixels, while there is no window
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    bool iconsSet_ = false;
    std::map<std::string, Menu, std::less<>> menus_;
    platform::ControlPaint<Brush> paint_;
    Font font_;

    friend class Win32Control;
};

}  // namespace quorvel::win32
