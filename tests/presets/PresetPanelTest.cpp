#include <thread>
#include <typeinfo>

#include "gui/CBitmap.h"
#include "gui/CFontDesc.h"
#include "gui/COptionMenuPopup.h"
#include "presets/CPSKickButton.h"
#include "presets/CPSRockerSwitch.h"
#include "presets/CSaveLoadButton.h"
#include "tests/presets/PanelTestSupport.h"

using namespace presettest;
using Editor = CPresetSystemEditor;

namespace {

struct ExpectedControl {
  int32_t tag;
  const std::type_info& type;
  CRect rect;  // the name field's vertical extent comes from the font
  int32_t bitmap;
  int images;  // of the kick buttons' and the rocker's strips
};

// In the order the row adds them to the frame.
const ExpectedControl kRow[] = {
    {Editor::kTagName, typeid(CTextEdit), CRect(175, 0, 292, 0), 11500, 1},
    {Editor::kTagPresetMenu, typeid(COptionMenu), CRect(293, 232, 305, 246), 11500, 1},
    {Editor::kTagPresetRocker, typeid(CPSRockerSwitch), CRect(313, 232, 344, 246), 19997, 5},
    {Editor::kTagLoadBank, typeid(CSaveLoadButton), CRect(70, 232, 82, 246), 19993, 3},
    {Editor::kTagSaveBank, typeid(CSaveLoadButton), CRect(20, 232, 32, 246), 19994, 3},
    {Editor::kTagDefaultBank, typeid(CPSKickButton), CRect(32, 234, 69, 244), 19990, 3},
    {Editor::kTagLoadPreset, typeid(CSaveLoadButton), CRect(150, 232, 162, 246), 19998, 3},
    {Editor::kTagSavePreset, typeid(CSaveLoadButton), CRect(91, 232, 103, 246), 19999, 3},
    {Editor::kTagDefaultPreset, typeid(CPSKickButton), CRect(103, 234, 150, 244), 19899, 3},
    {Editor::kTagRecallA, typeid(CPSKickButton), CRect(374, 232, 386, 246), 19991, 3},
    {Editor::kTagStoreA, typeid(CPSKickButton), CRect(352, 232, 364, 246), 19995, 3},
    {Editor::kTagRecallB, typeid(CPSKickButton), CRect(417, 232, 429, 246), 19992, 3},
    {Editor::kTagStoreB, typeid(CPSKickButton), CRect(395, 232, 407, 246), 19996, 3},
    {Editor::kTagManual, typeid(CPSKickButton), CRect(722, 232, 738, 246), 989, 3},
};

}  // namespace

TEST_F(PanelTest, OpenBuildsTheRowInOrderWithRectanglesBitmapsAndValues) {
  effect->setPresetNo(2);
  ASSERT_TRUE(editor->open(nullptr));
  ASSERT_EQ(frame()->getNbViews(), 14) << "only the row: this editor builds nothing else";
  const CCoord fontSize = kNormalFontSmall->getSize();
  for (int32_t i = 0; i < 14; ++i) {
    const ExpectedControl& row = kRow[i];
    SCOPED_TRACE(row.tag);
    auto* c = dynamic_cast<CControl*>(frame()->getView(i));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->getTag(), row.tag);
    EXPECT_EQ(typeid(*c), row.type);
    CRect rect = row.rect;
    if (row.tag == Editor::kTagName) {
      rect.top = 239 - fontSize / 2 - 2;
      rect.bottom = 239 + fontSize / 2 + 2;
    }
    EXPECT_EQ(c->getViewSize(), rect);
    EXPECT_EQ(c->getListener(), editor);
    ASSERT_NE(c->getBackground(), nullptr);
    EXPECT_EQ(c->getBackground()->getResourceDescription().id, row.bitmap);
    EXPECT_GT(c->getBackground()->getHeight(), 0) << "the picture is compiled in";
    // The row gave its own references back: only the controls showing a picture hold it
    // (the name field and the menu share theirs).
    EXPECT_EQ(c->getBackground()->getNbReference(), row.bitmap == 11500 ? 2 : 1);
    if (auto* kick = dynamic_cast<CKickButton*>(c)) {
      EXPECT_EQ(kick->getHeightOfOneImage(), c->getBackground()->getHeight() / row.images);
    }
    if (row.images > 1) {
      EXPECT_EQ(c->getValue(), 0.f);
    }
  }
}

