// The words of one fwcall call, as typed on the command line or on a line of a script.
//
//   std::vector<Word> words;
//   std::string error;
//   SplitWords(u"Win32RegistryServiceImpl.getStringValue 3 \"Software\\My App\" \"\" false", &words, &error);
//   // words: the method, 3, Software\My App (quoted), an empty quoted word, false
//
// On a script line, words are separated by blanks. A word in double quotes may hold blanks; a double quote inside it
// is written twice (""). Backslashes are plain characters everywhere, so Windows paths need no
// escaping. A word that starts with { or [ runs to its matching bracket, with JSON strings inside
// it taken as they are, so JSON with blanks needs no quotes. Quoting tells the text "null" from
// the bare word null, which stands for a null reference.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace fwcall {

struct Word {
  enum class Kind { kBare, kQuoted, kBracketed };
  Kind kind = Kind::kBare;
  std::u16string text;  // without the quotes of a quoted word
};

// False, with a message, for an unterminated quote or bracket.
bool SplitWords(std::u16string_view line, std::vector<Word>* words, std::string* error);

// One argument of the program's command line, already split by the Windows rules (quotes and
// backslashes as every console program reads them): the bare word null, a JSON word when it starts
// with { or [, a quoted word when the argument itself still holds the quotes (typed \"null\"), else
// the whole argument as plain text, blanks included.
Word WordOfArgument(std::u16string_view argument);

// For messages and the log: the word as it would be typed.
std::string Shown(const Word& word);

}  // namespace fwcall
