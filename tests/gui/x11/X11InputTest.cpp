#include "gui/x11/X11Input.h"

#include <gtest/gtest.h>

#include <tuple>

// Keys reach the frame as the host's key events do: with its virtual key numbers and its
// modifier bits (shift 1, alternate 2, control 8).
TEST(X11Input, KeysymsBecomeCharactersOrTheHostsEditingKeys) {
  const std::pair<uint32_t, int> editingKeys[] = {
      {0xff08, 1},  {0xff09, 2},  {0xff0d, 4},  {0xff1b, 6},  {0xff57, 9},
      {0xff50, 10}, {0xff51, 11}, {0xff52, 12}, {0xff53, 13}, {0xff54, 14},
      {0xff55, 15}, {0xff56, 16}, {0xff8d, 19}, {0xffff, 22}, {0xff9f, 22}};
  CKeyCode key;
  for (const auto& [sym, virt] : editingKeys) {
    EXPECT_TRUE(keyCodeFromKeysym(sym, 0, key));
    EXPECT_EQ(key.virt, virt) << std::hex << sym;
    EXPECT_EQ(key.character, 0) << std::hex << sym;
  }
  // Keysym and X state (shift 1, caps lock 2, control 4, mod1 8, mod5 0x80); character, modifiers.
  const std::tuple<uint32_t, uint16_t, int32_t, int> typed[] = {
      {'a', 0, 'a', 0},      {'a', 2, 'A', 0},   {'z', 2, 'Z', 0}, {'0', 2, '0', 0},
      {'A', 1, 'A', 1},      {0xe9, 0, 0xe9, 0}, {' ', 4, ' ', 8}, {'x', 8, 'x', 2},
      {0xff, 0x80, 0xff, 2}, {0xff08, 4, 0, 8}};
  for (const auto& [sym, state, character, modifier] : typed) {
    EXPECT_TRUE(keyCodeFromKeysym(sym, state, key));
    EXPECT_EQ(key.character, character) << std::hex << sym;
    EXPECT_EQ(key.modifier, modifier) << std::hex << sym;
  }
  for (const uint32_t ignored : {0x20ac, 0xffe1, 0x1f})  // euro sign, Shift itself, control
    EXPECT_FALSE(keyCodeFromKeysym(ignored, 0, key)) << std::hex << ignored;
}

TEST(X11Input, ButtonsAndModifiers) {
  EXPECT_EQ(modifiersFromXState(0xff), kShift | kControl | kAlt) << "not Caps, Num Lock, Super";
  EXPECT_EQ(modifiersFromXState(0x80), kAlt) << "AltGr (Mod5)";
  EXPECT_EQ(buttonsFromXState(0x7ff), kLButton | kMButton | kRButton);
  EXPECT_EQ(buttonFromXButton(8), 0) << "only buttons 1 to 3";
}

// A second press of the same button within 250 ms and 5 pixels; a third starts over.
TEST(X11Input, DoubleClickNeedsTheSameButtonSoonAndNearby) {
  // Button, time, position; whether it is a double click.
  const std::tuple<uint8_t, uint32_t, int, int, bool> sequence[] = {
      {1, 1000, 10, 10, false}, {1, 1250, 15, 5, true},   {1, 1300, 15, 5, false},
      {1, 1551, 15, 5, false},  {3, 1600, 15, 5, false},  {1, 1700, 15, 5, false},
      {1, 1800, 21, 5, false},  {1, 1900, 21, 11, false}, {1, 0xfffffff0u, 0, 0, false},
      {1, 0x50, 0, 0, true},  // across the server clock's wrap
  };
  DoubleClickDetector detector;
  for (const auto& [button, time, x, y, expected] : sequence)
    EXPECT_EQ(detector.press(button, time, x, y), expected) << time;
}
