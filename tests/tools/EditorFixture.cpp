// A plug-in with the simplest possible editor, for testing hosts: a window of one colour with
// a smaller one of another colour at a known place, a click that automates parameter 0, and
// an idle that sends a fixed set of notifications. FIXTURE_EDITOR_MODE chooses misbehaviour:
// "fail-open" (effEditOpen returns 0), "late-size" (no size until open), "resize" (asks the
// host for another window size). On effClose it reports to stderr what the host did.
#include <xcb/xcb.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <string>
#include <thread>

#include "sdk/aeffectx.h"

namespace {

constexpr int kWidth = 200, kHeight = 120;
constexpr int kResizedWidth = 300, kResizedHeight = 160;
constexpr uint32_t kBackground = 0x2060a0, kMarker = 0xe0c020;
constexpr int kMarkerX = 120, kMarkerY = 70, kMarkerWidth = 40, kMarkerHeight = 30;

struct Fixture {
  AEffect effect{};
  audioMasterCallback host = nullptr;
  std::string mode;
  float parameters[2] = {0.5f, 0.5f};
  ERect rect{0, 0, kHeight, kWidth};

  xcb_connection_t* connection = nullptr;
  xcb_window_t window = 0;
  // Read by the audio thread too.
  std::atomic<std::thread::id> editorThread{};
  bool editorThreadKept = true;
  int opened = 0, closed = 0, idles = 0;
  std::chrono::steady_clock::time_point openedAt;
  double openSeconds = 0.0;

