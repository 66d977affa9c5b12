// The editor's pictures, compiled into the plug-in: the shared object carries its own PNG files
// and needs nothing beside it on disk.
#pragma once

#include <cstddef>

// The bytes of one PNG file as it lies in resources/png.
struct EmbeddedResource {
  const unsigned char* data;
  std::size_t size;
};

// Looks a picture up by file name ("bmp11500.png"; the name without ".png" is found as well).
// Null for an unknown or null name.
const EmbeddedResource* findEmbeddedResource(const char* name);

// Looks a picture up by resource number, under the name "bmp%05d" (989 is "bmp00989.png").
const EmbeddedResource* findEmbeddedBitmap(int id);

// The same lookup in the shape of the toolkit's bitmap resource provider.
bool embeddedResourceProvider(const char* name, const unsigned char** data, std::size_t* size);

// Every embedded picture, in file-name order, for listing and checks.
std::size_t embeddedResourceCount();
const char* embeddedResourceName(std::size_t index);
const EmbeddedResource* embeddedResourceAt(std::size_t index);
