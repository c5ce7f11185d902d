// fwcall: how it reads a call (words, methods and their export names, numbers, JSON views of Java
// values), and whole runs in-process on the built DLL.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "bridge/service_exception.h"
#include "file/file_test_support.h"
#include "fwcall/argument_text.h"
#include "fwcall/command_line.h"
#include "fwcall/fwcall_runner.h"
#include "fwcall/method_table.h"
#include "json.h"
#include "registry/fwcall_lines.h"
#include "support/program_folder.h"
#include "test_vm.h"
#include "vm_expectations.h"
#include "vm_json.h"

// A native method that forgets to release a string's characters, exported under the long JNI name,
// which fwcall tries after the short one.
extern "C" __declspec(dllexport) jboolean JNICALL
Java_com_fernwick_wizard_platform_win32_Win32SystemUtilServiceImpl_isWinME__(JNIEnv* env, jobject) {
  env->GetStringChars(env->NewStringUTF("leaked"), nullptr);
  return JNI_TRUE;
}

namespace fwtest {
namespace {

using namespace fwcall;

using Kind = Word::Kind;
using Words = std::vector<std::pair<Kind, std::u16string>>;

// Quotes doubled inside a quoted word and a JSON array with blanks are the script run's; an
// unclosed quote or bracket and a quote followed by text, the bad-input table's.
TEST(FwcallWords, ScriptLinesKeepPathsQuotesAndJsonWholeAndArgumentsAreOneWordEach) {
  std::vector<Word> words;
  std::string error;
  ASSERT_TRUE(SplitWords(u"  X.m C:\\dir\\ \"C:\\Program Files\\a\\\" \"\" null \"null\" {\"k\": [1, \"] }\"]} {8A3F-11}\t",
                         &words, &error))
      << error;
  Words split;
  for (const Word& w : words) split.emplace_back(w.kind, w.text);
  EXPECT_EQ(split, (Words{{Kind::kBare, u"X.m"}, {Kind::kBare, u"C:\\dir\\"},
                          {Kind::kQuoted, u"C:\\Program Files\\a\\"},  // a trailing backslash does not escape the quote
                          {Kind::kQuoted, u""}, {Kind::kBare, u"null"}, {Kind::kQuoted, u"null"},
                          {Kind::kBracketed, u"{\"k\": [1, \"] }\"]}"}, {Kind::kBracketed, u"{8A3F-11}"}}));
  split.clear();
  for (const char16_t* argument : {u"C:\\Program Files\\x", u"null", u"\"null\"", u"", u"\"a\" \"b\""}) {
    const Word word = WordOfArgument(argument);
    split.emplace_back(word.kind, word.text);
  }
  EXPECT_EQ(split, (Words{{Kind::kBare, u"C:\\Program Files\\x"}, {Kind::kBare, u"null"}, {Kind::kQuoted, u"null"},
                          {Kind::kBare, u""}, {Kind::kBare, u"\"a\" \"b\""}}));  // not one quoted word: kept as typed
}

NativeMethod Method(const std::string& cls, const std::string& name, const std::string& descriptor) {
  return NativeMethod{{cls, name, descriptor, false}, *vm::ParseMethodDescriptor(descriptor)};
}

TEST(FwcallMethods, FoundByClassNameAndExportNameWithNumbersReadAsJavaLiterals) {
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

  TestVm vm;
  const MethodTable table(vm);
  std::string error;
  for (const char* name : {"Win32FileServiceImpl.win32CopyFile", "com.fernwick.wizard.platform.win32.Win32FileServiceImpl.win32CopyFile",
                           "com/fernwick/wizard/platform/win32/Win32FileServiceImpl.win32CopyFile"}) {
    const NativeMethod* m = table.Find(name, &error);
    ASSERT_NE(m, nullptr) << name << ": " << error;
    EXPECT_EQ(m->declared.descriptor, "(Ljava/lang/String;Ljava/lang/String;Z)I");
  }
  EXPECT_EQ(table.Find("java.lang.Object.hashCode", &error), nullptr);  // JDK classes are not offered
  EXPECT_NE(error.find("unknown class"), std::string::npos) << error;

  // Each number fits its type as a Java literal does, or is refused (nullopt); a quoted number is text.
  const std::vector<std::tuple<std::string, Word, std::optional<jlong>>> cases = {
      {"I", {Kind::kBare, u"0xFFFFFFFF"}, -1},  {"I", {Kind::kBare, u"-2147483648"}, INT32_MIN},
      {"S", {Kind::kBare, u"0xFFFF"}, -1},      {"J", {Kind::kBare, u"-9223372036854775808"}, INT64_MIN},
      {"I", {Kind::kBare, u"2147483648"}, {}},  {"I", {Kind::kBare, u"0x100000000"}, {}},
      {"I", {Kind::kBare, u"1e3"}, {}},         {"I", {Kind::kQuoted, u"5"}, {}},
  };
  for (const auto& [type, word, value] : cases) {
    jvalue v{};
    const bool read = ArgumentFromWord(vm, word, *vm::ParseFieldDescriptor(type), &v, &error);
    ASSERT_EQ(read, value.has_value()) << type << " " << std::string(word.text.begin(), word.text.end()) << ": " << error;
    if (read) {
      EXPECT_EQ(type == "J" ? v.j : type == "I" ? v.i : type == "S" ? v.s : v.b, *value);
    }
  }
  EXPECT_NO_VIOLATIONS(vm);
}

constexpr char kFileAttributes[] = "com/fernwick/util/FileAttributes";

Json Parsed(const std::string& text) {
  std::string error;
  std::optional<Json> json = Json::Parse(text, &error);
  EXPECT_TRUE(json.has_value()) << text << ": " << error;
  return json.value_or(Json());
}

// JSON is written as it is parsed. Indexed states render by constant name or number, in numeric order;
// text that is not JSON is refused with the place, and JSON that does not fit the type with the reason.
TEST(VmJson, WritesWhatItReadsAndRefusesMalformedTextOrTextThatDoesNotFitTheType) {
  const std::string text =
      R"({"a": [1, -2, 3.5, true, false, null], "s": "q\"b\\ t\tn\n\u00e9\ud83d\ude00", "o": {}, "e": []})";
  const Json json = Parsed(text);
  EXPECT_EQ(json.Write(), text);
  EXPECT_EQ(json.Find("s")->AsString(), u"q\"b\\ t\tn\n\u00e9\U0001F600");
  EXPECT_EQ(Parsed("-9223372036854775808").AsInteger(), INT64_MIN);
  EXPECT_FALSE(Parsed("9223372036854775808").IsInteger());

