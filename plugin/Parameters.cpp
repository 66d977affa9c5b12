#include "plugin/Parameters.h"

#include <cmath>

Parameters::Parameters() {
  for (auto& v : values) v.store(0.0f, std::memory_order_relaxed);
}

bool Parameters::set(int index, float value) {
  if (index < 0 || index >= kNumParameters || !std::isfinite(value)) return false;
  values[index].store(value, std::memory_order_relaxed);
  if (const unsigned bit = changeBitOfParameter(index))
    changes.fetch_or(bit, std::memory_order_release);
  return true;
}

float Parameters::get(int index) const {
  if (index < 0 || index >= kNumParameters) return 0.0f;
  return values[index].load(std::memory_order_relaxed);
}

StripSettings Parameters::settings() const {
  float snapshot[kNumParameters];
  for (int i = 0; i < kNumParameters; ++i) snapshot[i] = values[i].load(std::memory_order_relaxed);
  return deriveSettings(snapshot);
}
