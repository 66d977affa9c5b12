#pragma once

// A small LV2 host on lilv for the tests: the built bundle in a world of its own, URIDs, and
// instances whose ports it owns (controls at their defaults, stereo buffers, the latency
// output), with the State extension called as hosts call it.

#include <lilv/lilv.h>
#include <lv2/atom/atom.h>
#include <lv2/state/state.h>
#include <lv2/urid/urid.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <string>
#include <vector>

#include "lv2/EditorAccess.h"

class Lv2TestHost {
 public:
  Lv2TestHost() {
    LilvNode* bundle = lilv_new_file_uri(world, nullptr, VELTRANE_LV2_BUNDLE "/");
    lilv_world_load_bundle(world, bundle);
    LilvNode* uri = lilv_new_uri(world, VELTRANE_LV2_URI);
    plugin = lilv_plugins_get_by_uri(lilv_world_get_all_plugins(world), uri);
    lilv_node_free(uri);
    lilv_node_free(bundle);
  }
  ~Lv2TestHost() { lilv_world_free(world); }
  Lv2TestHost(const Lv2TestHost&) = delete;
  Lv2TestHost& operator=(const Lv2TestHost&) = delete;

  LV2_URID id(const char* uri) {
    if (std::find(uris.begin(), uris.end(), uri) == uris.end()) uris.emplace_back(uri);
    return static_cast<LV2_URID>(std::find(uris.begin(), uris.end(), uri) - uris.begin() + 1);
  }
  std::uint32_t port(const char* symbol) {
    LilvNode* node = lilv_new_string(world, symbol);
    const LilvPort* found = lilv_plugin_get_port_by_symbol(plugin, node);
    lilv_node_free(node);
    return found ? lilv_port_get_index(plugin, found) : UINT32_MAX;
  }

  LilvWorld* world = lilv_world_new();
  const LilvPlugin* plugin = nullptr;
  LV2_URID_Map map{this, [](LV2_URID_Map_Handle h, const char* u) {
                     return static_cast<Lv2TestHost*>(h)->id(u);
                   }};
  LV2_URID_Unmap unmap{this, [](LV2_URID_Unmap_Handle h, LV2_URID u) {
                         auto& uris = static_cast<Lv2TestHost*>(h)->uris;
                         return u && u <= uris.size() ? uris[u - 1].c_str() : nullptr;
                       }};
  LV2_Feature mapFeature{LV2_URID__map, &map};
  LV2_Feature unmapFeature{LV2_URID__unmap, &unmap};
  const LV2_Feature* features[3] = {&mapFeature, &unmapFeature, nullptr};

 private:
  std::vector<std::string> uris;
};

// One state property as the plug-in stored it.
struct StoredState {
  LV2_URID key = 0;
  LV2_URID type = 0;
  std::vector<std::uint8_t> bytes;
  bool operator==(const StoredState&) const = default;
};

// The first frame at which two renders differ, -1 when they are the same.
inline long firstDifference(const std::vector<float>& a, const std::vector<float>& b) {
  if (a.size() != b.size()) return 0;
  const auto at = std::mismatch(a.begin(), a.end(), b.begin());
  return at.first == a.end() ? -1 : (at.first - a.begin()) / 2;
}

// A few seconds of stereo test signal: different noise on each side and a low tone under it,
// so every band has something to change.
inline std::vector<float> testSignal(int frames, bool sameOnBothSides = false) {
  std::vector<float> s(2 * static_cast<std::size_t>(frames));
  std::uint32_t noise = 12345;
  for (std::size_t i = 0; i < s.size(); ++i) {
    noise = noise * 1664525u + 1013904223u;
    s[i] = 0.2f * std::sin(0.01f * (i / 2)) +
           0.3f * (static_cast<float>(noise >> 8) / 16777216.f - 0.5f);
    if (sameOnBothSides && i % 2) s[i] = s[i - 1];
  }
  return s;
}

class Lv2TestInstance {
 public:
  static constexpr std::uint32_t kPorts = 27;

