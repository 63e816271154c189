// The conformance tests' dialog manager on the host: the simulated desktop.
#include <gtest/gtest.h>

#include "conformance/dialog_target.h"
#include "sim/backend/sim_form.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

namespace {
class SimDialogTarget : public DialogTarget {
public:
    // Wine's foreground, with no rules: under Wine the twin of these tests
    // activates a window of its own process as the other window, which
    // leaves it the foreground process; here the other window is another
    // program's, and Windows' rules would refuse the dialog's own
    // reactivation that is compared.
    SimDialogTarget() { desk_.activation.foregroundLocked = false; }
    platform::Runtime& runtime() override { return runtime_; }
    void RunModal(platform::Form& form, const std::function<void()>& inside) override {
        form_ = &form;
        desk_.At(10, [this, inside] {
            auto running = desk_.InProcess(runtime_.pid());
            inside();
        });
        desk_.Drive([&] {
            auto running = desk_.InProcess(runtime_.pid());
            form.ShowModal();
        });
        form_ = nullptr;
    }
    platform::Control* Focused() override { return sim::FocusedControl(*form_); }
    void Key(std::uint8_t vk, bool shift) override { sim::PressKey(*form_, vk, shift); }
    void AltKey(char letter) override { sim::PressAltKey(*form_, letter); }
    void ClickInto(platform::Control& control) override { sim::ClickControl(*form_, control); }
    void ActivateOtherWindow() override { desk_.Activate(other_); }
    void SwitchBack() override { desk_.Activate(form_->hWnd()); }
    void ClickTitle() override { desk_.Activate(form_->hWnd()); }
    bool ChangeDensity(int pixelsPerInch) override {
        desk_.SetMonitorDensity(0, pixelsPerInch);
        const sim::Window& w = *desk_.Find(form_->hWnd());
        return w.sizedItself && w.width == w.suggested.width && w.height == w.suggested.height;
    }
    LaidOut Shown() override {
        return {[this](platform::Control& c) -> std::optional<platform::ClientArea> {
                    return sim::ControlPlace(*form_, c.description().name, c.description().index);
                },
                [this](platform::Control&) { return sim::ControlFontHeight(*form_); }};
    }
    platform::ClientArea ClientSize() override {
        const sim::Window& w = *desk_.Find(form_->hWnd());
        return {0, 0, w.width, w.height};
    }
    platform::SystemColours CurrentColours() override { return desk_.colours.system(); }
    void SetSystemColours(const platform::SystemColours& colours) override {
        desk_.colours.SetSysColors(colours);
    }
    // The simulated desktop paints a form and its controls at once.
    bool RepaintAfter(std::uint32_t msg, std::uint32_t wParam, platform::Control&) override {
        desk_.RunPending();
        EXPECT_FALSE(desk_.colours.Invalid(form_->hWnd())) << "still to paint before";
        desk_.Send(form_->hWnd(), msg, wParam);
        const bool asked = desk_.colours.Invalid(form_->hWnd());
        desk_.RunPending();
        return asked;
    }
    platform::DrawnColours DrawnWith(platform::Control& control) override {
        const auto drawn = desk_.colours.DrawnWith(form_->hWnd(), control.description().name,
                                                   control.description().index);
        if (!drawn) ADD_FAILURE() << control.description().name << " was never drawn";
        return drawn.value_or(platform::DrawnColours{});
    }
    std::size_t BrushesHeld() override { return desk_.colours.LiveBrushes(); }

private:
    sim::Desktop desk_;
    sim::SimRuntime runtime_{desk_};
    platform::Hwnd other_ = desk_.CreateAppWindow("Another program");
    platform::Form* form_ = nullptr;
};
}  // namespace

DialogTarget& Dialogs() {
    static SimDialogTarget target;
    return target;
}

}  // namespace quorvel::testing
