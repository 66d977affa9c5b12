#pragma once

#include <vector>

// The built-in test signal: six seconds of stereo, a sine sweep, noise bursts and a small
// drum pattern, so an equaliser has something in every band to work on. Deterministic.
std::vector<double> makeDemoSignal(int rate);  // interleaved stereo frames

constexpr double kDemoSeconds = 6.0;
