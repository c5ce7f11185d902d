#include <gtest/gtest.h>

#include "bridge/java_results.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

TEST(JavaResults, EmptyTextIsAnEmptyStringNotNull) {
  TestVm vm;
  jstring empty = vm.Call([](JNIEnv* env) { return NewJavaString(env, WideString()); });
  EXPECT_EQ(vm.StringValue(empty), std::u16string());
  jstring nullData = vm.Call([](JNIEnv* env) { return NewJavaString(env, nullptr, 0); });
  EXPECT_EQ(vm.StringValue(nullData), std::u16string());
  jstring text = vm.Call([](JNIEnv* env) { return NewJavaString(env, WideString(L"a\u0416\0b", 4)); });
  EXPECT_EQ(vm.StringValue(text), std::u16string(u"a\u0416\0b", 4)) << "the length is exact, zeros included";
  EXPECT_NO_VIOLATIONS(vm);
  EXPECT_FALSE(vm.Pending());
}

TEST(JavaResults, StringArrayKeepsOrderAndEmptyElements) {
  TestVm vm;
  jobjectArray array = vm.Call([](JNIEnv* env) {
    return NewJavaStringArray(env, StringList{L"first", L"", L"\u00e9"});
  });
  const auto values = vm.StringArrayValue(array);
  ASSERT_TRUE(values);
  EXPECT_EQ(*values, (fwtest::StringList{u"first", u"", u"\u00e9"}));

  jobjectArray none = vm.Call([](JNIEnv* env) { return NewJavaStringArray(env, StringList()); });
  ASSERT_FALSE(vm.IsNull(none)) << "an empty list is a zero-length array, not null";
  EXPECT_EQ(vm.StringArrayValue(none)->size(), 0u);
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(JavaResults, StringArrayDropsElementReferencesAsItGoes) {
  TestVm vm;
  StringList many(500, L"x");
  vm.Call([&](JNIEnv* env) { return NewJavaStringArray(env, many); });
  EXPECT_LE(vm.LastCallPeakLocalRefs(), 4);
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(JavaResults, StringArrayFailuresLeaveOnlyTheVmsException) {
  struct Case {
    const char* name;
    void (*arrange)(TestVm&);
    const char* pending;
  };
  const Case cases[] = {
      {"no String class", [](TestVm& vm) { vm.HideClass("java/lang/String"); }, "java/lang/NoClassDefFoundError"},
      {"array not allocated", [](TestVm& vm) { vm.FailAllocations(1); }, "java/lang/OutOfMemoryError"},
      {"second element not allocated", [](TestVm& vm) { vm.FailAllocations(1, 2); }, "java/lang/OutOfMemoryError"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestVm vm;
    c.arrange(vm);
    jobjectArray array =
        vm.Call([](JNIEnv* env) { return NewJavaStringArray(env, StringList{L"a", L"b", L"c"}); });
    EXPECT_TRUE(vm.IsNull(array));
    const auto pending = vm.TakePending();
    ASSERT_TRUE(pending);
    EXPECT_EQ(pending->className, c.pending);
    EXPECT_NO_VIOLATIONS(vm);  // nothing was called on the VM with the exception pending
  }
}

TEST(JavaResults, ByteArrayHoldsExactlyTheBytes) {
  TestVm vm;
  const unsigned char data[] = {0x00, 0xff, 0x80, 0x7f};
  jbyteArray bytes = vm.Call([&](JNIEnv* env) { return NewJavaByteArray(env, data, 4); });
  EXPECT_EQ(vm.ByteArrayValue(bytes), (fwtest::Bytes{0x00, 0xff, 0x80, 0x7f}));
  jbyteArray empty = vm.Call([](JNIEnv* env) { return NewJavaByteArray(env, nullptr, 0); });
  ASSERT_FALSE(vm.IsNull(empty));
  EXPECT_TRUE(vm.ByteArrayValue(empty)->empty());

  vm.FailAllocations(1);
  jbyteArray failed = vm.Call([&](JNIEnv* env) { return NewJavaByteArray(env, data, 4); });
  EXPECT_TRUE(vm.IsNull(failed));
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
  EXPECT_NO_VIOLATIONS(vm);
}

}  // namespace
}  // namespace fw
