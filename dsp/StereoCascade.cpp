#include "dsp/StereoCascade.h"

#include <cstring>

StereoCascade::StereoCascade(const VectorKernels& k) : kernels(&k) {
  // The histories and coefficients of lanes no section uses stay as a previous pass left
  // them (or zero): finite, and never read into a lane in use.
  for (int c = 1; c <= 2; ++c) {
    for (int sections = 1; sections <= kMaxSections; ++sections) {
      const CascadeLayout layout(k.cascadeShape[c - 1], c, sections);
      Placement& place = placements[c - 1][sections - 1];
      place.width = layout.width;
      place.registers = layout.registers;
      for (int g = 0; g < sections; ++g) {
        place.offset[g] = layout.offset(g);
        for (int ch = 0; ch < c; ++ch) place.lane[g][ch] = layout.lane(g, ch);
      }
    }
  }
}

void StereoCascade::prepare(const Placement& place, int k, int frames) {
  const int width = place.width;
  const int stride = kCoeffs * width;
  Filter* const* filters = laneFilter + k * width;
  bool gliding = false;
  for (int l = 0; l < width; ++l)
    gliding = gliding || (filters[l] && filters[l]->rampRemaining > 0);
  if (!gliding) {
    double* out = steadyBuffer + k * stride;
    for (int l = 0; l < width; ++l) {
      Filter* f = filters[l];
      const int j = k * width + l;
      if (!f || (steadyFrom[j] == f && steadyDesigns[j] == f->designs)) continue;
      const Filter::Coeffs& c = f->destCoeffs;
      out[l] = c.b0, out[width + l] = c.b1, out[2 * width + l] = c.b2;
      out[3 * width + l] = c.a1, out[4 * width + l] = c.a2;
      f->currCoeffs = c;
      steadyFrom[j] = f;
      steadyDesigns[j] = f->designs;
    }
    lanes.coeffs[k] = out;
    lanes.stride[k] = 0;
    return;
  }
  // A glide does not depend on the signal, so its steps can all be taken up front. Only the
  // steps at which a lane's section has a frame are written.
  double* out = streamBuffer + k * stride * kMaxSteps;
  for (int l = 0; l < width; ++l) {
    Filter* f = filters[l];
    if (!f) continue;
    steadyFrom[k * width + l] = nullptr;
    if (f->rampRemaining > 0) streamFrom[k * width + l] = nullptr;
    double* first = out + laneOffset[k * width + l] * stride + l;
    if (f->rampRemaining > 0) {
      // Left and right glide alike as a rule: the right lane then takes the left's steps.
      Filter* pair = channels == 2 && l + 1 < width ? filters[l + 1] : nullptr;
      if (pair && l % 2 == 0 && f->glidesLike(*pair)) {
        f->fillCoeffStream(first, frames, stride, width, 2);
        pair->followGlide(*f);
        steadyFrom[k * width + l + 1] = nullptr;
        streamFrom[k * width + l + 1] = nullptr;
        ++l;
        continue;
      }
      f->fillCoeffStream(first, frames, stride, width, 1);
      continue;
    }
    // A steady lane beside a glide: its entries are still there if it was so last time.
    const int j = k * width + l;
    if (streamFrom[j] == f && streamDesigns[j] == f->designs && streamOffset[j] == laneOffset[j] &&
        streamFrames[j] >= frames) {
      continue;
    }
    const Filter::Coeffs& c = f->destCoeffs;
    for (int n = 0; n < frames; ++n) {
      double* o = first + n * stride;
      o[0] = c.b0, o[width] = c.b1, o[2 * width] = c.b2, o[3 * width] = c.a1, o[4 * width] = c.a2;
    }
    f->currCoeffs = c;
    streamFrom[j] = f;
    streamDesigns[j] = f->designs;
    streamFrames[j] = frames;
    streamOffset[j] = laneOffset[j];
  }
  lanes.coeffs[k] = out;
  lanes.stride[k] = stride;
}

void StereoCascade::placeLanes(const Placement& place) {
  for (int j = 0; j < place.registers * place.width; ++j) laneFilter[j] = nullptr;
  for (int g = 0; g < grouped; ++g) {
    for (int c = 0; c < channels; ++c) {
      const int j = place.lane[g][c];
      laneFilter[j] = pending[g][c];
      laneOffset[j] = place.offset[g];
      planned[g][c] = pending[g][c];
    }
  }
  plannedSections = grouped;
  plannedChannels = channels;
}

