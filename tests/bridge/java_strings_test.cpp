#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "bridge/java_exception_pending.h"
#include "bridge/java_string_ansi.h"
#include "bridge/java_string_chars.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

TEST(JavaStringChars, NullStringGivesNullPointerAndEmptyStringATerminator) {
  TestVm vm;
  vm.Call([](JNIEnv* env) {
    const JavaStringChars chars(env, nullptr);
    EXPECT_EQ(chars.Get(), nullptr);
    EXPECT_TRUE(chars.IsNull());
  });
  vm.Call(
      [](JNIEnv* env, jstring text) {
        const JavaStringChars chars(env, text);
        ASSERT_NE(chars.Get(), nullptr);
        EXPECT_EQ(chars.Get()[0], L'\0');
        EXPECT_EQ(chars.Length(), 0u);
      },
      vm.String(u""));
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(JavaStringChars, CopiesEveryUnitTerminatedAndReleasesTheJavaChars) {
  TestVm vm;
  // A surrogate pair and an embedded non-ASCII character must arrive unit for unit.
  const std::u16string text = u"C:\\Temp\\\u00e9\u0416\U0001F600.txt";
  vm.Call(
      [&](JNIEnv* env, jstring jtext) {
        const JavaStringChars chars(env, jtext);
        ASSERT_EQ(chars.Length(), text.size());
        EXPECT_EQ(std::memcmp(chars.Get(), text.data(), text.size() * 2), 0);
        EXPECT_EQ(chars.Get()[text.size()], L'\0');
      },
      vm.String(text));
  EXPECT_NO_VIOLATIONS(vm);  // the end-of-call check reports unreleased string chars
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

TEST(JavaStringAnsi, ConvertsToTheCodePageWithItsSubstitute) {
  TestVm vm;
  ASSERT_EQ(GetACP(), 1252u);
  vm.Call(
      [](JNIEnv* env, jstring mapped, jstring empty) {
        const JavaStringAnsi nullText(env, nullptr);
        EXPECT_EQ(nullText.Get(), nullptr);
        EXPECT_TRUE(nullText.IsNull());

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

}  // namespace
}  // namespace fw
