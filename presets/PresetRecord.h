#pragma once

#include <cstddef>

constexpr int kNumPresets = 5;
constexpr int kNumPresetValues = 40;
constexpr int kPresetNameLength = 24;

// One preset: a name of at most 23 characters, zero-filled, and 40 normalised values.
struct PresetRecord {
  char name[kPresetNameLength];
  float values[kNumPresetValues];
};

static_assert(sizeof(PresetRecord) == 184);
static_assert(offsetof(PresetRecord, values) == 24);
