// ScratchBuffer: a zero-filled heap block of count elements of element-size bytes each, for Win32
// out-parameters and text conversions. One per use, local to one native call, never copied.
//
//   ScratchBuffer buffer;
//   buffer.Allocate(256, sizeof(wchar_t));            // 512 zero bytes
//   GetWindowsDirectoryW(buffer.As<wchar_t>(), buffer.Count());
//
// Allocate with a zero count or a zero element size leaves the buffer empty: null data, count 0,
// element size 0. An allocation that cannot be satisfied throws std::bad_alloc.
#pragma once

#include <cstdint>
#include <memory>

namespace fw {

class ScratchBuffer {
 public:
  ScratchBuffer() noexcept = default;
  ScratchBuffer(const ScratchBuffer&) = delete;
  ScratchBuffer& operator=(const ScratchBuffer&) = delete;
  ScratchBuffer(ScratchBuffer&& other) noexcept;
  ScratchBuffer& operator=(ScratchBuffer&& other) noexcept;
  ~ScratchBuffer() = default;

  // Releases what is held, then allocates count * elementSize zeroed bytes when both are non-zero.
  void Allocate(std::uint32_t count, std::uint32_t elementSize);
  void Release() noexcept;

  void* Data() const noexcept { return data_.get(); }
  template <typename T>
  T* As() const noexcept {
    return reinterpret_cast<T*>(data_.get());
  }
  std::uint32_t Count() const noexcept { return count_; }
  std::uint32_t ElementSize() const noexcept { return elementSize_; }
  std::uint32_t ByteSize() const noexcept { return count_ * elementSize_; }
  bool Empty() const noexcept { return !data_; }

 private:
  std::unique_ptr<unsigned char[]> data_;
  std::uint32_t count_ = 0;
  std::uint32_t elementSize_ = 0;
};

}  // namespace fw
