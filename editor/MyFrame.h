#pragma once

#include "gui/CFrame.h"

// The editor's window content; it behaves exactly as the toolkit's frame.
class MyFrame : public CFrame {
 public:
  MyFrame(const CRect& size, void* parentWindow, VSTGUIEditorInterface* editor,
          double scaleFactor = 1.0)
      : CFrame(size, parentWindow, editor, scaleFactor) {}
};
