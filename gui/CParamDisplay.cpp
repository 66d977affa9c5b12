#include "gui/CParamDisplay.h"

#include "gui/CBitmap.h"

#include <cstdio>
#include <cstring>

CParamDisplay::CParamDisplay(const CRect& r, CBitmap* bitmap, int32_t s)
    : CControl(r, nullptr, -1, bitmap), style(s) {}

void CParamDisplay::getDisplayText(float val, char string[256]) const {
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
  context->setFillColor(backColor);
  context->setFrameColor(frameColor);
  context->drawRect(size, kDrawFilledAndStroked);
}

void CParamDisplay::drawText(CDrawContext* context, const char* string) {
  if ((style & kNoTextStyle) || !string[0]) return;
  context->setFont(font);
  context->setFontColor(fontColor);
  context->drawString(string, size, horiAlign);
}

bool CParamDisplay::isTypeOf(const char* type) const {
  return std::strcmp(type, "CParamDisplay") == 0 || CControl::isTypeOf(type);
}
