// The cleanup conformance tests' file system on the host: a host folder
// standing for drive C: of the simulated desktop. The host cannot make the
// Windows attributes: read-only is a file without write permission, hidden
// and system are the simulation's own marks.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "conformance/cleanup_target.h"
#include "sim/backend/sim_runtime.h"
#include "sim/model/ansi.h"
#include "sim/model/desktop.h"
#include "sim/model/registry_hive.h"
#include "ui/form_controls.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {

namespace {
namespace fs = std::filesystem;

class SimCleanupTarget : public CleanupTarget {
public:
    platform::Runtime& runtime() override { return runtime_; }
    platform::Control& list() override { return TaskbarFormControls(*taskbarForm_).fileList; }
    void SetBeforeDeletion(std::function<void(const std::string&)> hook) override {
        runtime_.beforeDeletion = std::move(hook);
    }
    std::string Root() override { return "C:\\qvclean"; }
    void Clear() override {
        fs::remove_all(Host(""));
        desk_.files.locked.clear();
        desk_.files.hidden.clear();
        desk_.files.system.clear();
        fs::create_directories(Host(""));
    }
    void Write(const std::string& name, const std::string& bytes) override {
        WriteUtf8(sim::AnsiToUtf8(name), bytes);
    }
    void WriteUtf8(const std::string& name, const std::string& bytes) override {
        fs::create_directories(HostUtf8(name).parent_path());
        std::ofstream(HostUtf8(name), std::ios::binary) << bytes;
    }
    void MakeFolder(const std::string& name) override { fs::create_directories(Host(name)); }
    void SymbolicLink(const std::string& name, const std::string& target) override {
        fs::create_symlink(desk_.HostPath(target), Host(name));
    }
    void HardLink(const std::string& name, const std::string& target) override {
        fs::remove(Host(name));
        fs::create_hard_link(desk_.HostPath(target), Host(name));
    }
    void SetAttributes(const std::string& name, unsigned attributes) override {
        if (attributes & 0x1) chmod(Host(name).c_str(), 0444);
        if (attributes & 0x2) desk_.files.hidden.insert(Key(name));
        if (attributes & 0x4) desk_.files.system.insert(Key(name));
    }
    std::shared_ptr<void> HoldOpen(const std::string& name) override {
        desk_.files.locked.insert(Key(name));
        return std::shared_ptr<void>(
            nullptr, [this, key = Key(name)](void*) { desk_.files.locked.erase(key); });
    }
    bool ReplaceWithLink(const std::string& name, const std::string& target) override {
        if (desk_.files.locked.count(Key(name))) return false;  // held without sharing
        std::error_code ec;
        fs::rename(Host(name), Host(name + ".old"), ec);
        if (ec) return false;
        fs::create_symlink(desk_.HostPath(target), Host(name));
        return true;
    }
    bool Exists(const std::string& name) override { return ExistsUtf8(sim::AnsiToUtf8(name)); }
    bool ExistsUtf8(const std::string& name) override {
        std::error_code ec;
        return fs::exists(fs::symlink_status(HostUtf8(name), ec));
    }
    std::string Fingerprint(const std::string& folder) override {
        std::ostringstream out;
        std::vector<fs::path> paths;
        for (const auto& e : fs::recursive_directory_iterator(Host(folder))) {
            paths.push_back(e.path());
        }
        std::sort(paths.begin(), paths.end());
        for (const auto& p : paths) {
            out << fs::relative(p, Host(folder)).generic_string() << '\n';
            if (fs::is_regular_file(fs::symlink_status(p))) {
                std::ifstream in(p, std::ios::binary);
                out << in.rdbuf() << '\n';
            }
        }
        return out.str();
    }
    bool LinksResolveOnOpen() override { return true; }

private:
    fs::path Host(const std::string& name) { return HostUtf8(sim::AnsiToUtf8(name)); }
    fs::path HostUtf8(std::string name) {
        for (char& c : name) c = c == '\\' ? '/' : c;
        return desk_.DriveC() / "qvclean" / name;
    }
    std::string Key(const std::string& name) { return sim::Lower(Host(name).string()); }

    sim::Desktop desk_;
    sim::SimRuntime runtime_{desk_};
    std::unique_ptr<platform::Form> taskbarForm_ =
        runtime_.CreateForm(TaskbarFormDescription(), {});
};
}  // namespace

CleanupTarget& Cleanup() {
    static SimCleanupTarget target;
    return target;
}

}  // namespace quorvel::testing
