// A control on the simulated desktop: its timer runs on the desktop's clock,
// its file list reads the host folder that stands for drive C:, and an option
// button of a dialog tells the dialog manager when it is checked.
#pragma once

#include <string>
#include <vector>

#include "platform/form.h"

namespace quorvel::sim {

class DialogManager;
class SimRuntime;

class SimControl : public platform::Control {
public:
    // `events`: the run time's, through which the timer's ticks are raised.
    SimControl(SimRuntime& rt, platform::EventDispatcher& events,
               platform::ControlDescription description);
    ~SimControl() override;

    platform::Hicon Picture() const override;
    void StopTimer();

    DialogManager* dialog = nullptr;  // of its form, when that is a dialog

protected:
    void Changed(Property property) override;
    std::unique_ptr<FolderReading> OpenFolder(std::string& path) const override;

private:
    SimRuntime& rt_;
    platform::EventDispatcher& events_;
    int timerId_ = 0;
};

}  // namespace quorvel::sim
