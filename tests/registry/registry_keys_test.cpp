// RegistryAccess keys: creation, deletion (whole trees, depth-first), listings, existence, counts,
// root selectors, and that every key opened is closed again.
#include <windows.h>

#include <gtest/gtest.h>

#include <functional>
#include <set>
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

class RegistryKeys : public ::testing::Test {
 protected:
  const wchar_t* Path() const { return key_.Path().c_str(); }
  bool Exists(const std::wstring& relative) const { return fwtest::RawKeyExists(key_.Root(), key_.Below(relative)); }
  void Create(const std::wstring& relative) const { fwtest::CreateRawKey(key_.Root(), key_.Below(relative)); }

  fwtest::TestRegistryKey key_;
  RegistryAccess registry_;
  const RootKey root_ = RootKey::CurrentUser;
};

TEST(RootKey, JavaSelectorsMapToTheLibrarysRoots) {
  const struct {
    std::int32_t selector;
    HKEY handle;
  } cases[] = {{0, nullptr},
               {1, HKEY_CLASSES_ROOT},
               {2, HKEY_CURRENT_CONFIG},
               {3, HKEY_CURRENT_USER},
               {4, HKEY_LOCAL_MACHINE},
               {5, HKEY_USERS},
               {6, nullptr},
               {-1, nullptr}};
  for (const auto& c : cases) EXPECT_EQ(RootKeyHandle(JavaRootToRootKey(c.selector)), c.handle) << c.selector;
}

TEST_F(RegistryKeys, CreateKeyMakesEveryMissingLevelBelowAnExistingParent) {
  registry_.CreateKey(root_, Path(), L"a\\b\\c");
  EXPECT_TRUE(Exists(L"a\\b\\c"));
  const std::wstring missing = key_.Below(L"none");
  EXPECT_EQ(RaisedBy([&] { registry_.CreateKey(root_, missing.c_str(), L"x"); }), DWORD{ERROR_FILE_NOT_FOUND});
}

TEST_F(RegistryKeys, DeleteKeyRemovesTheTreeAndHonoursReportMissing) {
  struct Case {
    const char* what;
    const wchar_t* parent;  // below the test key; null for the test key itself
    const wchar_t* subkey;
    bool reportMissing;
    DWORD error;
  };
  const Case cases[] = {
      {"a tree", nullptr, L"tree", true, 0},
      {"missing subkey, not reported", nullptr, L"none", false, 0},
      {"missing subkey, reported", nullptr, L"none", true, ERROR_FILE_NOT_FOUND},
      {"missing parent, not reported", L"none", L"x", false, ERROR_FILE_NOT_FOUND},
      {"missing parent, reported", L"none", L"x", true, ERROR_FILE_NOT_FOUND},
  };
  for (const Case& c : cases) {
    // One child per level: Wine's emulation of the 9x RegDeleteKeyA stops at a second sibling.
    Create(L"tree\\a\\a1");
    const std::wstring parent = c.parent != nullptr ? key_.Below(c.parent) : key_.Path();
    auto deleteA = fwtest::RecordImport(Self(), FWTEST_IMPORT(RegDeleteKeyA));
    EXPECT_EQ(RaisedBy([&] { registry_.DeleteKey(root_, parent.c_str(), c.subkey, c.reportMissing); }), c.error)
        << c.what;
    // The NT family deletes the tree itself; the 9x RegDeleteKeyA removes the subtree.
    EXPECT_EQ(deleteA.count(), (IsWindowsNT() || c.parent != nullptr) ? 0u : 1u) << c.what;
    EXPECT_EQ(Exists(L"tree"), std::wstring(c.subkey) != L"tree") << c.what;
  }
}

TEST_F(RegistryKeys, DeleteKeyTreeRefusesAnEmptyNameAndDeletesNothing) {
  Create(L"child");
  fw::UniqueKey key;
  ASSERT_EQ(RegOpenKeyExW(key_.Root(), Path(), 0, KEY_ALL_ACCESS, key.put()), ERROR_SUCCESS);
  EXPECT_EQ(DeleteKeyTree(key.get(), L""), ERROR_BADKEY);
  EXPECT_EQ(DeleteKeyTree(key.get(), nullptr), ERROR_BADKEY);
  EXPECT_TRUE(Exists(L"child"));
}

