// ScratchBuffer and the conversions between UTF-16 and the ANSI code page that fill one.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>
#include <string>
#include <utility>

#include "bridge/scratch_buffer.h"
#include "bridge/string_conversion.h"

namespace fw {
namespace {

void ExpectEmpty(const ScratchBuffer& buffer) {
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.ByteSize(), 0u);
  EXPECT_EQ(buffer.Count(), 0u);
}

TEST(ScratchBuffer, AllocatesAFreshZeroFilledBlockOfCountTimesSize) {
  ScratchBuffer buffer;
  for (int round = 0; round < 2; ++round) {
    buffer.Allocate(5, 2);
    ASSERT_NE(buffer.Data(), nullptr);
    EXPECT_EQ(buffer.Count(), 5u);
    EXPECT_EQ(buffer.ByteSize(), 10u);
    const unsigned char* bytes = buffer.As<unsigned char>();
    EXPECT_TRUE(std::all_of(bytes, bytes + 10, [](unsigned char b) { return b == 0; })) << "round " << round;
    buffer.As<char>()[9] = 'x';  // gone with the next allocation
  }
  ScratchBuffer target(std::move(buffer));
  EXPECT_EQ(target.ByteSize(), 10u);
  ExpectEmpty(buffer);
}

TEST(ScratchBuffer, ZeroSizesReleaseAndAnOverflowingSizeThrows) {
  for (const auto& [count, size] : {std::pair<std::uint32_t, std::uint32_t>{0, 2}, {5, 0}}) {
    SCOPED_TRACE(testing::Message() << "count " << count << ", size " << size);
    ScratchBuffer buffer;
    buffer.Allocate(3, 1);
    buffer.Allocate(count, size);
    ExpectEmpty(buffer);
  }
  ScratchBuffer buffer;
  buffer.Allocate(3, 1);
  EXPECT_THROW(buffer.Allocate(std::numeric_limits<std::uint32_t>::max(), 2), std::bad_alloc)
      << "never a block smaller than asked for";
  ExpectEmpty(buffer);
}

std::string Bytes(const ScratchBuffer& buffer) { return std::string(buffer.As<const char>(), buffer.ByteSize()); }

std::wstring Units(const ScratchBuffer& buffer) { return std::wstring(buffer.As<const wchar_t>(), buffer.Count()); }

class StringConversion : public testing::Test {
 protected:
  void SetUp() override {
    // The test bed runs Wine under a UTF-8 locale, which gives the Western code page.
    ASSERT_EQ(GetACP(), 1252u) << "the conversion cases below are written for code page 1252";
  }
};

TEST_F(StringConversion, TerminatedFormsSizeExactlyWithTheCodePageAndItsSubstitute) {
  ScratchBuffer out;
  WideToAnsi(L"abc", out);
  EXPECT_EQ(Bytes(out), std::string("abc\0", 4));
  WideToAnsi(L"", out);
  EXPECT_EQ(Bytes(out), std::string("\0", 1)) << "an empty text is one zero byte";
  WideToAnsi(L"\u00e9\u0416\u4e2d", out);  // é is in 1252; Cyrillic and CJK are not
  EXPECT_EQ(Bytes(out), std::string("\xe9??\0", 4));
  AnsiToWide("Caf\xe9 \x80", out);  // 0x80 is the euro sign in 1252
  EXPECT_EQ(out.ElementSize(), 2u);
  EXPECT_EQ(Units(out), std::wstring(L"Caf\u00e9 \u20ac\0", 7));
  // A null input gives an empty buffer, and what was held is released.
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
  EXPECT_EQ(Units(out), std::wstring(L"x\0\u00e9\0", 4));
  EXPECT_EQ(AnsiToWideCounted("abc", 0, out), 0u);
  EXPECT_TRUE(out.Empty());
}

}  // namespace
}  // namespace fw
