#include "bridge/service_exception.h"

#include <gtest/gtest.h>

#include <string>

#include "bridge/local_memory_holder.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

constexpr char kServiceException[] = "com/fernwick/wizard/service/ServiceException";

// The system's own text for an error, as the library must quote it, or "" when it has none.
std::u16string SystemText(DWORD error) {
  LocalMemoryHolder text;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_IGNORE_INSERTS | FORMAT_MESSAGE_FROM_SYSTEM,
                 nullptr, error, MAKELANGID(LANG_NEUTRAL, SUBLANG_DEFAULT),
                 reinterpret_cast<LPWSTR>(text.put()), 0, nullptr);
  return text ? std::u16string(reinterpret_cast<const char16_t*>(text.as<wchar_t>())) : u"";
}

fwtest::ThrownException ThrowFor(TestVm& vm, jint code, DWORD error) {
  vm.Call(ThrowServiceException, code, error);
  EXPECT_NO_VIOLATIONS(vm);
  auto pending = vm.TakePending();
  if (!pending) {
    ADD_FAILURE() << "no exception pending";
    return {};
  }
  EXPECT_EQ(pending->className, kServiceException);
  EXPECT_EQ(pending->code, code);
  EXPECT_TRUE(pending->hasMessage);
  return *pending;
}

TEST(ThrowServiceException, MessageIsSystemTextBlankAndErrorInParentheses) {
  TestVm vm;
  const std::u16string fileNotFound = SystemText(ERROR_FILE_NOT_FOUND);
  ASSERT_NE(fileNotFound.find(u"not found"), std::u16string::npos) << "the system knows error 2";
  EXPECT_EQ(ThrowFor(vm, -100008, ERROR_FILE_NOT_FOUND).message, fileNotFound + u" (2)");
}

TEST(ThrowServiceException, ErrorIsPrintedUnsigned) {
  TestVm vm;
  const std::u16string callFailed = SystemText(kErrorEFail);
  ASSERT_FALSE(callFailed.empty());
  EXPECT_EQ(ThrowFor(vm, -30000, kErrorEFail).message, callFailed + u" (2147500037)");
}

TEST(ThrowServiceException, ErrorWithoutSystemTextStillNamesTheError) {
  TestVm vm;
  ASSERT_EQ(SystemText(0x2000FFFF), u"");
  EXPECT_EQ(ThrowFor(vm, -1200009, 0x2000FFFF).message, u" (536936447)");
}

TEST(ThrowServiceException, MissingClassOrConstructorLeavesTheLookupError) {
  {
    TestVm vm;
    vm.HideClass(kServiceException);
    vm.Call(ThrowServiceException, jint{-100000}, DWORD{2});
    fwtest::ExpectException(vm, "java/lang/NoClassDefFoundError");
    EXPECT_NO_VIOLATIONS(vm);
  }
  {
    TestVm vm;
    vm.HideMethod(kServiceException, "<init>", "(ILjava/lang/String;)V");
    vm.Call(ThrowServiceException, jint{-100000}, DWORD{2});
    fwtest::ExpectException(vm, "java/lang/NoSuchMethodError");
    EXPECT_NO_VIOLATIONS(vm);
  }
}

TEST(Reporters, NeverThrowOverAPendingException) {
  TestVm vm;
  vm.Call([](JNIEnv* env) {
    const jclass error = env->FindClass("java/lang/OutOfMemoryError");
    env->ThrowNew(error, "first");
    ThrowServiceException(env, -1, 2);
    ThrowServiceCode(env, -1);
    ThrowNotSupported(env);
    EXPECT_EQ(GetNotSupportedCode(env), -1);
  });
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(ThrowServiceCode, CodeWithoutMessage) {
  TestVm vm;
  vm.Call(ThrowServiceCode, kCodeEFail);
  const auto pending = vm.TakePending();
  ASSERT_TRUE(pending);
  EXPECT_EQ(pending->className, kServiceException);
  EXPECT_EQ(pending->code, -2147467259);
  EXPECT_FALSE(pending->hasMessage);
  EXPECT_NO_VIOLATIONS(vm);

  vm.HideMethod(kServiceException, "<init>", "(I)V");
  vm.Call(ThrowServiceCode, jint{-1});
  fwtest::ExpectException(vm, "java/lang/NoSuchMethodError");
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(ThrowNotSupported, UsesTheJavaConstantOrZeroWithoutIt) {
  TestVm vm;
  const auto constant = vm.StaticIntConstant(kServiceException, "OPERATION_NOT_SUPPORTED");
  ASSERT_TRUE(constant);
  vm.Call(ThrowNotSupported);
  auto pending = vm.TakePending();
  ASSERT_TRUE(pending);
  EXPECT_EQ(pending->code, *constant);
  EXPECT_FALSE(pending->hasMessage);

  vm.HideField(kServiceException, "OPERATION_NOT_SUPPORTED");
  vm.Call(ThrowNotSupported);
  pending = vm.TakePending();
  ASSERT_TRUE(pending);
  EXPECT_EQ(pending->className, kServiceException) << "exactly one exception: the unsupported report";
  EXPECT_EQ(pending->code, 0);
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(GetNotSupportedCode, ReadsTheConstantOrAnswersMinusOne) {
  TestVm vm;
  EXPECT_EQ(vm.Call(GetNotSupportedCode), *vm.StaticIntConstant(kServiceException, "OPERATION_NOT_SUPPORTED"));
  EXPECT_FALSE(vm.Pending());

  vm.HideField(kServiceException, "OPERATION_NOT_SUPPORTED");
  EXPECT_EQ(vm.Call(GetNotSupportedCode), -1);
  fwtest::ExpectException(vm, "java/lang/NoSuchFieldError");

  vm.HideClass(kServiceException);
  EXPECT_EQ(vm.Call(GetNotSupportedCode), -1);
  fwtest::ExpectException(vm, "java/lang/NoClassDefFoundError");
  EXPECT_NO_VIOLATIONS(vm);
}

}  // namespace
}  // namespace fw
