#include "bridge/native_boundary.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>
#include <stdexcept>
#include <string>

#include "bridge/java_string_chars.h"
#include "file/attribute_exception.h"
#include "registry/registry_exception.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fw {
namespace {

using fwtest::TestVm;

constexpr jint kCode = -100008;

TEST(NativeBoundary, EveryInternalFailureBecomesOneServiceExceptionAndTheFallback) {
  const struct {
    const char* what;
    std::function<void()> fail;
    jint code;
    std::optional<std::u16string> messageEnd;  // nullopt: no message
  } cases[] = {
      {"RegistryException", [] { throw RegistryException(ERROR_ACCESS_DENIED); }, kCode, u" (5)"},
      {"AttributeException", [] { throw AttributeException(3); }, kCode, u" (2147500037)"},
      {"bad_alloc", [] { throw std::bad_alloc(); }, kCodeEFail, std::nullopt},
      {"logic_error", [] { throw std::logic_error("bug"); }, kCodeEFail, std::nullopt},
      {"an int", [] { throw 42; }, kCodeEFail, std::nullopt},
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
    EXPECT_EQ(e->hasMessage, c.messageEnd.has_value());
    if (c.messageEnd) {
      EXPECT_EQ(e->message.substr(e->message.size() - std::min(e->message.size(), c.messageEnd->size())),
                *c.messageEnd);
    }
  }
}

TEST(NativeBoundary, APendingJavaExceptionIsLeftAlone) {
  TestVm vm;
  jstring text = vm.String(u"abc");
  vm.FailAllocations(1);
  vm.Call(
      [](JNIEnv* env, jstring jtext) {
        GuardNativeCall(env, kCode, [&] {
          const JavaStringChars chars(env, jtext);  // fails: the VM is out of memory
          ADD_FAILURE() << "the work must stop at the failed copy";
        });
      },
      text);
  fwtest::ExpectException(vm, "java/lang/OutOfMemoryError");
}

}  // namespace
}  // namespace fw
