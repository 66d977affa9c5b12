#include "tools/bitmap-generator/PanelPainter.h"

#include "tools/bitmap-generator/DialScales.h"
#include "tools/bitmap-generator/Drawing.h"
#include "tools/bitmap-generator/Palette.h"
#include "tools/bitmap-generator/PanelLayout.h"
#include "tools/bitmap-generator/PresetRowPainter.h"

#include <cmath>
#include <numbers>

namespace vtgen {

namespace {

// Grooves between the sections: high-pass, four bands, output.
constexpr int kGrooveX[] = {150, 268, 387, 507, 630};
constexpr int kGrooveTop = 12;
constexpr int kGrooveBottom = 204;

constexpr TextStyle kSectionLegend{9.0, true, palette::kLegend};
constexpr TextStyle kSmallLegend{7.5, true, palette::kLegend};
constexpr TextStyle kPositionLegend{7.5, true, palette::kLegendDim};

}  // namespace

void drawScrew(cairo_t* cr, double x, double y, double degrees) {
  const Point centre{x, y};
  softShadow(cr, {x, y}, 4.0, 0.8, 1.8, 0.55);
  Pattern head(cairo_pattern_create_linear(x - 4, y - 4, x + 4, y + 4));
  cairo_pattern_add_color_stop_rgb(head.get(), 0.0, 0.78, 0.80, 0.83);
  cairo_pattern_add_color_stop_rgb(head.get(), 1.0, 0.34, 0.36, 0.40);
  cairo_set_source(cr, head.get());
  cairo_arc(cr, x, y, 4.0, 0, 2 * std::numbers::pi);
  cairo_fill(cr);
  radialLine(cr, centre, -3.6, 3.6, degrees, 1.4, palette::kBlack, 0.55);
  radialLine(cr, centre, -3.4, 3.4, degrees + 2.0, 0.6, palette::kWhite, 0.12);
}

Surface PanelPainter::paint(int pixelRatio) const {
  Surface surface = makeImage(kPanelWidth, kPanelHeight, pixelRatio);
  Context context = makeContext(surface.get());
  cairo_t* cr = context.get();
  paintPlate(cr, surface.get());
  paintGrooves(cr);
  paintScrews(cr);
  for (const CoaxKnob& knob : kCoaxKnobs) drawCoaxScale(cr, knob);
  drawHighPassScale(cr);
  drawOutputScale(cr);
  paintControlLegends(cr);
  paintLatencyWindow(cr);
  paintNamePlate(cr);
  PresetRowPainter().paintRail(cr, {0, kRailTop, kPanelWidth, kPanelHeight - kRailTop});
  cairo_surface_flush(surface.get());
  return surface;
}

void PanelPainter::paintPlate(cairo_t* cr, cairo_surface_t* surface) const {
  Pattern shade(cairo_pattern_create_linear(0, 0, 0, kRailTop));
  cairo_pattern_add_color_stop_rgb(shade.get(), 0.0, palette::kPanelTop.r, palette::kPanelTop.g,
                                   palette::kPanelTop.b);
  cairo_pattern_add_color_stop_rgb(shade.get(), 0.45, palette::kPanel.r, palette::kPanel.g,
                                   palette::kPanel.b);
  cairo_pattern_add_color_stop_rgb(shade.get(), 1.0, palette::kPanelBottom.r,
                                   palette::kPanelBottom.g, palette::kPanelBottom.b);
  cairo_set_source(cr, shade.get());
  cairo_paint(cr);
  brushTexture(surface, {0, 0, kPanelWidth, kRailTop}, 0.030, 0.012, 0x5EA1'7A4Eull);

  // A soft light from above over the whole plate: lighter middle, darker ends.
  Pattern vignette(cairo_pattern_create_linear(0, 0, kPanelWidth, 0));
  cairo_pattern_add_color_stop_rgba(vignette.get(), 0.0, 0, 0, 0, 0.16);
  cairo_pattern_add_color_stop_rgba(vignette.get(), 0.25, 0, 0, 0, 0.0);
  cairo_pattern_add_color_stop_rgba(vignette.get(), 0.75, 0, 0, 0, 0.0);
  cairo_pattern_add_color_stop_rgba(vignette.get(), 1.0, 0, 0, 0, 0.16);
  cairo_set_source(cr, vignette.get());
  cairo_rectangle(cr, 0, 0, kPanelWidth, kRailTop);
  cairo_fill(cr);

  // Bevelled plate edge.
  horizontalLine(cr, 0, kPanelWidth - 1, 0, palette::kWhite, 0.22);
  verticalLine(cr, 0, 1, kRailTop - 1, palette::kWhite, 0.12);
  verticalLine(cr, kPanelWidth - 1, 1, kRailTop - 1, palette::kBlack, 0.35);
}

void PanelPainter::paintGrooves(cairo_t* cr) const {
  for (int x : kGrooveX) {
    verticalLine(cr, x, kGrooveTop, kGrooveBottom, palette::kBlack, 0.42);
    verticalLine(cr, x + 1, kGrooveTop, kGrooveBottom, palette::kWhite, 0.10);
  }
}

void PanelPainter::paintScrews(cairo_t* cr) const {
  drawScrew(cr, 9.5, 9.5, 30.0);
  drawScrew(cr, kPanelWidth - 9.5, 9.5, 75.0);
}

void PanelPainter::paintControlLegends(cairo_t* cr) const {
  for (const Toggle& toggle : kToggles) {
    const double middle = toggle.top + kButtonHeight / 2.0;
    const bool section = toggle.top < 100;
    const TextStyle& style = section ? kSectionLegend : kSmallLegend;
    if (toggle.legendRight)
      drawText(cr, toggle.legend, toggle.left + kButtonWidth + 5, middle, Align::Left, style);
    else
      drawText(cr, toggle.legend, toggle.left - 5, middle, Align::Right, style);
  }
  for (const Selector& selector : kSelectors) {
    for (int position = 0; position < 3; ++position) {
      const double x = selector.left + kSwitchWidth * (2 * position + 1) / 6.0;
      drawText(cr, selector.positions[static_cast<std::size_t>(position)], x,
               selector.top + kSwitchHeight + 7.0, Align::Centre, kPositionLegend);
    }
    if (!selector.legend.empty())
      drawText(cr, selector.legend, selector.left - 5, selector.top + kSwitchHeight / 2.0,
               Align::Right, kSmallLegend);
  }
  drawText(cr, "CLIP", kLed.right() + 4, kLed.top + kLed.height / 2.0, Align::Left, kSmallLegend);
  drawText(cr, "OUTPUT", kOutputCentre.x, 154.0, Align::Centre, kSmallLegend);
}

void PanelPainter::paintLatencyWindow(cairo_t* cr) const {
  const Box window{kLatencyText.left - 4, kLatencyText.top - 2, kLatencyText.width + 6,
                   kLatencyText.height + 4};
  Pattern glass(cairo_pattern_create_linear(0, window.top, 0, window.bottom()));
  const Colour top = mix(palette::kDisplay, palette::kWhite, 0.25);
  const Colour bottom = mix(palette::kDisplay, palette::kBlack, 0.06);
  cairo_pattern_add_color_stop_rgb(glass.get(), 0.0, top.r, top.g, top.b);
  cairo_pattern_add_color_stop_rgb(glass.get(), 1.0, bottom.r, bottom.g, bottom.b);
  cairo_set_source(cr, glass.get());
  cairo_rectangle(cr, window.left, window.top, window.width, window.height);
  cairo_fill(cr);
  horizontalLine(cr, window.left + 1, window.right() - 2, window.top + 1, palette::kBlack, 0.12);
  frameBox(cr, {window.left - 1, window.top - 1, window.width + 2, window.height + 2},
           palette::kBlack, 0.0);
  sunkenFrame(cr, {window.left - 1, window.top - 1, window.width + 2, window.height + 2}, 1.2);
  drawText(cr, "LATENCY", window.left - 6, window.top + window.height / 2.0, Align::Right,
           kSmallLegend);
}

void PanelPainter::paintNamePlate(cairo_t* cr) const {
  const Box spot = kAboutHotSpot;
  const double middleY = spot.top + spot.height / 2.0;
  const double middleX = spot.left + spot.width / 2.0;
  const TextStyle maker{11.0, true, palette::kLegend};
  const TextStyle product{11.0, false, palette::kLegend};
  const double makerWidth = textWidth(cr, "ZAL", maker.size, maker.bold);
  const double productWidth = textWidth(cr, "Veltrane", product.size, product.bold);
  const double gap = 4.0;
  const double left = std::round(middleX - (makerWidth + gap + productWidth) / 2.0);
  drawText(cr, "ZAL", left, middleY, Align::Left, maker);
  drawText(cr, "Veltrane", left + makerWidth + gap, middleY, Align::Left, product);
  const int rule = static_cast<int>(std::round(middleY));
  horizontalLine(cr, spot.left + 4, static_cast<int>(left) - 7, rule, palette::kLegendDim, 0.55);
  horizontalLine(cr, static_cast<int>(left + makerWidth + gap + productWidth) + 6, spot.right() - 5,
                 rule, palette::kLegendDim, 0.55);
}

}  // namespace vtgen
