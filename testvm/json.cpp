#include "json.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace fwtest {
namespace {

constexpr int kMaxDepth = 64;

class Parser {
 public:
  Parser(std::string_view text, std::string* error) : text_(text), error_(error) {}

  std::optional<Json> Document() {
    std::optional<Json> value = Value(0);
    if (!value) return std::nullopt;
    SkipBlanks();
    if (pos_ != text_.size()) return Fail("unexpected text after the value");
    return value;
  }

 private:
  std::optional<Json> Fail(const std::string& what) {
    if (error_ != nullptr) *error_ = what + " at offset " + std::to_string(pos_);
    return std::nullopt;
  }

  bool Refuse(const std::string& what) {
    Fail(what);
    return false;
  }

  void SkipBlanks() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\r' ||
                                   text_[pos_] == '\n')) {
      ++pos_;
    }
  }

  bool Literal(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  std::optional<Json> Value(int depth) {
    if (depth > kMaxDepth) return Fail("values nested too deeply");
    SkipBlanks();
    if (pos_ >= text_.size()) return Fail("expected a value");
    const char c = text_[pos_];
    if (c == '{') return ObjectValue(depth);
    if (c == '[') return ArrayValue(depth);
    if (c == '"') {
      std::u16string s;
      if (!StringBody(&s)) return std::nullopt;
      return Json::String(std::move(s));
    }
    if (c == '-' || (c >= '0' && c <= '9')) return NumberValue();
    if (Literal("true")) return Json::Bool(true);
    if (Literal("false")) return Json::Bool(false);
    if (Literal("null")) return Json::Null();
    return Fail(std::string("unexpected character '") + c + "'");
  }

  std::optional<Json> ObjectValue(int depth) {
    ++pos_;
    Json::Members members;
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == '}') {
      ++pos_;
      return Json::Object(std::move(members));
    }
    while (true) {
      SkipBlanks();
      if (pos_ >= text_.size() || text_[pos_] != '"') return Fail("expected a member name in double quotes");
      std::u16string name;
      if (!StringBody(&name)) return std::nullopt;
      SkipBlanks();
      if (pos_ >= text_.size() || text_[pos_] != ':') return Fail("expected ':' after the member name");
      ++pos_;
      std::optional<Json> value = Value(depth + 1);
      if (!value) return std::nullopt;
      members.emplace_back(Utf16ToUtf8(name), std::move(*value));
      SkipBlanks();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == '}') {
        ++pos_;
        return Json::Object(std::move(members));
      }
      return Fail("expected ',' or '}' in the object");
    }
  }

  std::optional<Json> ArrayValue(int depth) {
    ++pos_;
    std::vector<Json> elements;
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == ']') {
      ++pos_;
      return Json::Array(std::move(elements));
    }
    while (true) {
      std::optional<Json> value = Value(depth + 1);
      if (!value) return std::nullopt;
      elements.push_back(std::move(*value));
      SkipBlanks();
      if (pos_ < text_.size() && text_[pos_] == ',') {
        ++pos_;
        continue;
      }
      if (pos_ < text_.size() && text_[pos_] == ']') {
        ++pos_;
        return Json::Array(std::move(elements));
      }
      return Fail("expected ',' or ']' in the array");
    }
  }

  std::optional<Json> NumberValue() {
    const std::size_t start = pos_;
    if (text_[pos_] == '-') ++pos_;
    auto digits = [&] {
      const std::size_t from = pos_;
      while (pos_ < text_.size() && text_[pos_] >= '0' && text_[pos_] <= '9') ++pos_;
      return pos_ - from;
    };
    const std::size_t intStart = pos_;
    if (digits() == 0) return Fail("expected digits in the number");
    if (text_[intStart] == '0' && pos_ - intStart > 1) return Fail("a number must not start with 0");
    bool integral = true;
    if (pos_ < text_.size() && text_[pos_] == '.') {
      ++pos_;
      integral = false;
      if (digits() == 0) return Fail("expected digits after the decimal point");
    }
    if (pos_ < text_.size() && (text_[pos_] == 'e' || text_[pos_] == 'E')) {
      ++pos_;
      integral = false;
      if (pos_ < text_.size() && (text_[pos_] == '+' || text_[pos_] == '-')) ++pos_;
      if (digits() == 0) return Fail("expected digits in the exponent");
    }
    const std::string number(text_.substr(start, pos_ - start));
    if (integral) {
      errno = 0;
      char* end = nullptr;
      const long long value = std::strtoll(number.c_str(), &end, 10);
      if (errno != ERANGE) return Json::Integer(value);
    }
    return Json::Real(std::strtod(number.c_str(), nullptr));
  }

  bool Hex4(unsigned* out) {
    if (pos_ + 4 > text_.size()) return false;
    unsigned value = 0;
    for (int i = 0; i < 4; ++i) {
      const char c = text_[pos_++];
      value <<= 4;
      if (c >= '0' && c <= '9') value |= static_cast<unsigned>(c - '0');
      else if (c >= 'a' && c <= 'f') value |= static_cast<unsigned>(c - 'a' + 10);
      else if (c >= 'A' && c <= 'F') value |= static_cast<unsigned>(c - 'A' + 10);
      else return false;
    }
    *out = value;
    return true;
  }

  // From the opening quote; \uXXXX escapes are UTF-16 units, kept as given (Java strings may hold
  // unpaired surrogates).
  bool StringBody(std::u16string* out) {
    ++pos_;
    std::string run;  // raw UTF-8 between escapes
    auto flush = [&] {
      std::u16string converted;
      if (!Utf8ToUtf16(run, &converted)) return false;
      *out += converted;
      run.clear();
      return true;
    };
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c == '"') {
        ++pos_;
        if (!flush()) return Refuse("the string is not valid UTF-8");
        return true;
      }
      if (static_cast<unsigned char>(c) < 0x20) return Refuse("control character in a string");
      if (c != '\\') {
        run += c;
        ++pos_;
        continue;
      }
      if (!flush()) return Refuse("the string is not valid UTF-8");
      if (++pos_ >= text_.size()) break;
      const char e = text_[pos_++];
      switch (e) {
        case '"': *out += u'"'; break;
        case '\\': *out += u'\\'; break;
        case '/': *out += u'/'; break;
        case 'b': *out += u'\b'; break;
        case 'f': *out += u'\f'; break;
        case 'n': *out += u'\n'; break;
        case 'r': *out += u'\r'; break;
        case 't': *out += u'\t'; break;
        case 'u': {
          unsigned unit = 0;
          if (!Hex4(&unit)) return Refuse("expected four hex digits after \\u");
          *out += static_cast<char16_t>(unit);
          break;
        }
        default:
          --pos_;
          return Refuse(std::string("unknown escape \\") + e);
      }
    }
    return Refuse("unterminated string");
  }

  std::string_view text_;
  std::string* error_;
  std::size_t pos_ = 0;
};

