// Win32RegistryServiceImpl through the built DLL, called the way the VM calls it: results and the
// failures no Win32 error stands for. (Each method's code and default: BadInput.RegistryMethods*.)
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "bridge/platform.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/loaded_library.h"
#include "support/recorded_import.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace {

using fwtest::ErrorMessage;
using fwtest::TestVm;

constexpr char kRegistryService[] = "com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl";
constexpr jint kRootCurrentUser = 3;

// One native method of the loaded DLL.
#define FW_REG(method) \
  FWTEST_EXPORT(library_, Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_##method)

class RegistryServiceTest : public ::testing::Test {
 public:
  // The test key, or a path below it.
  jstring Key(const std::wstring& relative = L"") {
    return vm_.String(fwtest::ToU16(relative.empty() ? key_.Path() : key_.Below(relative)));
  }
  jstring Str(std::u16string_view text) { return vm_.String(text); }
  // Calls a method on the current user's root and a key below the test key.
  template <typename Fn, typename... A>
  auto Call(Fn method, const std::wstring& key, A... args) {
    return vm_.Call(method, self_, kRootCurrentUser, Key(key), args...);
  }

  fwtest::TestRegistryKey key_;
  fwtest::LoadedLibrary library_{L"fwnative.dll"};
  TestVm vm_;
  jobject self_ = vm_.This(kRegistryService);
};

TEST_F(RegistryServiceTest, EveryMethodWorksEndToEnd) {
  const jboolean no = JNI_FALSE, yes = JNI_TRUE;
  Call(FW_REG(createKey), L"", Str(u"sub\\deeper"));
  EXPECT_EQ(Call(FW_REG(keyExists), L"sub\\deeper"), JNI_TRUE);
  EXPECT_EQ(Call(FW_REG(isKeyEmpty), L"sub\\deeper"), JNI_TRUE);
  Call(FW_REG(setStringValue), L"", Str(u"s"), no, Str(u"text\u00e9"));
  Call(FW_REG(setStringValue), L"", Str(u"n"), no, Str(u""));
  Call(FW_REG(set32BitValue), L"", Str(u"d"), jint{-2});
  Call(FW_REG(setBinaryValue), L"", Str(u"b"), vm_.ByteArray({1, 2, 0, 255}));
  Call(FW_REG(setMultiStringValue), L"", Str(u"m"), vm_.StringArray({u"a", std::nullopt, u"c"}));
  fwtest::ExpectNoException(vm_);

  EXPECT_EQ(vm_.StringValue(Call(FW_REG(getStringValue), L"", Str(u"s"), yes)), u"text\u00e9");
  EXPECT_EQ(vm_.StringValue(Call(FW_REG(getStringValue), L"", Str(u"n"), no)), u"");
  EXPECT_EQ(Call(FW_REG(get32BitValue), L"", Str(u"d")), -2);
  EXPECT_EQ(vm_.ByteArrayValue(Call(FW_REG(getBinaryValue), L"", Str(u"b"))), (fwtest::Bytes{1, 2, 0, 255}));
  EXPECT_EQ(vm_.StringArrayValue(Call(FW_REG(getMultiStringValue), L"", Str(u"m"))),
            (fwtest::StringList{u"a", u"", u"c"}));
  EXPECT_EQ(Call(FW_REG(getValueType), L"", Str(u"m")), REG_MULTI_SZ);
  auto names = vm_.StringArrayValue(Call(FW_REG(getKeyValueNames), L""));
  ASSERT_TRUE(names);
  std::sort(names->begin(), names->end());  // the system's order, which Wine sorts
  EXPECT_EQ(names, (fwtest::StringList{u"b", u"d", u"m", u"n", u"s"}));
  EXPECT_EQ(vm_.StringArrayValue(Call(FW_REG(getSubkeyNames), L"")), fwtest::StringList{u"sub"});
  EXPECT_EQ(vm_.StringArrayValue(Call(FW_REG(getKeyValueNames), L"sub")), fwtest::StringList{}) << "not null";
  EXPECT_EQ(Call(FW_REG(countSubKeys), L""), 1);
  EXPECT_EQ(Call(FW_REG(countValuesInKey), L""), 5);
  EXPECT_EQ(Call(FW_REG(longestSubKeyNameLength), L""), 3);
  EXPECT_EQ(Call(FW_REG(longestValueNameLength), L""), 1);
  EXPECT_EQ(Call(FW_REG(longestValueNameData), L""), 12) << "the multi-string's";
  EXPECT_EQ(Call(FW_REG(isKeyEmpty), L""), JNI_FALSE);

  Call(FW_REG(setBinaryValue), L"", Str(u"b"), vm_.ByteArray({}));
  EXPECT_EQ(vm_.ByteArrayValue(Call(FW_REG(getBinaryValue), L"", Str(u"b"))), fwtest::Bytes{}) << "not null";
  EXPECT_EQ(Call(FW_REG(valueExists), L"", Str(u"s")), JNI_TRUE);
  Call(FW_REG(deleteValue), L"", Str(u"s"), yes);
  EXPECT_EQ(Call(FW_REG(valueExists), L"", Str(u"s")), JNI_FALSE);
  // The NT family deletes the tree itself; the 9x RegDeleteKeyA removes the subtree.
  auto deleteA = fwtest::RecordImport(library_.get(), FWTEST_IMPORT(RegDeleteKeyA));
  Call(FW_REG(deleteKey), L"", Str(u"sub"), yes);
  EXPECT_EQ(deleteA.count(), fw::IsWindowsNT() ? 0u : 1u);
  EXPECT_EQ(Call(FW_REG(keyExists), L"sub"), JNI_FALSE);
  fwtest::ExpectNoException(vm_);
}

TEST_F(RegistryServiceTest, ByteArrayTheVmCannotMakeIsReportedAsOutOfMemory) {
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"b", REG_BINARY, "xyz", 3);
  // The key and the name are copied first; the byte array is the third allocation.
  const jstring key = Key();
  const jstring name = Str(u"b");
  vm_.FailAllocations(1, 2);
  EXPECT_TRUE(vm_.IsNull(vm_.Call(FW_REG(getBinaryValue), self_, kRootCurrentUser, key, name)));
  fwtest::ExpectServiceException(vm_, -100010, ErrorMessage(0x8007000E));
}

}  // namespace
