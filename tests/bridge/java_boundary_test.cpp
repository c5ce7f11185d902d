// The JNI boundary: Java strings in (every test that passes a string converts it; here, a copy the
// VM cannot make, which stops the work under the guard), Java results out (strings, string arrays, byte arrays) with the VM's failures on
// the way, the guard that turns every internal failure into one ServiceException, and the
// ScratchBuffer every conversion and registry read fills.
#include "bridge/native_boundary.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <functional>
#include <limits>
#include <new>
#include <stdexcept>
#include <string>
#include <utility>

#include "bridge/java_exception_pending.h"
#include "bridge/java_results.h"
#include "bridge/java_string_ansi.h"
#include "bridge/java_string_chars.h"
#include "bridge/scratch_buffer.h"
#include "file/attribute_exception.h"
#include "registry/registry_exception.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

TEST(JavaResults, StringsKeepTheirExactLengthZerosIncluded) {
  TestVm vm;
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, WideString(L"a\u0416\0b", 4)); })),
            std::u16string(u"a\u0416\0b", 4));
  EXPECT_EQ(vm.StringValue(vm.Call([](JNIEnv* env) { return NewJavaString(env, nullptr, 0); })), u"");
  fwtest::ExpectNoException(vm);
}

TEST(JavaResults, StringArrayDropsElementReferencesAsItGoes) {
  TestVm vm;
  StringList many(500, L"x");
  vm.Call([&](JNIEnv* env) { return NewJavaStringArray(env, many); });
  EXPECT_LE(vm.LastCallPeakLocalRefs(), 4);
  EXPECT_NO_VIOLATIONS(vm);
}

constexpr jint kCode = -100008;

jobject StringArray(JNIEnv* env) { return NewJavaStringArray(env, StringList{L"a", L"b"}); }

// A string argument the VM cannot copy throws JavaExceptionPending: the guard leaves the VM's
// exception, and the work stops there.
template <typename Copy>
jobject CopyOfArgument(JNIEnv* env) {
  return GuardNativeCall(env, kCode, jobject{nullptr}, [env]() -> jobject {
    const Copy copy(env, env->NewStringUTF("abc"));
    return env->NewStringUTF("not reached");
  });
}

TEST(JavaResults, FailuresLeaveOnlyTheVmsException) {
  const struct {
    const char* name;
    void (*arrange)(TestVm&);
    jobject (*make)(JNIEnv*);
    const char* pending;
  } cases[] = {
      {"no String class", [](TestVm& vm) { vm.HideClass("java/lang/String"); }, StringArray, "java/lang/NoClassDefFoundError"},
      {"array not allocated", [](TestVm& vm) { vm.FailAllocations(1); }, StringArray, "java/lang/OutOfMemoryError"},
      {"second element not allocated", [](TestVm& vm) { vm.FailAllocations(1, 2); }, StringArray,
       "java/lang/OutOfMemoryError"},
      {"byte array not allocated", [](TestVm& vm) { vm.FailAllocations(1); },
       [](JNIEnv* env) -> jobject { return NewJavaByteArray(env, "\1", 1); }, "java/lang/OutOfMemoryError"},
      {"string argument not copied", [](TestVm& vm) { vm.FailAllocations(1, 1); }, CopyOfArgument<JavaStringChars>,
       "java/lang/OutOfMemoryError"},
      {"ANSI string argument not copied", [](TestVm& vm) { vm.FailAllocations(1, 1); }, CopyOfArgument<JavaStringAnsi>,
       "java/lang/OutOfMemoryError"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TestVm vm;
    c.arrange(vm);
    EXPECT_TRUE(vm.IsNull(vm.Call(c.make)));
    fwtest::ExpectException(vm, c.pending);  // and nothing called on the VM with it pending
  }
}

TEST(NativeBoundary, EveryInternalFailureBecomesOneServiceExceptionAndTheFallback) {
  const struct {
    const char* what;
    std::function<void()> fail;
    jint code;
    std::u16string messageEnd;  // empty: no message
  } cases[] = {
      {"RegistryException", [] { throw RegistryException(ERROR_ACCESS_DENIED); }, kCode, u" (5)"},
      {"AttributeException", [] { throw AttributeException(3); }, kCode, u" (2147500037)"},
      {"bad_alloc", [] { throw std::bad_alloc(); }, kCodeEFail, u""},
      {"logic_error", [] { throw std::logic_error("bug"); }, kCodeEFail, u""},
      {"an int", [] { throw 42; }, kCodeEFail, u""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    TestVm vm;
    const jint result = vm.Call([&](JNIEnv* env) {
      return GuardNativeCall(env, kCode, jint{-1}, [&]() -> jint {
        c.fail();
        return 7;
      });
    });
    EXPECT_EQ(result, -1);
    const auto e = fwtest::ExpectServiceExceptionCode(vm, c.code);
    ASSERT_TRUE(e);
    EXPECT_EQ(e->hasMessage, !c.messageEnd.empty());
    EXPECT_EQ(e->message.substr(e->message.size() - std::min(e->message.size(), c.messageEnd.size())), c.messageEnd);
  }
}

void ExpectEmpty(const ScratchBuffer& buffer) {
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.ByteSize(), 0u);
  EXPECT_EQ(buffer.Count(), 0u);
}

TEST(ScratchBuffer, AllocatesAFreshZeroFilledBlockAndReleasesOnZeroOrOverflow) {
  ScratchBuffer buffer;
  for (int round = 0; round < 2; ++round) {
    buffer.Allocate(5, 2);
    ASSERT_NE(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Count(), 5u);
    EXPECT_EQ(buffer.ByteSize(), 10u);
    const unsigned char* bytes = buffer.As<unsigned char>();
    EXPECT_TRUE(std::all_of(bytes, bytes + 10, [](unsigned char b) { return b == 0; })) << "round " << round;
    buffer.As<char>()[9] = 'x';  // gone with the next allocation
  }
  ScratchBuffer target(std::move(buffer));
  EXPECT_EQ(target.ByteSize(), 10u);
  ExpectEmpty(buffer);
  for (const auto& [count, size] : {std::pair<std::uint32_t, std::uint32_t>{0, 2}, {5, 0}}) {
    target.Allocate(count, size);
    ExpectEmpty(target);
    target.Allocate(3, 1);
  }
  EXPECT_THROW(target.Allocate(std::numeric_limits<std::uint32_t>::max(), 2), std::bad_alloc)
      << "never a block smaller than asked for";
  ExpectEmpty(target);
}

}  // namespace
}  // namespace fw
