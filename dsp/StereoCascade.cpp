#include "dsp/StereoCascade.h"

StereoCascade::StereoCascade(const VectorKernels& k) : kernels(&k) {}

void StereoCascade::prepare(int k, int frames) {
  const int width = kernels->width;
  const int used = grouped * channels;
  const int stride = kCoeffs * width;
  bool gliding = false;
  for (int l = 0; l < width; ++l) {
    const int lane = k * width + l;
    gliding = gliding || (lane < used && laneFilter[lane]->rampRemaining > 0);
  }
  if (!gliding) {
    double* out = steadyBuffer + k * stride;
    for (int l = 0; l < width; ++l) {
      const int lane = k * width + l;
      Filter* f = lane < used ? laneFilter[lane] : nullptr;
      const Filter::Coeffs c = f ? f->destCoeffs : Filter::Coeffs{};
      out[l] = c.b0, out[width + l] = c.b1, out[2 * width + l] = c.b2;
      out[3 * width + l] = c.a1, out[4 * width + l] = c.a2;
      if (f) f->currCoeffs = f->destCoeffs;
    }
    lanes.coeffs[k] = out;
    lanes.stride[k] = 0;
    return;
  }
  // A glide does not depend on the signal, so its steps can all be taken up front. Only a
  // lane's own steps are written; the others are never used.
  double* out = streamBuffer + k * stride * kMaxSteps;
  const int skew = CascadeLanes::skew(width, channels);
  for (int l = 0; l < width; ++l) {
    const int lane = k * width + l;
    if (lane >= used) break;
    Filter* f = laneFilter[lane];
    double* first = out + skew * (lane / channels) * stride + l;  // the section's first step
    if (f->rampRemaining > 0) {
      f->fillCoeffStream(first, frames, stride, width);
      continue;
    }
    const Filter::Coeffs& c = f->destCoeffs;
    for (int n = 0; n < frames; ++n) {
      double* o = first + n * stride;
      o[0] = c.b0, o[width] = c.b1, o[2 * width] = c.b2, o[3 * width] = c.a1, o[4 * width] = c.a2;
    }
    f->currCoeffs = c;
  }
  lanes.coeffs[k] = out;
  lanes.stride[k] = stride;
}

void StereoCascade::flush(int frames) {
  if (grouped == 0) return;
  const int width = kernels->width;
  const int used = grouped * channels;
  const int registers = (used + width - 1) / width;
  for (int j = 0; j < registers * width; ++j) {
    const Filter* f = j < used ? laneFilter[j] : nullptr;
    lanes.x1[j] = f ? f->x1 : 0.0;
    lanes.x2[j] = f ? f->x2 : 0.0;
    lanes.y1[j] = f ? f->y1 : 0.0;
    lanes.y2[j] = f ? f->y2 : 0.0;
  }
  for (int k = 0; k < registers; ++k) prepare(k, frames);
  lanes.frames = frames;
  kernels->cascade[channels - 1][grouped - 1](lanes);
  for (int j = 0; j < used; ++j) {
    Filter* f = laneFilter[j];
    f->x1 = lanes.x1[j];
    f->x2 = lanes.x2[j];
    f->y1 = lanes.y1[j];
    f->y2 = lanes.y2[j];
    f->x0 = f->x1;  // the last input and output of the chunk
    f->y0 = f->y1;
  }
  grouped = 0;
}

void StereoCascade::run(Filter* const* left, Filter* const* right, int sections,
                        double* leftSamples, double* rightSamples, int frames, bool runLeft,
                        bool runRight) {
  if (sections > kMaxSections) sections = kMaxSections;
  const bool pipelined = frames >= 1 && frames <= kMaxFrames;
  channels = runLeft && runRight ? 2 : 1;
  lanes.planes[0] = runLeft ? leftSamples : rightSamples;
  lanes.planes[1] = rightSamples;
  grouped = 0;
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
      if (channels == 2) {
        laneFilter[2 * grouped] = l;
        laneFilter[2 * grouped + 1] = r;
      } else {
        laneFilter[grouped] = l ? l : r;
      }
      ++grouped;
      continue;
    }
    flush(frames);
    if (l) l->processFrame(leftSamples, frames);
    if (r) r->processFrame(rightSamples, frames);
  }
  flush(frames);
}