void WriteString(std::u16string_view text, std::string& out) {
  out += '"';
  for (char16_t c : text) {
    switch (c) {
      case u'"': out += "\\\""; break;
      case u'\\': out += "\\\\"; break;
      case u'\n': out += "\\n"; break;
      case u'\r': out += "\\r"; break;
      case u'\t': out += "\\t"; break;
      default:
        if (c >= 0x20 && c < 0x7F) {
          out += static_cast<char>(c);
        } else {
          char escaped[8];
          std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
          out += escaped;
        }
    }
  }
  out += '"';
}

void WriteValue(const Json& v, std::string& out) {
  switch (v.kind()) {
    case Json::Kind::kNull: out += "null"; break;
    case Json::Kind::kBool: out += v.AsBool() ? "true" : "false"; break;
    case Json::Kind::kNumber:
      if (v.IsInteger()) {
        out += std::to_string(v.AsInteger());
      } else if (!std::isfinite(v.AsReal())) {
        out += "null";  // JSON has no infinities
      } else {
        char text[40];
        std::snprintf(text, sizeof text, "%.17g", v.AsReal());
        out += text;
      }
      break;
    case Json::Kind::kString: WriteString(v.AsString(), out); break;
    case Json::Kind::kArray: {
      out += '[';
      bool first = true;
      for (const Json& e : v.Elements()) {
        if (!first) out += ", ";
        first = false;
        WriteValue(e, out);
      }
      out += ']';
      break;
    }
    case Json::Kind::kObject: {
      out += '{';
      bool first = true;
      for (const auto& [key, value] : v.MembersOf()) {
        if (!first) out += ", ";
        first = false;
        std::u16string wideKey;
        const bool valid = Utf8ToUtf16(key, &wideKey);
        WriteString(valid ? std::u16string_view(wideKey) : std::u16string_view(u"?"), out);
        out += ": ";
        WriteValue(value, out);
      }
      out += '}';
      break;
    }
  }
}

}  // namespace

