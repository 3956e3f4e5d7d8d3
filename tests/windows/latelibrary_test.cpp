#include "base/latelibrary.h"

#include <gtest/gtest.h>

TEST(LateLibrary, LoadsFromTheSystemFolderAtTheFirstFindAndMissingPartsGiveNull) {
    // A library this test program does not import, so the first Find is
    // what loads it.
    ASSERT_EQ(GetModuleHandleW(L"mpr.dll"), nullptr);
    LateLibrary library(L"mpr.dll");
    using GetUser = DWORD(WINAPI*)(LPCWSTR, LPWSTR, LPDWORD);
    const GetUser found = library.Find<GetUser>("WNetGetUserW");
    const HMODULE loaded = GetModuleHandleW(L"mpr.dll");
    ASSERT_NE(loaded, nullptr);
    EXPECT_EQ(reinterpret_cast<void*>(found), reinterpret_cast<void*>(GetProcAddress(loaded, "WNetGetUserW")));
    wchar_t module[MAX_PATH];
    wchar_t system[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(loaded, module, MAX_PATH), 0u);
    ASSERT_GT(GetSystemDirectoryW(system, MAX_PATH), 0u);
    EXPECT_EQ(_wcsnicmp(module, system, wcslen(system)), 0);

    EXPECT_EQ(library.Find<GetUser>("NoSuchFunctionAnywhere"), nullptr);
    LateLibrary missing(L"vk-no-such-library.dll");
    EXPECT_EQ(missing.Find<GetUser>("WNetGetUserW"), nullptr);
    EXPECT_EQ(missing.Find<GetUser>("WNetGetUserW"), nullptr);  // tried again, still null
}
