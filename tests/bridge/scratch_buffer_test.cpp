#include "bridge/scratch_buffer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <limits>
#include <new>

namespace fw {
namespace {

void ExpectEmpty(const ScratchBuffer& buffer) {
  EXPECT_EQ(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Count(), 0u);
  EXPECT_EQ(buffer.ElementSize(), 0u);
  EXPECT_EQ(buffer.ByteSize(), 0u);
}

TEST(ScratchBuffer, AllocatesZeroFilledBlockOfCountTimesSize) {
  ScratchBuffer buffer;
  buffer.Allocate(5, 2);
  ASSERT_NE(buffer.Data(), nullptr);
  EXPECT_EQ(buffer.Count(), 5u);
  EXPECT_EQ(buffer.ElementSize(), 2u);
  EXPECT_EQ(buffer.ByteSize(), 10u);
  const unsigned char* bytes = buffer.As<unsigned char>();
  EXPECT_TRUE(std::all_of(bytes, bytes + 10, [](unsigned char b) { return b == 0; }));
}

TEST(ScratchBuffer, ZeroCountOrZeroSizeReleasesAndStaysEmpty) {
  for (const auto& [count, size] : {std::pair<std::uint32_t, std::uint32_t>{0, 2}, {5, 0}, {0, 0}}) {
    ScratchBuffer buffer;
    buffer.Allocate(3, 1);
    ASSERT_NE(buffer.Data(), nullptr);
    buffer.Allocate(count, size);
    SCOPED_TRACE(testing::Message() << "count " << count << ", size " << size);
    ExpectEmpty(buffer);
  }
}

TEST(ScratchBuffer, ReallocationDropsOldContentsAndReleaseEmpties) {
  ScratchBuffer buffer;
  buffer.Allocate(4, 1);
  buffer.As<char>()[0] = 'x';
  buffer.Allocate(4, 1);
  EXPECT_EQ(buffer.As<char>()[0], 0) << "a new allocation is zero-filled again";
  buffer.Release();
  ExpectEmpty(buffer);
}

TEST(ScratchBuffer, MoveTransfersTheBlock) {
  ScratchBuffer source;
  source.Allocate(8, 2);
  void* block = source.Data();
  ScratchBuffer target(std::move(source));
  EXPECT_EQ(target.Data(), block);
  EXPECT_EQ(target.Count(), 8u);
  ExpectEmpty(source);
}

TEST(ScratchBuffer, ByteSizeOverflowThrowsInsteadOfAllocatingTooLittle) {
  ScratchBuffer buffer;
  EXPECT_THROW(buffer.Allocate(std::numeric_limits<std::uint32_t>::max(), 2), std::bad_alloc);
  ExpectEmpty(buffer);
}

}  // namespace
}  // namespace fw
