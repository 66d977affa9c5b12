// Everything the toolkit draws itself, rendered into the frame at 1x and 1.5x and compared
// with committed pictures: text boxes with and without pictures behind them, two fields being
// edited with their carets, an open option menu with a current, a hovered, a disabled entry and
// a separator, and a plain view's picture.
#include "GuiTestSupport.h"

#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"

#include <gtest/gtest.h>

TEST(ReferenceScene, TheFrameDrawsWhatTheCommittedPicturesShow) {
  if (!arialIsLiberationSans()) GTEST_SKIP() << "the pictures were drawn with Liberation Sans";
  CallLog log;
  TestFrame frame(log, CRect(0, 0, 200, 120));
  CBitmap* strip = makeStrip(150, 100, 1);
  frame->setBackground(strip);

  auto* boxed = new CParamDisplay(CRect(10, 10, 70, 24));
  boxed->setBackColor(MakeCColor(209, 227, 238));
  boxed->setFrameColor(MakeCColor(200, 30, 30));
  boxed->setFontColor(MakeCColor(36, 36, 32));
  boxed->setHoriAlign(kLeftText);
  boxed->setFont(kNormalFontVerySmall);
  boxed->setStringConvert([](float v, char* text) { std::snprintf(text, 256, "%gms", v * 100.); });
  boxed->setValue(0.46f);
  auto* centred = new CParamDisplay(CRect(80, 10, 140, 24));
  centred->setValue(0.25f);
  auto* onPicture = new CParamDisplay(CRect(150, 10, 190, 24), strip);
  onPicture->setBackOffset(CPoint(5, 50));
  onPicture->setFontColor(kBlackCColor);
  onPicture->setValue(1.f);

  auto* name = new CTextEdit(CRect(10, 30, 120, 44), &log, 96, "Caf\xe9 1", strip);
  name->setBackOffset(CPoint(10, 30));
  name->setFont(kNormalFontSmall);
  name->setFontColor(MakeCColor(36, 36, 32));
  auto* left = new CTextEdit(CRect(130, 30, 190, 44), &log, 97, "ab");
  left->setHoriAlign(kLeftText);
  left->setFrameColor(kWhiteCColor);

  CBitmap* whileOpen = makeStrip(60, 20, 2);
  auto* menu = new COptionMenu(CRect(10, 50, 60, 64), &log, 108, strip, whileOpen, kCheckStyle);
  menu->setBackOffset(CPoint(0, 20));
  menu->setNbItemsPerColumn(3);
  for (const char* title : {"Alpha", "Gamma", "Delta", "Epsilon"}) menu->addEntry(title);
  menu->addEntry("-", 1);
  menu->addEntry("Beta", 2, CMenuItem::kDisabled);
  menu->setCurrent(3);
  auto* plain = new CView(CRect(160, 60, 190, 100));
  plain->setBackground(strip);

  for (CView* view :
       std::initializer_list<CView*>{boxed, centred, onPicture, name, left, menu, plain})
    frame->addView(view);
  name->takeFocus();  // editing the name, caret after "Caf": Home, Right, Right, Right
  for (CKeyCode key : {CKeyCode{0, 10}, CKeyCode{0, 13}, CKeyCode{0, 13}, CKeyCode{0, 13}})
    name->onKeyDown(key);
  left->takeFocus();      // caret at the end
  frame.down(30, 57);     // the menu opens below itself
  frame.move(20, 70, 0);  // over "Alpha"
  frame->idle();
  EXPECT_EQ(differencesFromReference(frame->getBackBuffer(), "scene@1x.png"), 0);

  frame->setScaleFactor(1.5);
  frame->idle();
  EXPECT_EQ(differencesFromReference(frame->getBackBuffer(), "scene@1.5x.png"), 0);
  strip->forget();
  whileOpen->forget();
}
