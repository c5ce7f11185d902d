#include "fwcall/command_line.h"

#include "json.h"

namespace fwcall {
namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n'; }

// From an opening { or [ to its match; JSON strings inside may hold brackets.
bool BracketedEnd(std::u16string_view line, std::size_t start, std::size_t* end) {
  int depth = 0;
  bool inString = false;
  for (std::size_t i = start; i < line.size(); ++i) {
    const char16_t c = line[i];
    if (inString) {
      if (c == u'\\') ++i;
      else if (c == u'"') inString = false;
      continue;
    }
    if (c == u'"') inString = true;
    else if (c == u'{' || c == u'[') ++depth;
    else if ((c == u'}' || c == u']') && --depth == 0) {
      *end = i + 1;
      return true;
    }
  }
  return false;
}

}  // namespace

bool SplitWords(std::u16string_view line, std::vector<Word>* words, std::string* error) {
  words->clear();
  std::size_t i = 0;
  while (true) {
    while (i < line.size() && IsBlank(line[i])) ++i;
    if (i >= line.size()) return true;
    Word word;
    const std::size_t start = i;
    if (line[i] == u'"') {
      word.kind = Word::Kind::kQuoted;
      ++i;
      while (true) {
        if (i >= line.size()) {
          *error = "a quoted word has no closing quote: " + fwtest::Utf16ToUtf8(line.substr(start));
          return false;
        }
        if (line[i] == u'"') {
          if (i + 1 < line.size() && line[i + 1] == u'"') {
            word.text += u'"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        word.text += line[i++];
      }
      if (i < line.size() && !IsBlank(line[i])) {
        *error = "a quoted word must be followed by a blank: " + fwtest::Utf16ToUtf8(line.substr(start));
        return false;
      }
    } else if (line[i] == u'{' || line[i] == u'[') {
      word.kind = Word::Kind::kBracketed;
      std::size_t end = 0;
      if (!BracketedEnd(line, i, &end)) {
        *error = "no matching bracket for " + fwtest::Utf16ToUtf8(line.substr(start));
        return false;
      }
      // Text glued to the closing bracket still belongs to the word ("{GUID}x").
      while (end < line.size() && !IsBlank(line[end])) ++end;
      word.text = line.substr(i, end - i);
      i = end;
    } else {
      while (i < line.size() && !IsBlank(line[i])) ++i;
      word.text = line.substr(start, i - start);
    }
    words->push_back(std::move(word));
  }
}

Word WordOfArgument(std::u16string_view argument) {
  Word word;
  word.text = argument;
  if (!argument.empty() && (argument[0] == u'{' || argument[0] == u'[')) {
    word.kind = Word::Kind::kBracketed;
  } else if (argument.size() >= 2 && argument.front() == u'"' && argument.back() == u'"') {
    std::vector<Word> words;
    std::string error;
    if (SplitWords(argument, &words, &error) && words.size() == 1 && words[0].kind == Word::Kind::kQuoted) {
      return words[0];
    }
  }
  return word;
}

std::string Shown(const Word& word) {
  const std::string text = fwtest::Utf16ToUtf8(word.text);
  if (word.kind != Word::Kind::kQuoted) return text;
  std::string quoted = "\"";
  for (char c : text) {
    quoted += c;
    if (c == '"') quoted += '"';
  }
  return quoted + "\"";
}

}  // namespace fwcall
