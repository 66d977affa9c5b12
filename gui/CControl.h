#pragma once

#include "gui/CControlListener.h"
#include "gui/CView.h"

// A view with a value in [min, max] that reports changes to its listener. Gestures are
// bracketed by beginEdit/endEdit; nested brackets are counted so only the outermost pair
// reaches the host.
class CControl : public CView {
 public:
  CControl(const CRect& size, CControlListener* listener = nullptr, int32_t tag = 0,
           CBitmap* background = nullptr);
  CControl(const CControl& other);
  ~CControl() override;

  virtual void setValue(float val);
  virtual float getValue() const { return value; }
  virtual void setMin(float val) { vmin = val; }
  virtual float getMin() const { return vmin; }
  virtual void setMax(float val) { vmax = val; }
  virtual float getMax() const { return vmax; }
  virtual void setOldValue(float val) { oldValue = val; }
  virtual float getOldValue() const { return oldValue; }
  virtual void setDefaultValue(float val) { defaultValue = val; }
  virtual float getDefaultValue() const { return defaultValue; }
  virtual void setValueNormalized(float val);
  virtual float getValueNormalized() const;
  virtual void bounceValue();

  virtual void setTag(int32_t val) { tag = val; }
  int32_t getTag() const { return tag; }
  virtual void setListener(CControlListener* l) { listener = l; }
  CControlListener* getListener() const { return listener; }
  void setWheelInc(float val) { wheelInc = val; }
  float getWheelInc() const { return wheelInc; }
  virtual void setBackOffset(const CPoint& offset) { backOffset = offset; }
  const CPoint& getBackOffset() const { return backOffset; }

  virtual void valueChanged();
  virtual void beginEdit();
  virtual void endEdit();
  bool isEditing() const { return editing > 0; }
  // With the default-value modifier (Control) held: sets the default value as one gesture.
  virtual bool checkDefaultValue(CButtonState button);

  bool isDirty() const override;
  void setDirty(bool state = true) override;

  bool removed(CViewContainer* parent) override;
  bool isTypeOf(const char* type) const override;
  CView* newCopy() const override { return new CControl(*this); }

 protected:
  CControlListener* listener;
  int32_t tag;
  float value = 0.f;
  float oldValue = 1.f;
  float defaultValue = 0.5f;
  float vmin = 0.f;
  float vmax = 1.f;
  float wheelInc = 0.1f;
  CPoint backOffset;
  int32_t editing = 0;
};
