// The reveal on the simulated desktop's clock, by kind of shell: a click on
// the taskbar button, and a second start, to the moment Alt+M goes out, on
// Windows' clock (a 15.625 ms tick; with high-resolution timers, Windows 10
// 1803 and later, and without) and on Wine's (1 ms). Under Wine a click also
// pays the display, the server and the shell's own work, which the
// simulation leaves out: these figures are what the program's waits cost.
// Prints one line per kind of shell: its name, then the medians in ms of
// click, second start for each clock in the order above.
#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

#include "app/app.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/desktop.h"

using namespace quorvel;

namespace {

struct Clock {
    std::uint64_t tickUs;
    bool highResolution;
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? 0 : v[v.size() / 2];
}

// Microseconds from `asked` to the last Alt+M that went out.
double ToAltM(const sim::Desktop& desk, std::uint64_t asked) {
    for (auto it = desk.seen.keysSent.rbegin(); it != desk.seen.keysSent.rend(); ++it) {
        if (it->vk == 'M' && !it->up) return static_cast<double>(it->us - asked) / 1000.0;
    }
    return -1;
}

std::pair<double, double> Measure(sim::ShellKind kind, Clock clock, int rounds) {
    sim::Desktop desk;
    desk.shell.kind = kind;
    desk.timing.tickUs = clock.tickUs;
    desk.timing.highResolutionTimers = clock.highResolution;
    std::vector<std::unique_ptr<sim::SimRuntime>> runtimes;
    std::vector<std::unique_ptr<App>> apps;
    auto start = [&] {
        runtimes.push_back(std::make_unique<sim::SimRuntime>(desk));
        apps.push_back(std::make_unique<App>(*runtimes.back()));
        const int pid = runtimes.back()->pid();
        App& app = *apps.back();
        desk.StartProgram([&] {
            auto running = desk.InProcess(pid);
            app.Start();
            desk.RunPending();
        });
        return &app;
    };
    const platform::Hwnd editor = desk.CreateAppWindow("Untitled - Notepad");
    App* first = start();
    desk.Run(1000);
    std::vector<double> clicks, seconds;
    for (int i = 0; i < rounds; ++i) {
        desk.Restore(editor);
        std::uint64_t asked = desk.NowUs();
        desk.ClickTaskbarButton(first->TaskbarForm().hWnd());
        desk.Run(1000);
        clicks.push_back(ToAltM(desk, asked));
        desk.Restore(editor);
        asked = desk.NowUs();
        start();
        desk.Run(1000);
        seconds.push_back(ToAltM(desk, asked));
    }
    return {Median(clicks), Median(seconds)};
}

}  // namespace

int main() {
    const Clock clocks[] = {
        {sim::kWindowsTickUs, true}, {sim::kWindowsTickUs, false}, {sim::kWineTickUs, true}};
    for (sim::ShellKind kind : sim::kShellKinds) {
        std::printf("%s", sim::ShellKindName(kind));
        for (const Clock& clock : clocks) {
            const auto [click, second] = Measure(kind, clock, 20);
            std::printf(" %.1f %.1f", click, second);
        }
        std::printf("\n");
    }
    return 0;
}
