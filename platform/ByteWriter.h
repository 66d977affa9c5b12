#pragma once

// The one writer of every stored binary format. It appends to its own buffer in the
// machine's byte order, or reversed when asked (tests build foreign-order data with it;
// the preference file is always little-endian).

#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

class ByteWriter {
 public:
  explicit ByteWriter(bool swap = false) : swap_(swap) {}

  void reserve(std::size_t bytes) { bytes_.reserve(bytes); }
  void writeU8(std::uint8_t value) { bytes_.push_back(value); }
  void writeU32(std::uint32_t value);
  void writeI32(std::int32_t value) { writeU32(static_cast<std::uint32_t>(value)); }
  void writeFloat(float value);
  void writeBytes(const void* data, std::size_t count);
  void writeZeros(std::size_t count) { bytes_.insert(bytes_.end(), count, 0); }

  std::size_t size() const { return bytes_.size(); }
  const std::vector<unsigned char>& bytes() const { return bytes_; }
  std::vector<unsigned char> release() { return std::move(bytes_); }

 private:
  std::vector<unsigned char> bytes_;
  bool swap_;
};
