#include "bridge/string_conversion.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace fw {
namespace {

std::string Bytes(const ScratchBuffer& buffer) {
  return std::string(buffer.As<const char>(), buffer.ByteSize());
}

std::wstring Units(const ScratchBuffer& buffer) {
  return std::wstring(buffer.As<const wchar_t>(), buffer.Count());
}

class StringConversion : public testing::Test {
 protected:
  void SetUp() override {
    // The test bed runs Wine under a UTF-8 locale, which gives the Western code page.
    ASSERT_EQ(GetACP(), 1252u) << "the conversion cases below are written for code page 1252";
  }
};

TEST_F(StringConversion, WideToAnsiKeepsTheTerminatorAndSizesExactly) {
  ScratchBuffer out;
  WideToAnsi(L"abc", out);
  EXPECT_EQ(out.ElementSize(), 1u);
  EXPECT_EQ(Bytes(out), std::string("abc\0", 4));

  WideToAnsi(L"", out);
  EXPECT_EQ(Bytes(out), std::string("\0", 1)) << "an empty text is one zero byte";
}

TEST_F(StringConversion, UnmappableCharactersBecomeTheCodePageSubstitute) {
  ScratchBuffer out;
  WideToAnsi(L"\u00e9\u0416\u4e2d", out);  // é is in 1252; Cyrillic and CJK are not
  EXPECT_EQ(Bytes(out), std::string("\xe9??\0", 4));
}

TEST_F(StringConversion, NullInputGivesEmptyBufferAndReleasesTheOldOne) {
  ScratchBuffer out;
  WideToAnsi(L"held", out);
  WideToAnsi(nullptr, out);
  EXPECT_TRUE(out.Empty());
  AnsiToWide("held", out);
  AnsiToWide(nullptr, out);
  EXPECT_TRUE(out.Empty());
}

TEST_F(StringConversion, CountedFormsKeepEmbeddedZerosAndAddNoTerminator) {
  ScratchBuffer out;
  WideToAnsiCounted(L"a\0b\0", 4, out);  // a multi-string: two texts and the list end
  EXPECT_EQ(Bytes(out), std::string("a\0b\0", 4));
  WideToAnsiCounted(L"ab", 2, out);
  EXPECT_EQ(Bytes(out), "ab");

  EXPECT_EQ(AnsiToWideCounted("x\0\xe9\0", 4, out), 4u);
  EXPECT_EQ(out.ElementSize(), 2u);
  EXPECT_EQ(Units(out), std::wstring(L"x\0\u00e9\0", 4));

  EXPECT_EQ(AnsiToWideCounted("abc", 0, out), 0u);
  EXPECT_TRUE(out.Empty());
}

TEST_F(StringConversion, AnsiToWideRoundTripsTheCodePage) {
  ScratchBuffer out;
  AnsiToWide("Caf\xe9 \x80", out);  // 0x80 is the euro sign in 1252
  EXPECT_EQ(Units(out), std::wstring(L"Caf\u00e9 \u20ac\0", 7));
}

}  // namespace
}  // namespace fw
