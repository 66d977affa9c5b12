#include "RenderCommand.h"

#include <sndfile.h>
#include <strings.h>
#include <time.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iomanip>
#include <string>
#include <vector>

#include "AudioFile.h"
#include "DemoSignal.h"
#include "PluginHost.h"

namespace {

constexpr double kProgressAfterSeconds = 60.0;  // files longer than this show progress

double threadCpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + 1e-9 * static_cast<double>(t.tv_nsec);
}

void printLevels(std::ostream& out, const char* what, const AudioData& data) {
  const long long frames = data.frames();
  for (int c = 0; c < data.channels; ++c) {
    double peak = 0.0, sum = 0.0;
    for (long long i = 0; i < frames; ++i) {
      const double v = data.samples[static_cast<std::size_t>(i * data.channels + c)];
      peak = std::max(peak, std::fabs(v));
      sum += v * v;
    }
    const double rms = frames > 0 ? std::sqrt(sum / static_cast<double>(frames)) : 0.0;
    auto dB = [](double v) { return v > 0.0 ? 20.0 * std::log10(v) : -INFINITY; };
    const char* name = data.channels == 1 ? "mono" : (c == 0 ? "left" : "right");
    out << what << " " << std::left << std::setw(5) << name << std::right << std::fixed
        << std::setprecision(4) << " peak " << peak << " (" << std::setprecision(2) << dB(peak)
        << " dBFS)  rms " << std::setprecision(4) << rms << " (" << std::setprecision(2) << dB(rms)
        << " dBFS)\n";
  }
}

// Finds a parameter by its name as the plug-in reports it (any case) or by its index.
int findParameter(const PluginHost& host, const std::string& name) {
  const int count = host.effect()->numParams;
  for (int i = 0; i < count; ++i) {
    const std::string own = host.text(effGetParamName, i);
    if (!own.empty() && strcasecmp(own.c_str(), name.c_str()) == 0) return i;
  }
  char* end = nullptr;
  const long index = std::strtol(name.c_str(), &end, 10);
  if (!name.empty() && *end == 0 && index >= 0 && index < count) return static_cast<int>(index);
  return -1;
}

bool selectPreset(const PluginHost& host, const std::string& name, std::string& error) {
  for (int i = 0; i < 1024; ++i) {
    char text[256] = {};
    if (!host.dispatch(effGetProgramNameIndexed, i, -1, text)) break;
    if (strcasecmp(text, name.c_str()) != 0) continue;
    host.dispatch(effBeginSetProgram);
    host.dispatch(effSetProgram, 0, i);
    host.dispatch(effEndSetProgram);
    if (host.dispatch(effGetProgram) == i &&
        strcasecmp(host.text(effGetProgramName).c_str(), name.c_str()) == 0) {
      return true;
    }
    error = "the plug-in names a preset \"" + name + "\" (number " + std::to_string(i) +
            ") but does not switch to it when the host selects that program";
    return false;
  }
  error = "the plug-in has no preset named \"" + name + "\"";
  return false;
}

bool applySettings(const PluginHost& host, const RenderOptions& options, std::string& error) {
  if (!options.preset.empty() && !selectPreset(host, options.preset, error)) return false;
  AEffect* e = host.effect();
  for (const auto& [name, text] : options.settings) {
    const int index = findParameter(host, name);
    if (index < 0) {
      error = "the plug-in has no parameter \"" + name + "\"";
      return false;
    }
    char* end = nullptr;
    const float value = std::strtof(text.c_str(), &end);
    if (text.empty() || *end != 0 || !(value >= 0.0f && value <= 1.0f)) {
      error = "--set " + name + " takes a normalised value from 0 to 1, not \"" + text + "\"";
      return false;
    }
    e->setParameter(e, index, value);
  }
  return true;
}

// Feeds the whole signal through the plug-in in blocks; returns the CPU seconds the
// plug-in took.
template <typename Sample>
double processAll(PluginHost& host, const AudioData& in, AudioData& out, int block,
                  std::ostream& err) {
  AEffect* e = host.effect();
  const int channels = out.channels;
  std::vector<std::vector<Sample>> inputs(std::max(e->numInputs, 2), std::vector<Sample>(block));
  std::vector<std::vector<Sample>> outputs(std::max(e->numOutputs, 2), std::vector<Sample>(block));
  std::vector<Sample*> inPtrs, outPtrs;
  for (auto& v : inputs) inPtrs.push_back(v.data());
  for (auto& v : outputs) outPtrs.push_back(v.data());

  const long long frames = in.frames();
  const bool progress = frames > static_cast<long long>(kProgressAfterSeconds * out.rate);
  int shownPercent = -1;
  double cpu = 0.0;
  for (long long pos = 0; pos < frames; pos += block) {
    const int n = static_cast<int>(std::min<long long>(block, frames - pos));
    for (int c = 0; c < channels; ++c) {
      for (int i = 0; i < n; ++i)
        inputs[c][i] = static_cast<Sample>(in.samples[(pos + i) * in.channels + c]);
    }
    const double start = threadCpuSeconds();
    if constexpr (sizeof(Sample) == sizeof(double)) {
      e->processDoubleReplacing(e, inPtrs.data(), outPtrs.data(), n);
    } else {
      e->processReplacing(e, inPtrs.data(), outPtrs.data(), n);
    }
    cpu += threadCpuSeconds() - start;
    for (int c = 0; c < channels; ++c) {
      for (int i = 0; i < n; ++i) out.samples[(pos + i) * channels + c] = outputs[c][i];
    }
    const int percent = static_cast<int>(100 * (pos + n) / frames);
    if (progress && percent / 5 != shownPercent / 5) {
      err << "\rrendering " << std::setw(3) << percent << "%" << std::flush;
      shownPercent = percent;
    }
  }
  if (progress) err << "\n";
  return cpu;
}

