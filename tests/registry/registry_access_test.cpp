// RegistryAccess: texts as stored, and deletion of whole trees. (Listings and reads: RegistryServiceTest;
// wrong types and names: BadInput.RegistryMethods*.)
#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "bridge/platform.h"
#include "registry/registry_access.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/fake_version.h"

namespace fw {
namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

using fwtest::RaisedBy;

class RegistryAccessTest : public ::testing::Test {
 protected:
  const wchar_t* Path() const { return key_.Path().c_str(); }

  fwtest::TestRegistryKey key_;
  RegistryAccess registry_;
  const RootKey root_ = RootKey::CurrentUser;
};

TEST_F(RegistryAccessTest, StringsAreStoredWithoutTheirZeroAndReadBack) {
  const std::wstring long300(300, L'x');
  const std::wstring long600(600, L'x');
  const struct {
    const wchar_t* text;
    DWORD unicodeBytes;  // what the W path passes; the A path passes its byte length, 1 for ""
    DWORD ansiBytes;
  } cases[] = {{L"abc", 6, 3}, {L"", 1, 1}, {long300.c_str(), 600, 300}, {long600.c_str(), 1200, 600},
                 {nullptr, 0, 0}};
  const bool ansi = IsWindows9x();
  for (const auto& c : cases) {
    const wchar_t* const text = c.text;
    SCOPED_TRACE(text != nullptr ? std::to_string(std::wcslen(text)) + " characters" : "null");
    auto setW = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegSetValueExW));
    auto setA = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegSetValueExA));
    // A null text is passed as no data; what the system makes of that differs (Windows 98
    // measures the text itself), so only what was passed is checked: whether data came, and its size.
    const DWORD raised = RaisedBy([&] { registry_.WriteString(root_, Path(), L"v", false, text); });
    const auto passed = [](const auto& set) {
      return set.calls().empty() ? std::nullopt
                                 : std::optional(std::make_pair(std::get<4>(set.calls()[0]) != nullptr, std::get<5>(set.calls()[0])));
    };
    EXPECT_EQ(ansi ? passed(setA) : passed(setW), std::make_pair(text != nullptr, ansi ? c.ansiBytes : c.unicodeBytes));
    if (text == nullptr) continue;
    EXPECT_EQ(raised, 0u);
    EXPECT_EQ(registry_.ReadString(root_, Path(), L"v", false), text);
  }
}

TEST_F(RegistryAccessTest, DeleteKeyTreeGoesDepthFirstAndStopsAtTheFirstFailure) {
  auto nt = fwtest::FakeWindowsXP(Self());  // the tree deletion of the NT family, in every run
  for (const wchar_t* path : {L"top\\a\\a1", L"top\\b\\b1", L"top\\c"}) fwtest::CreateRawKey(key_.Root(), key_.Below(path));
  const fw::UniqueKey parent = fwtest::OpenRawKey(key_.Root(), key_.Path());
  // Wine deletes whatever it is asked to, so "b" is made to fail as a key without rights would.
  std::vector<std::wstring> deleted;
  auto deleteW = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegDeleteKeyW), [&](auto original, HKEY key, LPCWSTR name) -> LONG {
    if (std::wstring(name) == L"b") return ERROR_ACCESS_DENIED;
    deleted.emplace_back(name);
    return original(key, name);
  });
  EXPECT_EQ(DeleteKeyTree(parent.get(), L"top"), ERROR_ACCESS_DENIED);
  EXPECT_EQ(deleted, (std::vector<std::wstring>{L"a1", L"a", L"b1"}));
  EXPECT_TRUE(fwtest::RawKeyExists(key_.Root(), key_.Below(L"top\\c")));
}

}  // namespace
}  // namespace fw
