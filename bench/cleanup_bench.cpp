// The cleanup on the host, simulated backend, on real files: 10,000 matching
// files among 10,000 others, against find -maxdepth 1 -name '*.tmp' -delete
// on the same files. Prints both times in milliseconds (median of 5).
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "app/app.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/desktop.h"

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

static void Seed(const fs::path& temp) {
    for (int i = 0; i < 10000; ++i) {
        std::ofstream(temp / ("f" + std::to_string(i) + ".tmp")) << "x";
        std::ofstream(temp / ("f" + std::to_string(i) + ".dat")) << "x";
    }
}

static double Ms(Clock::duration d) {
    return std::chrono::duration<double, std::milli>(d).count();
}

int main() {
    std::vector<double> quorvel, find;
    for (int run = 0; run < 5; ++run) {
        quorvel::sim::Desktop desk;
        fs::path temp = desk.DriveC() / "WINDOWS" / "TEMP";
        Seed(temp);
        quorvel::sim::SimRuntime runtime(desk);
        quorvel::App app(runtime);
        auto start = Clock::now();
        desk.StartProgram([&] { app.Start(); });
        quorvel.push_back(Ms(Clock::now() - start));
        for (const auto& e : fs::directory_iterator(temp)) {
            if (e.path().extension() == ".tmp") return 1;  // not cleaned
        }
        fs::remove_all(temp);
        fs::create_directories(temp);
        Seed(temp);
        std::string command = "find '" + temp.string() + "' -maxdepth 1 -name '*.tmp' -delete";
        start = Clock::now();
        if (std::system(command.c_str()) != 0) return 1;
        find.push_back(Ms(Clock::now() - start));
    }
    std::sort(quorvel.begin(), quorvel.end());
    std::sort(find.begin(), find.end());
    std::printf("%.1f %.1f\n", quorvel[2], find[2]);
    return 0;
}
