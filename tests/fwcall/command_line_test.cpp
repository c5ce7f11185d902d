// How fwcall reads the words of a script line and of the program's command line.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fwcall/command_line.h"

namespace fwcall {
namespace {

using Kind = Word::Kind;

std::vector<std::pair<Kind, std::u16string>> Split(std::u16string_view line) {
  std::vector<Word> words;
  std::string error;
  EXPECT_TRUE(SplitWords(line, &words, &error)) << error;
  std::vector<std::pair<Kind, std::u16string>> out;
  for (const Word& w : words) out.emplace_back(w.kind, w.text);
  return out;
}

TEST(FwcallWords, ScriptLinesKeepPathsQuotesAndJsonWhole) {
  const auto words = Split(
      u"  X.m C:\\dir\\ \"C:\\Program Files\\a\\\" \"\" \"say \"\"hi\"\"\" null \"null\" "
      u"{\"k\": [1, \"] }\"]} [\"a b\"] {8A3F-11}\t");
  const std::vector<std::pair<Kind, std::u16string>> expected = {
      {Kind::kBare, u"X.m"},
      {Kind::kBare, u"C:\\dir\\"},
      {Kind::kQuoted, u"C:\\Program Files\\a\\"},  // a trailing backslash does not escape the quote
      {Kind::kQuoted, u""},
      {Kind::kQuoted, u"say \"hi\""},
      {Kind::kBare, u"null"},
      {Kind::kQuoted, u"null"},
      {Kind::kBracketed, u"{\"k\": [1, \"] }\"]}"},
      {Kind::kBracketed, u"[\"a b\"]"},
      {Kind::kBracketed, u"{8A3F-11}"},
  };
  EXPECT_EQ(words, expected);
}

TEST(FwcallWords, RefusesUnfinishedQuotesAndBrackets) {
  const std::vector<std::pair<std::u16string, std::string>> cases = {
      {u"X.m \"open", "a quoted word has no closing quote"},
      {u"X.m {\"a\": [1}", "no matching bracket"},
      {u"X.m \"a\"b", "a quoted word must be followed by a blank"},
  };
  for (const auto& [line, message] : cases) {
    std::vector<Word> words;
    std::string error;
    EXPECT_FALSE(SplitWords(line, &words, &error));
    EXPECT_NE(error.find(message), std::string::npos) << error;
  }
}

TEST(FwcallWords, ProgramArgumentsAreOneWordEach) {
  const std::vector<std::tuple<std::u16string, Kind, std::u16string>> cases = {
      {u"C:\\Program Files\\x", Kind::kBare, u"C:\\Program Files\\x"},
      {u"null", Kind::kBare, u"null"},
      {u"\"null\"", Kind::kQuoted, u"null"},
      {u"", Kind::kBare, u""},
      {u"{\"a\": 1}", Kind::kBracketed, u"{\"a\": 1}"},
      {u"\"a\" \"b\"", Kind::kBare, u"\"a\" \"b\""},  // not one quoted word: kept as typed
  };
  for (const auto& [argument, kind, text] : cases) {
    const Word word = WordOfArgument(argument);
    EXPECT_EQ(word.kind, kind);
    EXPECT_EQ(word.text, text);
  }
}

}  // namespace
}  // namespace fwcall
