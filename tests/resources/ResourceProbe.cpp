#include "resources/EmbeddedResources.h"

// Size of the background picture as the loaded module sees it, or 0 when it is missing.
extern "C" __attribute__((visibility("default"))) std::size_t vtResourceProbeBackgroundSize() {
  const EmbeddedResource* resource = findEmbeddedBitmap(11500);
  return resource != nullptr ? resource->size : 0;
}
