#pragma once

#include "gui/CBaseObject.h"
#include "gui/CRect.h"
#include "gui/CairoHandles.h"

#include <cstddef>
#include <string>

class CDrawContext;

// Names a bitmap resource: a number (looked up as "bmp%05d.png") or a file name.
class CResourceDescription {
 public:
  CResourceDescription(int32_t resourceId) : id(resourceId) {}
  CResourceDescription(const char* resourceName) : name(resourceName ? resourceName : "") {}

  // The file name under which the resource is stored.
  std::string fileName() const;
  // The file name of its version drawn at `pixelRatio` times the size: "bmp11500@2x.png".
  std::string fileName(int pixelRatio) const;

  int32_t id = -1;
  std::string name;
};

// A picture held as a cairo ARGB32 image; several images of a strip are stacked vertically.
// A resource that cannot be found or decoded gives a bitmap of size 0. Sizes are layout pixels;
// a resource may come with a version of twice the resolution ("@2x"), which is loaded when
// first drawn on a scaled context.
class CBitmap : public CBaseObject {
 public:
  // Finds the bytes of a named resource; false when there is none.
  using ResourceProvider = bool (*)(const char* name, const unsigned char** data, size_t* size);
  static void setResourceProvider(ResourceProvider provider);
  static ResourceProvider getResourceProvider();

  explicit CBitmap(const CResourceDescription& desc);
  // An empty picture to draw into (tests build their strips so).
  CBitmap(CCoord width, CCoord height);

  CCoord getWidth() const { return width; }
  CCoord getHeight() const { return height; }
  bool isLoaded() const { return surface != nullptr; }
  const CResourceDescription& getResourceDescription() const { return description; }
  cairo_surface_t* getSurface() const { return surface.get(); }

  // Copies the region starting at `offset` into `rect`, clipped to `rect` and to the picture.
  // Unscaled at scale 1; on a scaled context from the sharpest version, filtered only where
  // the device pixels do not meet the picture's pixels one to one.
  void draw(CDrawContext* context, const CRect& rect, const CPoint& offset = CPoint(0, 0));

  // Pixels per layout pixel of the high-resolution version.
  static constexpr int kHighResolutionRatio = 2;
  // The high-resolution version, loaded on first use; null when the resource has none of
  // exactly the right size.
  cairo_surface_t* getHighResolutionSurface();

 private:
  static CairoSurfacePtr decodePng(const unsigned char* data, size_t size);
  void loadPng(const unsigned char* data, size_t size);
  void drawScaled(CDrawContext* context, const CRect& area, const CPoint& offset);

  CResourceDescription description;
  CairoSurfacePtr surface;
  CairoSurfacePtr highResolution;
  bool highResolutionLooked = false;
  CCoord width = 0;
  CCoord height = 0;
};
