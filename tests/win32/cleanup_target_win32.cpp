// The cleanup conformance tests' file system under Wine: the prefix's real
// drive C:. Links are Unix symbolic links, made with CreateSymbolicLinkA where
// that makes one, else by the host's ln; another process holds a file open
// with the probe (qvprobe.exe hold, next to this program).
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "conformance/cleanup_target.h"
#include "platform/win32/win32_runtime.h"
#include "ui/form_controls.h"
#include "ui/form_descriptions.h"
#include "win32/helper_process.h"

namespace quorvel::testing {

namespace {

using UnixNameFn = char*(CDECL*)(LPCWSTR);
using SymbolicLinkFn = BOOLEAN(WINAPI*)(LPCSTR, LPCSTR, DWORD);

template <typename Function>
Function Lookup(const char* module, const char* name) {
    return reinterpret_cast<Function>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA(module), name)));
}

bool UnderWine() {
    return Lookup<void*>("ntdll.dll", "wine_get_version") != nullptr;
}

// The host's name of a Windows path (Wine only), quoted for the shell.
std::string UnixName(const std::string& path) {
    auto unixName = Lookup<UnixNameFn>("kernel32.dll", "wine_get_unix_file_name");
    if (unixName == nullptr) return {};
    std::wstring wide(path.size() + 1, L'\0');
    MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide.data(), static_cast<int>(wide.size()));
    char* name = unixName(wide.c_str());
    if (name == nullptr) return {};
    std::string quoted = "'" + std::string(name) + "'";
    HeapFree(GetProcessHeap(), 0, name);
    return quoted;
}

std::wstring Wide(const std::string& text, UINT codePage) {
    int length =
        MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(length), L'\0');
    MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                        length);
    return wide;
}

std::string Utf8(const std::wstring& wide) {
    int length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<std::size_t>(length), '\0');
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), static_cast<int>(wide.size()), text.data(), length,
                        nullptr, nullptr);
    return text;
}

std::string ReadAll(const std::wstring& path);
std::string ReadAll(const std::string& path) {
    return ReadAll(Wide(path, CP_ACP));
}

// Runs a host command through the shell. Wine starts a Unix program as it
// starts a Windows one, but gives no handle to wait on: the command leaves
// its exit status in a file, which is polled for against a deadline.
bool RunUnix(const std::string& command) {
    static int run = 0;
    const std::string status = "C:\\qvclean-unix-" + std::to_string(++run) + ".status";
    DeleteFileA(status.c_str());
    std::string line = "/bin/sh -c \"" + command + "; echo $? > " + UnixName(status) + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        return false;
    }
    if (process.hThread) CloseHandle(process.hThread);
    if (process.hProcess) CloseHandle(process.hProcess);
    const DWORD deadline = GetTickCount() + 60000;
    std::string code;
    while ((code = ReadAll(status)).empty() || code.back() != '\n') {
        if (static_cast<LONG>(GetTickCount() - deadline) > 0) return false;
        Sleep(10);
    }
    DeleteFileA(status.c_str());
    return code == "0\n";
}

std::string ReadAll(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string bytes;
    char buffer[4096];
    DWORD read = 0;
    while (ReadFile(file, buffer, sizeof buffer, &read, nullptr) && read > 0) {
        bytes.append(buffer, read);
    }
    CloseHandle(file);
    return bytes;
}

