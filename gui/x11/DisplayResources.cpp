// The display's resource database (the RESOURCE_MANAGER property the desktop sets, or the
// user's ~/.Xresources), read through xcb-xrm on a short connection of its own. The library is
// loaded when first needed rather than linked: a host machine without it must still load the
// plug-in, which then simply does not know the desktop's resolution.
#include "gui/IPlatformFrame.h"

#include <dlfcn.h>
#include <xcb/xcb.h>
#include <xcb/xcb_xrm.h>

#include <cstdlib>
#include <memory>

namespace {

struct XrmLibrary {
  decltype(&xcb_xrm_database_from_default) databaseFromDefault = nullptr;
  decltype(&xcb_xrm_resource_get_string) getString = nullptr;
  decltype(&xcb_xrm_database_free) databaseFree = nullptr;

  XrmLibrary() {
    // Never closed: the functions stay valid for the life of the process.
    void* library = dlopen("libxcb-xrm.so.0", RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return;
    databaseFromDefault = reinterpret_cast<decltype(databaseFromDefault)>(
        dlsym(library, "xcb_xrm_database_from_default"));
    getString =
        reinterpret_cast<decltype(getString)>(dlsym(library, "xcb_xrm_resource_get_string"));
    databaseFree =
        reinterpret_cast<decltype(databaseFree)>(dlsym(library, "xcb_xrm_database_free"));
  }
  bool usable() const { return databaseFromDefault && getString && databaseFree; }
};

struct ConnectionDeleter {
  void operator()(xcb_connection_t* c) const { xcb_disconnect(c); }
};
struct FreeDeleter {
  void operator()(char* p) const { std::free(p); }
};

}  // namespace

std::optional<std::string> readDisplayResource(const char* name) {
  static const XrmLibrary xrm;
  if (!xrm.usable()) return std::nullopt;
  std::unique_ptr<xcb_connection_t, ConnectionDeleter> connection(xcb_connect(nullptr, nullptr));
  if (xcb_connection_has_error(connection.get())) return std::nullopt;
  xcb_xrm_database_t* database = xrm.databaseFromDefault(connection.get());
  if (database == nullptr) return std::nullopt;
  char* raw = nullptr;
  const bool found = xrm.getString(database, name, nullptr, &raw) >= 0 && raw != nullptr;
  const std::unique_ptr<char, FreeDeleter> value(raw);
  xrm.databaseFree(database);
  if (!found) return std::nullopt;
  return std::string(value.get());
}
