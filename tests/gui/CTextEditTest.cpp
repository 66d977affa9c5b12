#include "GuiTestSupport.h"

#include "gui/CTextEdit.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace {

struct TextEditFixture : ::testing::Test {
  CallLog log;
  TestFrame frame{log};
  CTextEdit* edit = nullptr;

  void SetUp() override {
    edit = new CTextEdit(CRect(175, 232, 292, 246), &log, 96, "Preset 1");
    frame->addView(edit);
  }
  void type(const char* text) {
    for (const char* c = text; *c; ++c) frame.key(kVKeyNone, static_cast<unsigned char>(*c));
  }
};

}  // namespace

TEST_F(TextEditFixture, ReturnCommitsAsOneGesture) {
  frame.down(200, 240);
  ASSERT_EQ(frame->getFocusView(), edit);
  EXPECT_TRUE(edit->isEditingText());
  frame.key(kVKeyBack);
  type("Xy");
  EXPECT_STREQ(edit->getText(), "Preset 1") << "nothing is committed while typing";
  EXPECT_EQ(frame.key(kVKeyReturn), 1);
  EXPECT_STREQ(edit->getText(), "Preset Xy");
  EXPECT_TRUE(edit->bWasReturnPressed);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(log.calls, (Calls{"begin 96", "changed 96 0", "end 96"}));
  EXPECT_EQ(frame.key(kVKeyNone, 'a'), -1) << "keys pass on once editing ended";
}

TEST_F(TextEditFixture, EscapeRevertsAndReportsNothing) {
  frame.down(200, 240);
  type("zzz");
  frame.key(kVKeyEscape);
  EXPECT_STREQ(edit->getText(), "Preset 1");
  EXPECT_FALSE(edit->isEditingText());
  EXPECT_TRUE(log.calls.empty());
}

TEST_F(TextEditFixture, ClickElsewhereCommitsClickInsideKeepsEditing) {
  frame.down(200, 240);
  frame.key(kVKeyHome);
  type(">");
  frame.down(180, 240);  // inside the field: caret moves, editing goes on
  EXPECT_TRUE(edit->isEditingText());
  frame.down(10, 10);
  EXPECT_FALSE(edit->isEditingText());
  EXPECT_STREQ(edit->getText(), ">Preset 1");
  EXPECT_EQ(log.calls, (Calls{"begin 96", "changed 96 0", "end 96"}));
}

TEST_F(TextEditFixture, OnlyTheEditingClickStartsAnEdit) {
  frame.down(200, 240, kRButton);
  EXPECT_FALSE(edit->isEditingText());
  EXPECT_EQ(frame->getFocusView(), nullptr);
  edit->setStyle(kDoubleClickStyle);
  frame.down(200, 240);
  EXPECT_FALSE(edit->isEditingText()) << "a single click is not enough";
  frame.down(200, 240, kLButton | kDoubleClick);
  EXPECT_TRUE(edit->isEditingText());
  EXPECT_EQ(frame->getFocusView(), edit);
}

TEST_F(TextEditFixture, EditingKeysAndLimits) {
  edit->setMaxChars(10);
  frame.down(200, 240);
  const struct {
    unsigned char virt;
    int32_t c;
  } keys[] = {
      {kVKeyNone, '!'},  {kVKeyNone, '?'}, {kVKeyNone, '#'},  // limit of 10 reached: dropped
      {kVKeyLeft, 0},    {kVKeyBack, 0},                      // removes the '!'
      {kVKeyHome, 0},    {kVKeyDelete, 0},                    // removes the 'P'
      {kVKeyNone, 0x1b},                                      // control characters are not text
      {kVKeyNone, 0xe9},                                      // Latin-1 e acute, stored as one byte
      {kVKeyEnd, 0},     {kVKeySpace, 0},
  };
  for (const auto& k : keys) frame.key(k.virt, k.c);
  frame.key(kVKeyReturn);
  EXPECT_STREQ(edit->getText(), "\xe9reset 1? ");
}

TEST_F(TextEditFixture, DrawsEvenWithBytesThatAreNotUtf8) {
  edit->setText("Caf\xe9 \xff\xfe");
  auto surface = renderView(edit);
  frame.down(200, 240);
  auto editing = renderView(edit);
  SUCCEED() << "no cairo error state: drawing after it still works";
  CDrawContext context(surface.get());
  EXPECT_EQ(cairo_status(context.getCairo()), CAIRO_STATUS_SUCCESS);
  EXPECT_GT(context.getStringWidth("Caf\xe9"), 0);
}
