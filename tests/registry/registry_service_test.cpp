// Win32RegistryServiceImpl through the built DLL, called the way the VM calls it: results, codes,
// defaults and messages.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <new>
#include <string>
#include <type_traits>
#include <vector>

#include "bridge/platform.h"
#include "com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl.h"
#include "registry/registry_test_key.h"
#include "support/fake_import.h"
#include "support/loaded_library.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace {

using fwtest::TestVm;

constexpr char kRegistryService[] = "com/fernwick/wizard/platform/win32/Win32RegistryServiceImpl";

#define FW_REGISTRY_EXPORT(method) \
  FWTEST_EXPORT(library, Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_##method)

// The 22 native methods of the loaded DLL.
struct RegistryExports {
  explicit RegistryExports(const fwtest::LoadedLibrary& library)
      : getKeyValueNames(FW_REGISTRY_EXPORT(getKeyValueNames)),
        getSubkeyNames(FW_REGISTRY_EXPORT(getSubkeyNames)),
        keyExists(FW_REGISTRY_EXPORT(keyExists)),
        valueExists(FW_REGISTRY_EXPORT(valueExists)),
        createKey(FW_REGISTRY_EXPORT(createKey)),
        deleteKey(FW_REGISTRY_EXPORT(deleteKey)),
        deleteValue(FW_REGISTRY_EXPORT(deleteValue)),
        getStringValue(FW_REGISTRY_EXPORT(getStringValue)),
        setStringValue(FW_REGISTRY_EXPORT(setStringValue)),
        getMultiStringValue(FW_REGISTRY_EXPORT(getMultiStringValue)),
        setMultiStringValue(FW_REGISTRY_EXPORT(setMultiStringValue)),
        get32BitValue(FW_REGISTRY_EXPORT(get32BitValue)),
        set32BitValue(FW_REGISTRY_EXPORT(set32BitValue)),
        getBinaryValue(FW_REGISTRY_EXPORT(getBinaryValue)),
        setBinaryValue(FW_REGISTRY_EXPORT(setBinaryValue)),
        getValueType(FW_REGISTRY_EXPORT(getValueType)),
        countSubKeys(FW_REGISTRY_EXPORT(countSubKeys)),
        countValuesInKey(FW_REGISTRY_EXPORT(countValuesInKey)),
        longestSubKeyNameLength(FW_REGISTRY_EXPORT(longestSubKeyNameLength)),
        longestValueNameLength(FW_REGISTRY_EXPORT(longestValueNameLength)),
        longestValueNameData(FW_REGISTRY_EXPORT(longestValueNameData)),
        isKeyEmpty(FW_REGISTRY_EXPORT(isKeyEmpty)) {}

  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getKeyValueNames) getKeyValueNames;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getSubkeyNames) getSubkeyNames;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_keyExists) keyExists;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_valueExists) valueExists;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_createKey) createKey;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_deleteKey) deleteKey;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_deleteValue) deleteValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getStringValue) getStringValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_setStringValue) setStringValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getMultiStringValue) getMultiStringValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_setMultiStringValue) setMultiStringValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_get32BitValue) get32BitValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_set32BitValue) set32BitValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getBinaryValue) getBinaryValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_setBinaryValue) setBinaryValue;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_getValueType) getValueType;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_countSubKeys) countSubKeys;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_countValuesInKey) countValuesInKey;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_longestSubKeyNameLength)
      longestSubKeyNameLength;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_longestValueNameLength)
      longestValueNameLength;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_longestValueNameData)
      longestValueNameData;
  decltype(&Java_com_fernwick_wizard_platform_win32_Win32RegistryServiceImpl_isKeyEmpty) isKeyEmpty;
};

constexpr jint kRootCurrentUser = 3;
constexpr jint kRootLocalMachine = 4;

class RegistryServiceTest : public ::testing::Test {
 public:
  explicit RegistryServiceTest(HKEY root = HKEY_CURRENT_USER)
      : key_(root), service_(library_), self_(vm_.This(kRegistryService)) {}

  jstring Key() { return vm_.String(fwtest::ToU16(key_.Path())); }
  jstring Key(const std::wstring& relative) { return vm_.String(fwtest::ToU16(key_.Below(relative))); }
  jstring Str(std::u16string_view text) { return vm_.String(text); }

