#include "gui/CAnimKnob.h"

#include <cstring>

CAnimKnob::CAnimKnob(const CRect& r, CControlListener* l, int32_t t, int32_t n, CCoord h,
                     CBitmap* bitmap, const CPoint& o)
    : CKnob(r, l, t, bitmap, nullptr, o), subPixmaps(n), heightOfOneImage(h) {}

bool CAnimKnob::isTypeOf(const char* type) const {
  return std::strcmp(type, "CAnimKnob") == 0 || CKnob::isTypeOf(type);
}
