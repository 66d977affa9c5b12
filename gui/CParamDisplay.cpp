#include "gui/CParamDisplay.h"

#include "gui/CBitmap.h"

#include <cstdio>
#include <cstring>

CParamDisplay::CParamDisplay(const CRect& r, CBitmap* bitmap, int32_t s)
    : CControl(r, nullptr, -1, bitmap), style(s) {}

void CParamDisplay::getDisplayText(float val, char string[256]) const {
  string[0] = 0;
  if (valueToString && valueToString(val, string, valueToStringUserData)) return;
  if (stringConvert) {
    // Old-style converters do not know the buffer size; 256 bytes is the contract.
    stringConvert(val, string);
    string[255] = 0;
    return;
  }
  std::snprintf(string, 256, "%2.2f", static_cast<double>(val));
}

void CParamDisplay::draw(CDrawContext* context) {
  if (style & kNoDrawStyle) {
    setDirty(false);
    return;
  }
  char string[256];
  getDisplayText(value, string);
  drawBack(context);
  drawText(context, string);
  setDirty(false);
}

void CParamDisplay::drawBack(CDrawContext* context) {
  if (background) {
    background->draw(context, size, backOffset);
    return;
  }
  if (transparent) return;
  context->setFillColor(backColor);
  context->drawRect(size, kDrawFilled);
  if (!(style & (k3DIn | k3DOut | kNoFrame))) {
    context->setFrameColor(frameColor);
    context->drawRect(size, kDrawStroked);
  }
}

void CParamDisplay::drawText(CDrawContext* context, const char* string) {
  if ((style & kNoTextStyle) || !string[0]) return;
  context->setFont(font);
  if (style & kShadowText) {
    CRect shadow(size);
    shadow.offset(1, 1);
    context->setFontColor(shadowColor);
    context->drawString(string, shadow, horiAlign, antialias);
  }
  context->setFontColor(fontColor);
  context->drawString(string, size, horiAlign, antialias);
}

bool CParamDisplay::isTypeOf(const char* type) const {
  return std::strcmp(type, "CParamDisplay") == 0 || CControl::isTypeOf(type);
}
