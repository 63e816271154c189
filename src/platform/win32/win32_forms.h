// Forms and controls as real windows: one window procedure per window class,
// bound to its object at WM_NCCREATE, turning messages into the form events.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "platform/forms.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32_runtime.h"

namespace quorvel::win32 {

class Win32Form;

inline constexpr const char* kFormClass = "QuorvelForm";
inline constexpr const char* kPanelClass = "QuorvelPanel";
// Posted to a form restored from minimised, to see whether that made it current.
inline constexpr UINT kRestoredMessage = WM_APP + 1;
// Posted to the taskbar button's form to minimise it once it is no longer
// the active window (see "At rest" in platform/activation.h).
inline constexpr UINT kRestMessage = WM_APP + 2;
// A form that the shell activated again while it settles hands the
// activation back when this one-shot timer fires (control timers use the
// controls' IDs, from 100 on).
inline constexpr UINT_PTR kHandAwayTimer = 1;
inline constexpr UINT kHandAwayAfterMs = 200;

inline constexpr const char* kDialogClass = "QuorvelDialog";

// A container's share of the dialog manager's work (see win32_dialog.cpp):
// true when it handled the message.
bool PanelDialogMessage(HWND panel, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result);

class Win32Control : public platform::Control {
public:
    Win32Control(Win32Form& form, platform::ControlDescription description, int id);
    ~Win32Control() override;

    int id() const { return id_; }
    HWND window() const { return hwnd_; }
    void Create(HWND parent, HFONT font);
    void StopTimer();
    void Tick();

    std::string Path() const override;
    void SetPath(const std::string& path) override;
    std::int16_t ListCount() const override;
    std::string List(int index) const override;
    platform::Hicon Picture() const override;

protected:
    void Changed(Property property) override;

private:
    static LRESULT CALLBACK PanelProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    Win32Form& form_;
    int id_;
    HWND hwnd_ = nullptr;
    HICON icon_ = nullptr;
    bool timerRunning_ = false;
    bool inTick_ = false;
    std::string path_;
    std::vector<std::string> entries_;

    friend class Win32Form;
};

class Win32Form : public platform::Form {
public:
    Win32Form(Win32Runtime& runtime, const platform::FormDescription& description,
              platform::FormEvents events);
    ~Win32Form() override;

    static void RegisterClasses(HINSTANCE instance);

    // The form's window, made if it is not yet (see Realise).
    HWND window() {
        Realise();
        return hwnd_;
    }
    void Realise();
    Win32Runtime& runtime() { return rt_; }
    int TwipsToPixels(double twips) const;
    double PixelsToTwips(int pixels) const;

    platform::Hwnd hWnd() const override;
    bool HasWindow() const override { return hwnd_ != nullptr; }
    double Left() const override;
    double Top() const override;
    double Width() const override;
    double Height() const override;
    void SetLeft(double twips) override;
    void SetTop(double twips) override;
    void SetWidth(double twips) override;
    void SetHeight(double twips) override;
    bool Visible() const override { return loaded_ && IsWindowVisible(hwnd_); }
    void SetVisible(bool visible) override;
    std::string Caption() const override;
    void SetCaption(std::string_view caption) override;
    void Show() override;
    void ShowModal() override;
    void Hide() override;
    void Unload() override;
    bool Loaded() const override { return loaded_; }
    void PopupMenu(std::string_view menuName) override;

    bool hiddenByProgram = false;
    bool Minimised() const { return hwnd_ != nullptr && IsIconic(hwnd_); }

private:
    // The form a window procedure call is for, bound at WM_NCCREATE.
    static Win32Form* Bound(HWND hwnd, UINT msg, LPARAM lParam);
    static LRESULT CALLBACK FormProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT msg, WPARAM wParam, LPARAM lParam);
    // A dialog form's window belongs to the system's dialog manager, which
    // keeps its focus and its default button and reads its keys.
    static void RegisterDialogClass(HINSTANCE instance);
    static LRESULT CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultProc(UINT msg, WPARAM wParam, LPARAM lParam);
    int ControlId(const platform::ControlDescription& c, int next) const;
    void DialogBuilt();
    void FocusFirstTabStop();
    void OptionChecked(Win32Control& option);
    bool IsDialog() const { return description().dialog; }
    // Events are raised only while the form is loaded and built.
    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args&... args) {
        if (creating_ || !loaded_) return;
        rt_.events.Raise(handler, args...);
    }
    void CloseRequest(std::int16_t unloadMode);
    void Resized(WPARAM kind);
    void Destroy();
    void TaskbarChanged();
    void Rest();
    void SetIconsOnce();
    void Paint();
    void Command(int id);
    Win32Control* ById(int id);
    RECT ClientRect() const;  // screen coordinates
    void Require() const;
    void MoveClientTo(int x, int y);
    void SizeClientTo(int width, int height);
    LRESULT ControlColour(HDC dc, HWND child);

    Win32Runtime& rt_;
    HWND hwnd_ = nullptr;
    RECT pending_{};  // the client area, in screen pixels, while there is no window
    DWORD style_ = 0;
    DWORD exStyle_ = 0;
    bool loaded_ = false;
    bool creating_ = true;
    bool minimised_ = false;
    bool restoreCheckPending_ = false;
    bool restoreTold_ = false;  // Activate raised by a restore still under way
    bool iconsSet_ = false;
    std::map<std::string, Menu, std::less<>> menus_;
    Brush textBackground_;

    friend class Win32Control;
};

}  // namespace quorvel::win32