TEST_F(PanelTest, NameFieldAndMenuLookAndStartAsTheStoreSays) {
  effect->setPresetNameOf(3, "Bright Vocal");
  effect->setPresetNo(3);
  ASSERT_TRUE(editor->open(nullptr));
  auto* field = control<CTextEdit>(Editor::kTagName);
  EXPECT_EQ(field->getFont(), kNormalFontSmall);
  EXPECT_EQ(field->getFontColor(), MakeCColor(36, 36, 32));
  EXPECT_EQ(field->getFrameColor(), MakeCColor(36, 36, 32));
  EXPECT_EQ(field->getBackColor(), MakeCColor(209, 227, 238));
  EXPECT_EQ(field->getHoriAlign(), kCenterText);
  EXPECT_EQ(field->getBackOffset(), CPoint(175, field->getViewSize().top));

  COptionMenu* m = menu();
  EXPECT_EQ(m->getNbItemsPerColumn(), 12);
  EXPECT_EQ(m->getStyle(), 0x1E00);
  EXPECT_EQ(m->getBackOffset(), CPoint(293, 232));
  expectPanelShowsStore(editor, *effect);
}

TEST_F(PanelTest, RockerStepsAndStopsAtBothEnds) {
  ASSERT_TRUE(editor->open(nullptr));
  auto* rocker = control(Editor::kTagPresetRocker);
  const CRect r = rocker->getViewSize();
  const CPoint left(r.left + 2, r.top + 5);
  const CPoint right(r.right - 2, r.top + 5);
  const struct {
    int start;
    CPoint at;
    int expected;
  } table[] = {
      {0, left, 0},
      {0, right, 1},
      {4, right, 4},
      {4, left, 3},
  };
  for (const auto& row : table) {
    SCOPED_TRACE(::testing::Message() << "from " << row.start << " at x " << row.at.x);
    effect->setPresetNo(row.start);
    clickAt(frame(), row.at);
    EXPECT_EQ(effect->getPresetNo(), row.expected);
    EXPECT_EQ(rocker->getValue(), 0.f) << "the rocker springs back";
    expectPanelShowsStore(editor, *effect);
  }
}

TEST_F(PanelTest, TypedNameIsCutTo24InTheFieldAnd23InThePreset) {
  effect->setPresetNo(1);
  ASSERT_TRUE(editor->open(nullptr));
  const std::string typed = "ABCDEFGHIJKLMNOPQRSTUVWXYZ1234";
  ASSERT_EQ(typed.size(), 30u);
  typeName(typed);
  EXPECT_EQ(fieldText(), typed.substr(0, 24));
  EXPECT_EQ(menuTitles()[1], typed.substr(0, 24));
  EXPECT_EQ(storedName(*effect, 1), typed.substr(0, 23));
  EXPECT_EQ(storedName(*effect, 0), "Current") << "other presets keep their names";
}

TEST_F(PanelTest, MenuChoiceSelectsThePreset) {
  effect->setPresetValue(3, 16, 0.25f);
  // The menu reads "-" as a separator; a preset may still be named so.
  effect->setPresetNameOf(3, "-");
  ASSERT_TRUE(editor->open(nullptr));
  clickAt(frame(), menu()->getViewSize().getCenter());
  auto* popup = dynamic_cast<COptionMenuPopup*>(frame()->getModalView());
  ASSERT_NE(popup, nullptr) << "the click opens the list";
  const CRect entry = popup->entryRect(3);
  clickAt(frame(), CPoint(entry.left + 5, entry.top + 3));
  EXPECT_EQ(frame()->getModalView(), nullptr);
  EXPECT_EQ(effect->getPresetNo(), 3);
  EXPECT_EQ(effect->getParameter(16), 0.25f) << "the preset's values are the current ones";
  EXPECT_EQ(fieldText(), "-");
  expectPanelShowsStore(editor, *effect);
}

TEST_F(PanelTest, DefaultButtonsStoreOnDoubleClickAndForgetOnControlDoubleClick) {
  ASSERT_TRUE(editor->open(nullptr));
  for (int32_t tag : {Editor::kTagDefaultBank, Editor::kTagDefaultPreset}) {
    SCOPED_TRACE(tag);
    const bool bank = tag == Editor::kTagDefaultBank;
    effect->setPresetNo(0);
    effect->setPresetNameOf(0, "Mine");
    effect->setPresetNameOf(4, "Also mine");
    effect->setParameter(15, 0.125f);
    auto newInstance = [bank] {
      auto fresh = makeEffect();
      return std::make_pair(storedName(*fresh, bank ? 4 : 0), fresh->getParameter(15));
    };
    auto factory = newInstance();
    click(tag, kLButton);
    EXPECT_EQ(newInstance(), factory) << "a single click stores nothing";
    click(tag, kLButton | kDoubleClick);
    EXPECT_EQ(newInstance(), std::make_pair(std::string(bank ? "Also mine" : "Mine"), 0.125f));
    click(tag, kLButton | kDoubleClick | kControl);
    EXPECT_EQ(newInstance(), factory) << "Control + double-click forgets it";
    EXPECT_FALSE(control<CPSKickButton>(tag)->isPressed());
  }
}

