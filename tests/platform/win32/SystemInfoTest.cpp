#include <gtest/gtest.h>

#include <cpuid.h>

#include "platform/win32/SystemInfo.h"

namespace {

class SystemInfo : public ::testing::Test {
protected:
    void TearDown() override { valmere::win32::ResetSystemInfoOverrides(); }
};

TEST_F(SystemInfo, ReportsTheNtFamilyByDefault) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
    EXPECT_EQ(info.dwOSVersionInfoSize, sizeof info);
}

TEST_F(SystemInfo, RefusesAWrongStructureSize) {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = 20;
    EXPECT_FALSE(GetVersionExA(&info));
    EXPECT_FALSE(GetVersionExA(nullptr));
}

TEST_F(SystemInfo, OverridesReplaceTheAnswers) {
    OSVERSIONINFOA old{};
    old.dwMajorVersion = 4;
    old.dwMinorVersion = 10;
    old.dwBuildNumber = 1998;
    old.dwPlatformId = VER_PLATFORM_WIN32_WINDOWS;
    valmere::win32::OverrideVersionInfo(&old);
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof info;
    ASSERT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_WINDOWS);
    EXPECT_EQ(info.dwBuildNumber, 1998u);
    valmere::win32::SetVersionQueryFails(true);
    EXPECT_FALSE(GetVersionExA(&info));

    valmere::win32::OverrideProcessorFeature(PF_3DNOW_INSTRUCTIONS_AVAILABLE, true);
    EXPECT_TRUE(IsProcessorFeaturePresent(PF_3DNOW_INSTRUCTIONS_AVAILABLE));
    valmere::win32::ResetSystemInfoOverrides();
    EXPECT_TRUE(GetVersionExA(&info));
    EXPECT_EQ(info.dwPlatformId, VER_PLATFORM_WIN32_NT);
}

TEST_F(SystemInfo, FeaturesFollowCpuid) {
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    ASSERT_TRUE(__get_cpuid(1, &eax, &ebx, &ecx, &edx));
    EXPECT_EQ(IsProcessorFeaturePresent(PF_XMMI_INSTRUCTIONS_AVAILABLE) != 0, (edx & (1u << 25)) != 0);
    EXPECT_EQ(IsProcessorFeaturePresent(PF_XMMI64_INSTRUCTIONS_AVAILABLE) != 0, (edx & (1u << 26)) != 0);
    EXPECT_FALSE(IsProcessorFeaturePresent(12345));
}

}  // namespace
