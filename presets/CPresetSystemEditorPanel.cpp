// The preset row of the editor window: building its controls, forgetting them when the window
// closes, and keeping them in step with the store.

#include <algorithm>
#include <cstring>
#include <string>

#include "gui/CBitmap.h"
#include "gui/CColor.h"
#include "gui/CFontDesc.h"
#include "gui/CFrame.h"
#include "gui/COptionMenu.h"
#include "gui/CTextEdit.h"
#include "presets/CPSKickButton.h"
#include "presets/CPSRockerSwitch.h"
#include "presets/CPresetSystemEditor.h"
#include "presets/CPresetSystemEffect.h"
#include "presets/CSaveLoadButton.h"
#include "presets/ToolkitFileDialog.h"

namespace {

using Tag = CPresetSystemEditor::PanelTag;

// The strip behind the name field and the menu.
constexpr int32_t kNameBackgroundBitmap = 11500;
constexpr CCoord kNameLeft = 175;
constexpr CCoord kNameRight = 292;
constexpr CCoord kNameCentreY = 239;
constexpr CColor kNameBackColor{209, 227, 238, 255};
constexpr CColor kNameTextColor{36, 36, 32, 255};

constexpr CRect kMenuRect(293, 232, 305, 246);
constexpr int32_t kMenuItemsPerColumn = 12;
constexpr int32_t kMenuStyle = 0x1E00;

enum class ButtonKind { Rocker, SaveLoad, Kick, DoubleClickKick };

struct ButtonLayout {
  Tag tag;
  ButtonKind kind;
  CRect rect;
  int32_t bitmap;
  int32_t images;
};

// In the order they are added to the frame.
constexpr ButtonLayout kButtons[] = {
    {Tag::kTagPresetRocker, ButtonKind::Rocker, CRect(313, 232, 344, 246), 19997, 5},
    {Tag::kTagLoadBank, ButtonKind::SaveLoad, CRect(70, 232, 82, 246), 19993, 3},
    {Tag::kTagSaveBank, ButtonKind::SaveLoad, CRect(20, 232, 32, 246), 19994, 3},
    {Tag::kTagDefaultBank, ButtonKind::DoubleClickKick, CRect(32, 234, 69, 244), 19990, 3},
    {Tag::kTagLoadPreset, ButtonKind::SaveLoad, CRect(150, 232, 162, 246), 19998, 3},
    {Tag::kTagSavePreset, ButtonKind::SaveLoad, CRect(91, 232, 103, 246), 19999, 3},
    {Tag::kTagDefaultPreset, ButtonKind::DoubleClickKick, CRect(103, 234, 150, 244), 19899, 3},
    {Tag::kTagRecallA, ButtonKind::Kick, CRect(374, 232, 386, 246), 19991, 3},
    {Tag::kTagStoreA, ButtonKind::Kick, CRect(352, 232, 364, 246), 19995, 3},
    {Tag::kTagRecallB, ButtonKind::Kick, CRect(417, 232, 429, 246), 19992, 3},
    {Tag::kTagStoreB, ButtonKind::Kick, CRect(395, 232, 407, 246), 19996, 3},
    {Tag::kTagManual, ButtonKind::Kick, CRect(722, 232, 738, 246), 989, 3},
};

}  // namespace

std::string CPresetSystemEditor::storedName(int number) const {
  // The field holds at most 24 bytes and need not be terminated.
  char name[kPresetNameLength];
  presetEffect()->copyPresetName(number, name);
  return std::string(name, strnlen(name, kPresetNameLength));
}

void CPresetSystemEditor::showNameInEntry(CMenuItem* entry, const std::string& name) {
  if (entry == nullptr) return;
  entry->setTitle(name.c_str());
  // The menu reads a title of "-" as a separator; a preset named so must stay choosable.
  entry->setIsSeparator(false);
}

int CPresetSystemEditor::currentPresetNumber() const {
  return static_cast<int>(
      std::clamp<std::int64_t>(presetEffect()->getPresetNo(), 0, kNumPresets - 1));
}

bool CPresetSystemEditor::open(void* parentWindow) {
  if (frame == nullptr || presetEffect() == nullptr) return false;
  AEffGUIEditor::open(parentWindow);
  if (!fileDialog) fileDialog = std::make_unique<ToolkitFileDialog>(*this);
  // Whatever was marked before is shown by building from the store as it is now.
  panelStale.store(false, std::memory_order_relaxed);
  // One picture behind both the name field and the menu.
  OwningPointer<CBitmap> nameBackground(new CBitmap(kNameBackgroundBitmap));
  buildNameField(nameBackground.get());
  buildPresetMenu(nameBackground.get());
  buildButtons();
  return true;
}

