// What a form does with its window, written once for both backends: showing
// and hiding, modal showing, unloading, resting minimised, and which of the
// window system's activations raise Activate (see platform/activation.h).
// A backend supplies the window: the primitives below, and calls the
// members under "What the window system tells the form" as it hears of it.
#pragma once

#include <cstdint>
#include <optional>

#include "platform/event_dispatcher.h"
#include "platform/form.h"

namespace quorvel::platform {

class FormRuntime;

// How the window system is asked to show a form's window.
enum class Showing { NoActivate, Activate, Hide, MinimiseNoActivate };
// Work a form posts to itself, to be done once the message under way is over:
// the message (WM_APP + 1) carries a Deferred in wParam.
enum class Deferred { MinimiseUnlessActive, RestoreCheck, Activate };
inline constexpr std::uint32_t kDeferredMessage = 0x8001;
enum class Sizing { Restored, Minimised, Other };
// A form's client area on the screen, or a control's place in its
// container, in pixels.
struct ClientArea {
    int x = 0, y = 0, width = 0, height = 0;
};
// The size of an icon's picture: a third of an inch (32 pixels at 96 per inch).
inline constexpr int kIconTwips = 480;

class WindowedForm : public Form {
public:
    WindowedForm(FormRuntime& runtime, FormDescription description, FormEvents events);
    ~WindowedForm() override;

    bool Loaded() const final { return loaded_; }
    bool Visible() const final { return loaded_ && WindowVisible(); }
    void SetVisible(bool visible) final;
    void Show() final;
    void ShowModal() final;
    void Hide() final;
    void Unload() final;
    void PopupMenu(std::string_view menuName) final;
    bool Minimised() const { return loaded_ && WindowMinimised(); }
    // Twips as pixels at the form's density.
    int Pixels(double twips) const;
    int PixelsPerInch() const final { return pixelsPerInch_; }
    // A control's place in its container at the form's density: its edges
    // rounded one by one, so that neighbours in twips stay neighbours.
    ClientArea ControlArea(const ControlDescription& control) const;
    // The text's height at the form's density (LOGFONT's lfHeight: negative,
    // the characters without their leading), 8 points.
    int FontHeight() const;

    double Left() const final { return Twips(Area().x); }
    double Top() const final { return Twips(Area().y); }
    double Width() const final { return Twips(Area().width); }
    double Height() const final { return Twips(Area().height); }
    void SetLeft(double twips) final { Place(&ClientArea::x, twips); }
    void SetTop(double twips) final { Place(&ClientArea::y, twips); }
    void SetWidth(double twips) final { Place(&ClientArea::width, twips); }
    void SetHeight(double twips) final { Place(&ClientArea::height, twips); }

    // Hidden by the program (Load may hide the start-up form).
    bool HiddenByProgram() const { return hiddenByProgram_; }

    // A message to the form's window, in Win32's numbers: true when the form
    // answered it, with `result` its answer; the rest are the system's.
    bool Message(std::uint32_t msg, std::uint32_t wParam, std::uint32_t lParam,
                 std::intptr_t& result);

protected:
    // --- The window itself, from the backend ---
    virtual ClientArea WindowArea() const = 0;
    // Moves and sizes the window; never called while it is minimised.
    virtual void PlaceWindow(const ClientArea& area) = 0;
    virtual bool WindowVisible() const = 0;
    virtual bool WindowMinimised() const = 0;
    virtual bool WindowEnabled() const = 0;
    virtual bool IsForeground() const = 0;
    // The active window of the program's own thread.
    virtual bool IsActive() const = 0;
    virtual void EnableWindow(bool enabled) = 0;
    virtual void ShowWindow(Showing how) = 0;
    virtual void DestroyWindow() = 0;
    virtual void Post(Deferred what) = 0;
    virtual void StopControlTimers() = 0;
    // Opens the menu at the pointer until the user chooses or leaves it:
    // the item chosen, null for none.
    virtual Control* TrackMenu(std::string_view menuName) = 0;
    virtual void FocusFirstTabStop() {}
    // Whether Alt is down on the keyboard now.
    virtual bool AltDown() const = 0;
    // Draws what the system does not, before Paint is raised.
    virtual void Draw() {}

    // Events are raised only while the form is loaded and built.
    template <typename Handler, typename... Args>
    void Raise(const Handler& handler, Args&... args) {
        if (creating_ || !loaded_) return;
        dispatcher().Raise(handler, args...);
    }
    // The run time's, through which every event is raised: a backend raises
    // its controls' clicks and ticks with it.
    EventDispatcher& dispatcher() const;
    // Raises a run-time error when the form is unloaded.
    void RequireLoaded() const;
    // The client area of the description, at the form's density: the
    // system's until its window is made.
    ClientArea DesignArea() const;
    // The density the window system gave the window just made: that of the
    // monitor it overlaps most, else the nearest, where each monitor has its
    // own; the design's twips become pixels of that monitor there.
    void TakeDensity(int pixelsPerInch);
    // Windows asks for the window's size at another density before it moves
    // it there ("WM_GETDPISCALEDSIZE", whose wParam is the density, whole):
    // the client area's size in twips there, so that a move to and fro
    // changes no pixel. None for a density of 0 or less, or more than
    // WM_DPICHANGED's word can carry: the window then answers FALSE, and
    // Windows scales it linearly.
    std::optional<ClientArea> SizeAskedFor(std::intptr_t wParam) const;
    // "WM_DPICHANGED": the window is now at a place of the density its wParam
    // gives (X in the low word, Y in the high word, the same for a desktop
    // program; the form goes by Y, as its font's height does). False, and
    // nothing changed, for a density of 0; else the backend lays the form out
    // and gives the window the rectangle Windows suggests.
    bool TakeDensityTold(std::uint32_t wParam);
    // Once the window has taken the place Windows suggested there: its twips
    // are other pixels now, which is a new size to the program, also where
    // its pixels stay (a hidden form takes its off-screen place again, at the
    // new density).
    void DensityApplied() { Raise(events.Resize); }
    // The client area's size at `pixelsPerInch`: the size in twips the
    // program gave it, so that moving to and fro changes no pixel.
    ClientArea ScaledSize(int pixelsPerInch) const;
    void Destroy();

    FormRuntime& runtime_;
    bool loaded_ = true;
    bool creating_ = false;  // while the backend builds the window

private:
    // Shows (or minimises) the window as `how` says; the window manager's
    // animations are turned off for every form but the dialog before its
    // first showing.
    void ShowAnimatedOnlyIfDialog(Showing how);
    double Twips(int pixels) const;
    ClientArea Area() const;
    void Place(int ClientArea::*field, double twips);
    void Activated(bool minimised);
    void Deactivated();
    void Sized(Sizing sizing);
    // The work posted with Post, now that the message it came from is over.
    void RunDeferred(Deferred what);
    void CloseRequest(std::int16_t unloadMode);
    void MouseMoved(std::uint32_t keys, std::uint32_t position);
    // At rest (see platform/activation.h): minimised, without activation,
    // unless it is the active window or a dialog is up.
    void MinimiseUnlessActive();
    void HandBackDue();

    int pixelsPerInch_;
    double widthTwips_;
    double heightTwips_;
    bool hiddenByProgram_ = false;
    bool transitionsOff_ = false;
    bool minimised_ = false;
    bool restoreCheckPending_ = false;
    bool restoreTold_ = false;  // Activate raised by a restore still under way
    int handBack_ = 0;          // the hand-back's timer (also after a menu), 0 for none
};

}  // namespace quorvel::platform