  TestVm vm;
  jobject attributes = vm.NewPeer(kFileAttributes);
  vm.SetBoolProperty(attributes, TestVm::Indexed("AttributeState", 10), true);
  vm.SetBoolProperty(attributes, TestVm::Indexed("AttributeState", 2), false);
  vm.SetBoolProperty(attributes, TestVm::Indexed("AttributeState", 99), true);
  EXPECT_EQ(JsonOfReference(vm, attributes).Write(), R"({"attributeState": {"GROUP_READABLE": false, "HIDDEN": true, "99": true}})");
  const std::string peer = std::string("L") + kFileAttributes + ";";
  jvalue v{};
  std::string error;
  ASSERT_TRUE(JavaValueFromJson(vm, Parsed(R"({"attributeState": {"1": true, "HIDDEN": false, "SYSTEM": true}})"), peer,
                                &v, &error))
      << error;
  EXPECT_EQ(JsonOfReference(vm, v.l).Write(), R"({"attributeState": {"OWNER_READABLE": true, "HIDDEN": false, "SYSTEM": true}})");
  EXPECT_EQ(JsonOfReference(vm, vm.Enumeration({u"x", u"y"})).Write(), R"(["x", "y"])");
  EXPECT_EQ(JsonOfReference(vm, nullptr).Write(), "null");

  // A call's outcome: the pending exception, or the value (the other kinds are fwcall's answers below).
  EXPECT_EQ(CallOutcome(vm, jint{-5}).Write(), "-5");
  EXPECT_EQ(CallOutcome(vm, jlong{1LL << 40}).Write(), "1099511627776");
  vm.Call(fw::ThrowServiceCode, jint{-10000});
  EXPECT_EQ(CallOutcome(vm).Write(), R"({"exception": {"code": -10000, "message": null}})");
  vm.ThrowForTest("java/lang/OutOfMemoryError");
  EXPECT_EQ(CallOutcome(vm, jobject{nullptr}).Write(),
            R"({"exception": {"class": "java/lang/OutOfMemoryError", "code": null, "message": null}})");
  EXPECT_FALSE(vm.Pending().has_value());

