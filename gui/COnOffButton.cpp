#include "gui/COnOffButton.h"

#include <cstring>

COnOffButton::COnOffButton(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap)
    : CControl(r, l, t, bitmap) {}

bool COnOffButton::isTypeOf(const char* type) const {
  return std::strcmp(type, "COnOffButton") == 0 || CControl::isTypeOf(type);
}
