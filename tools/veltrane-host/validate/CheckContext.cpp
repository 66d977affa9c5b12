#include "validate/CheckContext.h"

#include <algorithm>

std::unique_ptr<PluginHost> CheckContext::load() {
  report.step("loading the plug-in");
  std::string error;
  auto host = PluginHost::load(options.plugin, error);
  if (!host) report.fail(error);
  return host;
}

void CheckContext::start(PluginHost& host, double rate, int block) {
  host.setSampleRate(rate);
  host.setBlockSize(block);
  host.start();
}

std::vector<float> CheckContext::parameterValues(const PluginHost& host) {
  AEffect* e = host.effect();
  std::vector<float> values(static_cast<std::size_t>(std::max(e->numParams, 0)));
  for (int i = 0; i < e->numParams; ++i)
    values[static_cast<std::size_t>(i)] = e->getParameter(e, i);
  return values;
}

void CheckContext::randomise(const PluginHost& host) {
  AEffect* e = host.effect();
  std::uniform_real_distribution<float> value(0.0f, 1.0f);
  for (int i = 0; i < e->numParams; ++i) e->setParameter(e, i, value(random));
}

std::vector<unsigned char> CheckContext::chunkOf(const PluginHost& host, bool program) {
  void* data = nullptr;
  const VstIntPtr size = host.dispatch(effGetChunk, program ? 1 : 0, 0, &data);
  if (size <= 0 || !data) return {};
  const auto* bytes = static_cast<const unsigned char*>(data);
  return {bytes, bytes + size};
}

VstIntPtr CheckContext::setChunk(const PluginHost& host, std::vector<unsigned char> chunk,
                                 bool program) {
  return host.dispatch(effSetChunk, program ? 1 : 0, static_cast<VstIntPtr>(chunk.size()),
                       chunk.data());
}