class Win32CleanupTarget : public CleanupTarget {
public:
    platform::Runtime& runtime() override { return runtime_; }
    platform::Control& list() override { return TaskbarFormControls(*taskbarForm_).fileList; }
    void SetBeforeDeletion(std::function<void(const std::string&)> hook) override {
        runtime_.beforeDeletion = std::move(hook);
    }
    std::string Root() override { return "C:\\qvclean"; }
    void Clear() override {
        // Never through the Win32 deletion: under Wine it follows links.
        if (UnderWine()) {
            ASSERT_TRUE(RunUnix("rm -rf " + UnixName(Root()) + " && mkdir " + UnixName(Root())));
        } else {
            RemoveTree(Wide(Root(), CP_ACP));
            CreateDirectoryA(Root().c_str(), nullptr);
        }
    }
    void Write(const std::string& name, const std::string& bytes) override {
        WriteAt(WidePath(Wide(name, CP_ACP)), bytes, name);
    }
    void WriteUtf8(const std::string& name, const std::string& bytes) override {
        WriteAt(WidePath(Wide(name, CP_UTF8)), bytes, name);
    }
    void WriteAt(const std::wstring& path, const std::string& bytes, const std::string& name) {
        for (std::size_t at = path.find(L'\\', 3); at != std::wstring::npos;
             at = path.find(L'\\', at + 1)) {
            CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
        }
        HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(file, INVALID_HANDLE_VALUE) << name;
        DWORD written = 0;
        WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
        CloseHandle(file);
    }
    void MakeFolder(const std::string& name) override {
        std::string path = Path(name) + "\\";
        for (std::size_t at = path.find('\\', 3); at != std::string::npos;
             at = path.find('\\', at + 1)) {
            CreateDirectoryA(path.substr(0, at).c_str(), nullptr);
        }
    }
    void SymbolicLink(const std::string& name, const std::string& target) override {
        DWORD attributes = GetFileAttributesA(target.c_str());
        const bool folder =
            attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
        auto make = Lookup<SymbolicLinkFn>("kernel32.dll", "CreateSymbolicLinkA");
        if (make && make(Path(name).c_str(), target.c_str(), folder ? 1 : 0) && IsLink(name)) {
            return;
        }
        DeleteFileA(Path(name).c_str());  // a stand-in file, if the call made one
        ASSERT_TRUE(UnderWine() &&
                    RunUnix("ln -s " + UnixName(target) + " " + UnixName(Path(name))))
            << "cannot make the link " << name;
    }
    void HardLink(const std::string& name, const std::string& target) override {
        DeleteFileA(Path(name).c_str());
        ASSERT_TRUE(CreateHardLinkA(Path(name).c_str(), target.c_str(), nullptr)) << name;
    }
    void SetAttributes(const std::string& name, unsigned attributes) override {
        ASSERT_TRUE(SetFileAttributesA(Path(name).c_str(), attributes)) << name;
    }
    std::shared_ptr<void> HoldOpen(const std::string& name) override {
        // The probe holds the file open until its input ends.
        auto probe = std::make_shared<HelperProcess>("qvprobe.exe", "hold \"" + Path(name) + "\"");
        const bool held = probe->ReadUntil("held").rfind("held", 0) == 0;
        EXPECT_TRUE(held) << "the probe did not hold " << name;
        return held ? probe : nullptr;
    }
    bool ReplaceWithLink(const std::string& name, const std::string& target) override {
        if (!MoveFileExA(Path(name).c_str(), Path(name + ".old").c_str(), 0)) return false;
        SymbolicLink(name, target);
        return true;
    }
    bool Exists(const std::string& name) override {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA(Path(name).c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            return true;
        }
        // A dangling link is no file to Wine: ask the host.
        std::string host = UnixName(Path(name));
        return UnderWine() && RunUnix("test -L " + host);
    }
    bool ExistsUtf8(const std::string& name) override {
        return GetFileAttributesW(WidePath(Wide(name, CP_UTF8)).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    std::string Fingerprint(const std::string& folder) override {
        std::vector<std::string> names;
        Collect(WidePath(Wide(folder, CP_ACP)), "", names);
        std::sort(names.begin(), names.end());
        std::string print;
        for (const auto& n : names) print += n + "\n";
        return print;
    }
    bool LinksResolveOnOpen() override { return UnderWine(); }

private:
    std::string Path(const std::string& name) { return Root() + "\\" + name; }
    std::wstring WidePath(const std::wstring& name) { return Wide(Root(), CP_ACP) + L"\\" + name; }
    bool IsLink(const std::string& name) {
        DWORD attributes = GetFileAttributesA(Path(name).c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
        return UnderWine() && RunUnix("test -L " + UnixName(Path(name)));
    }
    // By the files' own names: the ANSI listing would read a name that maps
    // to a path as that path.
    void Collect(const std::wstring& folder, const std::string& prefix,
                 std::vector<std::string>& names) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            std::wstring n = found.cFileName;
            if (n == L"." || n == L"..") continue;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                names.push_back(prefix + Utf8(n) + "\\");
                Collect(folder + L"\\" + n, prefix + Utf8(n) + "\\", names);
            } else {
                names.push_back(prefix + Utf8(n) + "=" + ReadAll(folder + L"\\" + n));
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
    }
    void RemoveTree(const std::wstring& folder) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return;
        do {
            std::wstring n = found.cFileName;
            if (n == L"." || n == L"..") continue;
            std::wstring path = folder + L"\\" + n;
            SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
            if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) &&
                !(found.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
                RemoveTree(path);
                RemoveDirectoryW(path.c_str());
            } else if (!DeleteFileW(path.c_str())) {
                RemoveDirectoryW(path.c_str());
            }
        } while (FindNextFileW(find, &found));
        FindClose(find);
        RemoveDirectoryW(folder.c_str());
    }

    win32::Win32Runtime runtime_{GetModuleHandleA(nullptr)};
    std::unique_ptr<platform::Form> taskbarForm_ =
        runtime_.CreateForm(TaskbarFormDescription(), {});
};
}  // namespace

CleanupTarget& Cleanup() {
    static Win32CleanupTarget target;
    return target;
}

}  // namespace quorvel::testing
