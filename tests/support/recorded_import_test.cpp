#include "support/recorded_import.h"

#include <gtest/gtest.h>

#include <string>

namespace {

// Called through functions of their own, as code under test is: GCC may reuse an import address
// that it read before the patch.
[[gnu::noipa]] DWORD CallGetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
  return GetEnvironmentVariableW(name, buffer, size);
}
[[gnu::noipa]] DWORD CallGetCurrentProcessId() { return GetCurrentProcessId(); }

TEST(RecordedImportTest, KeepsCopiesOfTheArgumentsAndPassesEachCallOn) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"FWTEST_RECORDED", L"value"));
  auto lookups = fwtest::RecordImport(GetModuleHandleW(nullptr), FWTEST_IMPORT(GetEnvironmentVariableW));
  std::wstring name = L"FWTEST_RECORDED";
  wchar_t buffer[16] = {};
  EXPECT_EQ(CallGetEnvironmentVariableW(name.c_str(), buffer, 16), 5u);
  EXPECT_STREQ(buffer, L"value");
  name.assign(name.size(), L'X');  // the record must not point into the caller's text
  EXPECT_EQ(CallGetEnvironmentVariableW(L"FWTEST_NOT_SET", buffer, 16), 0u);
  EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND)) << "the real function's error";
  SetEnvironmentVariableW(L"FWTEST_RECORDED", nullptr);

  const auto calls = lookups.calls();
  ASSERT_EQ(lookups.count(), 2u);
  EXPECT_EQ(std::get<0>(calls[0]), L"FWTEST_RECORDED");
  EXPECT_EQ(std::get<1>(calls[0]), buffer);
  EXPECT_EQ(std::get<2>(calls[0]), 16u);
  EXPECT_EQ(std::get<0>(calls[1]), L"FWTEST_NOT_SET");
}

TEST(RecordedImportTest, RecordingLeavesTheCallersLastErrorAlone) {
  auto record = fwtest::RecordImport(GetModuleHandleW(nullptr), FWTEST_IMPORT(GetCurrentProcessId));
  SetLastError(0x20000077);
  EXPECT_NE(CallGetCurrentProcessId(), 0u);
  EXPECT_EQ(GetLastError(), 0x20000077u);
  EXPECT_EQ(record.count(), 1u);
}

}  // namespace
