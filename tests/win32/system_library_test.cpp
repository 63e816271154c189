// The libraries the real backend loads itself come from the system folder,
// whichever way the system lets it ask; a name found nowhere there is not
// looked for elsewhere.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_system_library.h"

namespace quorvel::testing {
namespace {

using win32::SystemLibraryWay;

std::string FolderOf(HMODULE module) {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(module, path, MAX_PATH);
    std::string folder(path);
    return folder.substr(0, folder.find_last_of('\\'));
}

std::string SystemFolder() {
    char path[MAX_PATH] = {};
    GetSystemDirectoryA(path, MAX_PATH);
    return path;
}

TEST(Win32SystemLibrary, EitherWayGivesTheSystemFoldersOwnLibrary) {
    for (SystemLibraryWay way : {SystemLibraryWay::SearchFlag, SystemLibraryWay::FullName}) {
        HMODULE dwmapi = win32::LoadSystemLibrary("dwmapi.dll", way);
        ASSERT_NE(dwmapi, nullptr) << static_cast<int>(way);
        EXPECT_EQ(lstrcmpiA(FolderOf(dwmapi).c_str(), SystemFolder().c_str()), 0)
            << FolderOf(dwmapi);
        FreeLibrary(dwmapi);
    }
}

// A copy of a system library beside this test program, under a name the
// system folder does not have, for as long as it lives.
class BesideTheProgram {
public:
    static constexpr const char* kName = "quorvel_beside_only.dll";
    BesideTheProgram() {
        char self[MAX_PATH] = {};
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        path_ = self;
        path_ = path_.substr(0, path_.find_last_of('\\') + 1) + kName;
        copied_ = CopyFileA((SystemFolder() + "\\dwmapi.dll").c_str(), path_.c_str(), FALSE);
    }
    ~BesideTheProgram() { DeleteFileA(path_.c_str()); }
    bool copied() const { return copied_; }

private:
    std::string path_;
    bool copied_ = false;
};

TEST(Win32SystemLibrary, ALibraryBesideTheProgramOnlyIsNotFound) {
    BesideTheProgram beside;
    ASSERT_TRUE(beside.copied());
    for (SystemLibraryWay way : {SystemLibraryWay::SearchFlag, SystemLibraryWay::FullName}) {
        HMODULE found = win32::LoadSystemLibrary(BesideTheProgram::kName, way);
        EXPECT_EQ(found, nullptr) << static_cast<int>(way);
        if (found != nullptr) FreeLibrary(found);
    }
}

TEST(Win32SystemLibrary, TheSearchFlagWhereTheSystemHasTheFunctionThatBringsIt) {
    const bool hasIt =
        GetProcAddress(GetModuleHandleA("kernel32.dll"), "SetDefaultDllDirectories") != nullptr;
    EXPECT_EQ(win32::SystemLibraryWayHere(),
              hasIt ? SystemLibraryWay::SearchFlag : SystemLibraryWay::FullName);
}

// Last of these: it changes the search of the whole test process.
TEST(Win32SystemLibrary, AfterTheFirstActALoadByBareNameLooksInTheSystemFolderOnly) {
    BesideTheProgram beside;
    ASSERT_TRUE(beside.copied());
    ASSERT_TRUE(win32::SearchSystemFolderForLibraries());
    HMODULE found = LoadLibraryA(BesideTheProgram::kName);
    EXPECT_EQ(found, nullptr);
    if (found != nullptr) FreeLibrary(found);
}

}  // namespace
}  // namespace quorvel::testing
