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

std::vector<std::string> SimControl::ReadFolder(std::string& path) const {
    const Desktop& desk = rt_.desktop();
    fs::path folder = desk.HostPath(path);
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
    return names;
}

}  // namespace quorvel::sim
