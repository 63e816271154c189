// Runs instances of the program on a simulated desktop.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <string_view>

#include "app/app.h"
#include "settings/icon_setting.h"
#include "sim/backend/sim_form.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/desktop.h"

namespace quorvel::testing {

using platform::Hwnd;

// The icon mode as the registry holds it, for the modes the program knows.
inline constexpr const char* kTrayOnly = "1";
inline constexpr const char* kTaskbarOnly = "2";  // also what a first start stores
inline constexpr const char* kBothIcons = "3";

// A text value as the registry keeps it: the text and its terminating NUL.
inline std::string AsStored(std::string_view text) {
    return std::string(text) + '\0';
}

// Where both forms rest at 96 pixels per inch: -2500 twips at 15 to the
// pixel, rounded, left of and above the primary monitor.
inline constexpr int kOffScreenPixels = -167;

// The program's one notification-area icon.
inline constexpr std::uint32_t kIconId = 1;

class SimTest : public ::testing::Test {
protected:
    SimTest() : SimTest(true) {}
    explicit SimTest(bool withShell) : desk(withShell) {
        desk.onProcessReaped = [this](int pid) { instances.erase(pid); };
    }

    struct Instance {
        std::unique_ptr<sim::SimRuntime> runtime;
        std::unique_ptr<App> app;
    };

    // Starts one process of the program; null when it ended during start-up.
    App* Start() {
        auto runtime = std::make_unique<sim::SimRuntime>(desk);
        const int pid = runtime->pid();
        Instance& instance = instances[pid];
        instance.runtime = std::move(runtime);
        instance.app = std::make_unique<App>(*instance.runtime);
        lastPid = pid;
        desk.StartProgram([&] {
            auto running = desk.InProcess(pid);
            instance.app->Start();
            desk.RunPending();
        });
        auto it = instances.find(pid);
        return it == instances.end() ? nullptr : it->second.app.get();
    }

    void StoreMode(const std::string& text) {
        desk.registry.SetText(platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue, text);
    }
    std::string StoredMode() const {
        auto value = desk.registry.Get(platform::HKEY_LOCAL_MACHINE, kSettingsKey, kIconValue);
        if (!value) return "<none>";
        return std::string(value->data.begin(), value->data.end());
    }

    bool Alive(int pid) const { return desk.Alive(pid); }
    // The desktop's record of a window there is, as it stands now.
    const sim::Window& WindowOf(Hwnd hwnd) const { return *desk.Find(hwnd); }
    bool HasTrayIcon(App& app) {
        return desk.FindTrayIcon(app.IconHostForm().hWnd(), 1) != nullptr;
    }

    sim::Desktop desk;
    std::map<int, Instance> instances;
    int lastPid = 0;
};

}  // namespace quorvel::testing