  explicit Lv2TestInstance(Lv2TestHost& h, double rate = 44100.0) : host(h) {
    instance = lilv_plugin_instantiate(host.plugin, rate, host.features);
    if (!instance) return;
    std::vector<float> defaults(lilv_plugin_get_num_ports(host.plugin));
    lilv_plugin_get_port_ranges_float(host.plugin, nullptr, nullptr, defaults.data());
    for (std::uint32_t p = 4; p < kPorts; ++p) {
      ports[p] = std::isnan(defaults[p]) ? 0.f : defaults[p];
      lilv_instance_connect_port(instance, p, &ports[p]);
    }
    connectAudio(inL, inR, outL, outR);
  }
  ~Lv2TestInstance() {
    if (instance && active) lilv_instance_deactivate(instance);
    if (instance) lilv_instance_free(instance);
  }
  Lv2TestInstance(const Lv2TestInstance&) = delete;
  Lv2TestInstance& operator=(const Lv2TestInstance&) = delete;

  float& control(const char* symbol) { return ports[host.port(symbol)]; }
  void connectAudio(float* l, float* r, float* ol, float* orr) {
    float* pointers[4] = {l, r, ol, orr};
    for (std::uint32_t p = 0; p < 4; ++p) lilv_instance_connect_port(instance, p, pointers[p]);
  }
  void activate() {
    lilv_instance_activate(instance);
    active = true;
  }
  void deactivate() {
    lilv_instance_deactivate(instance);
    active = false;
  }
  void run(std::uint32_t frames) { lilv_instance_run(instance, frames); }
  // What a fresh start (the audio state cleared) makes of the test signal.
  std::vector<float> freshSound() {
    deactivate();
    activate();
    return process(testSignal(12000));
  }

  // How the audio ports meet their buffers: apart, each output on its input, or (as Ardour
  // probes a plug-in) all four on one buffer, which only makes sense for a signal with L = R.
  enum class Wiring { Apart, InPlace, AllOnOne };

  // Runs an interleaved stereo signal through in blocks of `block` frames.
  std::vector<float> process(const std::vector<float>& stereo, int block = 256,
                             Wiring wiring = Wiring::Apart) {
    float* in[2] = {inL, wiring == Wiring::AllOnOne ? inL : inR};
    float* out[2] = {wiring == Wiring::Apart ? outL : in[0],
                     wiring == Wiring::Apart ? outR : in[1]};
    connectAudio(in[0], in[1], out[0], out[1]);
    std::vector<float> result(stereo.size());
    for (std::size_t at = 0, n; at < stereo.size() / 2; at += n) {
      n = std::min<std::size_t>(static_cast<std::size_t>(block), stereo.size() / 2 - at);
      for (std::size_t i = 0; i < 2 * n; ++i) in[i % 2][i / 2] = stereo[2 * at + i];
      run(static_cast<std::uint32_t>(n));
      for (std::size_t i = 0; i < 2 * n; ++i) result[2 * at + i] = out[i % 2][i / 2];
    }
    connectAudio(inL, inR, outL, outR);
    return result;
  }

  StoredState saveState() {
    StoredState saved;
    auto store = [](LV2_State_Handle h, uint32_t key, const void* value, size_t size, uint32_t type,
                    uint32_t) {
      const auto* bytes = static_cast<const std::uint8_t*>(value);
      *static_cast<StoredState*>(h) = {key, type, {bytes, bytes + size}};
      return LV2_STATE_SUCCESS;
    };
    state()->save(lilv_instance_get_handle(instance), store, &saved, 0, host.features);
    return saved;
  }
  LV2_State_Status restoreState(const StoredState& state) {
    auto retrieve = [](LV2_State_Handle h, uint32_t key, size_t* size, uint32_t* type,
                       uint32_t* flags) -> const void* {
      auto* s = static_cast<const StoredState*>(h);
      if (key != s->key) return nullptr;
      *size = s->bytes.size();
      *type = s->type;
      *flags = LV2_STATE_IS_POD | LV2_STATE_IS_PORTABLE;
      return s->bytes.data();
    };
    return this->state()->restore(lilv_instance_get_handle(instance), retrieve,
                                  const_cast<StoredState*>(&state), 0, host.features);
  }

  Lv2TestHost& host;
  LilvInstance* instance = nullptr;
  std::array<float, kPorts> ports{};
  std::array<std::array<float, 4096>, 4> buffers{};
  float* inL = buffers[0].data();
  float* inR = buffers[1].data();
  float* outL = buffers[2].data();
  float* outR = buffers[3].data();

 private:
  const LV2_State_Interface* state() const {
    return static_cast<const LV2_State_Interface*>(
        lilv_instance_get_extension_data(instance, LV2_STATE__interface));
  }
  bool active = false;
};
