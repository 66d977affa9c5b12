// The colours of the panel, in one place so every picture agrees.
#pragma once

#include "tools/bitmap-generator/Drawing.h"

namespace vtgen::palette {

constexpr Colour kPanel = rgb(60, 67, 76);  // brushed blue-grey plate
constexpr Colour kPanelTop = rgb(70, 78, 88);
constexpr Colour kPanelBottom = rgb(50, 56, 64);
constexpr Colour kRail = rgb(33, 37, 43);       // the preset rail along the bottom
constexpr Colour kLegend = rgb(226, 230, 234);  // printed legends
constexpr Colour kLegendDim = rgb(156, 166, 178);
constexpr Colour kFrequency = rgb(238, 204, 140);  // frequency scales, warm so they part from gain
constexpr Colour kGain = rgb(226, 230, 234);
constexpr Colour kDisplay = rgb(209, 227, 238);  // read-out glass; the name field's own colour
constexpr Colour kDisplayInk = rgb(36, 36, 32);
constexpr Colour kLamp = rgb(255, 178, 60);  // lit button lamp
constexpr Colour kLampOff = rgb(86, 70, 52);
constexpr Colour kClip = rgb(255, 54, 36);
constexpr Colour kBlack{0, 0, 0};
constexpr Colour kWhite{1, 1, 1};

}  // namespace vtgen::palette
