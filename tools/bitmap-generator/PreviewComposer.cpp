#include "tools/bitmap-generator/PreviewComposer.h"

#include "tools/bitmap-generator/AboutPainter.h"
#include "tools/bitmap-generator/Drawing.h"
#include "tools/bitmap-generator/Palette.h"

namespace vtgen {

void PreviewComposer::place(cairo_t* cr, const std::string& fileName, int image,
                            int viewHeight) const {
  const StripBuilder* strip = bitmaps_.find(fileName);
  if (strip == nullptr) return;
  const Box at = strip->place();
  SavedState saved(cr);
  cairo_rectangle(cr, at.left, at.top, at.width, viewHeight > 0 ? viewHeight : at.height);
  cairo_clip(cr);
  cairo_set_source_surface(cr, strip->surface(), at.left,
                           at.top - static_cast<double>(image) * at.height);
  cairo_paint(cr);
}

bool PreviewComposer::write(const std::filesystem::path& file) const {
  Surface surface = makeImage(kPanelWidth, kPanelHeight, bitmaps_.pixelRatio());
  Context context = makeContext(surface.get());
  cairo_t* cr = context.get();
  place(cr, BitmapSet::fileName(kBackgroundBitmap), 0);
  place(cr, BitmapSet::fileName(kLedBitmap), 0);
  place(cr, BitmapSet::fileName(kOutputBitmap), 20, kOutputViewHeight);
  place(cr, BitmapSet::fileName(kHighPassBitmap), 0);
  // Factory preset: everything in except saturation and the high-pass filter.
  for (const Toggle& toggle : kToggles) {
    const bool on = toggle.bitmap != 11518 && toggle.bitmap != 11540;
    place(cr, BitmapSet::fileName(toggle.bitmap), on ? 1 : 0);
  }
  for (const Selector& selector : kSelectors) place(cr, BitmapSet::fileName(selector.bitmap), 1);
  for (const CoaxKnob& knob : kCoaxKnobs) {
    place(cr, BitmapSet::fileName(knob.centreBitmap), knob.centreImages / 2);
    place(cr, std::string(knob.ringFile), knob.ringImages / 2);
  }
  for (const PanelButton& button : kPanelButtons) place(cr, BitmapSet::fileName(button.bitmap), 0);

  const TextStyle readout{9.0, false, rgb(64, 64, 64), 1.0, false};
  drawText(cr, "1.0ms", kLatencyText.left, kLatencyText.top + kLatencyText.height / 2.0,
           Align::Left, readout);
  drawText(cr, "46smps", 102, kLatencyText.top + kLatencyText.height / 2.0, Align::Left, readout);
  drawText(cr, "Current", kNameField.left + kNameField.width / 2.0, 239, Align::Centre,
           {11.0, false, palette::kDisplayInk, 1.0, false});
  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), file.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace vtgen

namespace vtgen {

bool PreviewComposer::writeAbout(const std::filesystem::path& file) const {
  const int height = AboutPainter::kHeight;
  Surface surface = makeImage(AboutPainter::kWidth, 2 * height, bitmaps_.pixelRatio());
  Context context = makeContext(surface.get());
  cairo_t* cr = context.get();
  const Box version = AboutPainter::versionBox();
  const Colour inks[] = {palette::kWhite, palette::kBlack};
  for (int copy = 0; copy < 2; ++copy) {
    SavedState saved(cr);
    cairo_translate(cr, 0, copy * height);
    place(cr, BitmapSet::fileName(kAboutBitmap), 0);
    drawText(cr, "v.1.8.0", version.left + version.width / 2.0, version.top + version.height / 2.0,
             Align::Centre, {9.0, false, inks[copy], 1.0, false});
  }
  cairo_surface_flush(surface.get());
  return cairo_surface_write_to_png(surface.get(), file.c_str()) == CAIRO_STATUS_SUCCESS;
}

}  // namespace vtgen
