#include "gui/CTextEdit.h"

#include "gui/CFrame.h"

#include <cmath>
#include <cstring>

CTextEdit::CTextEdit(const CRect& r, CControlListener* l, int32_t t, const char* txt,
                     CBitmap* bitmap, int32_t s)
    : CParamDisplay(r, bitmap, s) {
  listener = l;
  tag = t;
  setText(txt);
}

void CTextEdit::setText(const char* txt) {
  text = txt ? txt : "";
  if (static_cast<int32_t>(text.size()) > maxChars) text.resize(static_cast<size_t>(maxChars));
  setDirty(true);
}

CCoord CTextEdit::textStartX(CDrawContext* context, const char* string) const {
  if (horiAlign == kLeftText) return size.left;
  return size.left + (size.getWidth() - context->getStringWidth(string)) / 2;
}

void CTextEdit::draw(CDrawContext* context) {
  if (!editingText) {
    drawBack(context);
    drawText(context, text.c_str());
    setDirty(false);
    return;
  }
  drawBack(context);
  context->setFont(font);
  drawText(context, editText.c_str());
  // Remember where each character boundary lies so clicks can place the caret.
  const CCoord start = std::round(textStartX(context, editText.c_str()));
  caretPositions.assign(1, start);
  for (size_t i = 1; i <= editText.size(); ++i)
    caretPositions.push_back(start + context->getStringWidth(editText.substr(0, i).c_str()));
  const CCoord x = std::round(caretPositions[std::min(caret, editText.size())]);
  const CCoord fontSize = context->getFontSize();
  const CCoord top = std::round(size.top + (size.getHeight() - fontSize) / 2);
  context->saveGlobalState();
  context->setClipRect(size);
  context->setFrameColor(fontColor);
  context->setLineWidth(1);
  context->drawLine(CPoint(x, top), CPoint(x, top + fontSize - 1));
  context->restoreGlobalState();
  setDirty(false);
}

size_t CTextEdit::caretFromPoint(const CPoint& where) const {
  if (caretPositions.size() != editText.size() + 1) return editText.size();
  size_t best = 0;
  for (size_t i = 1; i < caretPositions.size(); ++i)
    if (std::fabs(caretPositions[i] - where.x) < std::fabs(caretPositions[best] - where.x))
      best = i;
  return best;
}

CMouseEventResult CTextEdit::onMouseDown(CPoint& where, const CButtonState& buttons) {
  if (!buttons.isLeftButton()) return kMouseEventNotHandled;
  if (editingText) {
    caret = caretFromPoint(where);
    invalid();
    return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
  }
  if (CFrame* f = getFrame()) f->setFocusView(this);
  return kMouseDownEventHandledButDontNeedMovedOrUpEvents;
}

void CTextEdit::takeFocus() {
  if (editingText) return;
  editingText = true;
  escaped = false;
  textBeforeEdit = text;
  editText = text;
  caret = editText.size();
  caretPositions.clear();
  invalid();
}

void CTextEdit::looseFocus() {
  if (!editingText) return;
  editingText = false;
  if (!escaped) commit();
  invalid();
}

void CTextEdit::commit() {
  if (editText == textBeforeEdit) return;
  beginEdit();
  setText(editText.c_str());
  valueChanged();
  endEdit();
}

int32_t CTextEdit::onKeyDown(CKeyCode& key) {
  if (!editingText) return -1;
  CFrame* f = getFrame();
  switch (key.virt) {
    case kVKeyEscape:
      escaped = true;
      [[fallthrough]];
    case kVKeyReturn:
    case kVKeyEnter:
      // Giving up the focus ends the edit (and commits it unless escaped).
      if (f) f->setFocusView(nullptr);
      return 1;
    case kVKeyBack:
      if (caret > 0) editText.erase(--caret, 1);
      break;
    case kVKeyDelete:
      if (caret < editText.size()) editText.erase(caret, 1);
      break;
    case kVKeyLeft:
      if (caret > 0) --caret;
      break;
    case kVKeyRight:
      if (caret < editText.size()) ++caret;
      break;
    case kVKeyHome:
      caret = 0;
      break;
    case kVKeyEnd:
      caret = editText.size();
      break;
    case kVKeySpace:
    case kVKeyNone: {
      const int32_t c = key.virt == kVKeySpace ? ' ' : key.character;
      // One byte per character: printable ASCII and Latin-1.
      if (c < 0x20 || c > 0xFF || c == 0x7F || (c >= 0x80 && c < 0xA0)) return -1;
      if (static_cast<int32_t>(editText.size()) >= maxChars) return 1;
      editText.insert(caret++, 1, static_cast<char>(c));
      break;
    }
    default:
      return -1;
  }
  invalid();
  return 1;
}

int32_t CTextEdit::onKeyUp(CKeyCode&) { return editingText ? 1 : -1; }

bool CTextEdit::isTypeOf(const char* type) const {
  return std::strcmp(type, "CTextEdit") == 0 || CParamDisplay::isTypeOf(type);
}
