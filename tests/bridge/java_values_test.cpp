// Java strings in (JavaStringChars, JavaStringAnsi) and Java results out (strings, string arrays,
// byte arrays), with the VM's failures on the way.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bridge/java_exception_pending.h"
#include "bridge/java_results.h"
#include "bridge/java_string_ansi.h"
#include "bridge/java_string_chars.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

TEST(JavaStringChars, CopiesEveryUnitTerminatedAndNullAsNull) {
  TestVm vm;
  // A surrogate pair and non-ASCII characters must arrive unit for unit.
  const std::u16string text = u"C:\\Temp\\\u00e9\u0416\U0001F600.txt";
  vm.Call(
      [&](JNIEnv* env, jstring jtext, jstring empty) {
        const JavaStringChars chars(env, jtext);
        ASSERT_EQ(chars.Length(), text.size());
        EXPECT_EQ(std::memcmp(chars.Get(), text.data(), text.size() * 2), 0);
        EXPECT_EQ(chars.Get()[text.size()], L'\0');
        const JavaStringChars emptyChars(env, empty);
        ASSERT_NE(emptyChars.Get(), nullptr);
        EXPECT_EQ(emptyChars.Get()[0], L'\0');
        const JavaStringChars nullChars(env, nullptr);
        EXPECT_EQ(nullChars.Get(), nullptr);
        EXPECT_TRUE(nullChars.IsNull());
      },
      vm.String(text), vm.String(u""));
  EXPECT_NO_VIOLATIONS(vm);  // the end-of-call check reports unreleased string chars
}

TEST(JavaStringAnsi, ConvertsToTheCodePageWithItsSubstitute) {
  TestVm vm;
  ASSERT_EQ(GetACP(), 1252u);
  vm.Call(
      [](JNIEnv* env, jstring mapped, jstring empty) {
        const JavaStringAnsi nullText(env, nullptr);
        EXPECT_EQ(nullText.Get(), nullptr);
        const JavaStringAnsi emptyText(env, empty);
        ASSERT_NE(emptyText.Get(), nullptr);
        EXPECT_EQ(emptyText.Buffer().ByteSize(), 1u);
        const JavaStringAnsi text(env, mapped);
        EXPECT_EQ(std::string(text.Get()), "K\xe9y ? ?");
        EXPECT_EQ(text.Buffer().ByteSize(), 8u);
      },
      vm.String(u"K\u00e9y \u0416 \u4e2d"), vm.String(u""));
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(JavaStringChars, VmFailureLeavesItsExceptionAndAbandonsTheWork) {
  TestVm vm;
  jstring text = vm.String(u"abc");
  vm.FailAllocations(1);
  vm.Call([](JNIEnv* env, jstring jtext) { EXPECT_THROW(JavaStringChars(env, jtext), JavaExceptionPending); },
          text);
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
  vm.FailAllocations(1);
  vm.Call([](JNIEnv* env, jstring jtext) { EXPECT_THROW(JavaStringAnsi(env, jtext), JavaExceptionPending); },
          text);
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
}


TEST(JavaResults, ResultsHoldExactlyTheirDataAndEmptyIsNotNull) {
  TestVm vm;
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, WideString()); })), u"");
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, nullptr, 0); })), u"");
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, WideString(L"a\u0416\0b", 4)); })),
            std::u16string(u"a\u0416\0b", 4))
      << "the length is exact, zeros included";
  EXPECT_EQ(vm.StringArrayValue(
                vm.Call([](JNIEnv* env) { return NewJavaStringArray(env, StringList{L"first", L"", L"\u00e9"}); })),
            (fwtest::StringList{u"first", u"", u"\u00e9"}));
  EXPECT_EQ(vm.StringArrayValue(vm.Call([](JNIEnv* env) { return NewJavaStringArray(env, StringList()); })),
            fwtest::StringList{});
  const unsigned char data[] = {0x00, 0xff, 0x80, 0x7f};
  EXPECT_EQ(vm.ByteArrayValue(vm.Call([&](JNIEnv* env) { return NewJavaByteArray(env, data, 4); })),
            (fwtest::Bytes{0x00, 0xff, 0x80, 0x7f}));
  EXPECT_EQ(vm.ByteArrayValue(vm.Call([](JNIEnv* env) { return NewJavaByteArray(env, nullptr, 0); })),
            fwtest::Bytes{});
  fwtest::ExpectNoException(vm);
}

TEST(JavaResults, StringArrayDropsElementReferencesAsItGoes) {
  TestVm vm;
  StringList many(500, L"x");
  vm.Call([&](JNIEnv* env) { return NewJavaStringArray(env, many); });
  EXPECT_LE(vm.LastCallPeakLocalRefs(), 4);
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(JavaResults, FailuresLeaveOnlyTheVmsException) {
  const struct {
    const char* name;
    void (*arrange)(TestVm&);
    const char* pending;
  } cases[] = {
      {"no String class", [](TestVm& vm) { vm.HideClass("java/lang/String"); }, "java/lang/NoClassDefFoundError"},
      {"array not allocated", [](TestVm& vm) { vm.FailAllocations(1); }, "java/lang/OutOfMemoryError"},
      {"second element not allocated", [](TestVm& vm) { vm.FailAllocations(1, 2); }, "java/lang/OutOfMemoryError"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestVm vm;
    c.arrange(vm);
    EXPECT_TRUE(vm.IsNull(vm.Call([](JNIEnv* env) { return NewJavaStringArray(env, StringList{L"a", L"b"}); })));
    fwtest::ExpectException(vm, c.pending);  // and nothing called on the VM with it pending
  }
  TestVm vm;
  vm.FailAllocations(1);
  const unsigned char data[] = {1};
  EXPECT_TRUE(vm.IsNull(vm.Call([&](JNIEnv* env) { return NewJavaByteArray(env, data, 1); })));
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
}

}  // namespace
}  // namespace fw
