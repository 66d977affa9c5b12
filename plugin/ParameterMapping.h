#pragma once

#include "plugin/StripSettings.h"
#include "sdk/aeffectx.h"

// The parameter table: indices, names, how a normalised value becomes an internal value,
// display texts and host properties. Free functions over plain values, so the same rules
// serve the effect, its tests and the editor.

constexpr int kNumParameters = 40;

enum ParameterIndex : int {
  kEqAll = 0,
  kLsr = 1,
  kOutput = 6,
  kSat = 7,
  kHpf = 8,
  kHpfFreq = 9,
  kLf = 12,
  kLfFreq = 13,
  kLfDip = 14,
  kLfGain = 15,
  kLmf = 16,
  kLmFreq = 17,
  kLmQ = 18,
  kLmGain = 19,
  kHmf = 20,
  kHmFreq = 21,
  kHmQ = 22,
  kHmGain = 23,
  kHf = 24,
  kHfFreq = 25,
  kHfDip = 26,
  kHfGain = 27,
};

// Change bits beyond the five bands: values the engine reads directly (EQ all, LSR, OUTput, SAT).
constexpr unsigned kEngineValuesChanged = 1u << 5;
constexpr unsigned kAllChanges = kAllBands | kEngineValuesChanged;

// Frequency tables, indexed by step.
extern const double kHighPassFrequencies[41];
extern const double kLowFrequencies[11];
extern const double kLowMidFrequencies[11];
extern const double kHighMidFrequencies[11];
extern const double kHighFrequencies[11];

// Nearest step of a table for a position in 0..1 (clamped; NaN gives the first entry).
double transformDiscreetPos2Freq(const double* table, int count, double position);

// A stepped gain: `steps` equal steps from -rangeDb to +rangeDb.
struct GainScale {
  int steps;
  double rangeDb;
};
// OUTput and the four band gains; no steps for any other index.
GainScale gainScaleOf(int index);
// The decibels a gain parameter's normalised value stands for (0 for any other index).
double gainDbOf(int index, float value);

// The table a stepped-frequency parameter chooses from; none (null, 0) for any other index.
struct FrequencyTable {
  const double* steps;
  int count;
};
FrequencyTable frequencyTableOf(int index);

// True for the indices that carry no control and are left out of the record-based formats.
bool isDummyParameter(int index);

// The change bit a parameter sets: its band, kEngineValuesChanged, or 0 for a dummy.
unsigned changeBitOfParameter(int index);

// Writes the internal value(s) of one parameter into the settings.
void applyParameter(StripSettings& settings, int index, float value);

// Internal values of a full set of 40 normalised values.
StripSettings deriveSettings(const float* values);

const char* parameterName(int index);

// The display text of a parameter from its normalised value and the derived settings.
void parameterDisplay(int index, float value, const StripSettings& settings, char* text);

// Host properties: only the switches (and three dummies) report any.
bool parameterProperties(int index, VstParameterProperties* properties);
