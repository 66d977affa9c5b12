#include "tools/bitmap-generator/FontCheck.h"

#include <fontconfig/fontconfig.h>

#include <memory>

namespace vtgen {

namespace {

struct PatternDeleter {
  void operator()(FcPattern* pattern) const noexcept { FcPatternDestroy(pattern); }
};
using FontPattern = std::unique_ptr<FcPattern, PatternDeleter>;

}  // namespace

std::string resolvedFontFamily(const char* family) {
  FontPattern wanted(FcNameParse(reinterpret_cast<const FcChar8*>(family)));
  if (!wanted) return {};
  FcConfigSubstitute(nullptr, wanted.get(), FcMatchPattern);
  FcDefaultSubstitute(wanted.get());
  FcResult result = FcResultNoMatch;
  FontPattern match(FcFontMatch(nullptr, wanted.get(), &result));
  if (!match) return {};
  FcChar8* found = nullptr;
  if (FcPatternGetString(match.get(), FC_FAMILY, 0, &found) != FcResultMatch || found == nullptr)
    return {};
  return reinterpret_cast<const char*>(found);
}

}  // namespace vtgen
