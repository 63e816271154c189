#include "sim/backend/sim_control.h"

#include <algorithm>
#include <filesystem>
#include <utility>

#include "platform/errors.h"
#include "platform/file_pattern.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/ansi.h"
#include "sim/model/focus.h"

namespace quorvel::sim {

using namespace platform;
namespace fs = std::filesystem;

namespace {
constexpr std::uint32_t kFakeIconBase = 0x7000;
}  // namespace

SimControl::SimControl(SimRuntime& rt, EventDispatcher& events, ControlDescription description)
    : Control(std::move(description)), rt_(rt), events_(events) {}

SimControl::~SimControl() {
    StopTimer();
}

Hicon SimControl::Picture() const {
    Require(ControlKind::PictureBox);
    return kFakeIconBase + description().iconResource;
}

void SimControl::StopTimer() {
    if (timerId_ != 0) rt_.desktop().KillTimer(timerId_);
    timerId_ = 0;
}

void SimControl::Changed(Property property) {
    if (property == Property::Value && dialog != nullptr && Value()) {
        dialog->OptionChecked(*this);
    }
    if (property != Property::Interval) return;
    StopTimer();
    if (Interval() == 0) return;
    timerId_ = rt_.desktop().SetTimer(rt_.pid(), Interval(), [this] { RaiseTimer(events_); });
}

namespace {

// The names read at once, given one at a time, each costing the program the
// file system's time for a name.
class SimReading : public Control::FolderReading {
public:
    SimReading(Desktop& desk, std::vector<std::string> names)
        : desk_(desk), names_(std::move(names)) {}
    bool Next(std::string& name) override {
        if (next_ == names_.size()) return false;
        desk_.Busy(desk_.files.listEntryUs);
        name = std::move(names_[next_++]);
        return true;
    }

private:
    Desktop& desk_;
    std::vector<std::string> names_;
    std::size_t next_ = 0;
};

}  // namespace

std::unique_ptr<Control::FolderReading> SimControl::OpenFolder(std::string& path) const {
    Desktop& desk = rt_.desktop();
    fs::path folder = desk.HostPath(path);
    LogCall(desk, "FindFirstFileA", "\"" + path + "\\" + Pattern() + "\"");
    std::error_code ec;
    if (folder.empty() || !fs::is_directory(folder, ec)) throw RuntimeError("Path not found");
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder, ec)) {
        fs::file_status own = entry.symlink_status(ec);
        // Files only: a folder, or a link to one, is a folder entry.
        if (fs::is_directory(own)) continue;
        if (fs::is_symlink(own) && fs::is_directory(entry.status(ec))) continue;
        std::string name = Utf8ToAnsi(entry.path().filename().string());
        if (!MatchesPattern(name, Pattern())) continue;
        std::string key = Lower(entry.path().string());
        if (desk.files.hidden.count(key) || desk.files.system.count(key)) continue;
        names.push_back(name);
    }
    // Sorted, so that the simulated desktop does not depend on the host's
    // directory order.
    std::sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return std::lexicographical_compare(
            a.begin(), a.end(), b.begin(), b.end(),
            [](char x, char y) { return FoldCase(x) < FoldCase(y); });
    });
    return std::make_unique<SimReading>(desk, std::move(names));
}

}  // namespace quorvel::sim
