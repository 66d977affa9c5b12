#pragma once

#include <string>
#include <vector>

// Whole audio files through libsndfile: WAV, AIFF and FLAC, mono or stereo.
struct AudioData {
  int rate = 0;
  int channels = 0;
  int format = 0;               // libsndfile major format | subtype
  std::vector<double> samples;  // interleaved frames, full scale 1.0

  long long frames() const {
    return channels > 0 ? static_cast<long long>(samples.size()) / channels : 0;
  }
};

// Reads a whole file; false with a reason for an unreadable file or one of another kind or
// channel count than this tool handles.
bool readAudioFile(const std::string& path, AudioData& data, std::string& error);

// Writes a whole file in data.format. The samples go to a temporary file beside `path`
// that replaces `path` only once it is complete, so a failure leaves what was there.
bool writeAudioFile(const std::string& path, const AudioData& data, std::string& error);

// The format a generated signal is written in, chosen by the file name's extension
// (.wav 32-bit float, .aif/.aiff and .flac 24-bit); 0 for an extension not handled.
int formatForFileName(const std::string& path);
