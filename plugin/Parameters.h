#pragma once

#include <array>
#include <atomic>

#include "plugin/ParameterMapping.h"
#include "plugin/StripSettings.h"

// The effect's 40 normalised values, shared between whichever thread sets a parameter and the
// audio thread. Each value is one atomic word; a change also raises the change bit of what it
// feeds, which the audio thread takes at its next chunk boundary to re-derive the internal
// values and redesign only the bands concerned.
class Parameters {
 public:
  Parameters();

  // False (and nothing stored) for an index outside 0..39 or a value that is not a finite
  // number: one NaN would otherwise poison the filter state or the output gain for good. The
  // effect hands in values already kept to 0..1.
  bool set(int index, float value);
  float get(int index) const;

  // The internal values of the current normalised values.
  StripSettings settings() const;

  // Takes the change bits raised since the last call (acquire: the values behind them are
  // visible afterwards).
  unsigned takeChanges() { return changes.exchange(0, std::memory_order_acquire); }

 private:
  std::array<std::atomic<float>, kNumParameters> values;
  std::atomic<unsigned> changes{kAllChanges};
};