void StereoCascade::runPass(const Placement& place, int frames) {
  lanes.frames = frames;
  // The pass without the flush is tried unless it just met small values (the signal is
  // near silence) or the rounding is not to nearest.
  lanes.exact =
      !kernels->cascadeShape[channels - 1].triesWithoutFlush || exactPasses > 0 || !nearestRounding;
  const std::size_t bytes = sizeof(double) * frames;
  if (!lanes.exact) {
    for (int c = 0; c < channels; ++c) std::memcpy(saved[c], lanes.planes[c], bytes);
  }
  const VectorKernels::CascadePass pass = kernels->cascade[channels - 1][grouped - 1];
  if (pass(lanes)) {
    if (exactPasses > 0) --exactPasses;
    return;
  }
  // Again from the start: the samples as they were, and the histories (x2 may have moved).
  for (int c = 0; c < channels; ++c) std::memcpy(lanes.planes[c], saved[c], bytes);
  for (int g = 0; g < grouped; ++g) {
    for (int c = 0; c < channels; ++c) lanes.x2[place.lane[g][c]] = pending[g][c]->x2;
  }
  lanes.exact = true;
  pass(lanes);
  exactPasses = kExactPassesAfterSmall;
}

void StereoCascade::flush(int sections, int frames) {
  // The count as passed, not as stored: read back together with `channels`, it would wait
  // for the store.
  grouped = sections;
  if (sections == 0) return;
  const Placement& place = placements[channels - 1][sections - 1];
  if (place.width != steadyWidth) {
    for (const Filter*& f : steadyFrom) f = nullptr;
    for (const Filter*& f : streamFrom) f = nullptr;
    steadyWidth = place.width;
  }
  // The same sections as last time keep their lanes; if they are also steady and as
  // designed then, their coefficients are where that pass left them, and unless something
  // else wrote their histories since, so are those.
  bool samePlaces = sections == plannedSections && channels == plannedChannels;
  bool sameCoeffs = plannedSteady;
  bool sameHistories = true;
  for (int g = 0; g < sections; ++g) {
    for (int c = 0; c < channels; ++c) {
      const Filter* f = pending[g][c];
      samePlaces = samePlaces && f == planned[g][c];
      sameCoeffs = sameCoeffs && f->rampRemaining == 0 && f->designs == plannedDesigns[g][c];
      sameHistories = sameHistories && f->historyWrites == plannedHistories[g][c];
      plannedHistories[g][c] = f->historyWrites;
    }
  }
  if (!samePlaces || !sameHistories) {
    for (int g = 0; g < sections; ++g) {
      for (int c = 0; c < channels; ++c) {
        const int j = place.lane[g][c];
        const Filter* f = pending[g][c];
        lanes.x1[j] = f->x1;
        lanes.x2[j] = f->x2;
        lanes.y1[j] = f->y1;
        lanes.y2[j] = f->y2;
      }
    }
  }
  if (!samePlaces) placeLanes(place);
  if (!samePlaces || !sameCoeffs) {
    plannedSteady = true;
    for (int k = 0; k < place.registers; ++k) {
      prepare(place, k, frames);
      plannedSteady = plannedSteady && lanes.stride[k] == 0;
    }
    for (int g = 0; g < sections; ++g) {
      for (int c = 0; c < channels; ++c) plannedDesigns[g][c] = pending[g][c]->designs;
    }
  }
  runPass(place, frames);
  for (int g = 0; g < sections; ++g) {
    for (int c = 0; c < channels; ++c) {
      const int j = place.lane[g][c];
      Filter* f = pending[g][c];
      f->x1 = lanes.x1[j];
      f->x2 = lanes.x2[j];
      f->y1 = lanes.y1[j];
      f->y2 = lanes.y2[j];
    }
  }
  grouped = 0;
}

void StereoCascade::beginBlock() { nearestRounding = (__builtin_ia32_stmxcsr() & 0x6000) == 0; }

void StereoCascade::run(Filter* const* left, Filter* const* right, int sections,
                        double* leftSamples, double* rightSamples, int frames, bool runLeft,
                        bool runRight) {
  if (sections > kMaxSections) sections = kMaxSections;
  const bool pipelined = frames >= 1 && frames <= kMaxFrames;
  channels = runLeft && runRight ? 2 : 1;
  lanes.planes[0] = runLeft ? leftSamples : rightSamples;
  lanes.planes[1] = rightSamples;
  // Counted in a local: a member would tie every section's test to the previous one's store.
  int count = 0;
  for (int i = 0; i < sections; ++i) {
    // processFrame's once-per-call test, made here for every section before any filtering:
    // it depends only on the section's own state. A section that passes the samples
    // untouched simply drops out of the pipeline.
    Filter* l = runLeft && !left[i]->bypassed() ? left[i] : nullptr;
    Filter* r = runRight && !right[i]->bypassed() ? right[i] : nullptr;
    if (!l && !r) continue;
    // A pass runs either both channels or only the one whose chain runs; a section active
    // in one channel of a stereo pass (settings that drifted apart) runs alone.
    const bool fits = channels == 2 ? l && r : true;
    if (pipelined && fits) {
      pending[count][0] = channels == 2 || l ? l : r;
      pending[count][1] = r;
      ++count;
      continue;
    }
    flush(count, frames);
    count = 0;
    if (l) l->processFrame(leftSamples, frames);
    if (r) r->processFrame(rightSamples, frames);
  }
  flush(count, frames);
}
