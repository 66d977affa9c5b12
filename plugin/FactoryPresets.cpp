#include "plugin/FactoryPresets.h"

#include "plugin/ParameterMapping.h"

const char* const kFactoryPresetNames[5] = {"Current", "Drum Group", "Snare", "Over Heads",
                                            "Round"};

namespace {

struct FactoryRow {
  int index;
  float values[5];
};

// Columns: Current, Drum Group, Snare, Over Heads, Round.
constexpr FactoryRow kRows[] = {
    {kEqAll, {1, 1, 1, 1, 1}},
    {kLsr, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {kOutput, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {kSat, {0, 1, 1, 0, 0}},
    {kHpf, {0, 0, 1, 1, 0}},
    {kHpfFreq, {0, 0, 0.6f, 0.8f, 0}},
    {kLf, {1, 1, 0, 0, 1}},
    {kLfFreq, {0.5f, 0.27f, 0.5f, 0.5f, 0.5f}},
    {kLfDip, {1, 1, 1, 1, 0}},
    {kLfGain, {0.5f, 0.575f, 0.5f, 0.5f, 0.425f}},
    {kLmf, {1, 1, 1, 0, 0}},
    {kLmFreq, {0.5f, 0.5f, 0.4f, 0.5f, 0.5f}},
    {kLmQ, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {kLmGain, {0.5f, 0.5f, 0.625f, 0.5f, 0.5f}},
    {kHmf, {1, 1, 1, 0, 1}},
    {kHmFreq, {0.5f, 0.5f, 0.5f, 0.5f, 0.5f}},
    {kHmQ, {0.5f, 0.5f, 0.5f, 0.5f, 0}},
    {kHmGain, {0.5f, 0.575f, 0.625f, 0.5f, 0.575f}},
    {kHf, {1, 1, 0, 1, 1}},
    {kHfFreq, {0.5f, 0.5f, 0.5f, 0, 1}},
    {kHfDip, {1, 1, 1, 0.4f, 0}},
    {kHfGain, {0.5f, 0.5f, 0.5f, 0.575f, 0.45f}},
};

}  // namespace

float factoryPresetValue(int preset, int index) {
  for (const FactoryRow& row : kRows)
    if (row.index == index) return row.values[preset];
  return 0.5f;
}
