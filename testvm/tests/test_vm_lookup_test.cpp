// Look-ups of classes, methods and fields against the manifest, and hiding them.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <iostream>
#include <string>

#include "embedded_manifests.h"
#include "sample_classes.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwtest {
namespace {

std::u16string Wide(std::string_view ascii) { return std::u16string(ascii.begin(), ascii.end()); }

// The pending error is `className` and its message names `what`.
void ExpectMissing(TestVm& vm, const char* className, const std::string& what) {
  std::optional<ThrownException> e = ExpectException(vm, className);
  if (e) {
    EXPECT_TRUE(e->hasMessage);
    EXPECT_NE(e->message.find(Wide(what)), std::u16string::npos) << e->Describe() << " should name " << what;
  }
}

class TestVmLookup : public ::testing::Test {
 protected:
  TestVm vm{kSampleManifest};
  JNIEnv* env = vm.env();
};

// The generator of the Java manifest and the VM's parser agree: every line parses (a parse error
// would be a violation) and every class loads with its superclasses and interfaces.
TEST(TestVmManifest, EveryClassOfTheJavaManifestLoads) {
  TestVm vm;
  std::string_view text = vm::JavaManifestText();
  int classes = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    std::size_t eol = std::min(text.find('\n', pos), text.size());
    std::string_view line = text.substr(pos, eol - pos);
    pos = eol + 1;
    if (line.rfind("class ", 0) != 0) continue;
    std::string name(line.substr(6, line.find(' ', 6) - 6));
    EXPECT_NE(vm.env()->FindClass(name.c_str()), nullptr) << name;
    ++classes;
  }
  ExpectNoException(vm);
  std::cout << "[          ] " << classes << " classes in the Java manifest\n";
}

// Each look-up that must fail, with the error it leaves and what the error's message names.
TEST_F(TestVmLookup, MissingOrHiddenMembersFailWithTheirError) {
  vm.HideMethod(kSampleClass, "setName");
  vm.HideMethod(kSampleClass, "<init>", "(I)V");  // no such overload: hides nothing
  vm.HideField(kSampleClass, "LIMIT", "I");
  vm.HideClass("java/lang/Integer");
  const jclass sample = env->FindClass(kSampleClass);
  const jclass exception = env->FindClass(kSampleException);
  const struct {
    std::function<const void*()> lookup;
    const char* error;
    const char* named;
  } cases[] = {
      {[&] { return env->GetMethodID(sample, "setCount", "(J)V"); }, "java/lang/NoSuchMethodError", "setCount(J)V"},
      {[&] { return env->GetMethodID(sample, "setcount", "(I)V"); }, "java/lang/NoSuchMethodError", "setcount(I)V"},
      {[&] { return env->GetMethodID(sample, "setCount", "(I)"); }, "java/lang/NoSuchMethodError", "setCount(I)"},
      {[&] { return env->GetMethodID(sample, "create", "()Lcom/fernwick/testvm/Sample;"); },
       "java/lang/NoSuchMethodError", "create()"},
      {[&] { return env->GetStaticMethodID(sample, "getCount", "()I"); }, "java/lang/NoSuchMethodError", "getCount()I"},
      {[&] { return env->GetMethodID(exception, "<init>", "()V"); }, "java/lang/NoSuchMethodError", "<init>()V"},
      {[&] { return env->GetMethodID(sample, "setName", "(Ljava/lang/String;)V"); }, "java/lang/NoSuchMethodError",
       "setName("},
      {[&] { return env->GetStaticFieldID(sample, "LIMIT", "J"); }, "java/lang/NoSuchFieldError", "LIMIT"},
      {[&] { return env->GetFieldID(sample, "LIMIT", "I"); }, "java/lang/NoSuchFieldError", "LIMIT"},
      {[&] { return env->GetStaticFieldID(sample, "size", "I"); }, "java/lang/NoSuchFieldError", "size"},
      {[&] { return env->GetFieldID(sample, "size", "J"); }, "java/lang/NoSuchFieldError", "size"},
      {[&] { return env->FindClass("com/fernwick/testvm/Missing"); }, "java/lang/NoClassDefFoundError",
       "com/fernwick/testvm/Missing"},
      {[&] { return env->FindClass("java/lang/Integer"); }, "java/lang/NoClassDefFoundError", "java/lang/Integer"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.lookup(), nullptr) << c.named;
    ExpectMissing(vm, c.error, c.named);
  }
  // Found: inherited methods in superclasses and superinterfaces, statics, the overloads left.
  EXPECT_NE(env->GetMethodID(exception, "getMessage", "()Ljava/lang/String;"), nullptr);
  EXPECT_NE(env->GetMethodID(env->FindClass("java/util/Vector"), "stream", "()Ljava/util/stream/Stream;"), nullptr);
  EXPECT_NE(env->GetStaticMethodID(sample, "create", "()Lcom/fernwick/testvm/Sample;"), nullptr);
  EXPECT_NE(env->GetMethodID(sample, "<init>", "()V"), nullptr);
  EXPECT_NE(env->GetFieldID(sample, "size", "I"), nullptr);
  ExpectNoException(vm);
}

TEST_F(TestVmLookup, StaticConstantsComeFromTheManifest) {
  jclass sample = env->FindClass(kSampleClass);
  EXPECT_EQ(env->GetStaticIntField(sample, env->GetStaticFieldID(sample, "LIMIT", "I")), 42);
  jclass integer = env->FindClass("java/lang/Integer");
  EXPECT_EQ(env->GetStaticIntField(integer, env->GetStaticFieldID(integer, "MAX_VALUE", "I")), 2147483647L);
  EXPECT_EQ(vm.StaticIntConstant(kSampleClass, "LIMIT"), std::optional<jint>(42));
  ExpectNoException(vm);
}

}  // namespace
}  // namespace fwtest
