// The form run time's forms and controls as the program sees them.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/form_description.h"
#include "platform/types.h"

namespace quorvel::platform {

// UnloadMode of QueryUnload.
inline constexpr std::int16_t vbFormControlMenu = 0;  // window menu or close command
inline constexpr std::int16_t vbFormCode = 1;         // the program unloads the form
inline constexpr std::int16_t vbAppWindows = 2;       // Windows shuts down, user logs off
inline constexpr std::int16_t vbAppTaskManager = 3;   // the task manager closes the program

struct FormEvents {
    std::function<void()> Load;
    std::function<void()> Activate;
    std::function<void()> Resize;
    std::function<void()> Paint;
    std::function<void(std::int16_t& cancel, std::int16_t unloadMode)> QueryUnload;
    std::function<void(std::int16_t& button, std::int16_t& shift, float& x, float& y)> MouseMove;
};

class Form;
class EventDispatcher;

// One control, menu or menu item. The state lives here; a backend subclass
// mirrors changes onto its window and keeps the state current when the user
// changes it. Properties a control type does not have raise a run-time error.
class Control {
public:
    explicit Control(ControlDescription description);
    virtual ~Control() = default;
    Control(const Control&) = delete;
    Control& operator=(const Control&) = delete;

    const ControlDescription& description() const { return description_; }

    bool Visible() const { return visible_; }
    void SetVisible(bool visible);
    // The caption, or the text of a text box.
    const std::string& Caption() const { return caption_; }
    void SetCaption(std::string_view caption);
    // Selected state of an option button; selecting one clears the others of
    // its container (done by the form, see Form::SelectOption).
    bool Value() const;
    void SetValue(bool selected);
    int Interval() const;
    void SetInterval(int milliseconds);

    // File list box: the names of the folder's files that match the pattern,
    // read when the path is set. ListCount is a 16-bit whole number, so the
    // list holds at most 32,767 names.
    std::string Path() const;
    void SetPath(const std::string& path);
    // The same read a part at a time, for a caller that stops between two
    // entries and goes on later: BeginPath opens the folder as SetPath does
    // ("Path not found" when it is no folder), the list empty; ReadMore
    // looks at the folder's next entries while `goOn()` holds (at least one
    // each call), and answers whether the listing is over: the folder read
    // to its end, or the list full.
    void BeginPath(const std::string& path);
    bool ReadMore(const std::function<bool()>& goOn);
    std::int16_t ListCount() const;
    std::string List(int index) const;
    const std::string& Pattern() const { return description_.pattern; }

    // Picture box: the handle of the icon it holds.
    virtual Hicon Picture() const;

    // The backend's listing of a file list's folder, an entry at a time:
    // Next answers false at the folder's end, and gives the name of each
    // entry, empty where the list leaves it out (a folder, a hidden or system
    // file, a name that does not match the pattern).
    class FolderReading {
    public:
        virtual ~FolderReading() = default;
        virtual bool Next(std::string& name) = 0;
    };

    std::function<void()> Click;  // command buttons and menu items
    std::function<void()> Timer;  // timers

protected:
    enum class Property { Visible, Caption, Value, Interval };
    virtual void Changed(Property) {}
    void Require(ControlKind kind) const;
    // Opens the folder's listing. It may respell `path` as the file system
    // stores it; "Path not found" when it is no folder.
    virtual std::unique_ptr<FolderReading> OpenFolder(std::string& path) const;
    // A timer's tick: Timer runs, never inside its own run (DoEvents).
    void RaiseTimer(EventDispatcher& events);
    friend class Form;

private:
    Form* form_ = nullptr;
    ControlDescription description_;
    bool visible_;
    std::string caption_;
    bool value_ = false;
    int interval_;
    bool inTick_ = false;
    std::string path_;
    std::vector<std::string> entries_;
    std::unique_ptr<FolderReading> reading_;  // while a listing is under way
};

class Form {
public:
    explicit Form(FormDescription description, FormEvents events);
    virtual ~Form() = default;
    Form(const Form&) = delete;
    Form& operator=(const Form&) = delete;

    const FormDescription& description() const { return description_; }
    FormEvents events;

    // The form's window (a backend may make it on this first need).
    virtual Hwnd hWnd() const = 0;

    // Twips. Moving or sizing a form that cannot be moved (minimised) raises
    // a run-time error.
    virtual double Left() const = 0;
    virtual double Top() const = 0;
    virtual double Width() const = 0;
    virtual double Height() const = 0;
    virtual void SetLeft(double twips) = 0;
    virtual void SetTop(double twips) = 0;
    virtual void SetWidth(double twips) = 0;
    virtual void SetHeight(double twips) = 0;
    // The density of the place the form's window is (its monitor's, where
    // Windows gives each monitor its own): twips become pixels at this many
    // pixels per inch.
    virtual int PixelsPerInch() const = 0;

    virtual bool Visible() const = 0;
    // Shows without taking the activation from the user's window, or hides.
    virtual void SetVisible(bool visible) = 0;
    virtual std::string Caption() const = 0;
    virtual void SetCaption(std::string_view caption) = 0;

    // Modeless show: the form becomes the program's current form.
    virtual void Show() = 0;
    // Modal show: returns once the form has been unloaded; events keep being
    // delivered meanwhile and the program's other forms take no input.
    virtual void ShowModal() = 0;
    virtual void Hide() = 0;
    // Raises QueryUnload with vbFormCode, then destroys the window unless
    // the handler cancelled.
    virtual void Unload() = 0;
    virtual bool Loaded() const = 0;
    // Opens the menu at the pointer; the chosen item's Click runs.
    virtual void PopupMenu(std::string_view menuName) = 0;

    Control& control(std::string_view name, int index = 0);
    const std::vector<std::unique_ptr<Control>>& controls() const { return controls_; }

protected:
    // Backends add the controls they build, in creation order.
    Control& Add(std::unique_ptr<Control> control);

private:
    friend class Control;
    // Selects one option button and clears the others of its container.
    void SelectOption(Control& option);
    std::vector<std::unique_ptr<Control>> controls_;

    FormDescription description_;
};

}  // namespace quorvel::platform