bool sameContainer(int a, int b) {
  auto major = [](int format) {
    const int m = format & SF_FORMAT_TYPEMASK;
    return m == SF_FORMAT_WAVEX ? SF_FORMAT_WAV : m;
  };
  return a != 0 && major(a) == major(b);
}

const char* extensionFor(int format) {
  switch (format & SF_FORMAT_TYPEMASK) {
    case SF_FORMAT_AIFF:
      return ".aif or .aiff";
    case SF_FORMAT_FLAC:
      return ".flac";
    default:
      return ".wav";
  }
}

}  // namespace

int runRender(const RenderOptions& options, std::ostream& out, std::ostream& err) {
  std::string error;
  AudioData source;
  if (options.input.empty()) {
    source.rate = static_cast<int>(options.rate);
    source.channels = 2;
    source.format = formatForFileName(options.output);
    if (source.format == 0) {
      err << "veltrane-host: " << options.output << ": write .wav, .aif/.aiff or .flac\n";
      return 1;
    }
    source.samples = makeDemoSignal(source.rate);
  } else if (!readAudioFile(options.input, source, error)) {
    err << "veltrane-host: " << error << "\n";
    return 1;
  } else if (!sameContainer(formatForFileName(options.output), source.format)) {
    err << "veltrane-host: " << options.output
        << ": the output keeps the input's file type; name it " << extensionFor(source.format)
        << "\n";
    return 1;
  }

  AudioData result;
  result.rate = source.rate;
  result.format = source.format;
  result.channels = options.mono ? 1 : source.channels;
  result.samples.assign(static_cast<std::size_t>(source.frames() * result.channels), 0.0);

  auto host = PluginHost::load(options.plugin, error);
  if (!host) {
    err << "veltrane-host: " << error << "\n";
    return 1;
  }
  AEffect* e = host->effect();
  if (!(e->flags & effFlagsCanReplacing) || !e->processReplacing) {
    err << "veltrane-host: the plug-in cannot process replacing\n";
    return 1;
  }
  if (options.useDouble &&
      (!(e->flags & effFlagsCanDoubleReplacing) || !e->processDoubleReplacing)) {
    err << "veltrane-host: the plug-in does not process double precision\n";
    return 1;
  }
  if (e->numInputs < result.channels || e->numOutputs < result.channels) {
    err << "veltrane-host: the plug-in has too few inputs or outputs for " << result.channels
        << " channels\n";
    return 1;
  }
  if (!applySettings(*host, options, error)) {
    err << "veltrane-host: " << error << "\n";
    return 1;
  }

  VstSpeakerArrangement inArrangement{}, outArrangement{};
  inArrangement.numChannels = outArrangement.numChannels = result.channels;
  inArrangement.type = outArrangement.type =
      result.channels == 1 ? kSpeakerArrMono : kSpeakerArrStereo;
  host->dispatch(effSetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&inArrangement),
                 &outArrangement);
  host->setSampleRate(source.rate);
  host->setBlockSize(options.block);
  host->setConnectedChannels(result.channels, result.channels);
  host->start();
  const int latency = e->initialDelay;
  const double cpu = options.useDouble
                         ? processAll<double>(*host, source, result, options.block, err)
                         : processAll<float>(*host, source, result, options.block, err);
  host->stop();

  if (options.mono && source.channels == 2) {  // levels of what was fed in
    AudioData left = source;
    left.channels = 1;
    left.samples.resize(static_cast<std::size_t>(source.frames()));
    for (long long i = 0; i < source.frames(); ++i) left.samples[i] = source.samples[2 * i];
    source = std::move(left);
  }
  const double seconds = static_cast<double>(source.frames()) / source.rate;
  out << "latency " << latency << " samples (" << std::fixed << std::setprecision(3)
      << 1000.0 * latency / source.rate << " ms at " << source.rate << " Hz)\n";
  printLevels(out, "input ", source);
  printLevels(out, "output", result);
  out << "real-time factor " << std::setprecision(1) << (cpu > 0.0 ? seconds / cpu : INFINITY)
      << " (" << std::setprecision(3) << seconds << " s of audio in " << std::setprecision(4) << cpu
      << " s of CPU, " << (options.useDouble ? "double" : "float") << ", blocks of "
      << options.block << ")\n";

  if (!writeAudioFile(options.output, result, error)) {
    err << "veltrane-host: " << error << "\n";
    return 1;
  }
  out << "wrote " << options.output << "\n";
  return 0;
}
