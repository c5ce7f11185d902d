#include "bridge/scratch_buffer.h"

#include <limits>
#include <new>
#include <utility>

namespace fw {

ScratchBuffer::ScratchBuffer(ScratchBuffer&& other) noexcept
    : data_(std::move(other.data_)),
      count_(std::exchange(other.count_, 0)),
      elementSize_(std::exchange(other.elementSize_, 0)) {}

ScratchBuffer& ScratchBuffer::operator=(ScratchBuffer&& other) noexcept {
  if (this != &other) {
    data_ = std::move(other.data_);
    count_ = std::exchange(other.count_, 0);
    elementSize_ = std::exchange(other.elementSize_, 0);
  }
  return *this;
}

void ScratchBuffer::Allocate(std::uint32_t count, std::uint32_t elementSize) {
  Release();
  if (count == 0 || elementSize == 0) return;
  // The byte size must fit both the 32-bit size the callers pass to Win32 and size_t.
  if (count > std::numeric_limits<std::uint32_t>::max() / elementSize) throw std::bad_alloc();
  const std::size_t bytes = static_cast<std::size_t>(count) * elementSize;
  data_.reset(new unsigned char[bytes]());
  count_ = count;
  elementSize_ = elementSize;
}

void ScratchBuffer::Release() noexcept {
  data_.reset();
  count_ = 0;
  elementSize_ = 0;
}

}  // namespace fw
