#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "gui/CFrame.h"
#include "gui/CKnob.h"
#include "gui/CTextEdit.h"
#include "sdk/AEffGUIEditor.h"
#include "sdk/AudioEffectX.h"

namespace {

std::vector<std::string> hostCalls;

VstIntPtr host(AEffect*, VstInt32 opcode, VstInt32 index, VstIntPtr, void*, float) {
  if (opcode == audioMasterBeginEdit || opcode == audioMasterEndEdit)
    hostCalls.push_back(std::to_string(opcode) + " " + std::to_string(index));
  return opcode == audioMasterVersion ? kVstVersion : 0;
}

class Effect : public AudioEffectX {
 public:
  Effect() : AudioEffectX(host, 1, 1) {}
  void processReplacing(float**, float**, VstInt32) override {}
};

// A minimal editor: a frame with a knob and a text field, the editor as their listener.
class Editor : public AEffGUIEditor, public CControlListener {
 public:
  explicit Editor(AudioEffect* e) : AEffGUIEditor(e) { rect = {0, 0, 100, 200}; }
  bool open(void* parent) override {
    AEffGUIEditor::open(parent);
    frame = new CFrame(CRect(0, 0, 200, 100), parent, this);
    knob = new CKnob(CRect(0, 0, 40, 40), this, 5, nullptr, nullptr);
    text = new CTextEdit(CRect(50, 0, 150, 20), this, 96, "Name");
    frame->addView(knob);
    frame->addView(text);
    return true;
  }
  void close() override {
    knob = nullptr;
    text = nullptr;
    AEffGUIEditor::close();
  }
  void valueChanged(CControl*) override { ++changes; }
  CKnob* knob = nullptr;
  CTextEdit* text = nullptr;
  int changes = 0;
};

VstKeyCode key(VstInt32 character, unsigned char virt) { return VstKeyCode{character, virt, 0}; }

}  // namespace

TEST(AEffGUIEditor, OpenWithoutAUsableWindowFailsAndLeavesNothingOpen) {
  auto* effect = new Effect;
  auto* editor = new Editor(effect);
  effect->setEditor(editor);
  AEffect* e = effect->getAeffect();
  // No X server in the test run, or a window id that does not exist: no window either way.
  EXPECT_EQ(e->dispatcher(e, effEditOpen, 0, 0, reinterpret_cast<void*>(uintptr_t{0x3fffff0}), 0),
            0);
  EXPECT_EQ(editor->getFrame(), nullptr);
  e->dispatcher(e, effEditIdle, 0, 0, nullptr, 0);
  e->dispatcher(e, effClose, 0, 0, nullptr, 0);
}

TEST(AEffGUIEditor, IdleRedrawsAndGesturesReachTheHost) {
  hostCalls.clear();
  Effect effect;
  Editor editor(&effect);
  editor.setKnobMode(2);
  editor.open(nullptr);
  editor.idle();
  CFrame* frame = editor.getFrame();
  EXPECT_TRUE(frame->getInvalidRects().empty());
  CPoint down(20, 20), moved(20, 10);
  frame->onMouseDown(down, CButtonState(kLButton));
  frame->onMouseMoved(moved, CButtonState(kLButton));
  frame->onMouseUp(moved, CButtonState(kLButton));
  EXPECT_NEAR(editor.knob->getValue(), 0.05f, 1e-6)
      << "the frame read the editor's linear knob mode";
  EXPECT_EQ(hostCalls, (std::vector<std::string>{"43 5", "44 5"}));
  editor.knob->setValue(0.9f);
  editor.knob->setDirty(true);
  editor.idle();
  EXPECT_EQ(frame->getLastRenderedRects(), (std::vector<CRect>{CRect(0, 0, 40, 40)}));
}

TEST(AEffGUIEditor, KeysReachAFocusedTextFieldOnly) {
  Effect effect;
  Editor editor(&effect);
  editor.open(nullptr);
  VstKeyCode x = key('x', 0);
  EXPECT_FALSE(editor.onKeyDown(x)) << "nothing focused: the host keeps its key";
  CPoint inField(60, 10);
  editor.getFrame()->onMouseDown(inField, CButtonState(kLButton));
  EXPECT_TRUE(editor.onKeyDown(x));
  EXPECT_TRUE(editor.onKeyUp(x));
  VstKeyCode ret = key(0, 4);  // VKEY_RETURN
  EXPECT_TRUE(editor.onKeyDown(ret));
  EXPECT_STREQ(editor.text->getText(), "Namex");
  EXPECT_EQ(editor.changes, 1);
  EXPECT_FALSE(editor.onKeyDown(x));
}

TEST(AEffGUIEditor, OpeningTwiceClosesTheFirstWindow) {
  // An editor that counts a headless frame as open, so the host's calls can be followed.
  struct HeadlessEditor : Editor {
    using Editor::Editor;
    bool isOpen() override { return frame != nullptr; }
  };
  auto* effect = new Effect;
  auto* editor = new HeadlessEditor(effect);
  effect->setEditor(editor);
  AEffect* e = effect->getAeffect();
  ASSERT_EQ(e->dispatcher(e, effEditOpen, 0, 0, nullptr, 0), 1);
  CFrame* first = editor->getFrame();
  first->remember();
  ASSERT_EQ(e->dispatcher(e, effEditOpen, 0, 0, nullptr, 0), 1);
  EXPECT_NE(editor->getFrame(), first);
  EXPECT_EQ(first->getNbReference(), 1)
      << "the first frame was closed (only our reference is left)";
  EXPECT_EQ(first->getNbViews(), 0);
  first->forget();
  e->dispatcher(e, effClose, 0, 0, nullptr, 0);
}

TEST(AEffGUIEditor, DestroyingTheEditorWithTheWindowOpenClosesTheFrame) {
  Effect effect;
  auto* editor = new Editor(&effect);
  editor->open(nullptr);
  CPoint inField(60, 10);
  editor->getFrame()->onMouseDown(inField, CButtonState(kLButton));
  VstKeyCode x = key('x', 0);
  editor->onKeyDown(x);  // an edit in progress, which closing would commit
  delete editor;         // no call into the destroyed editor; ASan reports anything left behind
  SUCCEED();
}
