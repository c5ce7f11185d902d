// Local references: their frames, stale uses, counting, and results moved to the test's frame.
#include <gtest/gtest.h>

#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

bool Mentions(const std::vector<std::string>& violations, std::string_view a, std::string_view b) {
  for (const std::string& v : violations) {
    if (v.find(a) != std::string::npos && v.find(b) != std::string::npos) return true;
  }
  return false;
}

TEST(TestVmReferences, DeletedLocalReferenceIsReportedAndTheCallFails) {
  TestVm vm;
  jint length = vm.Call(
      [](JNIEnv* env, jstring text) -> jint {
        env->DeleteLocalRef(text);
        return env->GetStringLength(text);
      },
      vm.String(u"abc"));
  EXPECT_EQ(length, 0);
  std::vector<std::string> violations = vm.TakeViolations();
  EXPECT_EQ(violations.size(), 1u);
  EXPECT_TRUE(Mentions(violations, "GetStringLength", "was deleted")) << violations.front();
}

jstring savedFromEarlierCall = nullptr;

TEST(TestVmReferences, LocalReferenceFromAnEndedCallIsForeign) {
  TestVm vm;
  vm.Call([](JNIEnv*, jstring text) { savedFromEarlierCall = text; }, vm.String(u"abc"));
  jint length = vm.Call([](JNIEnv* env) -> jint { return env->GetStringLength(savedFromEarlierCall); });
  EXPECT_EQ(length, 0);
  std::vector<std::string> violations = vm.TakeViolations();
  EXPECT_EQ(violations.size(), 1u);
  EXPECT_TRUE(Mentions(violations, "GetStringLength", "foreign"));
  ExpectNoException(vm);
}

TEST(TestVmReferences, ReturnedReferenceOutlivesTheCallAndArgumentsAreFresh) {
  TestVm vm;
  jstring argument = vm.String(u"in");
  jstring result = vm.Call(
      [](JNIEnv* env, jstring in) -> jstring {
        // Arguments are local references of the call's own frame.
        return env->GetObjectRefType(in) == JNILocalRefType ? env->NewStringUTF("made") : nullptr;
      },
      argument);
  EXPECT_EQ(vm.StringValue(result), std::optional<std::u16string>(u"made"));
  EXPECT_EQ(vm.StringValue(argument), std::optional<std::u16string>(u"in"));
  EXPECT_NE(result, argument);
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(TestVmReferences, LiveLocalReferencesAreCountedPerCall) {
  TestVm vm;
  auto make = [](JNIEnv* env, jboolean deleteEach) {
    for (int i = 0; i < 20; ++i) {
      jstring s = env->NewStringUTF("x");
      if (deleteEach) env->DeleteLocalRef(s);
    }
  };
  vm.Call(make, jboolean{JNI_FALSE});
  EXPECT_EQ(vm.LastCallPeakLocalRefs(), 20);
  vm.Call(make, jboolean{JNI_TRUE});
  EXPECT_EQ(vm.LastCallPeakLocalRefs(), 1);

  vm.Call([](JNIEnv* env) {
    env->PushLocalFrame(4);
    env->NewStringUTF("leaks with its frame");
  });
  std::vector<std::string> violations = vm.TakeViolations();
  EXPECT_EQ(violations.size(), 1u);
  EXPECT_TRUE(Mentions(violations, "PushLocalFrame", "not popped"));
}

}  // namespace
}  // namespace fwtest
