#include "tools/bitmap-generator/AboutPainter.h"

#include "tools/bitmap-generator/Drawing.h"
#include "tools/bitmap-generator/KnobGeometry.h"
#include "tools/bitmap-generator/KnobPainter.h"
#include "tools/bitmap-generator/Palette.h"
#include "tools/bitmap-generator/PanelPainter.h"

#include <cmath>

namespace vtgen {

namespace {

constexpr double kTitleSize = 30.0;
constexpr double kTitleGap = 8.0;

}  // namespace

Box AboutPainter::versionBox() {
  const int cx = kWidth / 2;
  const int cy = kHeight / 2;
  return {cx + 52, cy - 71, 32, 10};
}

Surface AboutPainter::paint(int pixelRatio) const {
  Surface surface = makeImage(kWidth, kHeight, pixelRatio);
  Context context = makeContext(surface.get());
  cairo_t* cr = context.get();
  paintPlate(cr, surface.get());
  paintEmblem(cr);
  paintTexts(cr);
  cairo_surface_flush(surface.get());
  return surface;
}

void AboutPainter::paintPlate(cairo_t* cr, cairo_surface_t* surface) const {
  cairo_rectangle(cr, 0, 0, kWidth, kHeight);
  fillVertical(cr, 0, kHeight, rgb(52, 59, 69), rgb(26, 29, 34));
  brushTexture(surface, {0, 0, kWidth, kHeight}, 0.035, 0.012, 0xAB0C'7B0Aull);
  frameBox(cr, {0, 0, kWidth, kHeight}, palette::kBlack, 0.8);
  frameBox(cr, {1, 1, kWidth - 2, kHeight - 2}, palette::kWhite, 0.12);
  frameBox(cr, {6, 6, kWidth - 12, kHeight - 12}, palette::kBlack, 0.35);
  frameBox(cr, {7, 7, kWidth - 14, kHeight - 14}, palette::kWhite, 0.07);
  drawScrew(cr, 16.5, 16.5, 20.0);
  drawScrew(cr, kWidth - 16.5, 16.5, 65.0);
  drawScrew(cr, 16.5, kHeight - 16.5, 110.0);
  drawScrew(cr, kWidth - 16.5, kHeight - 16.5, 155.0);
}

void AboutPainter::paintEmblem(cairo_t* cr) const {
  // One band knob, twice its size, as on the panel.
  const Point centre{132.0, 124.0};
  SavedState saved(cr);
  cairo_translate(cr, centre.x, centre.y);
  cairo_scale(cr, 2.0, 2.0);
  const KnobPainter knobs;
  knobs.paintCoaxCentre(cr, {0, 0}, 0.62, rgb(150, 66, 54), 9);
  knobs.paintCoaxCollar(cr, {0, 0}, 0.4);
  for (int step = 0; step < 11; ++step)
    radialLine(cr, {0, 0}, kCoaxTickInner, kCoaxTickInner + (step % 2 == 0 ? 4.0 : 2.5),
               knobAngle(step / 10.0), step % 2 == 0 ? 1.3 : 1.0, palette::kFrequency, 0.9);
}

void AboutPainter::paintTexts(cairo_t* cr) const {
  const Box version = versionBox();
  // Title: its right end stops short of the version badge, which then reads as its superscript.
  const TextStyle maker{kTitleSize, true, palette::kLegend};
  const TextStyle product{kTitleSize, false, palette::kLegend};
  const double titleMiddle = version.bottom() + 12.0;
  const double makerWidth = textWidth(cr, "ZAL", maker.size, maker.bold);
  const double productWidth = textWidth(cr, "Veltrane", product.size, product.bold);
  const int textLeft =
      static_cast<int>(std::round(version.left - 7.0 - productWidth - kTitleGap - makerWidth));
  drawText(cr, "ZAL", textLeft, titleMiddle, Align::Left, maker);
  drawText(cr, "Veltrane", textLeft + makerWidth + kTitleGap, titleMiddle, Align::Left, product);

  roundedRectPath(cr, version.left - 3, version.top - 3, version.width + 6, version.height + 6,
                  3.0);
  setColour(cr, rgb(118, 128, 140));
  cairo_fill(cr);
  roundedRectPath(cr, version.left - 2.5, version.top - 2.5, version.width + 5, version.height + 5,
                  2.5);
  setColour(cr, palette::kBlack, 0.35);
  cairo_set_line_width(cr, 1.0);
  cairo_stroke(cr);

  const TextStyle subtitle{10.0, true, palette::kFrequency};
  drawText(cr, "FIVE-BAND CHANNEL STRIP EQUALISER", textLeft + 1, titleMiddle + 26.0, Align::Left,
           subtitle);
  horizontalLine(cr, textLeft + 1, kWidth - 60, static_cast<int>(titleMiddle) + 38,
                 palette::kLegendDim, 0.45);

  const TextStyle body{10.0, false, palette::kLegend};
  const double lines = titleMiddle + 54.0;
  drawText(cr, "High-pass filter, low and high shelf with dip, two mid bands with three-step Q,",
           textLeft + 1, lines, Align::Left, body);
  drawText(cr, "output gain with look-ahead saturation, oversampled below 65 kHz.", textLeft + 1,
           lines + 15.0, Align::Left, body);
  drawText(cr, "VST 2.4 effect for Linux x86_64", textLeft + 1, lines + 37.0, Align::Left,
           {9.0, false, palette::kLegendDim});
  drawText(cr, "Click to close", kWidth - 40, kHeight - 26, Align::Right,
           {9.0, false, palette::kLegendDim});
}

}  // namespace vtgen
