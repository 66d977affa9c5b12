#pragma once

#include "gui/CButtonState.h"
#include "gui/CKeyCode.h"

#include <cstdint>

// Translation of X input state into the toolkit's terms. Pure functions of the X values, so
// they are tested without a server.

// Shift, Control, and Alt (Mod1 or Mod5, AltGr on many layouts) from an X state mask.
int64_t modifiersFromXState(uint16_t state);
// The buttons held according to an X state mask (Button1..3).
int64_t buttonsFromXState(uint16_t state);
// The toolkit button of an X button number; 0 for the wheel and others.
int64_t buttonFromXButton(uint8_t button);
// A key from its keysym: Latin-1 characters and the editing keys; false for anything else.
bool keyCodeFromKeysym(uint32_t keysym, uint16_t state, CKeyCode& key);

// Tells a double click: a second press of the same button within 250 ms and 5 layout pixels;
// a third press starts over.
class DoubleClickDetector {
 public:
  bool press(uint8_t button, uint32_t timeMs, double x, double y);

 private:
  uint32_t lastTime = 0;
  uint8_t lastButton = 0;
  double lastX = -100;
  double lastY = -100;
  bool lastWasDouble = false;
};
