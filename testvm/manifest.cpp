#include "manifest.h"

#include <cerrno>
#include <cstdlib>
#include <sstream>

namespace fwtest::vm {
namespace {

std::vector<std::string> SplitWords(std::string_view line) {
  std::vector<std::string> words;
  std::size_t i = 0;
  while (i < line.size()) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t' || line[i] == '\r')) ++i;
    std::size_t start = i;
    while (i < line.size() && line[i] != ' ' && line[i] != '\t' && line[i] != '\r') ++i;
    if (i > start) words.emplace_back(line.substr(start, i - start));
  }
  return words;
}

std::optional<unsigned> ParseFlags(const std::string& text) {
  if (text == "-") return 0u;
  static const std::pair<const char*, unsigned> kNames[] = {
      {"static", kStatic}, {"native", kNative},  {"public", kPublic},     {"private", kPrivate},
      {"protected", kProtected}, {"final", kFinal}, {"abstract", kAbstract},
  };
  unsigned flags = 0;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t comma = text.find(',', start);
    std::string word = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
    bool known = false;
    for (const auto& [name, bit] : kNames) {
      if (word == name) {
        flags |= bit;
        known = true;
      }
    }
    if (!known) return std::nullopt;
    if (comma == std::string::npos) break;
    start = comma + 1;
  }
  return flags;
}

std::optional<jlong> ParseInteger(const std::string& text) {
  char* end = nullptr;
  errno = 0;
  long long value = std::strtoll(text.c_str(), &end, 10);
  if (text.empty() || *end != '\0' || errno == ERANGE) return std::nullopt;
  return static_cast<jlong>(value);
}

std::optional<double> ParseReal(std::string text) {
  if (!text.empty() && (text.back() == 'f' || text.back() == 'F' || text.back() == 'd' || text.back() == 'D')) {
    text.pop_back();
  }
  char* end = nullptr;
  double value = std::strtod(text.c_str(), &end);
  if (text.empty() || *end != '\0') return std::nullopt;
  return value;
}

// Stores the constant of `field`; false when an integral or real field's value does not parse.
bool ParseConstant(const std::string& text, FieldDecl& field) {
  switch (field.descriptor.empty() ? '?' : field.descriptor[0]) {
    case 'Z': case 'B': case 'C': case 'S': case 'I': case 'J':
      field.constant = ParseInteger(text);
      return field.constant.has_value();
    case 'F': case 'D':
      field.realConstant = ParseReal(text);
      return field.realConstant.has_value();
    default:
      return true;
  }
}

}  // namespace

void Manifest::Add(std::string_view text, std::string_view origin, std::vector<std::string>& errors) {
  std::map<std::string, ClassDecl, std::less<>> added;
  std::vector<std::pair<int, std::vector<std::string>>> members;  // after all classes are known
  auto error = [&](int lineNo, const std::string& what) {
    std::ostringstream out;
    out << origin << ":" << lineNo << ": " << what;
    errors.push_back(out.str());
  };

  int lineNo = 0;
  std::size_t pos = 0;
  while (pos < text.size()) {
    std::size_t eol = text.find('\n', pos);
    std::string_view line = text.substr(pos, eol == std::string_view::npos ? std::string_view::npos : eol - pos);
    pos = eol == std::string_view::npos ? text.size() : eol + 1;
    ++lineNo;
    std::vector<std::string> words = SplitWords(line);
    if (words.empty() || words[0][0] == '#') continue;
    if (words[0] == "class") {
      if (words.size() < 4 || words[2] != "super") {
        error(lineNo, "malformed class line");
        continue;
      }
      ClassDecl decl;
      decl.name = words[1];
      decl.superName = words[3] == "-" ? "" : words[3];
      for (std::size_t i = 4; i < words.size(); ++i) {
        if (words[i] == "interface") {
          decl.isInterface = true;
        } else if (words[i] == "abstract") {
          decl.isAbstract = true;
        } else {
          error(lineNo, "unknown class attribute " + words[i]);
        }
      }
      if (decl.isInterface) decl.superName.clear();
      added[decl.name] = std::move(decl);
    } else if (words[0] == "implements" || words[0] == "method" || words[0] == "field") {
      members.emplace_back(lineNo, std::move(words));
    } else {
      error(lineNo, "unknown entry " + words[0]);
    }
  }

  for (auto& [no, words] : members) {
    auto cls = words.size() > 1 ? added.find(words[1]) : added.end();
    if (cls == added.end()) {
      error(no, words.size() > 1 ? "entry for undeclared class " + words[1] : "malformed entry");
      continue;
    }
    if (words[0] == "implements") {
      if (words.size() != 3) {
        error(no, "malformed implements line");
        continue;
      }
      cls->second.interfaces.push_back(words[2]);
      continue;
    }
    std::optional<unsigned> flags = words.size() >= 5 ? ParseFlags(words[4]) : std::nullopt;
    if (!flags) {
      error(no, "malformed " + words[0] + " line");
      continue;
    }
    if (words[0] == "method") {
      if (words.size() != 5) {
        error(no, "malformed method line");
        continue;
      }
      cls->second.methods.push_back({words[2], words[3], *flags});
    } else {
      FieldDecl field{words[2], words[3], *flags, std::nullopt, std::nullopt};
      if (words.size() >= 7 && words[5] == "=") {
        std::string value = words[6];
        for (std::size_t i = 7; i < words.size(); ++i) value += " " + words[i];
        if (!ParseConstant(value, field)) {
          error(no, "constant " + value + " does not fit field type " + field.descriptor);
          continue;
        }
      } else if (words.size() != 5) {
        error(no, "malformed field line");
        continue;
      }
      cls->second.fields.push_back(std::move(field));
    }
  }

  for (auto& [name, decl] : added) classes_[name] = std::move(decl);
}

std::vector<const ClassDecl*> Manifest::Classes() const {
  std::vector<const ClassDecl*> out;
  for (const auto& entry : classes_) out.push_back(&entry.second);
  return out;
}

const ClassDecl* Manifest::Find(std::string_view name) const {
  auto it = classes_.find(name);
  return it == classes_.end() ? nullptr : &it->second;
}

}  // namespace fwtest::vm
