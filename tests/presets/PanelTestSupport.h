#pragma once

// Shared by the preset row's tests: an editor that builds nothing but the row, in a headless
// frame, attached to a plug-in instance, and mouse and key gestures on its controls.

#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "editor/MyFrame.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "platform/XPlatAlert.h"
#include "tests/presets/PresetTestSupport.h"

namespace presettest {

// A derived editor with no controls of its own: it makes the frame, then lets the base class
// add the row, and closes in the order the plug-in's editor does.
class PanelEditor : public CPresetSystemEditor {
 public:
  using CPresetSystemEditor::CPresetSystemEditor;

  bool open(void* parentWindow) override {
    AEffGUIEditor::open(parentWindow);
    frame = new MyFrame(CRect(0, 0, 778, 248), nullptr, this);
    return CPresetSystemEditor::open(parentWindow);
  }
  void close() override {
    CPresetSystemEditor::close();
    if (frame != nullptr) frame->close();
    frame = nullptr;
  }
};

// Replaces the instance's own preset editor, which has no window.
inline PanelEditor* attachPanel(Veltrane& effect) {
  delete effect.getEditor();
  auto* panel = new PanelEditor(&effect);
  effect.setEditor(panel);
  return panel;
}

inline void writeScript(const std::filesystem::path& path, const std::string& body) {
  std::ofstream(path) << "#!/bin/sh\n" << body;
  chmod(path.c_str(), 0755);
}

inline std::string slurp(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

inline std::string storedName(Veltrane& effect, int preset) {
  return std::string(effect.presetName(preset),
                     strnlen(effect.presetName(preset), kPresetNameLength));
}

class PanelTest : public PresetTest {
 protected:
  std::unique_ptr<Veltrane> effect = makeEffect();
  PanelEditor* editor = attachPanel(*effect);

  void SetUp() override {
    // Alerts go to standard error only; no dialog pops up during tests.
    XPlatSetAlertProgram(AlertProgram{"/bin/true", AlertProgramKind::Zenity});
  }
  void TearDown() override {
    editor->close();
    XPlatSetAlertProgram(std::nullopt);
  }

  ScriptedDialog* installScriptedDialog(PanelEditor* target = nullptr) {
    auto scripted = std::make_unique<ScriptedDialog>();
    ScriptedDialog* raw = scripted.get();
    (target ? target : editor)->setFileDialog(std::move(scripted));
    return raw;
  }

  CFrame* frame() const { return editor->getFrame(); }

  template <class T = CControl>
  static T* control(PanelEditor* target, int32_t tag) {
    CFrame* f = target->getFrame();
    if (f == nullptr) return nullptr;
    for (int32_t i = 0; i < f->getNbViews(); ++i)
      if (auto* c = dynamic_cast<CControl*>(f->getView(i)); c != nullptr && c->getTag() == tag)
        return dynamic_cast<T*>(c);
    return nullptr;
  }
  template <class T = CControl>
  T* control(int32_t tag) const {
    return control<T>(editor, tag);
  }

  // A press and (when the control wants it) a release at a point of the frame.
  static CMouseEventResult clickAt(CFrame* f, CPoint where, int64_t buttons = kLButton) {
    CPoint down(where);
    const CMouseEventResult result = f->onMouseDown(down, CButtonState(buttons));
    CPoint up(where);
    if (result == kMouseEventHandled) f->onMouseUp(up, CButtonState(buttons));
    return result;
  }
  CMouseEventResult click(int32_t tag, int64_t buttons = kLButton, PanelEditor* target = nullptr) {
    PanelEditor* e = target ? target : editor;
    return clickAt(e->getFrame(), control(e, tag)->getViewSize().getCenter(), buttons);
  }

  // Clicks into the name field, replaces its text and presses Return.
  void typeName(const std::string& text) {
    click(CPresetSystemEditor::kTagName);
    for (size_t i = fieldText().size(); i > 0; --i) key(kVKeyBack);
    for (char c : text) key(kVKeyNone, static_cast<unsigned char>(c));
    key(kVKeyReturn);
  }
  void key(unsigned char virt, int32_t character = 0) {
    CKeyCode code;
    code.virt = virt;
    code.character = character;
    frame()->onKeyDown(code);
  }

  std::string fieldText(PanelEditor* target = nullptr) const {
    return control<CTextEdit>(target ? target : editor, CPresetSystemEditor::kTagName)->getText();
  }
  COptionMenu* menu(PanelEditor* target = nullptr) const {
    return control<COptionMenu>(target ? target : editor, CPresetSystemEditor::kTagPresetMenu);
  }
  std::vector<std::string> menuTitles(PanelEditor* target = nullptr) const {
    std::vector<std::string> titles;
    COptionMenu* m = menu(target);
    for (int32_t i = 0; i < m->getNbEntries(); ++i) titles.push_back(m->getEntry(i)->getTitle());
    return titles;
  }

  // Field, menu titles and menu choice all show the store as it is.
  void expectPanelShowsStore(PanelEditor* target, Veltrane& e) const {
    const int current = static_cast<int>(e.getPresetNo());
    EXPECT_EQ(fieldText(target), storedName(e, current));
    std::vector<std::string> names;
    for (int k = 0; k < kNumPresets; ++k) names.push_back(storedName(e, k));
    EXPECT_EQ(menuTitles(target), names);
    EXPECT_EQ(menu(target)->getCurrentIndex(), current);
  }
};

// Idles the editor until a condition holds or two seconds pass.
template <class Condition>
bool idleUntil(CPresetSystemEditor& editor, Condition condition) {
  for (int i = 0; i < 200; ++i) {
    editor.idle();
    if (condition()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  return false;
}

}  // namespace presettest
