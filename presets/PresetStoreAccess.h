#pragma once

// Helpers shared by the effect's chunk reader and the editor's buffer readers: a copy of
// the whole store to put back when a load meets bad data, and the positional block of the
// old formats.

#include <array>

#include "platform/ByteReader.h"
#include "presets/PresetRecord.h"

class CPresetSystemEffect;

using PresetStoreCopy = std::array<PresetRecord, kNumPresets>;

void saveStore(CPresetSystemEffect& effect, PresetStoreCopy& copy);
void restoreStore(CPresetSystemEffect& effect, const PresetStoreCopy& copy);

// True for a normalised value; false for anything outside 0..1, NaN included.
inline bool isNormalised(float value) { return value >= 0.0f && value <= 1.0f; }

// Reads an old-format block (24-byte name, then positional floats) into preset `number`:
// the name, then `values` positions (at most 40 used), skipping those the effect ignores
// in the old formats. False on a value outside 0..1 or a block shorter than it claims;
// the caller then restores what it saved.
bool readOldPresetBlock(CPresetSystemEffect& effect, ByteReader block, int number, int values);
