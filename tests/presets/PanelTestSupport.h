#pragma once

// Shared by the preset row's tests: a plug-in instance with its window open headless, and mouse
// and key gestures on the row's controls.

#include "gui/CFrame.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "platform/XPlatAlert.h"
#include "tests/platform/StandIn.h"
#include "tests/presets/PresetTestSupport.h"

namespace presettest {

class PanelTest : public PresetTest {
 protected:
  std::unique_ptr<Veltrane> effect = makeEffect();
  // The instance's own editor: the window's controls, then the preset row.
  CPresetSystemEditor* editor = &editorOf(*effect);

  void SetUp() override {
    // Alerts go to standard error only; no dialog pops up during tests.
    XPlatSetAlertProgram(AlertProgram{"/bin/true", AlertProgramKind::Zenity});
  }
  void TearDown() override {
    editor->close();
    XPlatSetAlertProgram(std::nullopt);
  }

  CFrame* frame() const { return editor->getFrame(); }

  template <class T = CControl>
  T* control(int32_t tag) const {
    for (int32_t i = 0; i < frame()->getNbViews(); ++i)
      if (auto* c = dynamic_cast<CControl*>(frame()->getView(i)); c && c->getTag() == tag)
        return dynamic_cast<T*>(c);
    return nullptr;
  }
  // A press and (when the control wants it) a release at a point of the frame.
  void clickAt(CPoint where, int64_t buttons = kLButton) const {
    CPoint down(where), up(where);
    if (frame()->onMouseDown(down, CButtonState(buttons)) == kMouseEventHandled)
      frame()->onMouseUp(up, CButtonState(buttons));
  }
  void click(int32_t tag, int64_t buttons = kLButton) const {
    clickAt(control(tag)->getViewSize().getCenter(), buttons);
  }
  void key(unsigned char virt, int32_t character = 0) const {
    CKeyCode code{character, virt, 0};
    frame()->onKeyDown(code);
  }
  std::string fieldText() const {
    return control<CTextEdit>(CPresetSystemEditor::kTagName)->getText();
  }
  COptionMenu* menu() const { return control<COptionMenu>(CPresetSystemEditor::kTagPresetMenu); }

  // Field, menu titles and menu choice all show the store as it is.
  void expectPanelShowsStore() const {
    const int current = static_cast<int>(effect->getPresetNo());
    EXPECT_EQ(fieldText(), storedName(*effect, current));
    ASSERT_EQ(menu()->getNbEntries(), kNumPresets);
    for (int k = 0; k < kNumPresets; ++k)
      EXPECT_EQ(menu()->getEntry(k)->getTitle(), storedName(*effect, k));
    EXPECT_EQ(menu()->getCurrentIndex(), current);
  }
};

}  // namespace presettest
