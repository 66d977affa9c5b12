#include "gui/CRockerSwitch.h"

#include <cstring>

CRockerSwitch::CRockerSwitch(const CRect& r, CControlListener* l, int32_t t, CCoord h,
                             CBitmap* bitmap, const CPoint& /*offset*/, int32_t /*style*/)
    : CControl(r, l, t, bitmap), heightOfOneImage(h) {
  setMin(-1.f);
  setMax(1.f);
  setValue(0.f);
}

bool CRockerSwitch::isTypeOf(const char* type) const {
  return std::strcmp(type, "CRockerSwitch") == 0 || CControl::isTypeOf(type);
}
