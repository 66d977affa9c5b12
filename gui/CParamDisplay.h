#pragma once

#include "gui/CColor.h"
#include "gui/CControl.h"
#include "gui/CDrawContext.h"

enum CParamDisplayStyle {
  k3DIn = 1 << 0,
  k3DOut = 1 << 1,
  kPopupStyle = 1 << 2,
  kCheckStyle = 1 << 3,
  kShadowText = 1 << 5,
  kNoTextStyle = 1 << 11,
  kNoDrawStyle = 1 << 12,
  kDoubleClickStyle = 1 << 13,
  kNoFrame = 1 << 14,
};

// Shows its value as text; a string-convert procedure formats it (default "%2.2f").
class CParamDisplay : public CControl {
 public:
  using StringConvertProc = void (*)(float value, char* string);
  using ValueToStringProc = bool (*)(float value, char utf8String[256], void* userData);

  CParamDisplay(const CRect& size, CBitmap* background = nullptr, int32_t style = 0);

  void draw(CDrawContext* context) override;

  void setStringConvert(StringConvertProc proc) { stringConvert = proc; }
  void setValueToStringProc(ValueToStringProc proc, void* userData = nullptr) {
    valueToString = proc;
    valueToStringUserData = userData;
  }
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
  void setShadowColor(const CColor& c) {
    shadowColor = c;
    setDirty(true);
  }
  void setHoriAlign(CHoriTxtAlign a) {
    horiAlign = a;
    setDirty(true);
  }
  CHoriTxtAlign getHoriAlign() const { return horiAlign; }
  void setAntialias(bool state) { antialias = state; }
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
  ValueToStringProc valueToString = nullptr;
  void* valueToStringUserData = nullptr;
  const CFontDesc* font = kNormalFont;
  CColor fontColor = kWhiteCColor;
  CColor backColor = kBlackCColor;
  CColor frameColor = kBlackCColor;
  CColor shadowColor = kRedCColor;
  CHoriTxtAlign horiAlign = kCenterText;
  int32_t style;
  bool antialias = true;
};
