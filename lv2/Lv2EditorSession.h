#pragma once

#include <array>
#include <bitset>
#include <cstdint>

#include "lv2/EditorAccess.h"
#include "lv2/PortMapping.h"

class ADEditor;
class Lv2Instance;

// The window of an LV2 instance, open in the host's window: the effect's own editor, driven by
// the host's idle, its edits sent to the host's ports with touch gestures around drags, host
// port changes shown in its controls, and whatever the plug-in changed itself (a preset, an
// A/B recall, a loaded file, a restored state) written to the host's ports, so the host's
// values, automation lanes and saved session agree with what is heard. Everything here runs
// on the host's UI thread.
class Lv2EditorSession {
 public:
  // Null when the editor cannot open (see lv2editor::Access::open).
  static Lv2EditorSession* open(Lv2Instance& instance, const lv2editor::HostSide& host,
                                std::uintptr_t& window);
  // Closes the window; the plug-in goes on running.
  ~Lv2EditorSession();
  Lv2EditorSession(const Lv2EditorSession&) = delete;
  Lv2EditorSession& operator=(const Lv2EditorSession&) = delete;

  int idle();
  void portEvent(std::uint32_t port, float value);

  // From the effect's host callback, for edits made in this window.
  void parameterEdited(int parameter, float normalised);
  void gesture(int parameter, bool begin);
  // The editor asks for a new size (its "Size" menu); true when the host took it.
  bool canResize() const { return host.resize != nullptr; }
  bool resizeWindow(int width, int height);
  // The instance is being freed: the window closes, later calls do nothing.
  void instanceGone();

  // The table the UI binary finds through data-access.
  static const lv2editor::Access kAccess;

 private:
  Lv2EditorSession(Lv2Instance& instance, ADEditor& editor, const lv2editor::HostSide& host);
  void write(int k, float value);
  void writeChangedPorts();
  void releaseGestures();
  void closeWindow();

  Lv2Instance* instance;
  ADEditor* editor;
  lv2editor::HostSide host;
  // What the host's control ports hold as far as this window knows (its own writes and the
  // host's port events); not a number until known.
  std::array<float, lv2port::kControlCount> hostValues{};
  std::bitset<lv2port::kControlCount> touched;
};
