#include "vm_state.h"

namespace fwtest::vm {

// JNI's modified UTF-8: U+0000 as two bytes, supplementary characters as two 3-byte surrogates.
std::string ToModifiedUtf8(std::u16string_view text) {
  std::string out;
  for (char16_t c : text) {
    if (c != 0 && c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

std::u16string FromModifiedUtf8(std::string_view bytes) {
  std::u16string out;
  std::size_t i = 0;
  auto at = [&](std::size_t k) { return static_cast<unsigned char>(bytes[k]); };
  while (i < bytes.size()) {
    unsigned char b = at(i);
    if (b < 0x80) {
      out += static_cast<char16_t>(b);
      i += 1;
    } else if ((b & 0xE0) == 0xC0 && i + 1 < bytes.size()) {
      out += static_cast<char16_t>(((b & 0x1F) << 6) | (at(i + 1) & 0x3F));
      i += 2;
    } else if ((b & 0xF0) == 0xE0 && i + 2 < bytes.size()) {
      out += static_cast<char16_t>(((b & 0x0F) << 12) | ((at(i + 1) & 0x3F) << 6) | (at(i + 2) & 0x3F));
      i += 3;
    } else if ((b & 0xF8) == 0xF0 && i + 3 < bytes.size()) {
      // Standard UTF-8 4-byte form, accepted for convenience: becomes a surrogate pair.
      char32_t cp = ((b & 0x07) << 18) | ((at(i + 1) & 0x3F) << 12) | ((at(i + 2) & 0x3F) << 6) | (at(i + 3) & 0x3F);
      cp -= 0x10000;
      out += static_cast<char16_t>(0xD800 + (cp >> 10));
      out += static_cast<char16_t>(0xDC00 + (cp & 0x3FF));
      i += 4;
    } else {
      out += u'\uFFFD';
      i += 1;
    }
  }
  return out;
}

std::string ToUtf8(std::u16string_view text) {
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char32_t c = text[i];
    if (c >= 0xD800 && c < 0xDC00 && i + 1 < text.size() && text[i + 1] >= 0xDC00 && text[i + 1] < 0xE000) {
      c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
      ++i;
    }
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else if (c < 0x800) {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
      out += static_cast<char>(0xE0 | (c >> 12));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (c >> 18));
      out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

}  // namespace fwtest::vm
