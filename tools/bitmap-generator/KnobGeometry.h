// Radii of the knob parts, shared by the knob pictures and the printed scales around them.
#pragma once

namespace vtgen {

// Band knobs. Everything the gain part owns stays inside the editor's 23 pixel click radius;
// the frequency collar starts outside it.
constexpr double kCoaxCapRadius = 17.5;
constexpr double kCoaxBezelOuter = 22.5;
constexpr double kCoaxCollarInner = 24.0;
constexpr double kCoaxCollarOuter = 32.5;
constexpr double kCoaxTickInner = 36.5;

// High-pass knob: a skirt with an index under a cap.
constexpr double kHighPassSkirtRadius = 28.0;
constexpr double kHighPassCapRadius = 18.5;
constexpr double kSingleTickInner = 32.5;

// Output knob.
constexpr double kOutputSkirtRadius = 25.0;
constexpr double kOutputCapRadius = 16.5;
constexpr double kOutputTickInner = 29.0;

}  // namespace vtgen
