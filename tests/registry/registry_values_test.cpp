// RegistryAccess values: round trips, stored layouts, the A path on the 9x family, type checks.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "registry/registry_access.h"
#include "registry/registry_exception.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/recorded_import.h"

namespace fw {
namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

using fwtest::RaisedBy;

class RegistryValues : public ::testing::Test {
 protected:
  const wchar_t* Path() const { return key_.Path().c_str(); }
  std::optional<fwtest::RawValue> Raw(const wchar_t* name) const {
    return fwtest::GetRawValue(key_.Root(), key_.Path(), name);
  }

  fwtest::TestRegistryKey key_;
  RegistryAccess registry_;
  const RootKey root_ = RootKey::CurrentUser;
};

TEST_F(RegistryValues, StringsArePassedWithoutTheirZeroAndReadBack) {
  struct Case {
    const wchar_t* text;
    DWORD unicodeBytes;  // what the W path passes; the A path passes its byte length, 1 for ""
    DWORD ansiBytes;
  };
  const std::wstring long300(300, L'x');
  const Case cases[] = {{L"abc", 6, 3}, {L"", 1, 1}, {long300.c_str(), 600, 300}};
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(std::wcslen(c.text)) + " characters");
    auto setW = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegSetValueExW));
    auto setA = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegSetValueExA));
    auto queryW = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegQueryValueExW));
    auto queryA = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegQueryValueExA));
    registry_.WriteString(root_, Path(), L"v", false, c.text);
    EXPECT_EQ(registry_.ReadString(root_, Path(), L"v", false), c.text);
    const bool ansi = IsWindows9x();
    ASSERT_EQ(setW.count() + setA.count(), 1u);
    EXPECT_EQ(ansi ? std::get<5>(setA.calls()[0]) : std::get<5>(setW.calls()[0]),
              ansi ? c.ansiBytes : c.unicodeBytes);
    // Only data larger than the 512-byte first buffer needs the second query at the reported size.
    const std::size_t queries = !ansi && std::wcslen(c.text) > 255 ? 2 : 1;
    EXPECT_EQ(ansi ? queryA.count() : queryW.count(), queries);
    EXPECT_EQ(ansi ? queryW.count() : queryA.count(), 0u);
  }
  // The system keeps the empty string as the single byte it was given.
  registry_.WriteString(root_, Path(), L"empty", false, L"");
  if (IsWindows9x()) {
    EXPECT_EQ(fwtest::RawAnsiSize(key_.Root(), key_.Path(), "empty"), std::optional<DWORD>(1));
  } else {
    EXPECT_EQ(Raw(L"empty")->bytes.size(), 1u);
  }
}

TEST_F(RegistryValues, NullTextIsWrittenAsNoData) {
  DWORD setResult = ERROR_SUCCESS;
  DWORD passedSize = 99;
  const BYTE* passedData = reinterpret_cast<const BYTE*>(1);
  auto record = [&](auto original, HKEY key, auto name, DWORD reserved, DWORD type, const BYTE* data, DWORD size) {
    passedData = data;
    passedSize = size;
    setResult = original(key, name, reserved, type, data, size);
    return static_cast<LONG>(setResult);
  };
  auto setW = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegSetValueExW), record);
  auto setA = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegSetValueExA), record);
  const DWORD raised = RaisedBy([&] { registry_.WriteString(root_, Path(), L"v", false, nullptr); });
  EXPECT_EQ(passedData, nullptr);
  EXPECT_EQ(passedSize, 0u);
  // Whatever the system makes of it is reported as it is (Windows 98 measures the text itself).
  EXPECT_EQ(raised, setResult);
  if (!IsWindows9x()) {
    ASSERT_TRUE(Raw(L"v"));
    EXPECT_EQ(Raw(L"v")->bytes.size(), 0u);
    EXPECT_EQ(registry_.ReadString(root_, Path(), L"v", false), L"");
  }
}

