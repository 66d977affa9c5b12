#include "AudioFile.h"

#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

struct SndFileCloser {
  void operator()(SNDFILE* f) const { sf_close(f); }
};
using SndFileHandle = std::unique_ptr<SNDFILE, SndFileCloser>;

bool supportedMajor(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_WAV:
    case SF_FORMAT_WAVEX:
    case SF_FORMAT_AIFF:
    case SF_FORMAT_FLAC:
      return true;
    default:
      return false;
  }
}

std::string lowerExtension(const std::string& path) {
  const auto slash = path.find_last_of('/');
  const auto dot = path.find_last_of('.');
  if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return "";
  std::string ext = path.substr(dot + 1);
  std::transform(ext.begin(), ext.end(), ext.begin(),
                 [](unsigned char c) { return std::tolower(c); });
  return ext;
}

// Removes the temporary file unless it was renamed into place.
struct TemporaryFile {
  std::string path;
  bool kept = false;
  ~TemporaryFile() {
    if (!path.empty() && !kept) unlink(path.c_str());
  }
};

int integerBits(int format) {
  switch (format & SF_FORMAT_SUBMASK) {
    case SF_FORMAT_PCM_S8:
    case SF_FORMAT_PCM_U8:
      return 8;
    case SF_FORMAT_PCM_16:
      return 16;
    case SF_FORMAT_PCM_24:
      return 24;
    case SF_FORMAT_PCM_32:
      return 32;
    default:
      return 0;
  }
}

// Reading scales an integer sample by 1 / 2^(bits - 1); writing must scale back by exactly
// 2^(bits - 1) (the library's own conversion uses 2^(bits - 1) - 1 for some values), so that
// a file passed through unchanged comes out unchanged. Rounds to the nearest step, clips
// overs instead of wrapping them round, and hands the library left-justified 32-bit words.
std::vector<int> quantise(const std::vector<double>& samples, int bits) {
  const double full = std::ldexp(1.0, bits - 1);
  std::vector<int> words(samples.size());
  for (std::size_t i = 0; i < samples.size(); ++i) {
    double v = std::nearbyint(samples[i] * full);
    if (!(v >= -full)) v = std::isnan(v) ? 0.0 : -full;
    if (v > full - 1.0) v = full - 1.0;
    words[i] = static_cast<int>(static_cast<std::int64_t>(v) * (std::int64_t{1} << (32 - bits)));
  }
  return words;
}

}  // namespace

int formatForFileName(const std::string& path) {
  const std::string ext = lowerExtension(path);
  if (ext == "wav" || ext == "wave") return SF_FORMAT_WAV | SF_FORMAT_FLOAT;
  if (ext == "aif" || ext == "aiff") return SF_FORMAT_AIFF | SF_FORMAT_PCM_24;
  if (ext == "flac") return SF_FORMAT_FLAC | SF_FORMAT_PCM_24;
  return 0;
}

bool readAudioFile(const std::string& path, AudioData& data, std::string& error) {
  SF_INFO info{};
  SndFileHandle file(sf_open(path.c_str(), SFM_READ, &info));
  if (!file) {
    error = "cannot read " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  if (!supportedMajor(info.format)) {
    error = path + ": unsupported file type (WAV, AIFF and FLAC are supported)";
    return false;
  }
  if (info.channels < 1 || info.channels > 2) {
    error = path + ": unsupported channel count " + std::to_string(info.channels) +
            " (mono or stereo only)";
    return false;
  }
  if (info.frames < 0 || info.frames > (1LL << 31) / info.channels) {
    error = path + ": too long to render in one go";
    return false;
  }
  data.rate = info.samplerate;
  data.channels = info.channels;
  data.format = info.format;
  data.samples.assign(static_cast<std::size_t>(info.frames) * info.channels, 0.0);
  const sf_count_t got = sf_readf_double(file.get(), data.samples.data(), info.frames);
  if (got != info.frames) {
    error = "cannot read " + path + ": the file ends early or is damaged";
    return false;
  }
  return true;
}

bool writeAudioFile(const std::string& path, const AudioData& data, std::string& error) {
  TemporaryFile temp;
  temp.path = path + ".partial-XXXXXX";
  const int fd = mkstemp(temp.path.data());
  if (fd < 0) {
    temp.path.clear();
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  // mkstemp makes the file private; the result gets the usual permissions.
  const mode_t mask = umask(0);
  umask(mask);
  fchmod(fd, 0666 & ~mask);

  SF_INFO info{};
  info.samplerate = data.rate;
  info.channels = data.channels;
  info.format = data.format;
  if (!sf_format_check(&info)) {
    close(fd);
    error = "cannot write " + path + ": the format cannot hold this signal";
    return false;
  }
  SndFileHandle file(sf_open_fd(fd, SFM_WRITE, &info, SF_TRUE));
  if (!file) {
    error = "cannot write " + path + ": " + sf_strerror(nullptr);
    return false;
  }
  const sf_count_t frames = data.frames();
  const int bits = integerBits(data.format);
  const bool written =
      bits == 0 ? sf_writef_double(file.get(), data.samples.data(), frames) == frames
                : sf_writef_int(file.get(), quantise(data.samples, bits).data(), frames) == frames;
  if (!written) {
    error = "cannot write " + path + ": " + sf_strerror(file.get());
    return false;
  }
  const int closed = sf_close(file.release());
  if (closed != 0) {
    error = "cannot write " + path + ": " + sf_error_number(closed);
    return false;
  }
  if (std::rename(temp.path.c_str(), path.c_str()) != 0) {
    error = "cannot write " + path + ": " + std::strerror(errno);
    return false;
  }
  temp.kept = true;
  return true;
}