TEST_F(PanelTest, MemoriesStoreAndRecallTheCurrentPreset) {
  ASSERT_TRUE(editor->open(nullptr));
  effect->setPresetNo(1);
  effect->setParameter(14, 0.1f);
  click(Editor::kTagStoreA);
  effect->setParameter(14, 0.2f);
  click(Editor::kTagStoreB);
  effect->setParameter(14, 0.9f);
  effect->setPresetNo(3);
  const std::pair<int32_t, float> recalls[] = {{Editor::kTagRecallA, 0.1f},
                                               {Editor::kTagRecallB, 0.2f}};
  for (auto [tag, expected] : recalls) {
    click(tag);
    EXPECT_EQ(effect->getPresetNo(), 3) << "a memory loads into the current preset";
    EXPECT_EQ(effect->getParameter(14), expected);
  }
  EXPECT_EQ(effect->presetValue(1, 14), 0.9f) << "the stored-from preset is untouched";
  expectPanelShowsStore(editor, *effect);
  EXPECT_EQ(fieldText(), storedName(*effect, 1)) << "the memory carries its name";
}

TEST_F(PanelTest, HostRenamesAndChunksShowOnlyAtTheNextIdle) {
  ASSERT_TRUE(editor->open(nullptr));
  const std::string before = fieldText();
  std::thread host([this] {
    char name[] = "From the host";
    effect->setProgramName(name);
  });
  host.join();
  EXPECT_EQ(fieldText(), before) << "no control is touched off the window thread";
  editor->idle();
  EXPECT_EQ(fieldText(), "From the host");
  EXPECT_EQ(menuTitles()[0], "From the host");

  // A whole bank from another instance, arriving as the host's chunk on another thread.
  auto other = makeEffect();
  other->setPresetNameOf(2, "Chunk name");
  other->setPresetNo(2);
  void* data = nullptr;
  VstInt32 size = other->getChunk(&data, false);
  std::vector<unsigned char> chunk(static_cast<unsigned char*>(data),
                                   static_cast<unsigned char*>(data) + size);
  std::thread chunkThread([&] { effect->setChunk(chunk.data(), size, false); });
  chunkThread.join();
  EXPECT_EQ(menu()->getCurrentIndex(), 0);
  editor->idle();
  EXPECT_EQ(effect->getPresetNo(), 2);
  expectPanelShowsStore(editor, *effect);
}

TEST_F(PanelTest, ReopenShowsWhatChangedWhileClosed) {
  ASSERT_TRUE(editor->open(nullptr));
  editor->close();
  EXPECT_EQ(editor->getFrame(), nullptr);
  char name[] = "Renamed while closed";
  effect->setPresetNo(3);
  effect->setProgramName(name);
  effect->setPresetNameOf(4, "Slot");
  ASSERT_TRUE(editor->open(nullptr));
  expectPanelShowsStore(editor, *effect);
  EXPECT_EQ(fieldText(), "Renamed while closed");
}

TEST_F(PanelTest, CallsWithoutAWindowOrForOtherTagsAreHarmless) {
  // The base class alone has no frame to add the row to.
  CPresetSystemEditor bare(effect.get());
  EXPECT_FALSE(bare.open(nullptr));
  char name[] = "Closed";
  effect->setProgramName(name);
  editor->idle();
  // A gesture of a control no longer in a window still reaches the store; other tags do not.
  auto gesture = [](CPresetSystemEditor& target, int32_t tag) {
    CPSRockerSwitch rocker(CRect(0, 0, 30, 14), &target, tag, 14, nullptr, CPoint(0, 0));
    rocker.setValue(1.f);
    target.valueChanged(&rocker);
  };
  gesture(*editor, Editor::kTagPresetRocker);
  EXPECT_EQ(effect->getPresetNo(), 1);
  for (int32_t tag : {0, 41, 95, 102, 107, 116}) gesture(*editor, tag);
  EXPECT_EQ(effect->getPresetNo(), 1);
  CPresetSystemEditor orphan(nullptr);
  gesture(orphan, Editor::kTagPresetRocker);
  orphan.idle();
}

TEST_F(PanelTest, ANameBeingTypedWhenTheWindowClosesIsKept) {
  effect->setPresetNo(2);
  ASSERT_TRUE(editor->open(nullptr));
  click(Editor::kTagName);
  for (char c : std::string(" two")) key(kVKeyNone, c);
  // The derived editor forgets the row first, then closes the frame, which commits the edit.
  editor->close();
  EXPECT_EQ(storedName(*effect, 2), "Snare two");
}