  fwtest::TestRegistryKey key_;
  fwtest::LoadedLibrary library_{L"fwnative.dll"};
  RegistryExports service_;
  TestVm vm_;
  jobject self_;
};

// Every method end to end, below HKEY_CURRENT_USER and HKEY_LOCAL_MACHINE.
class RegistryServiceRoundTrip : public RegistryServiceTest, public ::testing::WithParamInterface<jint> {
 protected:
  RegistryServiceRoundTrip() : RegistryServiceTest(GetParam() == kRootLocalMachine ? HKEY_LOCAL_MACHINE : HKEY_CURRENT_USER) {}
};

TEST_P(RegistryServiceRoundTrip, EveryMethodWorksEndToEnd) {
  const jint root = GetParam();
  TestVm& vm = vm_;
  const RegistryExports& s = service_;
  vm.Call(s.createKey, self_, root, Key(), Str(u"sub\\deeper"));
  fwtest::ExpectNoException(vm);
  EXPECT_EQ(vm.Call(s.keyExists, self_, root, Key(L"sub\\deeper")), JNI_TRUE);
  EXPECT_EQ(vm.Call(s.isKeyEmpty, self_, root, Key(L"sub\\deeper")), JNI_TRUE);

  vm.Call(s.setStringValue, self_, root, Key(), Str(u"s"), jboolean{JNI_FALSE}, Str(u"text\u00e9"));
  vm.Call(s.setStringValue, self_, root, Key(), Str(u"n"), jboolean{JNI_FALSE}, vm.String(u""));
  vm.Call(s.set32BitValue, self_, root, Key(), Str(u"d"), jint{-2});
  vm.Call(s.setBinaryValue, self_, root, Key(), Str(u"b"), vm.ByteArray({1, 2, 0, 255}));
  vm.Call(s.setMultiStringValue, self_, root, Key(), Str(u"m"), vm.StringArray({u"a", std::nullopt, u"c"}));
  fwtest::ExpectNoException(vm);

  EXPECT_EQ(vm.StringValue(vm.Call(s.getStringValue, self_, root, Key(), Str(u"s"), jboolean{JNI_TRUE})),
            u"text\u00e9");
  EXPECT_EQ(vm.StringValue(vm.Call(s.getStringValue, self_, root, Key(), Str(u"n"), jboolean{JNI_FALSE})), u"");
  EXPECT_EQ(vm.Call(s.get32BitValue, self_, root, Key(), Str(u"d")), -2);
  EXPECT_EQ(vm.ByteArrayValue(vm.Call(s.getBinaryValue, self_, root, Key(), Str(u"b"))),
            (fwtest::Bytes{1, 2, 0, 255}));
  EXPECT_EQ(vm.StringArrayValue(vm.Call(s.getMultiStringValue, self_, root, Key(), Str(u"m"))),
            (fwtest::StringList{u"a", u"", u"c"}));
  EXPECT_EQ(vm.Call(s.getValueType, self_, root, Key(), Str(u"m")), REG_MULTI_SZ);
  // In the system's order, which Wine sorts.
  auto names = vm.StringArrayValue(vm.Call(s.getKeyValueNames, self_, root, Key()));
  ASSERT_TRUE(names);
  std::sort(names->begin(), names->end());
  EXPECT_EQ(names, (fwtest::StringList{u"b", u"d", u"m", u"n", u"s"}));
  EXPECT_EQ(vm.StringArrayValue(vm.Call(s.getSubkeyNames, self_, root, Key())), fwtest::StringList{u"sub"});
  EXPECT_EQ(vm.StringArrayValue(vm.Call(s.getKeyValueNames, self_, root, Key(L"sub"))), fwtest::StringList{});
  EXPECT_EQ(vm.Call(s.countSubKeys, self_, root, Key()), 1);
  EXPECT_EQ(vm.Call(s.countValuesInKey, self_, root, Key()), 5);
  EXPECT_EQ(vm.Call(s.longestSubKeyNameLength, self_, root, Key()), 3);
  EXPECT_EQ(vm.Call(s.longestValueNameLength, self_, root, Key()), 1);
  EXPECT_EQ(vm.Call(s.longestValueNameData, self_, root, Key()), 12) << "the multi-string's 6 characters";
  EXPECT_EQ(vm.Call(s.isKeyEmpty, self_, root, Key()), JNI_FALSE);
  fwtest::ExpectNoException(vm);

  vm.Call(s.setBinaryValue, self_, root, Key(), Str(u"b"), vm.ByteArray({}));
  const jbyteArray empty = vm.Call(s.getBinaryValue, self_, root, Key(), Str(u"b"));
  EXPECT_EQ(vm.ByteArrayValue(empty), fwtest::Bytes{}) << "a zero-length array, not null";

  EXPECT_EQ(vm.Call(s.valueExists, self_, root, Key(), Str(u"s")), JNI_TRUE);
  vm.Call(s.deleteValue, self_, root, Key(), Str(u"s"), jboolean{JNI_TRUE});
  vm.Call(s.deleteValue, self_, root, Key(), Str(u"s"), jboolean{JNI_FALSE});
  EXPECT_EQ(vm.Call(s.valueExists, self_, root, Key(), Str(u"s")), JNI_FALSE);
  vm.Call(s.deleteKey, self_, root, Key(), Str(u"sub"), jboolean{JNI_TRUE});
  vm.Call(s.deleteKey, self_, root, Key(), Str(u"sub"), jboolean{JNI_FALSE});
  EXPECT_EQ(vm.Call(s.keyExists, self_, root, Key(L"sub")), JNI_FALSE);
  fwtest::ExpectNoException(vm);
}

