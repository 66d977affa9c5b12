#include "validate/ChunkMutations.h"

#include <sys/mman.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <new>

#include "validate/CheckReport.h"

namespace {

constexpr std::size_t kTruncations = 200;
constexpr std::size_t kHeadBytes = 32;  // every bit of these is flipped in turn
constexpr int kRandomFlips = 400;
constexpr int kMultipleFlips = 200;
constexpr int kRandomChunks = 150;
constexpr int kKeptHeadChunks = 150;
constexpr int kExtremeBytes = 100;
constexpr int kAppended = 16;

MutatedChunk chunk(std::string name, std::vector<unsigned char> bytes) {
  MutatedChunk m;
  m.name = std::move(name);
  m.size = static_cast<VstIntPtr>(bytes.size());
  m.bytes = std::move(bytes);
  return m;
}

}  // namespace

std::vector<MutatedChunk> mutateChunk(const std::vector<unsigned char>& base,
                                      std::mt19937& random) {
  const std::size_t n = base.size();
  std::vector<MutatedChunk> all;
  auto prefix = [&](std::size_t length) {
    all.push_back(
        chunk(formatted("truncated to %zu of %zu bytes", length, n),
              std::vector<unsigned char>(base.begin(), base.begin() + static_cast<long>(length))));
  };
  for (std::size_t length = 0; length < n && length <= kTruncations; ++length) prefix(length);
  for (std::size_t cut = 1; cut <= kTruncations && cut <= n; ++cut)
    if (n - cut > kTruncations) prefix(n - cut);

  std::uniform_int_distribution<std::size_t> anyByte(0, n ? n - 1 : 0);
  std::uniform_int_distribution<int> anyBit(0, 7), anyValue(0, 255);
  auto flipped = [&](std::size_t byte, int bit) {
    std::vector<unsigned char> bytes = base;
    bytes[byte] = static_cast<unsigned char>(bytes[byte] ^ (1u << bit));
    return bytes;
  };
  if (n > 0) {
    for (std::size_t byte = 0; byte < std::min(n, kHeadBytes); ++byte)
      for (int bit = 0; bit < 8; ++bit)
        all.push_back(
            chunk(formatted("bit %d of byte %zu flipped", bit, byte), flipped(byte, bit)));
    for (int k = 0; k < kRandomFlips; ++k) {
      const std::size_t byte = anyByte(random);
      const int bit = anyBit(random);
      all.push_back(chunk(formatted("bit %d of byte %zu flipped", bit, byte), flipped(byte, bit)));
    }
    for (int k = 0; k < kMultipleFlips; ++k) {
      std::vector<unsigned char> bytes = base;
      const int flips = 2 + k % 7;
      for (int f = 0; f < flips; ++f)
        bytes[anyByte(random)] ^= static_cast<unsigned char>(1u << anyBit(random));
      all.push_back(
          chunk(formatted("%d random bits flipped (set %d)", flips, k), std::move(bytes)));
    }
    for (int k = 0; k < kExtremeBytes; ++k) {
      static constexpr unsigned char kExtremes[] = {0x00, 0xFF, 0x7F, 0x80};
      std::vector<unsigned char> bytes = base;
      const std::size_t byte = anyByte(random);
      bytes[byte] = kExtremes[k % 4];
      std::string name = formatted("byte %zu set to 0x%02x", byte, kExtremes[k % 4]);
      all.push_back(chunk(std::move(name), std::move(bytes)));
    }
  }
  std::uniform_int_distribution<std::size_t> anyLength(1, std::max<std::size_t>(2 * n, 64));
  for (int k = 0; k < kRandomChunks + kKeptHeadChunks; ++k) {
    const bool keepHead = k >= kRandomChunks;
    std::vector<unsigned char> bytes(anyLength(random));
    for (auto& b : bytes) b = static_cast<unsigned char>(anyValue(random));
    if (keepHead)
      std::copy_n(base.begin(), std::min({bytes.size(), n, kHeadBytes / 2}), bytes.begin());
    std::string name = formatted("%zu random bytes%s (set %d)", bytes.size(),
                                 keepHead ? " after the head" : "", k);
    all.push_back(chunk(std::move(name), std::move(bytes)));
  }
  for (int extra = 1; extra <= kAppended; ++extra) {
    std::vector<unsigned char> bytes = base;
    for (int k = 0; k < extra; ++k) bytes.push_back(static_cast<unsigned char>(anyValue(random)));
    all.push_back(chunk(formatted("%d random bytes appended", extra), std::move(bytes)));
  }
  for (VstIntPtr size : {VstIntPtr{0}, VstIntPtr{-1}, VstIntPtr{INT32_MIN}, VstIntPtr{INT32_MAX},
                         VstIntPtr{1} << 31, VstIntPtr{1} << 40, VstIntPtr{INTPTR_MAX}}) {
    MutatedChunk m = chunk(
        formatted("size %lld announced for %zu bytes", static_cast<long long>(size), n), base);
    m.size = size;
    all.push_back(std::move(m));
  }
  for (VstIntPtr size : {static_cast<VstIntPtr>(n), VstIntPtr{0}}) {
    MutatedChunk m;
    m.name = formatted("a null pointer with size %lld", static_cast<long long>(size));
    m.size = size;
    m.nullPointer = true;
    all.push_back(std::move(m));
  }
  return all;
}

GuardedBytes::GuardedBytes(std::size_t capacity) {
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  const std::size_t data = (capacity + page - 1) / page * page;
  length_ = data + page;
  void* memory = mmap(nullptr, length_, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) throw std::bad_alloc();
  memory_ = static_cast<unsigned char*>(memory);
  guard_ = memory_ + data;
  mprotect(guard_, page, PROT_NONE);
}

GuardedBytes::~GuardedBytes() { munmap(memory_, length_); }

void* GuardedBytes::place(const std::vector<unsigned char>& bytes) {
  unsigned char* start =
      guard_ - std::min(bytes.size(), static_cast<std::size_t>(guard_ - memory_));
  if (start != guard_) std::memcpy(start, bytes.data(), static_cast<std::size_t>(guard_ - start));
  return start;
}
