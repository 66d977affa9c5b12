#include "gui/CAnimKnob.h"

#include "gui/CBitmap.h"
#include "gui/ImageStrip.h"

#include <cstring>

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, int32_t n, CCoord h,
                     CBitmap* bitmap, const CPoint& o)
    : CKnob(r, l, t, bitmap, nullptr, o), subPixmaps(n), heightOfOneImage(h) {
  inset = 0;
}

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap,
                     const CPoint& o)
    : CKnob(r, l, t, bitmap, nullptr, o), subPixmaps(0), heightOfOneImage(r.getHeight()) {
  inset = 0;
  if (bitmap && heightOfOneImage > 0)
    subPixmaps = static_cast<int32_t>(bitmap->getHeight() / heightOfOneImage);
}

void CAnimKnob::draw(CDrawContext* context) {
  if (background) {
    float normalized = getValueNormalized();
    if (inverseBitmap) normalized = 1.f - normalized;
    const int32_t index = stripIndexFloor(normalized, subPixmaps);
    background->draw(context, size, CPoint(offset.x, offset.y + index * heightOfOneImage));
  }
  setDirty(false);
}

bool CAnimKnob::isTypeOf(const char* type) const {
  return std::strcmp(type, "CAnimKnob") == 0 || CKnob::isTypeOf(type);
}
