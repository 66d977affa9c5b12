#include "resources/EmbeddedResources.h"

#include "resources/EmbeddedTable.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr const char kExtension[] = ".png";
constexpr std::size_t kExtensionLength = sizeof kExtension - 1;

bool sameName(const char* stored, const char* wanted) {
  if (std::strcmp(stored, wanted) == 0) return true;
  // The wanted name may leave the extension off.
  const std::size_t wantedLength = std::strlen(wanted);
  return std::strlen(stored) == wantedLength + kExtensionLength &&
         std::strncmp(stored, wanted, wantedLength) == 0 &&
         std::strcmp(stored + wantedLength, kExtension) == 0;
}

}  // namespace

const EmbeddedResource* findEmbeddedResource(const char* name) {
  if (name == nullptr) return nullptr;
  for (std::size_t index = 0; index < kEmbeddedEntryCount; ++index) {
    if (sameName(kEmbeddedEntries[index].name, name)) return kEmbeddedEntries[index].resource;
  }
  return nullptr;
}

const EmbeddedResource* findEmbeddedBitmap(int id) {
  char name[32];
  std::snprintf(name, sizeof name, "bmp%05d", id);
  return findEmbeddedResource(name);
}

bool embeddedResourceProvider(const char* name, const unsigned char** data, std::size_t* size) {
  const EmbeddedResource* resource = findEmbeddedResource(name);
  if (resource == nullptr || data == nullptr || size == nullptr) return false;
  *data = resource->data;
  *size = resource->size;
  return true;
}

std::size_t embeddedResourceCount() { return kEmbeddedEntryCount; }

const char* embeddedResourceName(std::size_t index) {
  return index < kEmbeddedEntryCount ? kEmbeddedEntries[index].name : nullptr;
}

const EmbeddedResource* embeddedResourceAt(std::size_t index) {
  return index < kEmbeddedEntryCount ? kEmbeddedEntries[index].resource : nullptr;
}
