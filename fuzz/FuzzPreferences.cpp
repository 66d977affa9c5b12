// The preference file parser on arbitrary bytes: it must never read out of bounds, and
// whatever it accepts must survive being written and read again unchanged.

#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "platform/PreferenceFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto parsed = parsePreferenceFile(std::span<const unsigned char>(data, size));
  if (!parsed) return 0;
  auto again = parsePreferenceFile(encodePreferenceFile(*parsed));
  if (!again || *again != *parsed) std::abort();
  return 0;
}
