#include "gui/CControl.h"

#include "gui/CFrame.h"

#include <cstring>

CControl::CControl(const CRect& r, CControlListener* l, int32_t t, CBitmap* bitmap)
    : CView(r), listener(l), tag(t) {
  if (bitmap) setBackground(bitmap);
}

CControl::CControl(const CControl& other)
    : CView(other),
      listener(other.listener),
      tag(other.tag),
      value(other.value),
      oldValue(other.oldValue),
      defaultValue(other.defaultValue),
      vmin(other.vmin),
      vmax(other.vmax),
      wheelInc(other.wheelInc),
      backOffset(other.backOffset) {}

CControl::~CControl() = default;

void CControl::setValue(float val) {
  if (val < vmin)
    val = vmin;
  else if (val > vmax)
    val = vmax;
  value = val;
}

void CControl::setValueNormalized(float val) {
  if (val > 1.f)
    val = 1.f;
  else if (val < 0.f)
    val = 0.f;
  setValue(vmin + val * (vmax - vmin));
}

float CControl::getValueNormalized() const {
  const float range = vmax - vmin;
  return range == 0.f ? 0.f : (value - vmin) / range;
}

void CControl::bounceValue() {
  if (value > vmax)
    value = vmax;
  else if (value < vmin)
    value = vmin;
}

void CControl::valueChanged() {
  if (listener) listener->valueChanged(this);
}

void CControl::beginEdit() {
  if (++editing != 1) return;
  if (CFrame* f = getFrame()) f->beginEdit(tag);
}

void CControl::endEdit() {
  if (editing == 0 || --editing != 0) return;
  if (CFrame* f = getFrame()) f->endEdit(tag);
}

bool CControl::checkDefaultValue(CButtonState button) {
  if (!button.isLeftButton() || !(button & kDefaultValueModifier)) return false;
  if (value != defaultValue) {
    beginEdit();
    value = defaultValue;
    valueChanged();
    endEdit();
  }
  return true;
}

bool CControl::isDirty() const { return oldValue != value || CView::isDirty(); }

void CControl::setDirty(bool state) {
  CView::setDirty(state);
  if (state)
    oldValue = value != -1.f ? -1.f : 0.f;
  else
    oldValue = value;
}

bool CControl::removed(CViewContainer* parent) {
  // A gesture cut short by the window closing still owes the host its end.
  if (editing > 0) {
    if (CFrame* f = getFrame()) f->endEdit(tag);
    editing = 0;
  }
  return CView::removed(parent);
}

bool CControl::isTypeOf(const char* type) const {
  return std::strcmp(type, "CControl") == 0 || CView::isTypeOf(type);
}
