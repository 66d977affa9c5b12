#include "GuiTestSupport.h"

#include "gui/COptionMenu.h"
#include "gui/COptionMenuPopup.h"

#include <gtest/gtest.h>

using Calls = std::vector<std::string>;

namespace {

struct MenuFixture : ::testing::Test {
  CallLog log;
  TestFrame frame{log};
  COptionMenu* menu = nullptr;

  void SetUp() override {
    menu = new COptionMenu(CRect(293, 232, 305, 246), &log, 108, nullptr, nullptr, 0x1E00);
    menu->setNbItemsPerColumn(12);
    for (const char* name : {"One", "Two", "Three", "Four", "Five"}) menu->addEntry(name);
    menu->setCurrent(0);
    frame->addView(menu);
  }
  COptionMenuPopup* popup() const { return dynamic_cast<COptionMenuPopup*>(frame->getModalView()); }
};

}  // namespace

TEST_F(MenuFixture, ValueIsTheEntryIndexAndMaxTheLastIndex) {
  EXPECT_EQ(menu->getMax(), 4.f);
  menu->setValue(3.f);
  EXPECT_EQ(menu->getCurrentIndex(), 3);
  EXPECT_STREQ(menu->getCurrent()->getTitle(), "Four");
  menu->setValue(9.f);
  EXPECT_EQ(menu->getCurrentIndex(), 3) << "no such entry: unchanged";
  menu->getEntry(3)->setTitle("Renamed");
  EXPECT_STREQ(menu->getCurrent()->getTitle(), "Renamed");
}

TEST_F(MenuFixture, ChoosingAnEntryIsOneGesture) {
  EXPECT_EQ(frame.down(298, 240), kMouseEventHandled);
  frame.up(298, 240);
  ASSERT_NE(popup(), nullptr) << "a click opens the list and leaves it open";
  const CRect list = popup()->getListRect();
  EXPECT_GE(list.top, 0);
  EXPECT_LE(list.bottom, 248) << "the list stays inside the window";
  EXPECT_LE(list.right, 778);
  const CRect third = popup()->entryRect(2);
  frame.move(third.left + 5, third.top + 3, 0);
  EXPECT_EQ(popup()->getHoverIndex(), 2);
  frame.down(third.left + 5, third.top + 3);
  EXPECT_EQ(popup(), nullptr);
  EXPECT_EQ(menu->getValue(), 2.f);
  EXPECT_EQ(log.calls, (Calls{"begin 108", "changed 108 2", "end 108"}));
}

TEST_F(MenuFixture, PressDragAndReleaseChooses) {
  frame.down(298, 240);
  ASSERT_NE(popup(), nullptr);
  const CRect second = popup()->entryRect(1);
  frame.move(second.left + 5, second.top + 3);
  EXPECT_EQ(popup()->getHoverIndex(), 1);
  frame.up(second.left + 5, second.top + 3);
  EXPECT_EQ(popup(), nullptr);
  EXPECT_EQ(menu->getCurrentIndex(), 1);
  EXPECT_EQ(log.calls, (Calls{"begin 108", "changed 108 1", "end 108"}));
}

TEST_F(MenuFixture, ClickOutsideOrEscapeCancels) {
  frame.down(298, 240);
  frame.up(298, 240);
  frame.down(5, 5);
  EXPECT_EQ(popup(), nullptr);
  frame.down(298, 240);
  frame.up(298, 240);
  EXPECT_EQ(frame.key(kVKeyEscape), 1);
  EXPECT_EQ(popup(), nullptr);
  EXPECT_EQ(menu->getValue(), 0.f);
  EXPECT_EQ(log.calls, (Calls{"begin 108", "end 108", "begin 108", "end 108"}));
}

TEST_F(MenuFixture, KeysStepOverSeparatorsAndReturnChooses) {
  menu->addEntry("-", 1);
  frame.down(298, 240);
  frame.up(298, 240);
  frame.key(kVKeyDown);
  EXPECT_EQ(popup()->getHoverIndex(), 2) << "the separator is skipped";
  frame.key(kVKeyReturn);
  EXPECT_EQ(menu->getCurrentIndex(), 2);
  EXPECT_EQ(log.calls, (Calls{"begin 108", "changed 108 2", "end 108"}));
}

TEST_F(MenuFixture, ClosingTheWindowWithTheListOpenEndsTheGesture) {
  CallLog other;
  auto* f = new CFrame(CRect(0, 0, 200, 100), nullptr, &other);
  auto* m = new COptionMenu(CRect(10, 10, 50, 24), &other, 3);
  m->addEntry("a");
  f->addView(m);
  CPoint p(20, 15);
  f->onMouseDown(p, CButtonState(kLButton));
  ASSERT_NE(f->getModalView(), nullptr);
  f->close();
  EXPECT_EQ(other.calls, (Calls{"begin 3", "end 3"}));
}
