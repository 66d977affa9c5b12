// The bank readers (record-based and old positional) on arbitrary file contents; the
// first byte chooses the user's "endian-reversed" load.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1 || size > 1 << 16) return 0;
  Veltrane& effect = fuzzsupport::freshEffect();
  std::vector<unsigned char> file(data + 1, data + size);
  fuzzsupport::editorOf(effect).loadBankBuffer(file, (data[0] & 1) != 0);
  fuzzsupport::checkStore(effect);
  return 0;
}
