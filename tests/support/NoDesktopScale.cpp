// Linked into every test program: the developer's desktop must not choose the editor's scale
// factor. Tests that want a scale, a display or a desktop setting set it themselves.
#include <cstdlib>
#include <initializer_list>

namespace {

const bool gDesktopScaleCleared = [] {
  for (const char* name : {"VELTRANE_UI_SCALE", "GDK_SCALE", "DISPLAY"}) unsetenv(name);
  return true;
}();

}  // namespace