INSTANTIATE_TEST_SUITE_P(Roots, RegistryServiceRoundTrip, ::testing::Values(kRootCurrentUser, kRootLocalMachine),
                         [](const auto& info) { return info.param == kRootLocalMachine ? "LocalMachine" : "CurrentUser"; });

// How a result reads in an assertion.
std::string Show(TestVm& vm, jstring text) {
  const auto value = vm.StringValue(text);
  return value ? "\"" + std::string(value->begin(), value->end()) + "\"" : "null";
}
std::string Show(TestVm& vm, jobject ref) { return vm.IsNull(ref) ? "null" : "an object"; }
std::string Show(TestVm&, jint value) { return std::to_string(value); }
std::string Show(TestVm&, jboolean value) { return value ? "true" : "false"; }
std::string Show(TestVm&) { return "void"; }

struct MethodCase {
  const char* method;
  jint code;
  std::string fallback;
  // Calls the method on (root, key, name) and shows its result.
  std::function<std::string(RegistryServiceTest&, jint root, jstring key, jstring name)> call;
};

template <typename Fn, typename... A>
std::string CallAndShow(TestVm& vm, Fn fn, A... args) {
  if constexpr (std::is_void_v<decltype(vm.Call(fn, args...))>) {
    vm.Call(fn, args...);
    return Show(vm);
  } else {
    return Show(vm, vm.Call(fn, args...));
  }
}

#define FW_CASE(method, code, fallback, ...)                                                      \
  MethodCase {                                                                                    \
    #method, code, fallback, [](RegistryServiceTest& t, jint root, jstring key, jstring name) {   \
      (void)name;                                                                                 \
      return CallAndShow(t.vm_, t.service_.method, t.self_, root, key __VA_ARGS__);               \
    }                                                                                             \
  }