TEST_F(RegistryKeys, DeleteKeyTreeGoesDepthFirstAndStopsAtTheFirstFailure) {
  for (const wchar_t* path : {L"top\\a\\a1", L"top\\b\\b1", L"top\\c"}) Create(path);
  fw::UniqueKey parent;
  ASSERT_EQ(RegOpenKeyExW(key_.Root(), Path(), 0, KEY_ALL_ACCESS, parent.put()), ERROR_SUCCESS);
  // Wine deletes whatever it is asked to, so "b" is made to fail as a key without rights would.
  std::vector<std::wstring> deleted;
  LONG result = ERROR_SUCCESS;
  {
    auto deleteW = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegDeleteKeyW),
                                         [&](auto original, HKEY key, LPCWSTR name) -> LONG {
                                           if (std::wstring(name) == L"b") return ERROR_ACCESS_DENIED;
                                           deleted.emplace_back(name);
                                           return original(key, name);
                                         });
    result = DeleteKeyTree(parent.get(), L"top");
  }
  EXPECT_EQ(result, ERROR_ACCESS_DENIED);
  EXPECT_EQ(deleted, (std::vector<std::wstring>{L"a1", L"a", L"b1"}));
  EXPECT_FALSE(Exists(L"top\\a"));
  EXPECT_FALSE(Exists(L"top\\b\\b1"));
  EXPECT_TRUE(Exists(L"top\\b"));
  EXPECT_TRUE(Exists(L"top\\c"));
}

TEST_F(RegistryKeys, ListingsAreInTheSystemsOrder) {
  for (const wchar_t* name : {L"beta", L"Alpha", L"gamma"}) Create(name);
  const DWORD one = 1;
  fwtest::SetRawValue(key_.Root(), key_.Path(), nullptr, REG_SZ, L"default", 14);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"x", REG_DWORD, &one, 4);
  StringList subkeys = {L"kept"};
  registry_.EnumerateSubkeyNames(root_, Path(), subkeys);
  EXPECT_EQ(subkeys, (StringList{L"kept", L"Alpha", L"beta", L"gamma"}));
  StringList values;
  registry_.EnumerateValueNames(root_, Path(), values);
  EXPECT_EQ(values, (StringList{L"", L"x"}));
  StringList onlyDefault;
  fwtest::SetRawValue(key_.Root(), key_.Below(L"beta"), nullptr, REG_SZ, L"d", 2);
  registry_.EnumerateValueNames(root_, key_.Below(L"beta").c_str(), onlyDefault);
  EXPECT_EQ(onlyDefault, StringList{L""});
}

TEST_F(RegistryKeys, AValueNameOf1024CharactersEndsTheListingWithNothing) {
  const DWORD one = 1;
  const std::wstring fits(1023, L'n');
  fwtest::SetRawValue(key_.Root(), key_.Path(), fits.c_str(), REG_DWORD, &one, 4);
  StringList names;
  registry_.EnumerateValueNames(root_, Path(), names);
  EXPECT_EQ(names, StringList{fits});
  const std::wstring tooLong(1024, L'o');
  fwtest::SetRawValue(key_.Root(), key_.Path(), tooLong.c_str(), REG_DWORD, &one, 4);
  names = {L"stale"};
  EXPECT_EQ(RaisedBy([&] { registry_.EnumerateValueNames(root_, Path(), names); }), DWORD{ERROR_MORE_DATA});
  EXPECT_TRUE(names.empty());
}

