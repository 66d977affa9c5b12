#include "platform/ByteOrder.h"

void mySwapBytes(void* word) {
  if (word == nullptr) return;
  auto* bytes = static_cast<unsigned char*>(word);
  unsigned char first = bytes[0];
  unsigned char second = bytes[1];
  bytes[0] = bytes[3];
  bytes[1] = bytes[2];
  bytes[2] = second;
  bytes[3] = first;
}
