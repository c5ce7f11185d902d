// JSON text and the test VM's JSON views of Java values: peers made the way the library makes them
// render as fwcall prints them, and peers written as JSON read back through JNI the way the
// library reads them.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "json.h"
#include "test_vm.h"
#include "vm_expectations.h"
#include "vm_json.h"

namespace fwtest {
namespace {

constexpr char kFileAttributes[] = "com/fernwick/util/FileAttributes";

Json Parsed(const std::string& text) {
  std::string error;
  std::optional<Json> json = Json::Parse(text, &error);
  EXPECT_TRUE(json.has_value()) << text << ": " << error;
  return json.value_or(Json());
}

TEST(Json, WritesWhatItParsesInOneAsciiLineAndRefusesMalformedTextWithThePlace) {
  const std::string text =
      R"({"a": [1, -2, 3.5, true, false, null], "s": "q\"b\\ t\tn\n\u00e9\ud83d\ude00", "o": {}, "e": []})";
  const Json json = Parsed(text);
  EXPECT_EQ(json.Write(), text);
  EXPECT_EQ(json.Find("s")->AsString(), u"q\"b\\ t\tn\n\u00e9\U0001F600");
  // Raw UTF-8 in the input is read as UTF-16 and written escaped.
  EXPECT_EQ(Parsed("\"\xC3\xA9\"").Write(), "\"\\u00e9\"");
  EXPECT_EQ(Parsed("-9223372036854775808").AsInteger(), INT64_MIN);
  EXPECT_FALSE(Parsed("9223372036854775808").IsInteger());
  for (const auto& [malformed, message] : std::vector<std::pair<std::string, std::string>>{
           {R"({"a" 1})", "expected ':' after the member name at offset 5"},
           {"[1,]", "unexpected character ']' at offset 3"},
           {"\"abc", "unterminated string"},
           {"01", "a number must not start with 0"},
           {"{\"a\": tru}", "unexpected character 't' at offset 6"},
           {"\"\\x\"", "unknown escape \\x"},
           {"1 2", "unexpected text after the value at offset 2"},
           {"{a: 1}", "expected a member name in double quotes at offset 1"},
           {"\"\xC3\"", "the string is not valid UTF-8"},
           {"", "expected a value at offset 0"}}) {
    std::string error;
    EXPECT_FALSE(Json::Parse(malformed, &error).has_value()) << malformed;
    EXPECT_NE(error.find(message), std::string::npos) << malformed << " gave: " << error;
  }
}

// Peers render by what their setters and constructors received and are made from JSON as the
// library's getters read them; the service tests check both on the library's own peers. Here: indexed
// states by constant name or number, in numeric order, one no constant names by its number.
TEST(VmJson, RendersPeersEnumerationsAndOutcomesAndReadsIndexedStatesBack) {
  TestVm vm;
  jobject attributes = vm.NewPeer(kFileAttributes);
  vm.SetBoolProperty(attributes, TestVm::Indexed("AttributeState", 10), true);
  vm.SetBoolProperty(attributes, TestVm::Indexed("AttributeState", 2), false);
  vm.SetBoolProperty(attributes, TestVm::Indexed("AttributeState", 99), true);
  EXPECT_EQ(JsonOfReference(vm, attributes).Write(), R"({"attributeState": {"GROUP_READABLE": false, "HIDDEN": true, "99": true}})");
  jvalue v{};
  std::string error;
  ASSERT_TRUE(JavaValueFromJson(vm, Parsed(R"({"attributeState": {"1": true, "HIDDEN": false, "SYSTEM": true}})"),
                                std::string("L") + kFileAttributes + ";", &v, &error))
      << error;
  EXPECT_EQ(JsonOfReference(vm, v.l).Write(), R"({"attributeState": {"OWNER_READABLE": true, "HIDDEN": false, "SYSTEM": true}})");
  EXPECT_EQ(JsonOfReference(vm, vm.Enumeration({u"x", u"y"})).Write(), R"(["x", "y"])");
  EXPECT_EQ(JsonOfReference(vm, nullptr).Write(), "null");

  // A call's outcome: the pending exception, or the value (the other kinds are fwcall's answers in
  // fwcall_run_test.cpp).
  EXPECT_EQ(CallOutcome(vm, jlong{1LL << 40}).Write(), "1099511627776");
  vm.Call([](JNIEnv* env) {
    jclass c = env->FindClass(kServiceException);
    env->Throw(static_cast<jthrowable>(env->NewObject(c, env->GetMethodID(c, "<init>", "(I)V"), jint{-10000})));
  });
  EXPECT_EQ(CallOutcome(vm).Write(), R"({"exception": {"code": -10000, "message": null}})");
  vm.ThrowForTest("java/lang/OutOfMemoryError");
  EXPECT_EQ(CallOutcome(vm, jobject{nullptr}).Write(),
            R"({"exception": {"class": "java/lang/OutOfMemoryError", "code": null, "message": null}})");
  EXPECT_FALSE(vm.Pending().has_value());
  EXPECT_NO_VIOLATIONS(vm);
}

TEST(VmJson, RefusesJsonThatDoesNotFitTheType) {
  TestVm vm;
  const std::string attributes = std::string("L") + kFileAttributes + ";";
  const std::vector<std::tuple<std::string, std::string, std::string>> cases = {
      {"I", "2147483648", "2147483648 is out of range for int"},
      {"I", "1.5", "expected a whole number, not a number"},
      {"Z", "1", "expected true or false, not a number"},
      {"Ljava/lang/String;", "[]", "expected a string or null, not an array"},
      {"[Ljava/lang/String;", R"(["a", 1])", "[1]: expected a string or null, not a number"},
      {"[B", R"("abc")", "hex bytes need an even number of digits"},
      {"[B", R"("zz")", "\"zz\" is not hex digits"},
      {attributes, R"({"colour": 1})", "com/fernwick/util/FileAttributes has no property \"colour\""},
      {attributes, R"({"attributeState": {"HIDDN": true}})", "attributeState: \"HIDDN\" is neither a number nor a constant"},
      {attributes, R"({"attributeState": {"HIDDEN": "yes"}})", "attributeState.HIDDEN: expected true or false, not a string"},
      {attributes, R"([true])", "expected an object with the properties of com/fernwick/util/FileAttributes, not an array"},
      {"Ljava/lang/Object;", R"({})", "a java/lang/Object cannot be written as JSON"},
  };
  for (const auto& [type, text, message] : cases) {
    jvalue v{};
    std::string error;
    EXPECT_FALSE(JavaValueFromJson(vm, Parsed(text), type, &v, &error)) << type << " " << text;
    EXPECT_NE(error.find(message), std::string::npos) << type << " " << text << " gave: " << error;
  }
  EXPECT_NO_VIOLATIONS(vm);
}

}  // namespace
}  // namespace fwtest