TEST_F(RegistryKeys, ExistenceIsFalseOnlyForWhatIsMissing) {
  Create(L"k");
  const DWORD one = 1;
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"v", REG_DWORD, &one, 4);
  const std::wstring k = key_.Below(L"k");
  const std::wstring none = key_.Below(L"none");
  EXPECT_TRUE(registry_.KeyExists(root_, k.c_str()));
  EXPECT_FALSE(registry_.KeyExists(root_, none.c_str()));
  EXPECT_TRUE(registry_.KeyExists(RootKey::Invalid, nullptr)) << "a null path opens nothing";
  EXPECT_EQ(RaisedBy([&] { registry_.KeyExists(RootKey::Invalid, k.c_str()); }), DWORD{ERROR_INVALID_HANDLE});
  EXPECT_TRUE(registry_.ValueExists(root_, Path(), L"v"));
  EXPECT_FALSE(registry_.ValueExists(root_, Path(), L"w"));
  EXPECT_FALSE(registry_.ValueExists(root_, Path(), nullptr)) << "no default value was set";
  EXPECT_FALSE(registry_.ValueExists(root_, none.c_str(), L"v"));
  EXPECT_EQ(RaisedBy([&] { registry_.ValueExists(RootKey::Invalid, Path(), L"v"); }), DWORD{ERROR_INVALID_HANDLE});
}

TEST_F(RegistryKeys, KeyInfoCountsSubkeysValuesAndLongestNamesAndData) {
  Create(L"a");
  Create(L"longer");
  const DWORD one = 1;
  const BYTE ten[10] = {};
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"x", REG_DWORD, &one, 4);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"name5", REG_BINARY, ten, 10);
  KeyInfo info;
  registry_.QueryKeyInfo(root_, Path(), info);
  EXPECT_EQ(info.subkeyCount, 2u);
  EXPECT_EQ(info.longestSubkeyName, 6u);
  EXPECT_EQ(info.valueCount, 2u);
  EXPECT_EQ(info.longestValueName, 5u);
  EXPECT_EQ(info.longestValueData, 10u);
}

TEST_F(RegistryKeys, EveryKeyOpenedIsClosedOnEveryPath) {
  const DWORD one = 1;
  const unsigned long long eight = 8;
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"d", REG_DWORD, &one, 4);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"long", REG_DWORD, &eight, 8);
  fwtest::SetRawValue(key_.Root(), key_.Path(), std::wstring(1100, L'n').c_str(), REG_DWORD, &one, 4);
  std::multiset<HKEY> open;
  int closedUnknown = 0;
  {
    auto track = [&](auto original, HKEY root, auto path, DWORD options, REGSAM access, PHKEY key) -> LONG {
      const LONG result = original(root, path, options, access, key);
      if (result == ERROR_SUCCESS) open.insert(*key);
      return result;
    };
    auto openW = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegOpenKeyExW), track);
    auto openA = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegOpenKeyExA), track);
    auto close = fwtest::ReplaceImport(Self(), FWTEST_IMPORT(RegCloseKey), [&](auto original, HKEY key) -> LONG {
      const auto found = open.find(key);
      if (found == open.end()) {
        ++closedUnknown;
      } else {
        open.erase(found);
      }
      return original(key);
    });
    StringList list;
    ScratchBuffer bytes;
    KeyInfo info;
    const std::function<void()> operations[] = {
        [&] { registry_.ReadDword(root_, Path(), L"d"); },
        [&] { registry_.ReadDword(root_, Path(), L"long"); },            // 234
        [&] { registry_.ReadString(root_, Path(), L"d", false); },       // 1804
        [&] { registry_.ReadBinary(root_, Path(), L"missing", bytes); }, // 2
        [&] { registry_.EnumerateValueNames(root_, Path(), list); },     // 234
        [&] { registry_.DeleteKey(root_, Path(), L"none", true); },      // 2
        [&] { registry_.WriteString(root_, Path(), L"s", false, L"x"); },
        [&] { registry_.CreateKey(root_, Path(), L"new"); },
        [&] { registry_.ValueExists(root_, Path(), L"none"); },
        [&] { registry_.QueryKeyInfo(root_, Path(), info); },
    };
    int raised = 0;
    for (const auto& operation : operations) raised += RaisedBy(operation) != 0 ? 1 : 0;
    EXPECT_EQ(raised, 5);
  }
  EXPECT_TRUE(open.empty()) << open.size() << " key(s) left open";
  EXPECT_EQ(closedUnknown, 1) << "only the key CreateKey made is closed without being opened";
}

}  // namespace
}  // namespace fw
