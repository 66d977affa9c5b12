#include "platform/ByteWriter.h"

#include <bit>
#include <cstring>

#include "platform/ByteOrder.h"

void ByteWriter::writeU32(std::uint32_t value) {
  if (swap_) value = swapped32(value);
  unsigned char raw[4];
  std::memcpy(raw, &value, 4);
  bytes_.insert(bytes_.end(), raw, raw + 4);
}

void ByteWriter::writeFloat(float value) { writeU32(std::bit_cast<std::uint32_t>(value)); }

void ByteWriter::writeBytes(const void* data, std::size_t count) {
  if (count == 0) return;
  const auto* bytes = static_cast<const unsigned char*>(data);
  bytes_.insert(bytes_.end(), bytes, bytes + count);
}
