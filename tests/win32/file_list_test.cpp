// The file list of the Win32 backend on a real folder: what it admits, and the
// folder kept as the file system spells it.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "platform/win32/win32_runtime.h"
#include "ui/form_controls.h"
#include "ui/form_descriptions.h"

namespace quorvel::testing {
namespace {

std::string Upper(std::string text) {
    CharUpperBuffA(text.data(), static_cast<DWORD>(text.size()));
    return text;
}

class Win32FileList : public ::testing::Test {
protected:
    void SetUp() override {
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        folder_ = std::string(temp) + "qv_list_" + std::to_string(GetCurrentProcessId());
        ASSERT_TRUE(CreateDirectoryA(folder_.c_str(), nullptr));
        for (const char* name : {"a.tmp", "B.TMP", "c.txt", "report.tmpl", "d.tmp1"}) {
            HANDLE file = CreateFileA((folder_ + "\\" + name).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
            ASSERT_NE(file, INVALID_HANDLE_VALUE);
            CloseHandle(file);
        }
        ASSERT_TRUE(CreateDirectoryA((folder_ + "\\e.tmp").c_str(), nullptr));
    }
    void TearDown() override {
        for (const char* name : {"a.tmp", "B.TMP", "c.txt", "report.tmpl", "d.tmp1"}) {
            DeleteFileA((folder_ + "\\" + name).c_str());
        }
        RemoveDirectoryA((folder_ + "\\e.tmp").c_str());
        RemoveDirectoryA(folder_.c_str());
    }

    std::vector<std::string> Entries(platform::Control& list) {
        std::vector<std::string> names;
        for (int i = 0; i < list.ListCount(); ++i) names.push_back(list.List(i));
        std::sort(names.begin(), names.end());
        return names;
    }

    win32::Win32Runtime runtime_{GetModuleHandleA(nullptr)};
    std::string folder_;
};

TEST_F(Win32FileList, HoldsTheMatchingFilesByTheirOwnNamesOnly) {
    auto taskbarForm = runtime_.CreateForm(TaskbarFormDescription(), {});
    platform::Control& list = TaskbarFormControls(*taskbarForm).fileList;
    list.SetPath(folder_);
    // report.tmpl's 8.3 name ends in .TMP; e.tmp is a folder.
    EXPECT_EQ(Entries(list), (std::vector<std::string>{"B.TMP", "a.tmp"}));
}

TEST_F(Win32FileList, KeepsTheFolderAsTheFileSystemSpellsItChangingOnlyTheCase) {
    auto taskbarForm = runtime_.CreateForm(TaskbarFormDescription(), {});
    platform::Control& list = TaskbarFormControls(*taskbarForm).fileList;
    list.SetPath(Upper(folder_));
    EXPECT_EQ(Upper(list.Path()), Upper(folder_));
    EXPECT_EQ(list.Path().substr(list.Path().rfind('\\')), folder_.substr(folder_.rfind('\\')));
    EXPECT_EQ(Entries(list).size(), 2u);

    // A doubled separator is not the system's spelling, but it is kept.
    std::string doubled = folder_;
    doubled.insert(doubled.rfind('\\'), "\\");
    list.SetPath(doubled);
    EXPECT_EQ(list.Path(), doubled);
    EXPECT_EQ(Entries(list).size(), 2u);
}

TEST_F(Win32FileList, AMissingFolderIsAnErrorAndKeepsTheList) {
    auto taskbarForm = runtime_.CreateForm(TaskbarFormDescription(), {});
    platform::Control& list = TaskbarFormControls(*taskbarForm).fileList;
    list.SetPath(folder_);
    EXPECT_THROW(list.SetPath(folder_ + "\\missing"), platform::RuntimeError);
    EXPECT_EQ(list.Path(), folder_);
    EXPECT_EQ(Entries(list).size(), 2u);
}

}  // namespace
}  // namespace quorvel::testing
