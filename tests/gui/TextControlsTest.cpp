#include "GuiTestSupport.h"

#include "gui/COptionMenu.h"
#include "gui/COptionMenuPopup.h"
#include "gui/CTextEdit.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

// The host's virtual key numbers, as its key events carry them.
constexpr unsigned char kBack = 1, kReturn = 4, kEscape = 6, kSpace = 7, kEnd = 9, kHome = 10,
                        kLeft = 11, kUp = 12, kRight = 13, kDown = 14, kEnter = 19, kDelete = 22;

// The preset name field, as the panel makes it.
struct TextEditFixture : ::testing::Test {
  CallLog log;
  TestFrame frame{log};
  CTextEdit* edit = new CTextEdit(CRect(175, 232, 292, 246), &log, 96, "Preset 1");

  void SetUp() override {
    edit->setFont(kNormalFontSmall);
    edit->setFontColor(MakeCColor(36, 36, 32));
    frame->addView(edit);
  }
  void type(const char* text) {
    for (const char* c = text; *c; ++c) frame.key(0, static_cast<unsigned char>(*c));
  }
  // Where the caret stands after `prefix` of the field's text (the field centres it).
  static int caretX(const char* text, const char* prefix) {
    CairoSurfacePtr scratch(cairo_image_surface_create(CAIRO_FORMAT_RGB24, 1, 1));
    CDrawContext context(scratch.get());
    context.setFont(kNormalFontSmall);
    const CCoord left = std::round(175 + (117 - context.getStringWidth(text)) / 2);
    return static_cast<int>(std::round(left + context.getStringWidth(prefix)));
  }
};

// The preset menu, as the panel makes it.
struct MenuFixture : ::testing::Test {
  CallLog log;
  TestFrame frame{log};
  COptionMenu* menu =
      new COptionMenu(CRect(293, 232, 305, 246), &log, 108, nullptr, nullptr, 0x1E00);

  void SetUp() override {
    menu->setNbItemsPerColumn(12);
    for (const char* name : {"One", "Two", "Three", "Four", "Five"}) menu->addEntry(name);
    menu->setCurrent(0);
    frame->addView(menu);
  }
  COptionMenuPopup* popup() const { return dynamic_cast<COptionMenuPopup*>(frame->getModalView()); }
  void open() {
    frame.down(298, 240);
    frame.up(298, 240);
  }
};

}  // namespace

TEST_F(TextEditFixture, ReturnCommitsAsOneGestureEscapeRevertsSilently) {
  frame.down(200, 240, kRButton);
  EXPECT_FALSE(edit->isEditingText()) << "only a left click starts an edit";
  frame.down(200, 240);
  frame.key(kBack);
  type("Xy");
  EXPECT_STREQ(edit->getText(), "Preset 1") << "nothing is committed while typing";
  EXPECT_EQ(frame.key(kReturn), 1);
  EXPECT_EQ(frame->getFocusView(), nullptr);
  EXPECT_EQ(frame.key(0, 'a'), -1) << "keys pass on once editing ended";
  frame.down(200, 240);
  frame.key(kEnter);  // unchanged: nothing to report
  frame.down(200, 240);
  type("zzz");
  frame.key(kEscape);
  EXPECT_STREQ(edit->getText(), "Preset Xy");
  EXPECT_FALSE(edit->isEditingText());
  EXPECT_EQ(log.calls, (Calls{"begin 96", "changed 96 0", "end 96"}));
}

// While renaming, the caret is a one-pixel column in the font colour as tall as the font, and
// a click inside the field puts it at the nearest character boundary (not always at the end);
// a click elsewhere commits.
TEST_F(TextEditFixture, TheCaretShowsAndAClickInsidePlacesIt) {
  frame.down(200, 240);
  for (const auto& [key, x] : {std::pair{kHome, caretX("Preset 1", "")},
                               std::pair{kEnd, caretX("Preset 1", "Preset 1")}}) {
    frame.key(key);
    frame->idle();
    for (int y = 230; y < 248; ++y)  // an 11 px font in a 14 px field: rows 234..244
      EXPECT_EQ(pixelAt(frame->getBackBuffer(), x, y) == 0x242420, y >= 234 && y <= 244)
          << x << "," << y;
  }
  frame.down(caretX("Preset 1", "") + 2, 240);
  type(">");
  frame->idle();
  frame.down(caretX(">Preset 1", ">Preset ") + 1, 240);  // just before the last character
  type("#");
  frame.down(10, 10);
  EXPECT_STREQ(edit->getText(), ">Preset #1");
  EXPECT_EQ(log.calls, (Calls{"begin 96", "changed 96 0", "end 96"}));
}

