// Json: a small JSON value for describing Java values as text (results of native calls, peers,
// arguments written by hand), shared by the test program and command-line hosts.
//
//   std::string error;
//   std::optional<Json> v = Json::Parse(R"({"attributeState": {"HIDDEN": true}})", &error);
//   v->Find("attributeState")->Find("HIDDEN")->AsBool();     // true
//   Json::String(u"C:\\x").Write();                          // "\"C:\\\\x\"", ASCII only
//
// Strings hold UTF-16, as Java strings do; Write() escapes every character outside printable ASCII,
// so the text survives any console code page. Object members keep their order. Numbers are kept
// as a 64-bit integer when written without fraction or exponent, else as a double.
#ifndef FWTEST_TESTVM_JSON_H
#define FWTEST_TESTVM_JSON_H

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace fwtest {

class Json {
 public:
  enum class Kind { kNull, kBool, kNumber, kString, kArray, kObject };
  using Members = std::vector<std::pair<std::string, Json>>;

  Json() = default;  // null
  static Json Null() { return Json(); }
  static Json Bool(bool value);
  static Json Integer(std::int64_t value);
  static Json Real(double value);
  static Json String(std::u16string value);
  static Json Array(std::vector<Json> elements);
  static Json Object(Members members);

  Kind kind() const { return kind_; }
  bool IsNull() const { return kind_ == Kind::kNull; }
  bool IsInteger() const { return kind_ == Kind::kNumber && isInteger_; }
  bool AsBool() const { return boolean_; }
  std::int64_t AsInteger() const { return integer_; }
  double AsReal() const { return isInteger_ ? static_cast<double>(integer_) : real_; }
  const std::u16string& AsString() const { return text_; }
  const std::vector<Json>& Elements() const { return elements_; }
  const Members& MembersOf() const { return members_; }
  const Json* Find(std::string_view key) const;  // null when absent or not an object
  void Add(std::string key, Json value) { members_.emplace_back(std::move(key), std::move(value)); }

  // One line; objects as {"a": 1, "b": [true, null]}.
  std::string Write() const;
  bool operator==(const Json& other) const;
  bool operator!=(const Json& other) const { return !(*this == other); }

  // The whole text must be one value (blanks around it allowed). On failure: nullopt and a message
  // naming the position, e.g. "expected ':' after the member name at offset 7".
  static std::optional<Json> Parse(std::string_view utf8, std::string* error);

 private:
  Kind kind_ = Kind::kNull;
  bool boolean_ = false;
  bool isInteger_ = true;
  std::int64_t integer_ = 0;
  double real_ = 0;
  std::u16string text_;
  std::vector<Json> elements_;
  Members members_;
};

// Kinds as words for messages: "null", "a boolean", "a number", "a string", "an array", "an object".
const char* JsonKindName(Json::Kind kind);

// Strict UTF-8 (no overlong forms, no surrogates encoded) to UTF-16; false on malformed input.
bool Utf8ToUtf16(std::string_view utf8, std::u16string* out);
// UTF-16 to UTF-8; an unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace fwtest

#endif