void CPresetSystemEditor::buildNameField(CBitmap* background) {
  const CCoord fontSize = kNormalFontSmall->getSize();
  const CRect rect(kNameLeft, kNameCentreY - fontSize / 2 - 2, kNameRight,
                   kNameCentreY + fontSize / 2 + 2);
  const std::string name = storedName(currentPresetNumber());
  auto* field = new CTextEdit(rect, this, kTagName, name.c_str(), background);
  field->setBackOffset(CPoint(rect.left, rect.top));
  field->setBackColor(kNameBackColor);
  field->setFontColor(kNameTextColor);
  field->setFrameColor(kNameTextColor);
  field->setFont(kNormalFontSmall);
  field->setHoriAlign(kCenterText);
  frame->addView(field);
  nameField = field;
}

void CPresetSystemEditor::buildPresetMenu(CBitmap* background) {
  auto* menu = new COptionMenu(kMenuRect, this, kTagPresetMenu, background, nullptr, kMenuStyle);
  menu->setBackOffset(CPoint(kMenuRect.left, kMenuRect.top));
  menu->setNbItemsPerColumn(kMenuItemsPerColumn);
  for (int k = 0; k < kNumPresets; ++k) showNameInEntry(menu->addEntry(""), storedName(k));
  menu->setCurrent(currentPresetNumber());
  frame->addView(menu);
  presetMenu = menu;
}

void CPresetSystemEditor::buildButtons() {
  for (const ButtonLayout& layout : kButtons) {
    OwningPointer<CBitmap> bitmap(new CBitmap(layout.bitmap));
    const CCoord imageHeight = bitmap->getHeight() / layout.images;
    const CPoint origin(0, 0);
    CControl* control = nullptr;
    switch (layout.kind) {
      case ButtonKind::Rocker:
        control =
            new CPSRockerSwitch(layout.rect, this, layout.tag, imageHeight, bitmap.get(), origin);
        break;
      case ButtonKind::SaveLoad:
        control =
            new CSaveLoadButton(layout.rect, this, layout.tag, imageHeight, bitmap.get(), origin);
        break;
      case ButtonKind::Kick:
      case ButtonKind::DoubleClickKick:
        control = new CPSKickButton(layout.rect, this, layout.tag, imageHeight, bitmap.get(),
                                    origin, layout.kind == ButtonKind::DoubleClickKick);
        break;
    }
    frame->addView(control);
    if (layout.tag == kTagManual) manualButton = static_cast<CPSKickButton*>(control);
  }
}

void CPresetSystemEditor::close() {
  nameField = nullptr;
  presetMenu = nullptr;
  manualButton = nullptr;
}

void CPresetSystemEditor::idle() {
  refreshPanel();
  if (manualOpener.isBusy() && manualOpener.collectFailures() > 0) reportManualFailure();
  AEffGUIEditor::idle();
}

void CPresetSystemEditor::showPresetInPanel(int /*number*/, const char* /*name*/) {
  panelStale.store(true, std::memory_order_release);
}

void CPresetSystemEditor::showMenuEntry(int /*number*/, const char* /*name*/) {
  panelStale.store(true, std::memory_order_release);
}

void CPresetSystemEditor::redrawPanel() {
  frameRedrawWanted.store(true, std::memory_order_release);
}

void CPresetSystemEditor::refreshPanel() {
  CPresetSystemEffect* effect = presetEffect();
  // While a name is being typed the row waits: the field is the user's until they finish.
  const bool typing = nameField != nullptr && nameField->isEditingText();
  if (effect != nullptr && !typing && panelStale.exchange(false, std::memory_order_acq_rel)) {
    const int current = currentPresetNumber();
    if (presetMenu != nullptr) {
      for (int k = 0; k < kNumPresets; ++k) showNameInEntry(presetMenu->getEntry(k), storedName(k));
      presetMenu->setCurrent(current);
      presetMenu->invalid();
    }
    if (nameField != nullptr) nameField->setText(storedName(current).c_str());
  }
  if (frameRedrawWanted.exchange(false, std::memory_order_acq_rel) && frame != nullptr)
    frame->invalid();
}