Json Json::Bool(bool value) {
  Json j;
  j.kind_ = Kind::kBool;
  j.boolean_ = value;
  return j;
}

Json Json::Integer(std::int64_t value) {
  Json j;
  j.kind_ = Kind::kNumber;
  j.integer_ = value;
  return j;
}

Json Json::Real(double value) {
  Json j;
  j.kind_ = Kind::kNumber;
  j.isInteger_ = false;
  j.real_ = value;
  return j;
}

Json Json::String(std::u16string value) {
  Json j;
  j.kind_ = Kind::kString;
  j.text_ = std::move(value);
  return j;
}

Json Json::Array(std::vector<Json> elements) {
  Json j;
  j.kind_ = Kind::kArray;
  j.elements_ = std::move(elements);
  return j;
}

Json Json::Object(Members members) {
  Json j;
  j.kind_ = Kind::kObject;
  j.members_ = std::move(members);
  return j;
}

const Json* Json::Find(std::string_view key) const {
  if (kind_ != Kind::kObject) return nullptr;
  for (const auto& [name, value] : members_) {
    if (name == key) return &value;
  }
  return nullptr;
}

std::string Json::Write() const {
  std::string out;
  WriteValue(*this, out);
  return out;
}

bool Json::operator==(const Json& other) const {
  if (kind_ != other.kind_) return false;
  switch (kind_) {
    case Kind::kNull: return true;
    case Kind::kBool: return boolean_ == other.boolean_;
    case Kind::kNumber:
      if (isInteger_ && other.isInteger_) return integer_ == other.integer_;
      return AsReal() == other.AsReal();
    case Kind::kString: return text_ == other.text_;
    case Kind::kArray: return elements_ == other.elements_;
    case Kind::kObject: return members_ == other.members_;
  }
  return false;
}

std::optional<Json> Json::Parse(std::string_view utf8, std::string* error) {
  return Parser(utf8, error).Document();
}

const char* JsonKindName(Json::Kind kind) {
  switch (kind) {
    case Json::Kind::kNull: return "null";
    case Json::Kind::kBool: return "a boolean";
    case Json::Kind::kNumber: return "a number";
    case Json::Kind::kString: return "a string";
    case Json::Kind::kArray: return "an array";
    case Json::Kind::kObject: return "an object";
  }
  return "?";
}

bool Utf8ToUtf16(std::string_view utf8, std::u16string* out) {
  out->clear();
  std::size_t i = 0;
  while (i < utf8.size()) {
    const unsigned char lead = static_cast<unsigned char>(utf8[i]);
    char32_t cp = 0;
    std::size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
      cp = lead;
      length = 1;
    } else if ((lead & 0xE0) == 0xC0) {
      cp = lead & 0x1F;
      length = 2;
      minimum = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
      cp = lead & 0x0F;
      length = 3;
      minimum = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
      cp = lead & 0x07;
      length = 4;
      minimum = 0x10000;
    } else {
      return false;
    }
    if (i + length > utf8.size()) return false;
    for (std::size_t k = 1; k < length; ++k) {
      const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
      if ((next & 0xC0) != 0x80) return false;
      cp = (cp << 6) | (next & 0x3F);
    }
    if (cp < minimum || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      *out += static_cast<char16_t>(0xD800 + (cp >> 10));
      *out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
    } else {
      *out += static_cast<char16_t>(cp);
    }
    i += length;
  }
  return true;
}

std::string Utf16ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t cp = text[i];
    if (cp >= 0xD800 && cp <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    } else if (cp >= 0xD800 && cp <= 0xDFFF) {
      cp = 0xFFFD;
    }
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }
  return out;
}

}  // namespace fwtest
