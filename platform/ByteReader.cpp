#include "platform/ByteReader.h"

#include <bit>
#include <cstring>

#include "platform/ByteOrder.h"

bool ByteReader::has(std::size_t count) {
  if (!failed_ && count <= remaining()) return true;
  failed_ = true;
  return false;
}

bool ByteReader::readU8(std::uint8_t& out) {
  out = 0;
  if (!has(1)) return false;
  out = data_[position_++];
  return true;
}

bool ByteReader::readU32(std::uint32_t& out) {
  out = 0;
  if (!has(4)) return false;
  std::memcpy(&out, data_.data() + position_, 4);
  position_ += 4;
  if (swap_) out = swapped32(out);
  return true;
}

bool ByteReader::readI32(std::int32_t& out) {
  std::uint32_t bits = 0;
  bool ok = readU32(bits);
  out = static_cast<std::int32_t>(bits);
  return ok;
}

bool ByteReader::readFloat(float& out) {
  std::uint32_t bits = 0;
  bool ok = readU32(bits);
  out = std::bit_cast<float>(bits);
  return ok;
}

bool ByteReader::readBytes(void* out, std::size_t count) {
  if (!has(count)) {
    if (out != nullptr && count > 0) std::memset(out, 0, count);
    return false;
  }
  if (count > 0) std::memcpy(out, data_.data() + position_, count);
  position_ += count;
  return true;
}

bool ByteReader::skip(std::size_t count) {
  if (!has(count)) return false;
  position_ += count;
  return true;
}

bool ByteReader::take(std::size_t count, ByteReader& out) {
  out = ByteReader({}, swap_);
  if (!has(count)) return false;
  out = ByteReader(data_.subspan(position_, count), swap_);
  position_ += count;
  return true;
}
