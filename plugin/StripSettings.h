#pragma once

// The internal values the parameters are turned into: what the band updates and the
// engine's loops work from. A plain value type, so the audio thread can take a
// consistent copy of it at a chunk boundary.
struct StripSettings {
  int eqOn = 1;
  int processLeft = 1;
  int processRight = 1;
  int satOn = 0;
  double outGain = 1.0;  // linear

  int hpfOn = 0;
  double hpfFreq = 20.0;  // Hz

  int lfOn = 0;
  int lfDipOn = 0;
  double lfFreq = 30.0;  // Hz
  double lfGain = 0.0;   // dB

  int lmOn = 0;
  double lmFreq = 75.0;
  double lmQ = 1.4142;
  double lmGain = 0.0;

  int hmOn = 0;
  double hmFreq = 420.0;
  double hmQ = 1.4142;
  double hmGain = 0.0;

  int hfOn = 0;
  int hfDipOn = 0;
  double hfFreq = 1480.0;
  double hfPosition = 0.0;  // the normalised HFfreq value, which the high band's design also uses
  double hfGain = 0.0;

  bool operator==(const StripSettings&) const = default;
};

// One bit per band update; a parameter change marks the band whose sections it feeds.
enum BandBits : unsigned {
  kBandLowCut = 1u << 0,
  kBandLowShelf = 1u << 1,
  kBandLowMid = 1u << 2,
  kBandMid = 1u << 3,
  kBandHighShelf = 1u << 4,
  kAllBands = 0x1Fu,
};
