#pragma once

#include "gui/CParamDisplay.h"

#include <string>

// A text field edited inside the frame: a click gives it the focus, Return or a click
// elsewhere commits, Escape restores the text it had. A committed change is reported as
// one gesture (beginEdit, valueChanged, endEdit).
class CTextEdit : public CParamDisplay {
 public:
  CTextEdit(const CRect& size, CControlListener* listener, int32_t tag, const char* text = nullptr,
            CBitmap* background = nullptr, int32_t style = 0);

  virtual void setText(const char* text);
  virtual const char* getText() const { return text.c_str(); }
  void setMaxChars(int32_t n) { maxChars = n; }
  int32_t getMaxChars() const { return maxChars; }

  bool isEditingText() const { return editingText; }
  size_t getCaretPosition() const { return caret; }

  void draw(CDrawContext* context) override;
  CMouseEventResult onMouseDown(CPoint& where, const CButtonState& buttons) override;
  int32_t onKeyDown(CKeyCode& keyCode) override;
  int32_t onKeyUp(CKeyCode& keyCode) override;
  void takeFocus() override;
  void looseFocus() override;

  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CTextEdit(*this); }

 protected:
  void commit();
  size_t caretFromPoint(const CPoint& where) const;
  CCoord textStartX(CDrawContext* context, const char* string) const;

  std::string text;
  std::string editText;
  std::string textBeforeEdit;
  size_t caret = 0;
  int32_t maxChars = 255;
  bool editingText = false;
  bool escaped = false;
  // Glyph advances of the edit text from the last draw, for placing the caret by click.
  std::vector<CCoord> caretPositions;
};
