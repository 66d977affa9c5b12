// Parameter changes the effect reports reach the controls at the next idle (the threads are
// ADEditorThreadTest's), and only the controls that changed are redrawn.
#include "EditorTestSupport.h"
#include "editor/CAnimCoaxKnob.h"

using namespace editortest;

namespace {

struct MirrorRow {
  const char* what;
  int index;
  float value;
  int32_t tag;  // the control showing it
  bool ring;
  float shown;
};

const MirrorRow kMirror[] = {
    {"LF ring", kLfFreq, 0.567f, 41, true, 0.567f},
    {"LM ring", kLmFreq, 0.333f, 42, true, 0.333f},
    {"HF ring in hundredths", kHfFreq, 0.567f, 44, true, 0.56f},
    {"LF centre", kLfGain, 0.3f, 41, false, 0.3f},
    {"HM centre", kHmGain, 0.85f, 43, false, 0.85f},
    {"LM Q untruncated", kLmQ, 0.7f, kLmQ, false, 0.7f},
    {"LSR switch", kLsr, 0.5f, kLsr, false, 0.5f},
    {"EQ button", kEqAll, 0.f, kEqAll, false, 0.f},
    {"HPF button", kHpf, 1.f, kHpf, false, 1.f},
    {"HF dip button", kHfDip, 1.f, kHfDip, false, 1.f},
    {"output knob", kOutput, 0.9f, kOutput, false, 0.9f},
    {"HPF knob", kHpfFreq, 0.25f, kHpfFreq, false, 0.25f},
};

float shownValue(CControl* c, bool ring) {
  return ring ? static_cast<CAnimCoaxKnob*>(c)->getExtValue() : c->getValue();
}

TEST_F(EditorTest, AHostChangeReachesItsControlAtTheNextIdleAndRedrawsOnlyIt) {
  setAllDistinct();
  open();
  editor->idle();  // the first full drawing
  for (const MirrorRow& row : kMirror) {
    SCOPED_TRACE(row.what);
    CControl* c = control(row.tag);
    ASSERT_NE(c, nullptr);
    const float before = shownValue(c, row.ring);
    effect->setParameter(row.index, 0.01f);  // only the last change before an idle shows
    effect->setParameter(row.index, row.value);
    EXPECT_EQ(shownValue(c, row.ring), before) << "nothing moves outside idle";
    editor->idle();
    EXPECT_EQ(shownValue(c, row.ring), row.shown);
    EXPECT_EQ(frame()->getLastRenderedRects(), std::vector<CRect>{c->getViewSize()});
  }
  // Parameters without a control change nothing and redraw nothing.
  for (int index : {2, 3, 4, 5, 10, 11, 28, 39}) {
    effect->setParameter(index, 0.123f);
    editor->idle();
    EXPECT_TRUE(frame()->getLastRenderedRects().empty()) << index;
  }
}

}  // namespace
