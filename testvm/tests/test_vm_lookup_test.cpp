// Look-ups of classes, methods and fields against the manifest, and hiding them.
#include <gtest/gtest.h>

#include <algorithm>
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

TEST_F(TestVmLookup, MethodMustMatchNameDescriptorAndStaticness) {
  struct Case {
    const char* cls;
    const char* name;
    const char* descriptor;
    bool isStatic;
  } const cases[] = {
      {kSampleClass, "setCount", "(J)V", false},                        // misspelt descriptor
      {kSampleClass, "setcount", "(I)V", false},                        // misspelt name
      {kSampleClass, "setCount", "(I)", false},                         // malformed descriptor
      {kSampleClass, "create", "()Lcom/fernwick/testvm/Sample;", false},  // static, asked as instance
      {kSampleClass, "getCount", "()I", true},                          // instance, asked as static
      {kSampleException, "<init>", "()V", false},                       // constructors are not inherited
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + c.descriptor);
    jclass cls = env->FindClass(c.cls);
    jmethodID id = c.isStatic ? env->GetStaticMethodID(cls, c.name, c.descriptor)
                              : env->GetMethodID(cls, c.name, c.descriptor);
    EXPECT_EQ(id, nullptr);
    ExpectMissing(vm, "java/lang/NoSuchMethodError", std::string(c.name) + c.descriptor);
  }

  // Inherited methods are found in superclasses and superinterfaces, statics through GetStaticMethodID.
  jclass exception = env->FindClass(kSampleException);
  EXPECT_NE(env->GetMethodID(exception, "getMessage", "()Ljava/lang/String;"), nullptr);
  EXPECT_NE(env->GetMethodID(env->FindClass("java/util/Vector"), "stream", "()Ljava/util/stream/Stream;"), nullptr);
  EXPECT_NE(env->GetStaticMethodID(env->FindClass(kSampleClass), "create", "()Lcom/fernwick/testvm/Sample;"), nullptr);
  ExpectNoException(vm);
}

TEST_F(TestVmLookup, FieldMustMatchNameDescriptorAndStaticness) {
  jclass sample = env->FindClass(kSampleClass);
  EXPECT_EQ(env->GetStaticFieldID(sample, "LIMIT", "J"), nullptr);
  ExpectMissing(vm, "java/lang/NoSuchFieldError", "LIMIT");
  EXPECT_EQ(env->GetFieldID(sample, "LIMIT", "I"), nullptr);
  ExpectMissing(vm, "java/lang/NoSuchFieldError", "LIMIT");
  EXPECT_EQ(env->GetStaticFieldID(sample, "size", "I"), nullptr);
  ExpectMissing(vm, "java/lang/NoSuchFieldError", "size");
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

TEST_F(TestVmLookup, UnknownOrHiddenClassFailsWithNoClassDefFoundError) {
  EXPECT_EQ(env->FindClass("com/fernwick/testvm/Missing"), nullptr);
  ExpectMissing(vm, "java/lang/NoClassDefFoundError", "com/fernwick/testvm/Missing");

  EXPECT_EQ(env->FindClass("java.lang.String"), nullptr);
  EXPECT_EQ(vm.TakePending()->className, "java/lang/NoClassDefFoundError");
  EXPECT_EQ(vm.TakeViolations().size(), 1u) << "a dotted name is misuse";

  vm.HideClass(kSampleException);
  EXPECT_EQ(env->FindClass(kSampleException), nullptr);
  ExpectMissing(vm, "java/lang/NoClassDefFoundError", kSampleException);
  EXPECT_NE(env->FindClass(kSampleClass), nullptr);
  ExpectNoException(vm);
}

TEST_F(TestVmLookup, HiddenMethodsAndFieldsLookMissing) {
  jclass sample = env->FindClass(kSampleClass);
  vm.HideMethod(kSampleClass, "setCount");
  vm.HideMethod(kSampleClass, "<init>", "(I)V");  // no such overload: hides nothing
  vm.HideField(kSampleClass, "LIMIT", "I");
  EXPECT_EQ(env->GetMethodID(sample, "setCount", "(I)V"), nullptr);
  ExpectMissing(vm, "java/lang/NoSuchMethodError", "setCount(I)V");
  EXPECT_EQ(env->GetStaticFieldID(sample, "LIMIT", "I"), nullptr);
  ExpectMissing(vm, "java/lang/NoSuchFieldError", "LIMIT");
  EXPECT_NE(env->GetMethodID(sample, "getCount", "()I"), nullptr);
  EXPECT_NE(env->GetMethodID(sample, "<init>", "()V"), nullptr);
  ExpectNoException(vm);
}

}  // namespace
}  // namespace fwtest