// All 22 methods with their codes and the result they return after a failure.
std::vector<MethodCase> AllMethods() {
  return {
      FW_CASE(getKeyValueNames, -100000, "null"),
      FW_CASE(getSubkeyNames, -100013, "null"),
      FW_CASE(keyExists, -100001, "false"),
      FW_CASE(valueExists, -100014, "false", , name),
      FW_CASE(createKey, -100012, "void", , name),
      FW_CASE(deleteKey, -100002, "void", , name, jboolean{JNI_FALSE}),
      FW_CASE(deleteValue, -100002, "void", , name, jboolean{JNI_FALSE}),
      FW_CASE(getStringValue, -100008, "\"\"", , name, jboolean{JNI_TRUE}),
      FW_CASE(setStringValue, -100004, "void", , name, jboolean{JNI_FALSE}, t.Str(u"x")),
      FW_CASE(getMultiStringValue, -100009, "null", , name),
      FW_CASE(setMultiStringValue, -100005, "void", , name, t.vm_.StringArray({u"x"})),
      FW_CASE(get32BitValue, -100008, "-1", , name),
      FW_CASE(set32BitValue, -100006, "void", , name, jint{1}),
      FW_CASE(getBinaryValue, -100010, "null", , name),
      FW_CASE(setBinaryValue, -100007, "void", , name, t.vm_.ByteArray({1})),
      FW_CASE(getValueType, -100011, "-1", , name),
      FW_CASE(countSubKeys, -100003, "-1"),
      FW_CASE(countValuesInKey, -100003, "-1"),
      FW_CASE(longestSubKeyNameLength, -100003, "-1"),
      FW_CASE(longestValueNameLength, -100003, "-1"),
      FW_CASE(longestValueNameData, -100003, "-1"),
      FW_CASE(isKeyEmpty, -100003, "false"),
  };
}

TEST_F(RegistryServiceTest, EveryMethodReportsItsCodeAndReturnsItsDefault) {
  // Wine grants every access, so the open is refused as a key without rights would be.
  const LONG denied = ERROR_ACCESS_DENIED;
  auto openW = fwtest::FailImport(library_.get(), FWTEST_IMPORT(RegOpenKeyExW), denied, 0);
  auto openA = fwtest::FailImport(library_.get(), FWTEST_IMPORT(RegOpenKeyExA), denied, 0);
  const std::vector<MethodCase> methods = AllMethods();
  ASSERT_EQ(methods.size(), 22u);
  for (const MethodCase& m : methods) {
    SCOPED_TRACE(m.method);
    EXPECT_EQ(m.call(*this, kRootCurrentUser, Key(), Str(u"v")), m.fallback);
    fwtest::ExpectServiceException(vm_, m.code, fwtest::ErrorMessage(ERROR_ACCESS_DENIED));
  }
}

TEST_F(RegistryServiceTest, InvalidRootSelectorsFailWithTheSystemsInvalidHandleError) {
  for (jint root : {0, 6}) {
    SCOPED_TRACE(root);
    for (const MethodCase& m : AllMethods()) {
      SCOPED_TRACE(m.method);
      EXPECT_EQ(m.call(*this, root, Key(), Str(u"v")), m.fallback);
      fwtest::ExpectServiceException(vm_, m.code, fwtest::ErrorMessage(ERROR_INVALID_HANDLE));
    }
    EXPECT_EQ(vm_.Call(service_.keyExists, self_, root, static_cast<jstring>(nullptr)), JNI_TRUE);
    fwtest::ExpectNoException(vm_);
  }
}

TEST_F(RegistryServiceTest, MissingKeysAndValues) {
  const DWORD one = 1;
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"sz", REG_SZ, L"a", 2);
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"dword", REG_DWORD, &one, 4);
  const RegistryExports& s = service_;
  const jint root = kRootCurrentUser;

  EXPECT_EQ(vm_.Call(s.getValueType, self_, root, Key(), Str(u"none")), -1);
  fwtest::ExpectServiceException(vm_, -100011, fwtest::ErrorMessage(ERROR_FILE_NOT_FOUND));
  EXPECT_EQ(vm_.Call(s.valueExists, self_, root, Key(), Str(u"none")), JNI_FALSE);
  EXPECT_EQ(vm_.Call(s.keyExists, self_, root, Key(L"none")), JNI_FALSE);
  vm_.Call(s.deleteKey, self_, root, Key(), Str(u"none"), jboolean{JNI_FALSE});
  fwtest::ExpectNoException(vm_);
  EXPECT_EQ(vm_.Call(s.countSubKeys, self_, root, Key(L"none")), -1);
  fwtest::ExpectServiceException(vm_, -100003, fwtest::ErrorMessage(ERROR_FILE_NOT_FOUND));
  vm_.Call(s.deleteValue, self_, root, Key(L"none"), Str(u"v"), jboolean{JNI_FALSE});
  fwtest::ExpectServiceException(vm_, -100002, fwtest::ErrorMessage(ERROR_FILE_NOT_FOUND));
  vm_.Call(s.deleteKey, self_, root, Key(), Str(u"none"), jboolean{JNI_TRUE});
  fwtest::ExpectServiceException(vm_, -100002, fwtest::ErrorMessage(ERROR_FILE_NOT_FOUND));

  EXPECT_EQ(vm_.Call(s.get32BitValue, self_, root, Key(), Str(u"sz")), -1);
  fwtest::ExpectServiceException(vm_, -100008, fwtest::ErrorMessage(ERROR_INVALID_DATATYPE));
  EXPECT_EQ(vm_.StringValue(vm_.Call(s.getStringValue, self_, root, Key(), Str(u"dword"), jboolean{JNI_FALSE})), u"");
  fwtest::ExpectServiceException(vm_, -100008, fwtest::ErrorMessage(ERROR_INVALID_DATATYPE));
}

