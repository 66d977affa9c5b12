#pragma once

// The five presets a new instance starts with.
extern const char* const kFactoryPresetNames[5];

// Normalised value of parameter `index` in factory preset `preset`; 0.5 for every dummy.
float factoryPresetValue(int preset, int index);
