// Every parameter set inside and outside 0..1 while audio runs: what the host reads back stays
// finite and within 0..1, the output stays finite, and the texts a host asks for are
// terminated and stay within the buffers hosts hand.
#include <cmath>
#include <cstring>
#include <limits>
#include <string>

#include "validate/AudioBuffers.h"
#include "validate/CheckContext.h"
#include "validate/ValidationChecks.h"

namespace {

constexpr double kRate = 44100.0;
constexpr int kBlock = 256;
constexpr double kInputLevel = 0.1;
// Beyond this the output is runaway gain, whatever the settings.
constexpr double kBound = 1e6;
// The buffer a text is asked into; anything written from byte kMostBytes on would overrun
// the largest buffer a host is known to hand for these texts.
constexpr std::size_t kTextBuffer = 256;
constexpr std::size_t kMostBytes = kVstMaxLabelLen;
constexpr std::size_t kConventionChars = kVstMaxParamStrLen;

const float kValues[] = {0.0f,     1.0f,      0.5f,   -1.0f,
                         2.0f,     1e30f,     -1e30f, std::numeric_limits<float>::quiet_NaN(),
                         INFINITY, -INFINITY, 0.25f,  0.75f};

struct TextOpcode {
  VstInt32 opcode;
  const char* name;
};
const TextOpcode kTexts[] = {
    {effGetParamName, "name"}, {effGetParamLabel, "label"}, {effGetParamDisplay, "display"}};

// Asks for a text twice, into buffers filled with two different canaries, and judges it.
class TextProbe {
 public:
  TextProbe(CheckContext& context) : context_(context) {}

  void ask(const PluginHost& host, const TextOpcode& text, int index, float value) {
    std::size_t reach = 0;
    std::string seen;
    bool terminated = true;
    for (unsigned char canary : {0xA5, 0x5A}) {
      unsigned char buffer[kTextBuffer];
      std::memset(buffer, canary, sizeof buffer);
      host.dispatch(text.opcode, index, 0, buffer);
      for (std::size_t i = 0; i < sizeof buffer; ++i)
        if (buffer[i] != canary) reach = std::max(reach, i + 1);
      const void* end = std::memchr(buffer, 0, sizeof buffer);
      if (!end)
        terminated = false;
      else
        seen.assign(reinterpret_cast<const char*>(buffer),
                    static_cast<const unsigned char*>(end) - buffer);
    }
    const std::string where =
        formatted("parameter %d's %s (after %g)", index, text.name, static_cast<double>(value));
    if (!terminated)
      context_.report.fail(where + ": no terminating zero in 256 bytes");
    else if (reach > kMostBytes)
      context_.report.fail(
          where +
          formatted(": %zu bytes written, more than the %zu a host may hand", reach, kMostBytes));
    if (seen.size() > longest_.size()) {
      longest_ = seen;
      longestWhere_ = formatted("parameter %d's %s", index, text.name);
    }
  }
  const std::string& longest() const { return longest_; }
  const std::string& longestWhere() const { return longestWhere_; }

 private:
  CheckContext& context_;
  std::string longest_, longestWhere_;
};

}  // namespace

void checkParameters(CheckContext& context) {
  auto host = context.load();
  if (!host) return;
  AEffect* e = host->effect();
  CheckContext::start(*host, kRate, kBlock);
  AudioBuffers<float> buffers(*e, kBlock);
  Noise noise(context.options.seed);
  TextProbe texts(context);
  for (int index = 0; index < e->numParams; ++index) {
    context.report.step("parameter %d", index);
    const float original = e->getParameter(e, index);
    for (float value : kValues) {
      e->setParameter(e, index, value);
      buffers.fill(kBlock, [&](int, int) { return kInputLevel * noise.next(); });
      buffers.process(e, kBlock);
      const double peak = buffers.peak(kBlock);
      const float read = e->getParameter(e, index);
      if (!(read >= 0.0f && read <= 1.0f))
        context.report.fail(formatted("parameter %d set to %g reads back %g", index,
                                      static_cast<double>(value), static_cast<double>(read)));
      if (!(peak <= kBound))
        context.report.fail(formatted("parameter %d set to %g: the output reached %g", index,
                                      static_cast<double>(value), peak));
      for (const TextOpcode& text : kTexts) texts.ask(*host, text, index, value);
    }
    e->setParameter(e, index, original);
  }
  const std::size_t longest = texts.longest().size();
  if (longest > kConventionChars)
    context.report.warn(formatted("%s \"%s\" has %zu characters; hosts show %zu",
                                  texts.longestWhere().c_str(), texts.longest().c_str(), longest,
                                  kConventionChars));
  if (!context.report.failed())
    context.report.pass(formatted(
        "%d parameters x %zu values inside and outside 0..1 while processing: readings within "
        "0..1, output finite; longest text %zu characters (\"%s\")",
        e->numParams, std::size(kValues), longest, texts.longest().c_str()));
}
