#pragma once

#include <array>
#include <cstdint>

#include "plugin/ParameterMapping.h"

// The LV2 plug-in's ports: stereo audio in and out, one control input per real parameter in
// the units the window shows, and the latency output. A port value stands for the normalised
// value the VST build's control gives for that step, so both formats make the same sound from
// the same settings. Free functions over the parameter table: the run-time adapter, the
// window's bridge and the Turtle generator all use these, so nothing is kept twice.

namespace lv2port {

constexpr std::uint32_t kInputLeft = 0;
constexpr std::uint32_t kInputRight = 1;
constexpr std::uint32_t kOutputLeft = 2;
constexpr std::uint32_t kOutputRight = 3;
constexpr std::uint32_t kFirstControl = 4;
constexpr int kControlCount = 22;
constexpr std::uint32_t kLatency = kFirstControl + kControlCount;
constexpr std::uint32_t kCount = kLatency + 1;

// How a parameter looks as a port.
enum class Kind {
  Switch,        // toggled 0/1
  Choice,        // one of three positions, 0..2, labelled with the parameter's texts
  Gain,          // dB in the parameter's steps
  Frequency,     // Hz, one of the table's steps
  RingPosition,  // the HF ring's position in hundredths: the high band follows it, not only
                 // the table's step (hence its own port, with the steps as scale points)
};

// The parameter behind each control port, in port order.
extern const std::array<int, kControlCount> kParameters;

Kind kindOf(int parameter);
// The control port of a real parameter; kCount for a dummy.
std::uint32_t portOf(int parameter);
// The parameter of a control port; -1 for any other port.
int parameterOf(std::uint32_t port);

// The normalised values the window's control gives a parameter, one per step of its port: 0
// and 1 for a switch, 0, 0.5 and 1 for a choice, n / steps for a gain, the table's steps for a
// frequency. The HF ring takes any position; its candidates are where it meets a step.
int candidateCount(int parameter);
float candidate(int parameter, int k);

// Normalised value -> port value. Any thread; no allocation.
float portValueOf(int parameter, float normalised);
// Port value -> the normalised value the VST build uses for the nearest step. Any thread.
float normalisedOf(int parameter, float portValue);

// The port's symbol: the parameter's name with anything but letters and digits turned into '_'.
void symbolOf(int parameter, char (&symbol)[16]);

}  // namespace lv2port