  const std::vector<std::tuple<std::string, std::string, std::string>> refused = {  // no type: not JSON
      {"", R"({"a" 1})", "expected ':' after the member name at offset 5"},
      {"", "[1,]", "unexpected character ']' at offset 3"},
      {"", "\"abc", "unterminated string"},
      {"", "\"\xC3\"", "the string is not valid UTF-8"},
      {"I", "2147483648", "2147483648 is out of range for int"},
      {"Z", "1", "expected true or false, not a number"},
      {"[Ljava/lang/String;", R"(["a", 1])", "[1]: expected a string or null, not a number"},
      {"[B", R"("zz")", "\"zz\" is not hex digits"},
      {peer, R"({"attributeState": {"HIDDN": true}})", "attributeState: \"HIDDN\" is neither a number nor a constant"},
      {peer, R"([true])", "expected an object with the properties of com/fernwick/util/FileAttributes, not an array"},
  };
  for (const auto& [type, text, message] : refused) {
    const std::optional<Json> parsed = Json::Parse(text, &error);
    EXPECT_EQ(parsed.has_value(), !type.empty()) << text << ": " << error;
    EXPECT_FALSE(parsed && JavaValueFromJson(vm, *parsed, type, &v, &error)) << type << " " << text;
    EXPECT_NE(error.find(message), std::string::npos) << type << " " << text << " gave: " << error;
  }
  EXPECT_NO_VIOLATIONS(vm);
}

struct FwcallRun {
  int code = -1;
  std::vector<std::string> lines;  // the JSON lines
  std::string err;
};

std::u16string InProgramFolder(const wchar_t* name) { return U16(ProgramFolder() + L"\\" + name); }

// As from the command line: one word per argument.
FwcallRun RunFwcall(const std::vector<std::u16string>& args) {
  std::vector<fwcall::Word> words;
  for (const std::u16string& a : args) words.push_back(fwcall::WordOfArgument(a));
  std::ostringstream out, err;
  FwcallRun run;
  run.code = fwcall::RunFwcall(words, out, err);
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) run.lines.push_back(line);
  run.err = err.str();
  return run;
}

// A script is checked whole first: its good first call does not run either. The help marks a
// method the DLL does not export.
TEST(FwcallRun, RefusesBadInputBeforeAnythingRunsReportsMisuseAfterTheAnswerAndListsTheMethods) {
  TestRegistryKey key;
  TempFolder folder;
  WriteBytes(folder / L"script.fwcall", "Win32RegistryServiceImpl.createKey 3 \"" + Narrow(key.Path()) + "\" created\n"
                                       "# a comment\n"
                                       "Win32RegistryServiceImpl.keyExists 3\n"
                                       "!frob x\n"
                                       "Win32RegistryServiceImpl.keyExists 3 \"open\n"
                                       "Win32RegistryServiceImpl.keyExists 3 {\"a\": [1}\n"
                                       "Win32RegistryServiceImpl.keyExists 3 \"a\"b\n");
  const std::u16string dll = InProgramFolder(L"fwnative.dll"), script = U16(folder / L"script.fwcall");
  const std::u16string created = U16(key.Below(L"created"));
  const std::u16string file = u"C:\\nowhere.txt";
  const std::vector<std::pair<std::vector<std::u16string>, std::string>> cases = {
      {{u"--dll", dll, u"Nope.method"}, "unknown class \"Nope\""},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.nope"}, "Win32RegistryServiceImpl has no native method \"nope\""},
      {{u"--dll", InProgramFolder(L"fwtest_netmsg.dll"), u"Win32SystemUtilServiceImpl.isWinME"},
       "the DLL does not export Win32SystemUtilServiceImpl.isWinME"},
      {{u"--dll", InProgramFolder(L"missing.dll"), u"Win32SystemUtilServiceImpl.isWinME"}, "cannot load the DLL"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.createKey", u"3", created}, "createKey takes 3 arguments (int, String, String), 2 given"},
      {{u"--dll", dll, u"Win32RegistryServiceImpl.createKey", u"three", created, u"x"}, "argument 1 (int): three is not a number"},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"{\"attributeState\": {\"HIDDEN\": tru}}"},
       "argument 2 (FileAttributes): malformed JSON: unexpected character 't'"},
      {{u"--dll", dll, u"Win32FileServiceImpl.setFileAttributes", file, u"HIDDEN"}, "HIDDEN is not JSON"},
      {{u"--frob", u"Win32SystemUtilServiceImpl.isWinME"}, "unknown option --frob"},
      {{u"--dll", dll, u"--script", script}, "script.fwcall:3: Win32RegistryServiceImpl.keyExists takes 2 arguments"},
      {{u"--dll", dll, u"--script", script}, "script.fwcall:4: unknown directive"},
      {{u"--dll", dll, u"--script", script}, "script.fwcall:5: a quoted word has no closing quote"},
      {{u"--dll", dll, u"--script", script}, "script.fwcall:6: no matching bracket for {\"a\": [1}"},
      {{u"--dll", dll, u"--script", script}, "script.fwcall:7: a quoted word must be followed by a blank: \"a\"b"},
  };
  for (const auto& [args, message] : cases) {
    const FwcallRun run = RunFwcall(args);
    EXPECT_EQ(run.code, fwcall::kExitBadInput) << message;
    EXPECT_TRUE(run.lines.empty()) << message;
    EXPECT_NE(run.err.find(message), std::string::npos) << "expected \"" << message << "\" in: " << run.err;
  }
  EXPECT_FALSE(RawKeyExists(key.Root(), key.Below(L"created")));
  FwcallRun run = RunFwcall({u"--dll", U16(ProgramPath()), u"Win32SystemUtilServiceImpl.isWinME"});
  EXPECT_EQ(run.code, fwcall::kExitViolation);
  EXPECT_EQ(run.lines, std::vector<std::string>{"true"});
  EXPECT_NE(run.err.find("isWinME: JNI misuse: native call: string chars not released"), std::string::npos) << run.err;

  run = RunFwcall({u"--dll", InProgramFolder(L"fwtest_netmsg.dll"), u"--help"});
  EXPECT_EQ(run.code, fwcall::kExitDone);
  for (const char* line : {"com.fernwick.wizard.platform.win32.Win32FileServiceImpl",
                           "  void setMultiStringValue(int, String, String, String[])   [not exported by this DLL]"}) {
    EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), line), run.lines.end()) << line;
  }
  run = RunFwcall({u"--dll", InProgramFolder(L"fwnative.dll"), u"--help"});
  EXPECT_NE(std::find(run.lines.begin(), run.lines.end(), "  int win32CopyFile(String, String, boolean)"), run.lines.end());
}

