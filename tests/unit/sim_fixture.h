// Runs instances of the program on a simulated desktop.
#pragma once

#include <gtest/gtest.h>

#include <map>
#include <memory>
#include <string>

#include "app/app.h"
#include "platform/sim/desktop.h"
#include "platform/sim/sim_form.h"
#include "platform/sim/sim_runtime.h"
#include "settings/icon_setting.h"

namespace quorvel::testing {

using platform::Hwnd;

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
            sim::Desktop::InProcess running(desk, pid);
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
    const sim::Window& W(Hwnd hwnd) const { return *desk.Find(hwnd); }
    bool HasTrayIcon(App& app) {
        return desk.FindTrayIcon(app.IconHostForm().hWnd(), 1) != nullptr;
    }

    sim::Desktop desk;
    std::map<int, Instance> instances;
    int lastPid = 0;
};

}  // namespace quorvel::testing
