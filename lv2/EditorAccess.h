#pragma once

// The private table through which the LV2 UI binary reaches the editor that lives in the DSP
// binary of the same bundle. The effect object owns its editor (its chunk and default-bank
// operations need one, window or not), so the editor's code and the toolkit's state are in the
// DSP binary already; the UI binary is only a shim that finds this table through the host's
// data-access feature and opens that very editor in the host's window. One copy of the toolkit
// per process, one editor per effect, as in the VST build.
//
// Both binaries are built together; `layout` guards against a UI from another build.

#include <cstdint>

#include <lv2/core/lv2.h>
#include <lv2/ui/ui.h>

#define VELTRANE_LV2_URI "http://www.zal-audio.example/plugins/veltrane"
#define VELTRANE_LV2_UI_URI VELTRANE_LV2_URI "#ui"
#define VELTRANE_LV2_EDITOR_ACCESS_URI VELTRANE_LV2_URI "#editor-access"

namespace lv2editor {

// Changes whenever the table or the structures below change.
constexpr std::uint32_t kLayout = 1;

// What the host gave the UI: where the window goes and how edits reach the host's ports.
struct HostSide {
  std::uintptr_t parentWindow;
  LV2UI_Write_Function write;
  LV2UI_Controller controller;
  const LV2UI_Touch* touch;    // null when the host offers no gestures
  const LV2UI_Resize* resize;  // null when the host does not take size requests
  // The host's ui:scaleFactor; 0 when it gave none. Kept for the editor's scale selection.
  float scaleFactor;
};

struct Access {
  std::uint32_t layout;
  // Opens the instance's editor inside the parent window; null when it cannot (no window
  // system, a bad parent, the editor already shown by another UI). `window` receives the
  // editor's own window.
  void* (*open)(LV2_Handle instance, const HostSide* host, std::uintptr_t* window);
  // The host's idle: events, redraws, and the ports the plug-in changed itself. Non-zero once
  // the window is gone for good.
  int (*idle)(void* session);
  void (*portEvent)(void* session, std::uint32_t port, float value);
  void (*close)(void* session);
};

}  // namespace lv2editor