// A script runs line by line into the log, each answer one JSON line on the output, and a directive
// that fails stops it there. Here, what only a script has: a comment, blanks before a line, a \r\n
// line end, a quoted word with doubled quotes and UTF-8 text, and a file held open.
TEST(FwcallScript, RunsLineByLineIntoTheLogAndStopsAtAFailedDirective) {
  TempFolder folder;
  ScopedWinInit winInit;
  ScopedPendingRenames pending;
  const std::string base = Narrow(folder / L"made\\deeper"), held = base + "\\a.txt";
  const std::string copy = "Win32FileServiceImpl.win32CopyFile \"" + Narrow(folder / L"script.fwcall") + "\" \"" + held + "\" true";
  const std::string missing = "Win32FileServiceImpl.win32DeleteFile \"" + base + "\\missing.txt\"";
  WriteBytes(folder / L"script.fwcall", "## What the library says\n"
                                       "# a comment\n"
                                       "!mkdir \"" + base + "\"\n"
                                       "!write \"" + held + "\" \"caf\xC3\xA9 \"\"x\"\"\"\n"
                                       "!hold \"" + held + "\"\n"
                                       "   " + copy + "\r\n" +
                                       missing + "\n"
                                       "!hold \"" + base + "\\missing.txt\"\n"
                                       "Win32SystemUtilServiceImpl.isWinME\n");
  const FwcallRun run = RunFwcall({u"--log", U16(folder / L"run.log"), u"--dll", InProgramFolder(L"fwnative.dll"),
                                   u"--script", U16(folder / L"script.fwcall")});
  EXPECT_EQ(run.code, fwcall::kExitStopped);
  // The copy waits for the next start; the call after the failed !hold did not run.
  EXPECT_EQ(run.lines, (std::vector<std::string>{"1", Thrown(-30019, ERROR_FILE_NOT_FOUND)})) << run.err;
  EXPECT_NE(run.err.find("script.fwcall:8: cannot hold"), std::string::npos) << run.err;
  EXPECT_EQ(ReadBytes(folder / L"made\\deeper\\a.txt"), std::optional<std::string>("caf\xC3\xA9 \"x\""));
  const std::string message = Json::String(ErrorMessage(ERROR_FILE_NOT_FOUND)).Write();
  EXPECT_EQ(ReadBytes(folder / L"run.log"),
            std::optional<std::string>("What the library says\n"
                                       "  [the installer makes the folder " + base + "]\n"
                                       "  [the installer writes " + held + ": 9 bytes]\n"
                                       "  [fwcall holds " + held + " open, as a running program would]\n"
                                       "  " + copy + "\n"
                                       "    -> 1\n"
                                       "  " + missing + "\n"
                                       "    -> throws ServiceException -30019 " + message + "\n"
                                       "  !! cannot hold " + base + "\\missing.txt open (error 2)\n"));
}

}  // namespace
}  // namespace fwtest
