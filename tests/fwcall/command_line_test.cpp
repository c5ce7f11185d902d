// How fwcall reads a call: the words of a script line and of the program's command line, the method
// a name finds with the JNI export names it is looked up by, and numbers by their parameter's type.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <tuple>
#include <vector>

#include "fwcall/argument_text.h"
#include "fwcall/command_line.h"
#include "fwcall/method_table.h"
#include "test_vm.h"
#include "vm_expectations.h"

namespace fwcall {
namespace {

using Kind = Word::Kind;
using Words = std::vector<std::pair<Kind, std::u16string>>;

TEST(FwcallWords, ScriptLinesKeepPathsQuotesAndJsonWholeAndArgumentsAreOneWordEach) {
  std::vector<Word> words;
  std::string error;
  ASSERT_TRUE(SplitWords(u"  X.m C:\\dir\\ \"C:\\Program Files\\a\\\" \"\" \"say \"\"hi\"\"\" null \"null\" "
                         u"{\"k\": [1, \"] }\"]} [\"a b\"] {8A3F-11}\t",
                         &words, &error))
      << error;
  Words split;
  for (const Word& w : words) split.emplace_back(w.kind, w.text);
  EXPECT_EQ(split, (Words{{Kind::kBare, u"X.m"},
                          {Kind::kBare, u"C:\\dir\\"},
                          {Kind::kQuoted, u"C:\\Program Files\\a\\"},  // a trailing backslash does not escape the quote
                          {Kind::kQuoted, u""},
                          {Kind::kQuoted, u"say \"hi\""},
                          {Kind::kBare, u"null"},
                          {Kind::kQuoted, u"null"},
                          {Kind::kBracketed, u"{\"k\": [1, \"] }\"]}"},
                          {Kind::kBracketed, u"[\"a b\"]"},
                          {Kind::kBracketed, u"{8A3F-11}"}}));
  for (const auto& [line, message] : std::vector<std::pair<std::u16string, std::string>>{
           {u"X.m \"open", "a quoted word has no closing quote"},
           {u"X.m {\"a\": [1}", "no matching bracket"},
           {u"X.m \"a\"b", "a quoted word must be followed by a blank"}}) {
    EXPECT_FALSE(SplitWords(line, &words, &error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
  split.clear();
  for (const char16_t* argument : {u"C:\\Program Files\\x", u"null", u"\"null\"", u"", u"{\"a\": 1}", u"\"a\" \"b\""}) {
    const Word word = WordOfArgument(argument);
    split.emplace_back(word.kind, word.text);
  }
  EXPECT_EQ(split, (Words{{Kind::kBare, u"C:\\Program Files\\x"},
                          {Kind::kBare, u"null"},
                          {Kind::kQuoted, u"null"},
                          {Kind::kBare, u""},
                          {Kind::kBracketed, u"{\"a\": 1}"},
                          {Kind::kBare, u"\"a\" \"b\""}}));  // not one quoted word: kept as typed
}

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

TEST(FwcallMethods, FoundBySimpleOrQualifiedClassNameWithNumbersAsJavaLiterals) {
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

  // Each number fits its type as a Java literal does, or is refused (nullopt); a quoted number is text.
  const std::vector<std::tuple<std::string, Word, std::optional<jlong>>> cases = {
      {"I", {Kind::kBare, u"0xFFFFFFFF"}, -1},        {"I", {Kind::kBare, u"-2147483648"}, INT32_MIN},
      {"I", {Kind::kBare, u"0x7fffffff"}, INT32_MAX}, {"J", {Kind::kBare, u"-9223372036854775808"}, INT64_MIN},
      {"J", {Kind::kBare, u"0xFFFFFFFFFFFFFFFF"}, -1}, {"S", {Kind::kBare, u"0xFFFF"}, -1},
      {"B", {Kind::kBare, u"-128"}, -128},            {"I", {Kind::kBare, u"2147483648"}, {}},
      {"I", {Kind::kBare, u"0x100000000"}, {}},       {"J", {Kind::kBare, u"9223372036854775808"}, {}},
      {"I", {Kind::kBare, u"1e3"}, {}},               {"I", {Kind::kBare, u""}, {}},
      {"B", {Kind::kBare, u"128"}, {}},               {"I", {Kind::kQuoted, u"5"}, {}},
  };
  for (const auto& [type, word, value] : cases) {
    jvalue v{};
    const bool read = ArgumentFromWord(vm, word, *fwtest::vm::ParseFieldDescriptor(type), &v, &error);
    ASSERT_EQ(read, value.has_value()) << type << " " << std::string(word.text.begin(), word.text.end()) << ": " << error;
    if (read) {
      EXPECT_EQ(type == "J" ? v.j : type == "I" ? v.i : type == "S" ? v.s : v.b, *value);
    }
  }
  EXPECT_NO_VIOLATIONS(vm);
}

}  // namespace
}  // namespace fwcall
