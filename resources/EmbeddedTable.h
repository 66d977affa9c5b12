// The table the build generates from resources/png: one entry per PNG file, in name order.
#pragma once

#include "resources/EmbeddedResources.h"

struct EmbeddedEntry {
  const char* name;  // "bmp11500.png"
  const EmbeddedResource* resource;
};

extern const EmbeddedEntry kEmbeddedEntries[];
extern const std::size_t kEmbeddedEntryCount;
