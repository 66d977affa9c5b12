// Where every control of the editor sits and how large its pictures are. The editor places each
// control at a fixed top-left corner and takes its size from the bitmap, so the sizes here decide
// the hit areas; the centre points of the band knobs are fixed by the editor as well.
#pragma once

#include <array>
#include <string_view>

#include "plugin/ParameterMapping.h"

namespace vtgen {

struct Point {
  double x;
  double y;
};

struct Box {
  int left;
  int top;
  int width;
  int height;
  int right() const { return left + width; }
  int bottom() const { return top + height; }
};

constexpr int kPanelWidth = 778;
constexpr int kPanelHeight = 248;

// Band knobs: one 70 x 70 image each. The editor's click centres are (209,111), (328,111),
// (447,111) and (568,111); the first three are the image middles, the high band's lies one pixel
// right of it, so its knob is drawn one pixel right within the image.
constexpr int kCoaxSize = 70;
constexpr double kCoaxClickRadius = 23.0;

enum class Band { Low, LowMid, HighMid, High };

struct CoaxKnob {
  Band band;
  int centreBitmap;
  int centreImages;
  std::string_view ringFile;
  int ringImages;
  Box image;
  Point centre;  // window coordinates
  double gainRangeDb;
  const double* frequencies;  // the plug-in's own table of the ring's 11 steps
  std::string_view name;
};

inline const std::array<CoaxKnob, 4> kCoaxKnobs = {{
    {Band::Low,
     11571,
     41,
     "bmp11558.png",
     11,
     {174, 76, kCoaxSize, kCoaxSize},
     {209, 111},
     20.0,
     kLowFrequencies,
     "LF"},
    {Band::LowMid,
     11572,
     29,
     "bmp11559.png",
     15,
     {293, 76, kCoaxSize, kCoaxSize},
     {328, 111},
     14.0,
     kLowMidFrequencies,
     "LMF"},
    {Band::HighMid,
     11573,
     29,
     "bmp11576.png",
     15,
     {412, 76, kCoaxSize, kCoaxSize},
     {447, 111},
     14.0,
     kHighMidFrequencies,
     "HMF"},
    {Band::High,
     11553,
     41,
     "bmp11557.png",
     11,
     {532, 76, kCoaxSize, kCoaxSize},
     {568, 111},
     20.0,
     kHighFrequencies,
     "HF"},
}};

// High-pass knob: 41 images of 70 x 70, the view exactly one image.
constexpr int kHighPassBitmap = 11541;
constexpr Box kHighPassImage{55, 76, 70, 70};
constexpr Point kHighPassCentre{90, 111};

// Output knob: the view shows the upper 41/51 of each image, so the image is 51 units tall and the
// knob lives in the upper 41: 58 x 102 images, an 82 pixel high view, centre (680,111).
constexpr int kOutputBitmap = 11562;
constexpr int kOutputImages = 41;
constexpr Box kOutputImage{651, 76, 58, 102};
constexpr int kOutputViewHeight = 82;
constexpr Point kOutputCentre{680, 111};

// Two-state buttons (2 images, off above on).
constexpr int kButtonWidth = 30;
constexpr int kButtonHeight = 16;

struct Toggle {
  int bitmap;
  int left;
  int top;
  std::string_view legend;
  bool legendRight;  // legend printed right of the button instead of left
};

inline const std::array<Toggle, 9> kToggles = {{
    {11510, 663, 22, "EQ", false},
    {11518, 663, 168, "SAT", false},
    {11540, 91, 22, "HPF", false},
    {11543, 209, 22, "LF", false},
    {11516, 182, 168, "DIP", true},
    {11546, 330, 22, "LMF", false},
    {11548, 448, 22, "HMF", false},
    {11552, 568, 22, "HF", false},
    {11517, 541, 168, "DIP", true},
}};

// Three-position switches (3 images, left to right position).
constexpr int kSwitchWidth = 52;
constexpr int kSwitchHeight = 16;

struct Selector {
  int bitmap;
  int left;
  int top;
  std::array<std::string_view, 3> positions;
  std::string_view legend;
};

inline const std::array<Selector, 3> kSelectors = {{
    {11512, 64, 168, {"L", "S", "R"}, "CHANNEL"},
    {11547, 302, 168, {"0.7", "2.0", "4.0"}, "Q"},
    {11549, 421, 168, {"0.7", "2.0", "4.0"}, "Q"},
}};

// Clip lamp: off, held, on.
constexpr int kLedBitmap = 11520;
constexpr Box kLed{712, 57, 16, 16};

// Areas the editor draws into or listens on.
constexpr Box kLatencyText{58, 214, 94, 12};     // both read-outs together (58..152)
constexpr Box kAboutHotSpot{323, 210, 135, 17};  // (323,210)-(458,227)
constexpr int kAboutBitmap = 11580;
constexpr int kBackgroundBitmap = 11500;

// Preset row: a rail from y 229 down to the window's bottom edge, its keys at y 232..246.
constexpr int kRailTop = 229;
constexpr Box kNameField{175, 232, 117, 14};  // (175..292), centred on y 239
constexpr Box kPresetMenu{293, 232, 12, 14};

enum class PanelGlyph { Save, Load, Store, Recall, Word, Rocker, Help };

struct PanelButton {
  int bitmap;
  int images;
  Box box;
  PanelGlyph glyph;
  std::string_view word;
};

inline const std::array<PanelButton, 12> kPanelButtons = {{
    {19997, 5, {313, 232, 31, 14}, PanelGlyph::Rocker, ""},
    {19993, 3, {70, 232, 12, 14}, PanelGlyph::Load, ""},
    {19994, 3, {20, 232, 12, 14}, PanelGlyph::Save, ""},
    {19990, 3, {32, 234, 37, 10}, PanelGlyph::Word, "BANK"},
    {19998, 3, {150, 232, 12, 14}, PanelGlyph::Load, ""},
    {19999, 3, {91, 232, 12, 14}, PanelGlyph::Save, ""},
    {19899, 3, {103, 234, 47, 10}, PanelGlyph::Word, "PRESET"},
    {19991, 3, {374, 232, 12, 14}, PanelGlyph::Recall, ""},
    {19995, 3, {352, 232, 12, 14}, PanelGlyph::Store, ""},
    {19992, 3, {417, 232, 12, 14}, PanelGlyph::Recall, ""},
    {19996, 3, {395, 232, 12, 14}, PanelGlyph::Store, ""},
    {989, 3, {722, 232, 16, 14}, PanelGlyph::Help, ""},
}};

// Knob travel: 0 at lower left, 1 at lower right, 270 degrees in between.
constexpr double kKnobStartDegrees = -135.0;
constexpr double kKnobSweepDegrees = 270.0;

}  // namespace vtgen