  std::atomic<long long> blocks{0};
  std::atomic<bool> audioOnEditorThread{false};
  std::atomic<float> peak{0.0f};
};

Fixture* self(AEffect* e) { return static_cast<Fixture*>(e->object); }

void notify(Fixture* f, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, float opt = 0) {
  f->host(&f->effect, opcode, index, value, nullptr, opt);
}

void checkEditorThread(Fixture* f) {
  if (std::this_thread::get_id() != f->editorThread.load()) f->editorThreadKept = false;
}

bool openEditor(Fixture* f, VstIntPtr parent) {
  if (f->mode == "fail-open" || parent == 0 || f->connection) return false;
  f->connection = xcb_connect(nullptr, nullptr);
  if (xcb_connection_has_error(f->connection)) {
    xcb_disconnect(f->connection);
    f->connection = nullptr;
    return false;
  }
  f->window = xcb_generate_id(f->connection);
  const uint32_t values[] = {kBackground, XCB_EVENT_MASK_BUTTON_PRESS};
  xcb_create_window(f->connection, XCB_COPY_FROM_PARENT, f->window,
                    static_cast<xcb_window_t>(parent), 0, 0, kWidth, kHeight, 0,
                    XCB_WINDOW_CLASS_INPUT_OUTPUT, XCB_COPY_FROM_PARENT,
                    XCB_CW_BACK_PIXEL | XCB_CW_EVENT_MASK, values);
  const xcb_window_t marker = xcb_generate_id(f->connection);
  const uint32_t markerValues[] = {kMarker};
  xcb_create_window(f->connection, XCB_COPY_FROM_PARENT, marker, f->window, kMarkerX, kMarkerY,
                    kMarkerWidth, kMarkerHeight, 0, XCB_WINDOW_CLASS_INPUT_OUTPUT,
                    XCB_COPY_FROM_PARENT, XCB_CW_BACK_PIXEL, markerValues);
  xcb_map_window(f->connection, marker);
  xcb_map_window(f->connection, f->window);
  xcb_flush(f->connection);
  f->editorThread = std::this_thread::get_id();
  f->openedAt = std::chrono::steady_clock::now();
  ++f->opened;
  return true;
}

void idleEditor(Fixture* f) {
  if (!f->connection) return;
  checkEditorThread(f);
  ++f->idles;
  while (xcb_generic_event_t* event = xcb_poll_for_event(f->connection)) {
    if ((event->response_type & 0x7f) == XCB_BUTTON_PRESS) {
      auto* press = reinterpret_cast<xcb_button_press_event_t*>(event);
      const float value = static_cast<float>(press->event_x) / kWidth;
      notify(f, audioMasterBeginEdit, 0);
      f->parameters[0] = value;
      notify(f, audioMasterAutomate, 0, 0, value);
      notify(f, audioMasterEndEdit, 0);
    }
    std::free(event);
  }
  if (f->idles == 3) {
    notify(f, audioMasterBeginEdit, 1);
    f->parameters[1] = 0.25f;
    notify(f, audioMasterAutomate, 1, 0, 0.25f);
    notify(f, audioMasterEndEdit, 1);
    notify(f, audioMasterUpdateDisplay);
  }
  if (f->idles == 2 && f->mode == "resize" &&
      f->host(&f->effect, audioMasterSizeWindow, kResizedWidth, kResizedHeight, nullptr, 0)) {
    f->rect = ERect{0, 0, kResizedHeight, kResizedWidth};
    const uint32_t size[] = {kResizedWidth, kResizedHeight};
    xcb_configure_window(f->connection, f->window,
                         XCB_CONFIG_WINDOW_WIDTH | XCB_CONFIG_WINDOW_HEIGHT, size);
    xcb_flush(f->connection);
  }
}

void closeEditor(Fixture* f) {
  if (!f->connection) return;
  checkEditorThread(f);
  f->openSeconds +=
      std::chrono::duration<double>(std::chrono::steady_clock::now() - f->openedAt).count();
  xcb_destroy_window(f->connection, f->window);
  xcb_disconnect(f->connection);
  f->connection = nullptr;
  ++f->closed;
}

void report(Fixture* f) {
  std::fprintf(stderr,
               "fixture opened=%d closed=%d idles=%d seconds=%.3f blocks=%lld "
               "audio-thread=%s editor-thread=%s peak=%.3f\n",
               f->opened, f->closed, f->idles, f->openSeconds, f->blocks.load(),
               f->audioOnEditorThread ? "editor" : "own", f->editorThreadKept ? "kept" : "changed",
               static_cast<double>(f->peak.load()));
  std::fflush(stderr);
}

VstIntPtr dispatcher(AEffect* e, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                     float) {
  Fixture* f = self(e);
  switch (opcode) {
    case effClose:
      report(f);  // a host that forgot effEditClose shows as opened != closed
      closeEditor(f);
      delete f;
      return 1;
    case effGetEffectName:
      std::strcpy(static_cast<char*>(ptr), "Editor Fixture");
      return 1;
    case effEditGetRect:
      if (f->mode == "late-size" && !f->connection) return 0;
      *static_cast<ERect**>(ptr) = &f->rect;
      return 1;
    case effEditOpen:
      return openEditor(f, reinterpret_cast<VstIntPtr>(ptr)) ? 1 : 0;
    case effEditClose:
      closeEditor(f);
      return 1;
    case effEditIdle:
      idleEditor(f);
      return 0;
    case effGetParamName:
      std::snprintf(static_cast<char*>(ptr), kVstMaxParamStrLen + 1, "p%d", index);
      return 0;
    default:
      (void)value;
      return 0;
  }
}

void processReplacing(AEffect* e, float** inputs, float** outputs, VstInt32 frames) {
  Fixture* f = self(e);
  if (std::this_thread::get_id() == f->editorThread.load()) f->audioOnEditorThread = true;
  float peak = f->peak.load();
  for (int c = 0; c < 2; ++c)
    for (VstInt32 i = 0; i < frames; ++i) {
      peak = std::max(peak, std::abs(inputs[c][i]));
      outputs[c][i] = 0.5f * inputs[c][i];
    }
  f->peak = peak;
  f->blocks.fetch_add(1);
}

void setParameter(AEffect* e, VstInt32 index, float value) {
  if (index >= 0 && index < 2) self(e)->parameters[index] = value;
}

float getParameter(AEffect* e, VstInt32 index) {
  return index >= 0 && index < 2 ? self(e)->parameters[index] : 0.0f;
}

}  // namespace

extern "C" __attribute__((visibility("default"))) AEffect* VSTPluginMain(audioMasterCallback host) {
  auto* f = new (std::nothrow) Fixture;
  if (!f) return nullptr;
  f->host = host;
  if (const char* mode = std::getenv("FIXTURE_EDITOR_MODE")) f->mode = mode;
  AEffect& e = f->effect;
  e.magic = kEffectMagic;
  e.dispatcher = dispatcher;
  e.processReplacing = processReplacing;
  e.setParameter = setParameter;
  e.getParameter = getParameter;
  e.numParams = 2;
  e.numInputs = e.numOutputs = 2;
  e.flags = effFlagsHasEditor | effFlagsCanReplacing;
  e.object = f;
  e.uniqueID = vstFourCC('E', 'd', 'F', 'x');
  return &e;
}
