#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"

enum CParamDisplayStyle {
  kCheckStyle = 1 << 3,
  kNoTextStyle = 1 << 11,
  kNoDrawStyle = 1 << 12,
};

// Shows its value as text; a string-convert procedure formats it (default "%2.2f"). Without a
// background picture it fills its box with the back colour and frames it.
class CParamDisplay : public CControl {
 public:
  using StringConvertProc = void (*)(float value, char* string);

  CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

  void draw(CDrawContext* context) override;

  void setStringConvert(StringConvertProc proc) { stringConvert = proc; }
  // The text shown for a value.
  virtual void getDisplayText(float val, char string[256]) const;

  void setFont(const CFontDesc* f) {
    font = f ? f : kNormalFont;
    setDirty(true);
  }
  const CFontDesc* getFont() const { return font; }
  void setFontColor(const CColor& c) {
    fontColor = c;
    setDirty(true);
  }
  CColor getFontColor() const { return fontColor; }
  void setBackColor(const CColor& c) {
    backColor = c;
    setDirty(true);
  }
  CColor getBackColor() const { return backColor; }
  void setFrameColor(const CColor& c) {
    frameColor = c;
    setDirty(true);
  }
  CColor getFrameColor() const { return frameColor; }
  void setHoriAlign(CHoriTxtAlign a) {
    horiAlign = a;
    setDirty(true);
  }
  CHoriTxtAlign getHoriAlign() const { return horiAlign; }
  void setStyle(int32_t val) {
    style = val;
    setDirty(true);
  }
  int32_t getStyle() const { return style; }

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CParamDisplay(*this); }

 protected:
  void drawBack(CDrawContext* context);
  void drawText(CDrawContext* context, const char* string);

  StringConvertProc stringConvert = nullptr;
  const CFontDesc* font = kNormalFont;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
  CColor frameColor = kBlackCColor;
  CHoriTxtAlign horiAlign = kCenterText;
  int32_t style;
};