TEST_F(RegistryServiceTest, AValueNameOf1024CharactersFailsTheWholeListing) {
  const DWORD one = 1;
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"short", REG_DWORD, &one, 4);
  fwtest::SetRawValue(key_.Root(), key_.Path(), std::wstring(1024, L'n').c_str(), REG_DWORD, &one, 4);
  EXPECT_TRUE(vm_.IsNull(vm_.Call(service_.getKeyValueNames, self_, kRootCurrentUser, Key())));
  fwtest::ExpectServiceException(vm_, -100000, fwtest::ErrorMessage(ERROR_MORE_DATA));
}

TEST_F(RegistryServiceTest, NullArraysAreRefusedAndNothingIsWritten) {
  vm_.Call(service_.setMultiStringValue, self_, kRootCurrentUser, Key(), Str(u"m"), static_cast<jobjectArray>(nullptr));
  fwtest::ExpectServiceException(vm_, -100005, fwtest::ErrorMessage(ERROR_INVALID_PARAMETER));
  vm_.Call(service_.setBinaryValue, self_, kRootCurrentUser, Key(), Str(u"b"), static_cast<jbyteArray>(nullptr));
  fwtest::ExpectServiceException(vm_, -100007, fwtest::ErrorMessage(ERROR_INVALID_PARAMETER));
  EXPECT_TRUE(fwtest::RawValueNames(key_.Root(), key_.Path()).empty());
}

TEST_F(RegistryServiceTest, ByteArrayTheVmCannotMakeIsReportedAsOutOfMemory) {
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"b", REG_BINARY, "xyz", 3);
  // The key and the name are copied first; the byte array is the third allocation.
  const jstring key = Key();
  const jstring name = Str(u"b");
  vm_.FailAllocations(1, 2);
  EXPECT_TRUE(vm_.IsNull(vm_.Call(service_.getBinaryValue, self_, kRootCurrentUser, key, name)));
  fwtest::ExpectServiceException(vm_, -100010, fwtest::ErrorMessage(0x8007000E));
}

[[gnu::noipa]] LONG ReportHugeValue(DWORD* size) {
  *size = 0xFFFFFFFF;
  return ERROR_MORE_DATA;
}

TEST_F(RegistryServiceTest, AnInternalFailureIsReportedAsEFailWithoutMessage) {
  fwtest::SetRawValue(key_.Root(), key_.Path(), L"s", REG_SZ, L"ab", 4);
  // An allocation the library cannot make: a 64-bit process could satisfy the 4 GB the system
  // reports, so there the registry call itself fails with bad_alloc.
  auto fail = [](auto, HKEY, auto, LPDWORD, LPDWORD, LPBYTE, LPDWORD size) -> LONG {
    if (sizeof(void*) == 8) throw std::bad_alloc();
    return ReportHugeValue(size);
  };
  auto queryW = fwtest::ReplaceImport(library_.get(), FWTEST_IMPORT(RegQueryValueExW), fail);
  auto queryA = fwtest::ReplaceImport(library_.get(), FWTEST_IMPORT(RegQueryValueExA), fail);
  EXPECT_EQ(vm_.StringValue(vm_.Call(service_.getStringValue, self_, kRootCurrentUser, Key(), Str(u"s"),
                                     jboolean{JNI_FALSE})),
            u"");
  fwtest::ExpectServiceCode(vm_, static_cast<jint>(-2147467259L));
  EXPECT_EQ(queryW.calls() + queryA.calls(), 1);
}

}  // namespace
