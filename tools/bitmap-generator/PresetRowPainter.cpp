#include "tools/bitmap-generator/PresetRowPainter.h"

#include "tools/bitmap-generator/CairoHandles.h"
#include "tools/bitmap-generator/Drawing.h"
#include "tools/bitmap-generator/Palette.h"

#include <numbers>

namespace vtgen {

namespace {

constexpr Colour kRailUpper = rgb(42, 47, 54);
constexpr Colour kRailLower = rgb(27, 30, 35);
constexpr Colour kWell = rgb(20, 23, 27);
constexpr Colour kGlyphNormal = rgb(184, 193, 204);
constexpr Colour kRecordRed = rgb(214, 84, 70);

// Groups of keys that share a recessed well.
constexpr Box kWells[] = {
    {18, 231, 67, 16},   // bank: save, default, load
    {89, 231, 76, 16},   // preset: save, default, load
    {350, 231, 82, 16},  // memories A and B
};

Colour glyphColour(KeyState state) {
  switch (state) {
    case KeyState::Hover:
      return palette::kWhite;
    case KeyState::Pressed:
      return palette::kLamp;
    case KeyState::Normal:
      break;
  }
  return kGlyphNormal;
}

void paintWell(cairo_t* cr, Box well) {
  roundedRectPath(cr, well.left, well.top, well.width, well.height, 3.0);
  setColour(cr, kWell);
  cairo_fill(cr);
  horizontalLine(cr, well.left + 2, well.right() - 3, well.bottom() - 1, palette::kWhite, 0.08);
}

void triangle(cairo_t* cr, Point a, Point b, Point c) {
  cairo_move_to(cr, a.x, a.y);
  cairo_line_to(cr, b.x, b.y);
  cairo_line_to(cr, c.x, c.y);
  cairo_close_path(cr);
  cairo_fill(cr);
}

// An arrow into (save) or out of (load) a tray, centred on the key.
void trayArrow(cairo_t* cr, Box box, bool down) {
  const double middle = box.left + box.width / 2.0;
  const double top = box.top + 2.0;
  cairo_set_line_width(cr, 1.0);
  cairo_move_to(cr, box.left + 2.5, box.top + 8.5);
  cairo_line_to(cr, box.left + 2.5, box.top + 11.5);
  cairo_line_to(cr, box.right() - 2.5, box.top + 11.5);
  cairo_line_to(cr, box.right() - 2.5, box.top + 8.5);
  cairo_stroke(cr);
  if (down) {
    cairo_rectangle(cr, middle - 1, top, 2, 5);
    cairo_fill(cr);
    triangle(cr, {middle - 3.5, top + 4.5}, {middle + 3.5, top + 4.5}, {middle, top + 8.5});
  } else {
    cairo_rectangle(cr, middle - 1, top + 3.5, 2, 6);
    cairo_fill(cr);
    triangle(cr, {middle - 3.5, top + 4.0}, {middle + 3.5, top + 4.0}, {middle, top});
  }
}

}  // namespace

void PresetRowPainter::paintRail(cairo_t* cr, Box rail, bool withKeys) const {
  cairo_rectangle(cr, rail.left, rail.top, rail.width, rail.height);
  fillVertical(cr, rail.top, rail.bottom(), kRailUpper, kRailLower);
  horizontalLine(cr, rail.left, rail.right() - 1, rail.top, palette::kBlack, 0.7);
  horizontalLine(cr, rail.left, rail.right() - 1, rail.top + 1, palette::kWhite, 0.09);
  horizontalLine(cr, rail.left, rail.right() - 1, rail.bottom() - 1, palette::kBlack, 0.5);

  for (const Box& well : kWells) paintWell(cr, well);
  paintNameField(cr);

  const TextStyle letter{8.0, true, palette::kLegend};
  drawText(cr, "A", 369, 239, Align::Centre, letter);
  drawText(cr, "B", 412, 239, Align::Centre, letter);
  drawText(cr, "MANUAL", 717, 239, Align::Right, {7.5, true, palette::kLegendDim});

  if (withKeys) {
    for (const PanelButton& button : kPanelButtons) {
      if (button.glyph == PanelGlyph::Rocker)
        paintRocker(cr, button.box, RockerState::None);
      else
        paintKey(cr, button, KeyState::Normal);
    }
  }
}

void PresetRowPainter::paintNameField(cairo_t* cr) const {
  const Box field = kNameField;
  const Box menu = kPresetMenu;
  const Box frame{field.left - 1, field.top - 1, menu.right() - field.left + 2, field.height + 2};
  fillBox(cr, frame, palette::kBlack, 0.6);
  cairo_rectangle(cr, field.left, field.top, field.width, field.height);
  fillVertical(cr, field.top, field.bottom(), mix(palette::kDisplay, palette::kWhite, 0.2),
               palette::kDisplay);
  horizontalLine(cr, field.left, field.right() - 1, field.top, palette::kBlack, 0.18);

  cairo_rectangle(cr, menu.left, menu.top, menu.width, menu.height);
  fillVertical(cr, menu.top, menu.bottom(), rgb(82, 91, 102), rgb(54, 60, 68));
  verticalLine(cr, menu.left, menu.top, menu.bottom() - 1, palette::kBlack, 0.5);
  horizontalLine(cr, menu.left + 1, menu.right() - 1, menu.top, palette::kWhite, 0.15);
  setColour(cr, kGlyphNormal);
  const double middle = menu.left + menu.width / 2.0;
  triangle(cr, {middle - 3.5, menu.top + 5.0}, {middle + 3.5, menu.top + 5.0},
           {middle, menu.top + 9.0});
}

void PresetRowPainter::paintKeyFace(cairo_t* cr, Box box, KeyState state) const {
  Colour upper = rgb(80, 88, 99);
  Colour lower = rgb(51, 57, 65);
  if (state == KeyState::Hover) {
    upper = rgb(104, 114, 127);
    lower = rgb(66, 73, 83);
  } else if (state == KeyState::Pressed) {
    upper = rgb(34, 38, 44);
    lower = rgb(47, 52, 59);
  }
  roundedRectPath(cr, box.left, box.top, box.width, box.height, 2.5);
  setColour(cr, palette::kBlack, 0.85);
  cairo_fill(cr);
  roundedRectPath(cr, box.left + 1, box.top + 1, box.width - 2, box.height - 2, 1.5);
  fillVertical(cr, box.top + 1, box.bottom() - 1, upper, lower);
  if (state != KeyState::Pressed)
    horizontalLine(cr, box.left + 2, box.right() - 3, box.top + 1, palette::kWhite, 0.2);
  else
    horizontalLine(cr, box.left + 2, box.right() - 3, box.top + 1, palette::kBlack, 0.35);
}

void PresetRowPainter::paintKey(cairo_t* cr, const PanelButton& button, KeyState state) const {
  if (button.glyph == PanelGlyph::Word) {
    const Box plate = button.box;
    roundedRectPath(cr, plate.left, plate.top, plate.width, plate.height, 2.0);
    const Colour face = state == KeyState::Hover     ? rgb(58, 65, 74)
                        : state == KeyState::Pressed ? rgb(14, 16, 19)
                                                     : kWell;
    setColour(cr, face);
    cairo_fill(cr);
  } else {
    paintKeyFace(cr, button.box, state);
  }
  paintGlyph(cr, button, state);
}

void PresetRowPainter::paintGlyph(cairo_t* cr, const PanelButton& button, KeyState state) const {
  const Box box = button.box;
  const double shift = state == KeyState::Pressed ? 1.0 : 0.0;
  const Colour colour = glyphColour(state);
  SavedState saved(cr);
  cairo_translate(cr, 0, shift);
  setColour(cr, colour);
  const double middleX = box.left + box.width / 2.0;
  const double middleY = box.top + box.height / 2.0;
  switch (button.glyph) {
    case PanelGlyph::Save:
      trayArrow(cr, box, true);
      break;
    case PanelGlyph::Load:
      trayArrow(cr, box, false);
      break;
    case PanelGlyph::Store:
      setColour(cr, state == KeyState::Normal ? kRecordRed : mix(kRecordRed, colour, 0.45));
      cairo_arc(cr, middleX, middleY, 3.0, 0, 2 * std::numbers::pi);
      cairo_fill(cr);
      break;
    case PanelGlyph::Recall:
      triangle(cr, {middleX - 2.5, middleY - 3.5}, {middleX - 2.5, middleY + 3.5},
               {middleX + 3.5, middleY});
      break;
    case PanelGlyph::Help:
      drawText(cr, "?", middleX, middleY, Align::Centre, {10.0, true, colour, 1.0, false});
      break;
    case PanelGlyph::Word:
      drawText(cr, button.word, middleX, middleY - shift, Align::Centre,
               {7.5, true, state == KeyState::Normal ? palette::kLegend : colour, 1.0, false});
      break;
    case PanelGlyph::Rocker:
      break;
  }
}

void PresetRowPainter::paintRocker(cairo_t* cr, Box box, RockerState state) const {
  const bool leftHot = state == RockerState::HoverLeft || state == RockerState::PressedLeft;
  const bool rightHot = state == RockerState::HoverRight || state == RockerState::PressedRight;
  const bool pressed = state == RockerState::PressedLeft || state == RockerState::PressedRight;
  const int half = box.width / 2;
  const Box left{box.left, box.top, half + 1, box.height};
  const Box right{box.left + half, box.top, box.width - half, box.height};

  paintKeyFace(cr, box, KeyState::Normal);
  if (leftHot || rightHot) {
    SavedState saved(cr);
    const Box hot = leftHot ? left : right;
    cairo_rectangle(cr, hot.left, hot.top, hot.width, hot.height);
    cairo_clip(cr);
    paintKeyFace(cr, box, pressed ? KeyState::Pressed : KeyState::Hover);
  }
  verticalLine(cr, box.left + half, box.top + 1, box.bottom() - 2, palette::kBlack, 0.7);

  const double middleY = box.top + box.height / 2.0;
  const double leftShift = leftHot && pressed ? 1.0 : 0.0;
  const double rightShift = rightHot && pressed ? 1.0 : 0.0;
  const double leftTip = box.left + half / 2.0 - 2.0;
  setColour(cr,
            leftHot ? glyphColour(pressed ? KeyState::Pressed : KeyState::Hover) : kGlyphNormal);
  triangle(cr, {leftTip + 5.0, middleY - 3.5 + leftShift},
           {leftTip + 5.0, middleY + 3.5 + leftShift}, {leftTip, middleY + leftShift});
  const double rightTip = box.left + half + (box.width - half) / 2.0 + 2.5;
  setColour(cr,
            rightHot ? glyphColour(pressed ? KeyState::Pressed : KeyState::Hover) : kGlyphNormal);
  triangle(cr, {rightTip - 5.0, middleY - 3.5 + rightShift},
           {rightTip - 5.0, middleY + 3.5 + rightShift}, {rightTip, middleY + rightShift});
}

}  // namespace vtgen