TEST_F(RegistryValues, ReadingStopsAtTheFirstZeroOrTheEndOfTheData) {
  const wchar_t data[] = L"abcX\0tail";
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"unterminated", REG_SZ, data, 6);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"embedded", REG_SZ, data, sizeof(data));
  EXPECT_EQ(registry_.ReadString(root_, Path(), L"unterminated", false), L"abc");
  EXPECT_EQ(registry_.ReadString(root_, Path(), L"embedded", false), L"abcX");
}

TEST_F(RegistryValues, ExpandableStringsAreExpandedOnlyWhenAsked) {
  ASSERT_TRUE(SetEnvironmentVariableW(L"FWNATIVE_REG_TEST", L"Expanded"));
  const std::wstring text = L"<%FWNATIVE_REG_TEST%>";
  registry_.WriteString(root_, Path(), L"expand", true, text.c_str());
  registry_.WriteString(root_, Path(), L"plain", false, text.c_str());
  EXPECT_EQ(Raw(L"expand")->type, static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(registry_.ReadString(root_, Path(), L"expand", true), L"<Expanded>");
  EXPECT_EQ(registry_.ReadString(root_, Path(), L"expand", false), text);
  EXPECT_EQ(registry_.ReadString(root_, Path(), L"plain", true), text);
  SetEnvironmentVariableW(L"FWNATIVE_REG_TEST", nullptr);
}

TEST_F(RegistryValues, TextOutsideTheAnsiCodePageTakesTheFamilysPath) {
  // Under code page 1252 the A path turns Cyrillic and CJK into the substitute "?".
  registry_.WriteString(root_, Path(), L"v\u0416", false, L"d\u4E2D");
  const bool ansi = IsWindows9x();
  const std::vector<std::wstring> expectedNames = {ansi ? L"v?" : L"v\u0416"};
  EXPECT_EQ(fwtest::RawValueNames(key_.Root(), key_.Path()), expectedNames);
  const std::wstring expectedText = ansi ? L"d?" : L"d\u4E2D";
  EXPECT_EQ(registry_.ReadString(root_, Path(), L"v\u0416", false), expectedText);
  StringList names;
  registry_.EnumerateValueNames(root_, Path(), names);
  EXPECT_EQ(names, StringList(expectedNames.begin(), expectedNames.end()));
}

TEST_F(RegistryValues, MultiStringLayouts) {
  struct Case {
    const char* layout;
    std::wstring data;
    StringList expected;
  };
  const Case cases[] = {
      {"two one-letter strings", std::wstring(L"a\0b\0\0", 5), {L"a", L"b"}},
      {"a single zero", std::wstring(1, L'\0'), {}},
      {"two zeros", std::wstring(2, L'\0'), {L""}},
      {"no data", std::wstring(), {}},
      {"longer than the first buffer", std::wstring(1500, L'm') + std::wstring(L"\0z\0\0", 4),
       {std::wstring(1500, L'm'), L"z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.layout);
    fwtest::SetRawValue(key_.Root(), key_.Path(), L"m", REG_MULTI_SZ, c.data.data(),
                        static_cast<DWORD>(c.data.size() * sizeof(wchar_t)));
    StringList read = {L"kept"};
    registry_.ReadMultiString(root_, Path(), L"m", read);
    StringList expected = {L"kept"};
    expected.insert(expected.end(), c.expected.begin(), c.expected.end());
    EXPECT_EQ(read, expected);
  }
}

TEST_F(RegistryValues, MultiStringsAreWrittenWithAZeroAfterEachAndOneMore) {
  struct Case {
    StringList list;
    std::wstring stored;
  };
  const Case cases[] = {{{L"one", L"", L"two"}, std::wstring(L"one\0\0two\0\0", 10)}, {{}, std::wstring(1, L'\0')}};
  for (const Case& c : cases) {
    registry_.WriteMultiString(root_, Path(), L"m", c.list);
    const auto raw = Raw(L"m");
    ASSERT_TRUE(raw);
    EXPECT_EQ(raw->type, static_cast<DWORD>(REG_MULTI_SZ));
    EXPECT_EQ(raw->bytes, fwtest::BytesOf(c.stored, c.stored.size()));
    StringList read;
    registry_.ReadMultiString(root_, Path(), L"m", read);
    EXPECT_EQ(read, c.list);
  }
}

TEST_F(RegistryValues, DwordsAndBinariesRoundTrip) {
  registry_.WriteDword(root_, Path(), L"d", 0xFFFFFFFEu);
  EXPECT_EQ(registry_.ReadDword(root_, Path(), L"d"), 0xFFFFFFFEu);
  EXPECT_EQ(Raw(L"d")->type, static_cast<DWORD>(REG_DWORD));
  for (std::uint32_t size : {0u, 5u, 3000u}) {
    ScratchBuffer data;
    data.Allocate(size, 1);
    for (std::uint32_t i = 0; i < size; ++i) data.As<std::uint8_t>()[i] = static_cast<std::uint8_t>(i * 7);
    registry_.WriteBinary(root_, Path(), L"b", data);
    ScratchBuffer read;
    registry_.ReadBinary(root_, Path(), L"b", read);
    ASSERT_EQ(read.ByteSize(), size);
    EXPECT_TRUE(size == 0 || std::equal(read.As<std::uint8_t>(), read.As<std::uint8_t>() + size,
                                        data.As<std::uint8_t>()));
    EXPECT_EQ(registry_.ReadValueType(root_, Path(), L"b"), static_cast<DWORD>(REG_BINARY));
  }
}

TEST_F(RegistryValues, WrongTypesAndSizesRaiseTheSystemsErrors) {
  const DWORD dword = 7;
  const unsigned long long eight = 7;
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"dword", REG_DWORD, &dword, 4);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"long", REG_DWORD, &eight, 8);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"sz", REG_SZ, L"a", 2);  // stored with its zero: 4 bytes
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"bin", REG_BINARY, "xy", 2);
  struct Case {
    const char* what;
    std::function<void()> read;
    DWORD error;
  };
  StringList list;
  ScratchBuffer bytes;
  const Case cases[] = {
      {"DWORD as string", [&] { registry_.ReadString(root_, Path(), L"dword", true); }, ERROR_INVALID_DATATYPE},
      {"string as DWORD", [&] { registry_.ReadDword(root_, Path(), L"sz"); }, ERROR_INVALID_DATATYPE},
      {"8-byte DWORD", [&] { registry_.ReadDword(root_, Path(), L"long"); }, ERROR_MORE_DATA},
      {"string as binary", [&] { registry_.ReadBinary(root_, Path(), L"sz", bytes); }, ERROR_INVALID_DATATYPE},
      {"binary as multi-string", [&] { registry_.ReadMultiString(root_, Path(), L"bin", list); },
       ERROR_INVALID_DATATYPE},
      {"missing value", [&] { registry_.ReadValueType(root_, Path(), L"none"); }, ERROR_FILE_NOT_FOUND},
      {"missing key", [&] { registry_.ReadDword(root_, key_.Below(L"none").c_str(), L"d"); }, ERROR_FILE_NOT_FOUND},
      {"invalid root", [&] { registry_.ReadDword(RootKey::Invalid, Path(), L"dword"); }, ERROR_INVALID_HANDLE},
  };
  for (const Case& c : cases) EXPECT_EQ(RaisedBy(c.read), c.error) << c.what;
  EXPECT_TRUE(list.empty());
  EXPECT_TRUE(bytes.Empty()) << "the out-buffer is untouched on failure";
}

TEST_F(RegistryValues, DeleteValueReportsAMissingValueOnlyWhenAsked) {
  registry_.WriteDword(root_, Path(), L"d", 1);
  registry_.DeleteValue(root_, Path(), L"d", true);
  EXPECT_FALSE(Raw(L"d"));
  EXPECT_EQ(RaisedBy([&] { registry_.DeleteValue(root_, Path(), L"d", false); }), 0u);
  EXPECT_EQ(RaisedBy([&] { registry_.DeleteValue(root_, Path(), L"d", true); }), DWORD{ERROR_FILE_NOT_FOUND});
  const std::wstring missingKey = key_.Below(L"none");
  EXPECT_EQ(RaisedBy([&] { registry_.DeleteValue(root_, missingKey.c_str(), L"d", false); }),
            DWORD{ERROR_FILE_NOT_FOUND});
}

}  // namespace
}  // namespace fw
