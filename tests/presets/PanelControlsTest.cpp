#include "tests/gui/GuiTestSupport.h"

#include "presets/CPSKickButton.h"
#include "presets/CPSRockerSwitch.h"
#include "presets/CSaveLoadButton.h"

#include <gtest/gtest.h>

namespace {

// One pointer event on a control in a frame: what the listener hears, and which image of
// its strip of 14-pixel images (from `offset`) the window then shows.
struct Step {
  char event;  // 'm'ove, 'd'own, 'u'p
  CCoord x;
  int64_t buttons;
  const char* report;
  int image;
};

void run(CControl* control, CPoint offset, std::initializer_list<Step> steps) {
  CallLog log;
  TestFrame frame(log);
  frame->addView(control);
  control->setListener(&log);
  const CCoord y = control->getViewSize().getCenter().y;
  for (const Step& s : steps) {
    log.clear();
    s.event == 'm'   ? frame.move(s.x, y, s.buttons)
    : s.event == 'd' ? frame.down(s.x, y, s.buttons)
                     : frame.up(s.x, y, s.buttons);
    EXPECT_EQ(log.calls, s.report ? std::vector<std::string>{s.report} : std::vector<std::string>{})
        << s.event << s.x;
    frame->idle();  // draws only what the control asked to have redrawn
    const CPoint source(offset.x, offset.y + s.image * 14);
    EXPECT_EQ(countDifferences(frame->getBackBuffer(), control->getViewSize(),
                               control->getBackground(), source),
              0)
        << s.event << s.x << " image " << s.image;
    EXPECT_FALSE(control->isDirty());
  }
}

}  // namespace

TEST(PanelControls, KickLoadSaveAndRockerButtonsReportAndDrawTheirState) {
  OwningPointer<CBitmap> strip(makeStrip(40, 14, 5));
  // The default buttons need a double-click; Control with it means "forget".
  run(new CPSKickButton(CRect(32, 234, 69, 244), nullptr, 109, 14, strip.get(), CPoint(2, 1), true),
      CPoint(2, 1),
      {{'m', 50, 0, nullptr, 1},
       {'d', 50, kLButton, nullptr, 1},
       {'d', 50, kRButton | kDoubleClick, nullptr, 1},
       {'d', 50, kLButton | kDoubleClick, "changed 109 1", 2},
       {'u', 50, kLButton, nullptr, 1},  // no report on release
       {'d', 50, kLButton | kDoubleClick | kControl, "changed 109 0.5", 2},
       {'u', 50, kLButton, nullptr, 1},
       {'m', 10, 0, nullptr, 0}});
  // A load or save button reports at once and drops back; only a right-click alone asks for
  // the other byte order (0.5); keys pass on to other views.
  auto* load =
      new CSaveLoadButton(CRect(70, 232, 82, 246), nullptr, 98, 14, strip.get(), CPoint(0, 0));
  CKeyCode key;
  EXPECT_EQ(std::make_pair(load->onKeyDown(key), load->onKeyUp(key)), std::make_pair(-1, -1));
  run(load, CPoint(0, 0),
      {{'m', 75, 0, nullptr, 1},
       {'d', 75, kRButton | kDoubleClick, "changed 98 1", 1},
       {'d', 75, kMButton, nullptr, 1},
       {'m', 10, 0, nullptr, 0}});
  // The rocker's hover side follows the pointer; the centre column of 313..343 belongs to the
  // right half.
  run(new CPSRockerSwitch(CRect(313, 232, 344, 246), nullptr, 97, 14, strip.get(), CPoint(0, 0)),
      CPoint(0, 0),
      {{'m', 315, 0, nullptr, 1},
       {'m', 328, 0, nullptr, 2},
       {'m', 327, 0, nullptr, 1},
       {'d', 328, kLButton, "changed 97 1", 4},
       {'m', 315, kLButton, nullptr, 4},  // dragging across does nothing
       {'u', 315, kLButton, nullptr, 1},
       {'d', 327, kLButton, "changed 97 -1", 3},
       {'u', 327, kLButton, nullptr, 1},
       {'d', 315, kRButton, nullptr, 1},
       {'m', 100, 0, nullptr, 0}});
}
