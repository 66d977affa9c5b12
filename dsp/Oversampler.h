#pragma once

// The rate changers around the band sections: a 2x half-band interpolator (127-tap,
// Blackman-windowed, polyphase over a 128-entry ring per channel), the decimation that
// keeps the input-phase samples, and the fixed 32-sample delay that takes the
// interpolator's place at high host rates so the latency does not depend on the rate.
//
// Both channels share one ring position, which moves down by one per written entry, so
// ring entry pos + j holds what was written j steps earlier. The rings are kept unrolled
// in time order inside a longer history (the newest 128 entries are the ring): a whole
// chunk can then be written first and its interpolations computed side by side, which
// reads exactly the entries the ring would hold at each step.
//
// Buffers are interleaved left/right frames. A mono caller fills only the left lane and
// passes bothChannels false; the right ring then keeps its contents, as a mono loop
// leaves it alone, and the right lane of the result is meaningless.
class Oversampler {
 public:
  static constexpr int kRingSize = 128;
  static constexpr int kTaps = 127;
  static constexpr int kCentre = 63;
  static constexpr int kDelayFrames = 32;  // host samples through either path
  static constexpr int kMaxFrames = 32;    // host frames per call; more are cut off

  Oversampler();

  // Fills upCoeffs; the table never changes afterwards.
  void initUpsDec();
  // Clears both rings and puts the position back at the top.
  void reset();

  // Interpolates n host frames to 2n frames in place: frame 2i is the new sample half-way
  // between inputs, frame 2i + 1 the input of 32 host samples earlier. lr has room for
  // 2n frames.
  void upsample(double* lr, int n, bool bothChannels);
  // Keeps the input-phase frames: frame i := frame 2i + 1.
  static void downsample(double* lr, int n);
  // Delays n host frames in place by 32 samples, through the same rings.
  void delay(double* lr, int n, bool bothChannels);

  const double* coeffs() const { return upCoeffs; }
  int position() const { return upPos; }

 private:
  static constexpr int kHistoryFrames = 1024;
  static constexpr int kHistorySlack =
      16;  // read (never used) by interpolations past a chunk's end

  // Appends one entry per lane; a lane not written keeps what its ring held there.
  void append(double left, double right, bool bothChannels);
  void makeRoom(int entries);

  double upCoeffs[kRingSize] = {};
  alignas(16) double history[kHistoryFrames + kHistorySlack][2] = {};
  int head = kRingSize;  // next entry; history[head - 128 .. head - 1] is the ring
  int upPos = kRingSize - 1;
};
