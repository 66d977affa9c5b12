#pragma once

// The one reader of every stored binary format (preset and bank buffers, chunks,
// preference files). It knows the data's byte order and never reads past the bytes
// it was given: a read beyond the end fails, leaves the output zeroed and marks the
// reader failed, so a parser can run on and check once.

#include <cstddef>
#include <cstdint>
#include <span>

class ByteReader {
 public:
  ByteReader() = default;
  // `swap`: the data was written in the other byte order, so 32-bit fields are reversed.
  ByteReader(std::span<const unsigned char> data, bool swap) : data_(data), swap_(swap) {}

  bool readU8(std::uint8_t& out);
  bool readU32(std::uint32_t& out);
  bool readI32(std::int32_t& out);
  bool readFloat(float& out);
  // Raw bytes, never reversed (names, reserved areas).
  bool readBytes(void* out, std::size_t count);
  bool skip(std::size_t count);
  // Splits off the next `count` bytes as a reader of their own (same byte order).
  bool take(std::size_t count, ByteReader& out);

  std::size_t remaining() const { return data_.size() - position_; }
  bool failed() const { return failed_; }
  std::span<const unsigned char> rest() const { return data_.subspan(position_); }

 private:
  bool has(std::size_t count);

  std::span<const unsigned char> data_;
  std::size_t position_ = 0;
  bool swap_ = false;
  bool failed_ = false;
};
