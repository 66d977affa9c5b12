#pragma once

#include <cstddef>
#include <random>
#include <string>
#include <vector>

#include "sdk/aeffectx.h"

// A damaged chunk for effSetChunk: its bytes, the size announced with them, or no bytes at
// all.
struct MutatedChunk {
  std::string name;
  std::vector<unsigned char> bytes;
  VstIntPtr size = 0;
  bool nullPointer = false;
};

// Every truncation up to 200 bytes from either end, bit flips (each bit of the head, random
// ones), random bytes (with and without the head kept), extreme byte values, bytes appended,
// huge, negative and zero sizes, and a null pointer.
std::vector<MutatedChunk> mutateChunk(const std::vector<unsigned char>& base, std::mt19937& random);

// Bytes placed so that the last one is followed by a page that cannot be read: a plug-in
// that reads one byte too many crashes instead of passing by luck.
class GuardedBytes {
 public:
  explicit GuardedBytes(std::size_t capacity);
  ~GuardedBytes();
  GuardedBytes(const GuardedBytes&) = delete;
  GuardedBytes& operator=(const GuardedBytes&) = delete;

  // Where the bytes now start; they end at the unreadable page.
  void* place(const std::vector<unsigned char>& bytes);

 private:
  unsigned char* memory_ = nullptr;
  std::size_t length_ = 0;
  unsigned char* guard_ = nullptr;
};
