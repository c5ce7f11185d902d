#include "descriptor.h"

namespace fwtest::vm {
namespace {

// Reads one field type at `pos`; advances `pos` past it.
std::optional<TypeDesc> ReadType(std::string_view text, std::size_t& pos, bool allowVoid) {
  if (pos >= text.size()) return std::nullopt;
  std::size_t start = pos;
  char c = text[pos];
  switch (c) {
    case 'Z': case 'B': case 'C': case 'S': case 'I': case 'J': case 'F': case 'D':
      ++pos;
      return TypeDesc{c, std::string(1, c)};
    case 'V':
      if (!allowVoid) return std::nullopt;
      ++pos;
      return TypeDesc{c, "V"};
    case 'L': {
      std::size_t end = text.find(';', pos);
      if (end == std::string_view::npos || end == pos + 1) return std::nullopt;
      std::string_view name = text.substr(pos + 1, end - pos - 1);
      if (name.find_first_of(".[()") != std::string_view::npos || name.front() == '/' || name.back() == '/') {
        return std::nullopt;
      }
      pos = end + 1;
      return TypeDesc{'L', std::string(text.substr(start, pos - start))};
    }
    case '[': {
      ++pos;
      if (!ReadType(text, pos, false)) return std::nullopt;
      return TypeDesc{'[', std::string(text.substr(start, pos - start))};
    }
    default:
      return std::nullopt;
  }
}

}  // namespace

bool TypeDesc::IsIntegral() const {
  return kind == 'Z' || kind == 'B' || kind == 'C' || kind == 'S' || kind == 'I' || kind == 'J';
}

std::string TypeDesc::ClassName() const {
  if (kind == 'L') return text.substr(1, text.size() - 2);
  return text;
}

std::optional<TypeDesc> ParseFieldDescriptor(std::string_view text) {
  std::size_t pos = 0;
  std::optional<TypeDesc> type = ReadType(text, pos, false);
  if (!type || pos != text.size()) return std::nullopt;
  return type;
}

std::optional<MethodSignature> ParseMethodDescriptor(std::string_view text) {
  if (text.empty() || text[0] != '(') return std::nullopt;
  MethodSignature sig;
  std::size_t pos = 1;
  while (pos < text.size() && text[pos] != ')') {
    std::optional<TypeDesc> param = ReadType(text, pos, false);
    if (!param) return std::nullopt;
    sig.params.push_back(std::move(*param));
  }
  if (pos >= text.size()) return std::nullopt;
  ++pos;
  std::optional<TypeDesc> result = ReadType(text, pos, true);
  if (!result || pos != text.size()) return std::nullopt;
  sig.result = std::move(*result);
  return sig;
}

std::string TypeName(const TypeDesc& type) {
  switch (type.kind) {
    case 'Z': return "boolean";
    case 'B': return "byte";
    case 'C': return "char";
    case 'S': return "short";
    case 'I': return "int";
    case 'J': return "long";
    case 'F': return "float";
    case 'D': return "double";
    case 'V': return "void";
    default: return type.ClassName();
  }
}

const char* KindSuffix(char kind) {
  switch (kind) {
    case 'Z': return "Boolean";
    case 'B': return "Byte";
    case 'C': return "Char";
    case 'S': return "Short";
    case 'I': return "Int";
    case 'J': return "Long";
    case 'F': return "Float";
    case 'D': return "Double";
    case 'V': return "Void";
    default: return "Object";
  }
}

}  // namespace fwtest::vm