TEST_F(TextEditFixture, EditingKeysAndLimits) {
  edit->setMaxChars(10);
  frame.down(200, 240);
  const std::pair<unsigned char, int32_t> keys[] = {
      {0, '!'},   {0, '?'},     {0, '#'},                   // the limit of 10 is reached: dropped
      {kLeft, 0}, {kBack, 0},   {kLeft, 0},   {kRight, 0},  // removes the '!'
      {kHome, 0}, {kDelete, 0}, {kLeft, 0},   {kBack, 0},   // removes the 'P', then nothing
      {0, 0x1b},  {0, 0x7f},    {0, 0x9f},    {0, 0x100},   // no control characters
      {0, 0xe9},  {kEnd, 0},    {kDelete, 0}, {kRight, 0}, {kSpace, 0},  // e acute is one byte
  };
  for (const auto& [virt, c] : keys) frame.key(virt, c);
  EXPECT_EQ(frame.key(kUp), -1) << "keys it does not use pass on";
  frame.key(kReturn);
  EXPECT_STREQ(edit->getText(), "\xe9reset 1? ");
  edit->setText("a very long name");
  EXPECT_STREQ(edit->getText(), "a very lon");
}

TEST(CDrawContext, TextThatIsNotUtf8IsDrawnAsLatin1) {
  EXPECT_EQ(toDrawableUtf8("Caf\xe9 \xc3\xa9\xf0\x9f\x8e\xb5|\xed\xa0\x80|\xf4\x90\x80\x80|"
                           "\xc0\xaf|\xe0\x80\x80|\xf0\x80\x80\x80"),
            "Caf\xc3\xa9 \xc3\xa9\xf0\x9f\x8e\xb5|\xc3\xad\xc2\xa0\xc2\x80|"
            "\xc3\xb4\xc2\x90\xc2\x80\xc2\x80|\xc3\x80\xc2\xaf|\xc3\xa0\xc2\x80\xc2\x80|"
            "\xc3\xb0\xc2\x80\xc2\x80\xc2\x80")
      << "valid UTF-8 is kept; surrogates, overlong forms and code points past U+10FFFF are not";
}

// A click opens the list (above the menu when there is no room below) and leaves it open; a
// click on an entry chooses it, as one gesture from the opening click. Pressing on the menu,
// dragging to an entry and releasing there chooses too. The value is the entry's index.
TEST_F(MenuFixture, ChoosingAnEntryIsOneGesture) {
  open();
  ASSERT_NE(popup(), nullptr);
  const CRect list = popup()->getListRect();  // its width is the font's
  EXPECT_EQ(CRect(list.left, list.top, 0, list.bottom), CRect(293, 145, 0, 232));
  const CRect third = popup()->entryRect(2);
  frame.move(third.left + 5, third.top + 3, 0);
  EXPECT_EQ(popup()->getHoverIndex(), 2);
  frame.down(third.left + 5, third.top + 3);
  EXPECT_EQ(popup(), nullptr);
  frame.down(298, 240);
  const CRect second = popup()->entryRect(1);
  frame.move(second.left + 5, second.top + 3);
  frame.up(second.left + 5, second.top + 3);
  EXPECT_EQ(popup(), nullptr);
  EXPECT_EQ(log.calls, (Calls{"begin 108", "changed 108 2", "end 108", "begin 108", "changed 108 1",
                              "end 108"}));
  EXPECT_EQ(menu->getMax(), 4.f);
  for (const float v : {2.6f, 9.f, -1.f}) menu->setValue(v);  // only the first is an entry
  EXPECT_STREQ(menu->getCurrent()->getTitle(), "Four");
  EXPECT_EQ(menu->getEntry(5), nullptr);
}

TEST_F(MenuFixture, ClickOutsideOrEscapeCancelsAndKeysStepOverWhatCannotBeChosen) {
  open();
  frame.down(5, 5);
  EXPECT_EQ(popup(), nullptr);
  open();
  EXPECT_EQ(frame.key(kEscape), 1);
  EXPECT_EQ(popup(), nullptr);
  menu->addEntry("-", 1);
  menu->addEntry("Title", 3, CMenuItem::kTitle);
  open();
  using KeyAndHover = std::pair<unsigned char, int>;
  for (const auto& [key, hover] :
       std::initializer_list<KeyAndHover>{{kDown, 2}, {kDown, 4}, {kUp, 2}, {kLeft, 2}}) {
    frame.key(key);
    EXPECT_EQ(popup()->getHoverIndex(), hover);
  }
  frame.key(kReturn);
  EXPECT_EQ(menu->getCurrentIndex(), 2);
  EXPECT_EQ(log.calls, (Calls{"begin 108", "end 108", "begin 108", "end 108", "begin 108",
                              "changed 108 2", "end 108"}));
  open();  // from the chosen entry up to the first, which Return chooses too
  frame.key(kUp);
  frame.key(kUp);
  ASSERT_EQ(popup()->getHoverIndex(), 0);
  frame.key(kReturn);
  EXPECT_EQ(menu->getCurrentIndex(), 0);
}

TEST_F(MenuFixture, ClosingTheWindowWithTheListOpenEndsTheGesture) {
  open();
  frame->close();
  frame.frame = new CFrame(CRect(0, 0, 10, 10), nullptr, &log);  // for the fixture to close
  EXPECT_EQ(log.calls, (Calls{"begin 108", "end 108"}));
}
