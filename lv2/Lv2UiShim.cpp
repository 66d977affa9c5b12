// The UI binary: a shim that finds the editor in the plug-in instance (instance-access, and
// the instance's private table through data-access) and opens it in the host's window. It
// holds no editor code of its own; see EditorAccess.h for why.

#include <cstring>
#include <new>

#include <lv2/atom/atom.h>
#include <lv2/data-access/data-access.h>
#include <lv2/instance-access/instance-access.h>
#include <lv2/options/options.h>
#include <lv2/ui/ui.h>
#include <lv2/urid/urid.h>

#include "lv2/EditorAccess.h"

namespace {

struct Features {
  LV2_Handle instance = nullptr;
  const LV2_Extension_Data_Feature* dataAccess = nullptr;
  void* parent = nullptr;
  const LV2UI_Resize* resize = nullptr;
  const LV2UI_Touch* touch = nullptr;
  LV2_URID_Map* map = nullptr;
  const LV2_Options_Option* options = nullptr;
};

Features readFeatures(const LV2_Feature* const* features) {
  Features found;
  for (; features && *features; ++features) {
    const char* uri = (*features)->URI;
    void* data = (*features)->data;
    if (std::strcmp(uri, LV2_INSTANCE_ACCESS_URI) == 0)
      found.instance = data;
    else if (std::strcmp(uri, LV2_DATA_ACCESS_URI) == 0)
      found.dataAccess = static_cast<const LV2_Extension_Data_Feature*>(data);
    else if (std::strcmp(uri, LV2_UI__parent) == 0)
      found.parent = data;
    else if (std::strcmp(uri, LV2_UI__resize) == 0)
      found.resize = static_cast<const LV2UI_Resize*>(data);
    else if (std::strcmp(uri, LV2_UI__touch) == 0)
      found.touch = static_cast<const LV2UI_Touch*>(data);
    else if (std::strcmp(uri, LV2_URID__map) == 0)
      found.map = static_cast<LV2_URID_Map*>(data);
    else if (std::strcmp(uri, LV2_OPTIONS__options) == 0)
      found.options = static_cast<const LV2_Options_Option*>(data);
  }
  return found;
}

// The host's ui:scaleFactor, 0 when it gives none (or gives it in a form we do not read).
float scaleFactorOf(const Features& features) {
  if (features.map == nullptr || features.options == nullptr) return 0.f;
  const LV2_URID key = features.map->map(features.map->handle, LV2_UI__scaleFactor);
  const LV2_URID floatType = features.map->map(features.map->handle, LV2_ATOM__Float);
  for (const LV2_Options_Option* o = features.options; o->key != 0; ++o)
    if (o->key == key && o->type == floatType && o->size == sizeof(float) && o->value)
      return *static_cast<const float*>(o->value);
  return 0.f;
}

struct Shim {
  const lv2editor::Access* access;
  void* session;
};

LV2UI_Handle instantiate(const LV2UI_Descriptor* /*descriptor*/, const char* pluginUri,
                         const char* /*bundlePath*/, LV2UI_Write_Function write,
                         LV2UI_Controller controller, LV2UI_Widget* widget,
                         const LV2_Feature* const* features) {
  if (pluginUri == nullptr || std::strcmp(pluginUri, VELTRANE_LV2_URI) != 0) return nullptr;
  const Features found = readFeatures(features);
  if (found.instance == nullptr || found.dataAccess == nullptr || found.parent == nullptr)
    return nullptr;
  const auto* access = static_cast<const lv2editor::Access*>(
      found.dataAccess->data_access(VELTRANE_LV2_EDITOR_ACCESS_URI));
  if (access == nullptr || access->layout != lv2editor::kLayout) return nullptr;

  const lv2editor::HostSide host{reinterpret_cast<std::uintptr_t>(found.parent),
                                 write,
                                 controller,
                                 found.touch,
                                 found.resize,
                                 scaleFactorOf(found)};
  std::uintptr_t window = 0;
  void* session = access->open(found.instance, &host, &window);
  if (session == nullptr) return nullptr;
  auto* shim = new (std::nothrow) Shim{access, session};
  if (shim == nullptr) {
    access->close(session);
    return nullptr;
  }
  *widget = reinterpret_cast<LV2UI_Widget>(window);
  return shim;
}

void cleanup(LV2UI_Handle handle) {
  auto* shim = static_cast<Shim*>(handle);
  shim->access->close(shim->session);
  delete shim;
}

void portEvent(LV2UI_Handle handle, uint32_t port, uint32_t size, uint32_t format,
               const void* buffer) {
  // Control ports only: a float in the port's own units.
  if (format != 0 || size != sizeof(float) || buffer == nullptr) return;
  auto* shim = static_cast<Shim*>(handle);
  shim->access->portEvent(shim->session, port, *static_cast<const float*>(buffer));
}

int idle(LV2UI_Handle handle) {
  auto* shim = static_cast<Shim*>(handle);
  return shim->access->idle(shim->session);
}

const LV2UI_Idle_Interface kIdleInterface = {idle};

const void* extensionData(const char* uri) {
  if (std::strcmp(uri, LV2_UI__idleInterface) == 0) return &kIdleInterface;
  return nullptr;
}

const LV2UI_Descriptor kDescriptor = {VELTRANE_LV2_UI_URI, instantiate, cleanup, portEvent,
                                      extensionData};

}  // namespace

extern "C" LV2_SYMBOL_EXPORT const LV2UI_Descriptor* lv2ui_descriptor(uint32_t index) {
  return index == 0 ? &kDescriptor : nullptr;
}
