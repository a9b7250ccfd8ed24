#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/win32/Registry.h"
#include "platform/win32/Win32.h"

namespace {

using valmere::win32::ResetRegistry;
using valmere::win32::SetRegistryDword;
using valmere::win32::SetRegistryValue;

class Registry : public ::testing::Test {
protected:
    void TearDown() override {
        unsetenv("VALMERE_DISABLE_MMX");
        unsetenv("VALMERE_DISABLE_D3DXPSGP");
        ResetRegistry();
    }
};

LONG QueryDword(const char* name, DWORD& type, DWORD& value) {
    HKEY key = nullptr;
    LONG result = RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", &key);
    if (result != ERROR_SUCCESS) return result;
    DWORD size = sizeof value;
    result = RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size);
    EXPECT_EQ(RegCloseKey(key), ERROR_SUCCESS);
    return result;
}

TEST_F(Registry, Direct3DKeyExistsWithoutValues) {
    DWORD type = 0, value = 0;
    EXPECT_EQ(QueryDword("DisableMMX", type, value), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, ValuesSetByTestsAreReadBackWithTheirType) {
    SetRegistryDword(HKEY_LOCAL_MACHINE, "Software\\Direct3D", "DisableD3DXPSGP", 1);
    DWORD type = 0, value = 0;
    ASSERT_EQ(QueryDword("DisableD3DXPSGP", type, value), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 1u);
    // Key paths and value names are case-insensitive.
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "SOFTWARE\\direct3d", &key), ERROR_SUCCESS);
    DWORD size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(key, "disabled3dxpsgp", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(Registry, SmallBufferReportsTheNeededSizeWithoutWriting) {
    const char text[] = "hello";
    SetRegistryValue(HKEY_LOCAL_MACHINE, "Software\\Direct3D", "Name", REG_SZ, text, sizeof text);
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", &key), ERROR_SUCCESS);
    BYTE buffer[4] = {0xAA, 0xAA, 0xAA, 0xAA};
    DWORD size = sizeof buffer, type = 0;
    EXPECT_EQ(RegQueryValueExA(key, "Name", nullptr, &type, buffer, &size), ERROR_MORE_DATA);
    EXPECT_EQ(size, sizeof text);
    EXPECT_EQ(buffer[0], 0xAA);
    RegCloseKey(key);
}

TEST_F(Registry, MissingKeysAndBadHandlesFail) {
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Nothing", &key), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", nullptr), ERROR_INVALID_PARAMETER);
    DWORD value = 0, size = sizeof value;
    EXPECT_EQ(RegQueryValueExA(reinterpret_cast<HKEY>(0x1234), "x", nullptr, nullptr,
                               reinterpret_cast<BYTE*>(&value), &size),
              ERROR_INVALID_HANDLE);
    EXPECT_EQ(RegCloseKey(reinterpret_cast<HKEY>(0x1234)), ERROR_INVALID_HANDLE);
    valmere::win32::DeleteRegistryKey(HKEY_LOCAL_MACHINE, "Software\\Direct3D");
    EXPECT_EQ(RegOpenKeyA(HKEY_LOCAL_MACHINE, "Software\\Direct3D", &key), ERROR_FILE_NOT_FOUND);
}

TEST_F(Registry, SwitchesAreSeededFromTheEnvironment) {
    setenv("VALMERE_DISABLE_MMX", "1", 1);
    setenv("VALMERE_DISABLE_D3DXPSGP", "0x2", 1);
    ResetRegistry();
    DWORD type = 0, value = 0;
    ASSERT_EQ(QueryDword("DisableMMX", type, value), ERROR_SUCCESS);
    EXPECT_EQ(type, REG_DWORD);
    EXPECT_EQ(value, 1u);
    ASSERT_EQ(QueryDword("DisableD3DXPSGP", type, value), ERROR_SUCCESS);
    EXPECT_EQ(value, 2u);
}

TEST_F(Registry, GarbageInTheEnvironmentSetsNothing) {
    setenv("VALMERE_DISABLE_MMX", "yes", 1);
    ResetRegistry();
    DWORD type = 0, value = 0;
    EXPECT_EQ(QueryDword("DisableMMX", type, value), ERROR_FILE_NOT_FOUND);
}

}  // namespace
