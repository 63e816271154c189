// The named object that tells a second start from the first, on the real
// kernel: created fresh, found again, and found refusing us.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "platform/win32/win32_instance.h"

namespace quorvel::testing {
namespace {

std::string UniqueName(const char* what) {
    return std::string("Local\\Quorvel.Test.") + what + "." + std::to_string(GetCurrentProcessId());
}

TEST(Win32Instance, TheFirstClaimIsTheOnlyInstanceAndASecondFindsIt) {
    std::string name = UniqueName("plain");
    win32::KernelHandle first;
    win32::KernelHandle second;
    EXPECT_FALSE(win32::ClaimInstance(name.c_str(), first));
    EXPECT_TRUE(first);
    EXPECT_TRUE(win32::ClaimInstance(name.c_str(), second));
    first.Reset();
    second.Reset();
    // Once no one holds it, the next start is a first one again.
    win32::KernelHandle third;
    EXPECT_FALSE(win32::ClaimInstance(name.c_str(), third));
}

TEST(Win32Instance, AnObjectThatRefusesUsMeansAnotherInstanceRuns) {
    // An instance started elevated, or by another user, holds an object whose
    // access list grants this process nothing: an empty list stands for it.
    std::string name = UniqueName("refusing");
    SECURITY_DESCRIPTOR descriptor;
    ASSERT_TRUE(InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION));
    alignas(DWORD) BYTE aclBuffer[64];
    auto* acl = reinterpret_cast<ACL*>(aclBuffer);
    ASSERT_TRUE(InitializeAcl(acl, sizeof aclBuffer, ACL_REVISION));
    ASSERT_TRUE(SetSecurityDescriptorDacl(&descriptor, TRUE, acl, FALSE));
    SECURITY_ATTRIBUTES attributes{sizeof attributes, &descriptor, FALSE};
    win32::KernelHandle holder(CreateMutexA(&attributes, FALSE, name.c_str()));
    ASSERT_TRUE(holder);

    win32::KernelHandle ours;
    SetLastError(0);
    HANDLE direct = CreateMutexA(nullptr, FALSE, name.c_str());
    DWORD error = GetLastError();
    if (direct != nullptr) {
        CloseHandle(direct);
        GTEST_SKIP() << "this system does not enforce the object's access list";
    }
    ASSERT_EQ(error, static_cast<DWORD>(ERROR_ACCESS_DENIED));

    EXPECT_TRUE(win32::ClaimInstance(name.c_str(), ours));
    EXPECT_FALSE(ours);
}

}  // namespace
}  // namespace quorvel::testing
