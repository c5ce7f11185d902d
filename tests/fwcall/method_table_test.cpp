// The names fwcall finds a native method by, and the JNI export names it looks the method up with.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fwcall/argument_text.h"
#include "fwcall/method_table.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwcall {
namespace {

NativeMethod Method(const std::string& cls, const std::string& name, const std::string& descriptor) {
  return NativeMethod{{cls, name, descriptor, false}, *fwtest::vm::ParseMethodDescriptor(descriptor)};
}

TEST(FwcallMethods, ExportNamesFollowTheJniRuleInTheJvmsOrder) {
  const NativeMethod copy = Method("com/fernwick/wizard/platform/win32/Win32FileServiceImpl", "win32CopyFile",
                                   "(Ljava/lang/String;Ljava/lang/String;Z)I");
  const std::string shortName = "Java_com_fernwick_wizard_platform_win32_Win32FileServiceImpl_win32CopyFile";
  EXPECT_EQ(copy.ExportNames(true), (std::vector<std::string>{"_" + shortName + "@20", shortName,
                                                              shortName + "__Ljava_lang_String_2Ljava_lang_String_2Z"}));
  EXPECT_EQ(copy.ExportNames(false).front(), shortName);
  // Longs take 8 bytes of the decoration; '_', '[' and other characters are escaped.
  EXPECT_EQ(Method("a/b_c", "set$1", "(J[I)V").ExportNames(true),
            (std::vector<std::string>{"_Java_a_b_1c_set_000241@20", "Java_a_b_1c_set_000241",
                                      "Java_a_b_1c_set_000241__J_3I"}));
  EXPECT_EQ(copy.JavaSignature(), "int win32CopyFile(String, String, boolean)");
}

TEST(FwcallMethods, FoundBySimpleOrQualifiedClassName) {
  fwtest::TestVm vm;
  const MethodTable table(vm);
  std::string error;
  for (const char* name : {"Win32FileServiceImpl.win32CopyFile", "com.fernwick.wizard.platform.win32.Win32FileServiceImpl.win32CopyFile",
                           "com/fernwick/wizard/platform/win32/Win32FileServiceImpl.win32CopyFile"}) {
    const NativeMethod* m = table.Find(name, &error);
    ASSERT_NE(m, nullptr) << name << ": " << error;
    EXPECT_EQ(m->declared.descriptor, "(Ljava/lang/String;Ljava/lang/String;Z)I");
  }
  EXPECT_EQ(table.Find("WindowsEnvironment.winNTSetEnvironmentVariable", &error)->declared.className,
            "com/fernwick/wizard/platform/win32/environment/WindowsEnvironment");
  EXPECT_EQ(table.Find("java.lang.Object.hashCode", &error), nullptr);  // JDK classes are not offered
  EXPECT_NE(error.find("unknown class"), std::string::npos) << error;
}

TEST(FwcallMethods, NumbersFitTheirTypeAsJavaLiteralsDo) {
  fwtest::TestVm vm;
  const std::vector<std::tuple<std::string, std::u16string, jlong>> cases = {
      {"I", u"0xFFFFFFFF", -1},        {"I", u"-2147483648", INT32_MIN}, {"I", u"0x7fffffff", INT32_MAX},
      {"J", u"-9223372036854775808", INT64_MIN}, {"J", u"0xFFFFFFFFFFFFFFFF", -1}, {"S", u"0xFFFF", -1},
      {"B", u"-128", -128},
  };
  for (const auto& [type, text, value] : cases) {
    jvalue v{};
    std::string error;
    ASSERT_TRUE(ArgumentFromWord(vm, Word{Word::Kind::kBare, text}, *fwtest::vm::ParseFieldDescriptor(type), &v, &error))
        << error;
    EXPECT_EQ(type == "J" ? v.j : type == "I" ? v.i : type == "S" ? v.s : v.b, value);
  }
  for (const auto& [type, text] : std::vector<std::pair<std::string, std::u16string>>{
           {"I", u"2147483648"}, {"I", u"0x100000000"}, {"J", u"9223372036854775808"}, {"I", u"1e3"}, {"I", u""}, {"B", u"128"}}) {
    jvalue v{};
    std::string error;
    EXPECT_FALSE(ArgumentFromWord(vm, Word{Word::Kind::kBare, text}, *fwtest::vm::ParseFieldDescriptor(type), &v, &error))
        << type << " " << std::string(text.begin(), text.end());
  }
  // A quoted number is text, not a number.
  jvalue v{};
  std::string error;
  EXPECT_FALSE(ArgumentFromWord(vm, Word{Word::Kind::kQuoted, u"5"}, *fwtest::vm::ParseFieldDescriptor("I"), &v, &error));
  EXPECT_NO_VIOLATIONS(vm);
}

}  // namespace
}  // namespace fwcall
