#include "fwcall/argument_text.h"

#include <cerrno>
#include <cstdlib>

#include "fwcall/method_table.h"
#include "json.h"
#include "vm_json.h"

namespace fwcall {
namespace {

using fwtest::Json;
using fwtest::vm::TypeDesc;

bool IsNullWord(const Word& word) { return word.kind == Word::Kind::kBare && word.text == u"null"; }

// Decimal or 0x hexadecimal with an optional sign, within 64 bits.
bool ParseNumber(const std::string& text, long long* out) {
  std::size_t i = 0;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  int base = 10;
  if (text.size() > i + 1 && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X')) {
    base = 16;
    i += 2;
  }
  if (i >= text.size()) return false;
  for (std::size_t k = i; k < text.size(); ++k) {
    const char c = text[k];
    const bool digit = (c >= '0' && c <= '9') ||
                       (base == 16 && ((c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F')));
    if (!digit) return false;
  }
  errno = 0;
  const unsigned long long magnitude = std::strtoull(text.c_str() + i, nullptr, base);
  if (errno == ERANGE) return false;
  if (negative) {
    if (magnitude > 9223372036854775808ULL) return false;
    *out = magnitude == 9223372036854775808ULL ? (-9223372036854775807LL - 1) : -static_cast<long long>(magnitude);
  } else {
    // Hexadecimal may give the bits of a negative number (0xFFFFFFFF for an int is -1).
    if (base == 10 && magnitude > 9223372036854775807ULL) return false;
    *out = static_cast<long long>(magnitude);
  }
  return true;
}

bool IntegralJson(const Word& word, const TypeDesc& type, Json* out, std::string* error) {
  const std::string text = fwtest::Utf16ToUtf8(word.text);
  long long value = 0;
  if (word.kind != Word::Kind::kBare || !ParseNumber(text, &value)) {
    *error = Shown(word) + " is not a number";
    return false;
  }
  const bool hex = text.find_first_of("xX") != std::string::npos;
  if (hex && text[0] != '-') {
    // The bits of the type: 0xFFFFFFFF is the int -1, as Java's own 0xFFFFFFFF literal.
    const unsigned long long bits = static_cast<unsigned long long>(value);
    if (type.kind == 'I' && bits <= 0xFFFFFFFFULL) value = static_cast<std::int32_t>(static_cast<std::uint32_t>(bits));
    if (type.kind == 'S' && bits <= 0xFFFFULL) value = static_cast<std::int16_t>(static_cast<std::uint16_t>(bits));
    if (type.kind == 'B' && bits <= 0xFFULL) value = static_cast<std::int8_t>(static_cast<std::uint8_t>(bits));
  }
  *out = Json::Integer(value);
  return true;
}

bool ParsedJson(const Word& word, const TypeDesc& type, Json* out, std::string* error) {
  if (word.kind != Word::Kind::kBracketed) {
    *error = Shown(word) + " is not JSON: a " + JavaTypeName(type) + " is written as " +
             (type.kind == '[' || type.ClassName() == "java/util/Vector" || type.ClassName() == "java/util/Enumeration"
                  ? "a JSON array"
                  : "a JSON object") +
             " or null";
    return false;
  }
  std::string parseError;
  std::optional<Json> json = Json::Parse(fwtest::Utf16ToUtf8(word.text), &parseError);
  if (!json) {
    *error = "malformed JSON: " + parseError;
    return false;
  }
  *out = std::move(*json);
  return true;
}

// The word as the JSON value the parameter's type reads.
bool JsonOfWord(const Word& word, const TypeDesc& type, Json* out, std::string* error) {
  switch (type.kind) {
    case 'Z':
      if (word.kind == Word::Kind::kBare && (word.text == u"true" || word.text == u"false")) {
        *out = Json::Bool(word.text == u"true");
        return true;
      }
      *error = Shown(word) + " is not a boolean (true or false)";
      return false;
    case 'B': case 'C': case 'S': case 'I': case 'J':
      return IntegralJson(word, type, out, error);
    case 'F': case 'D':
      *error = "fwcall does not pass " + JavaTypeName(type) + " arguments";
      return false;
    default: break;
  }
  if (IsNullWord(word)) {
    *out = Json::Null();
    return true;
  }
  if (type.ClassName() == "java/lang/String") {
    *out = Json::String(word.text);
    return true;
  }
  if (type.text == "[B" && word.kind != Word::Kind::kBracketed) {
    *out = Json::String(word.text);  // hex digits, checked when the array is made
    return true;
  }
  return ParsedJson(word, type, out, error);
}

}  // namespace

bool ArgumentFromWord(fwtest::TestVm& vm, const Word& word, const TypeDesc& type, jvalue* out, std::string* error) {
  Json json;
  if (!JsonOfWord(word, type, &json, error)) return false;
  return fwtest::JavaValueFromJson(vm, json, type.text, out, error);
}

}  // namespace fwcall
