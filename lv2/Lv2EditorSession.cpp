#include "lv2/Lv2EditorSession.h"

#include <cmath>
#include <optional>
#include <new>

#include "editor/ADEditor.h"
#include "gui/CFrame.h"
#include "lv2/Lv2Instance.h"
#include "plugin/Veltrane.h"

Lv2EditorSession* Lv2EditorSession::open(Lv2Instance& instance, const lv2editor::HostSide& host,
                                         std::uintptr_t& window) {
  ADEditor* editor = instance.editor();
  if (editor == nullptr || host.parentWindow == 0 || host.write == nullptr) return nullptr;
  auto* session = new (std::nothrow) Lv2EditorSession(instance, *editor, host);
  if (session == nullptr) return nullptr;
  if (!instance.attach(session)) {
    // Another window holds the editor: leave it and the instance alone.
    session->instance = nullptr;
    session->editor = nullptr;
    delete session;
    return nullptr;
  }
  // The host's scale comes after the user's own choice and before the desktop's.
  editor->setHostScaleFactor(host.scaleFactor > 0.f ? std::optional<double>(host.scaleFactor)
                                                    : std::nullopt);
  if (!editor->open(reinterpret_cast<void*>(host.parentWindow)) || !editor->isOpen()) {
    delete session;
    return nullptr;
  }
  window = editor->getFrame()->getPlatformFrame()->nativeWindow();
  ERect* rect = nullptr;
  if (host.resize != nullptr && editor->getRect(&rect) && rect != nullptr)
    host.resize->ui_resize(host.resize->handle, rect->right - rect->left, rect->bottom - rect->top);
  return session;
}

Lv2EditorSession::Lv2EditorSession(Lv2Instance& owner, ADEditor& window,
                                   const lv2editor::HostSide& side)
    : instance(&owner), editor(&window), host(side) {
  // The ports as the plug-in last read them: changes made inside it since then are written.
  for (int k = 0; k < lv2port::kControlCount; ++k) hostValues[k] = owner.appliedPortValue(k);
}

Lv2EditorSession::~Lv2EditorSession() {
  closeWindow();
  if (instance != nullptr) instance->detach(this);
}

void Lv2EditorSession::closeWindow() {
  releaseGestures();
  if (editor != nullptr) editor->close();
  editor = nullptr;
}

void Lv2EditorSession::instanceGone() {
  closeWindow();
  instance = nullptr;
}

int Lv2EditorSession::idle() {
  if (instance == nullptr || editor == nullptr) return 1;
  editor->idle();
  writeChangedPorts();
  return 0;
}

bool Lv2EditorSession::resizeWindow(int width, int height) {
  return editor != nullptr && host.resize != nullptr &&
         host.resize->ui_resize(host.resize->handle, width, height) == 0;
}

void Lv2EditorSession::write(int k, float value) {
  hostValues[k] = value;
  host.write(host.controller, lv2port::kFirstControl + static_cast<std::uint32_t>(k), sizeof(float),
             0, &value);
}

void Lv2EditorSession::writeChangedPorts() {
  Veltrane& effect = instance->effect();
  for (int k = 0; k < lv2port::kControlCount; ++k) {
    const int parameter = lv2port::kParameters[k];
    // The port as run last applied it first, then the effect: a value run has just applied
    // is then never taken for a change of the plug-in's own.
    const float applied = instance->appliedPortValue(k);
    const float current = lv2port::portValueOf(parameter, effect.getParameter(parameter));
    if (current != applied && current != hostValues[k]) write(k, current);
  }
}

void Lv2EditorSession::portEvent(std::uint32_t port, float value) {
  const int parameter = lv2port::parameterOf(port);
  if (instance == nullptr || editor == nullptr || parameter < 0 || !std::isfinite(value)) return;
  const int k = static_cast<int>(port - lv2port::kFirstControl);
  hostValues[k] = value;
  // The effect takes the value at its next run; the control shows it now. A port that
  // matches the effect already is left alone, so a control keeps its exact value.
  Veltrane& effect = instance->effect();
  if (lv2port::portValueOf(parameter, effect.getParameter(parameter)) != value)
    editor->setParameter(parameter, lv2port::normalisedOf(parameter, value));
}

void Lv2EditorSession::parameterEdited(int parameter, float normalised) {
  const std::uint32_t port = lv2port::portOf(parameter);
  if (port == lv2port::kCount || editor == nullptr) return;
  write(static_cast<int>(port - lv2port::kFirstControl),
        lv2port::portValueOf(parameter, normalised));
}

void Lv2EditorSession::gesture(int parameter, bool begin) {
  const std::uint32_t port = lv2port::portOf(parameter);
  // Controls that announce something other than a parameter (a knob's own tag) touch nothing.
  if (port == lv2port::kCount || editor == nullptr || host.touch == nullptr) return;
  const auto k = static_cast<std::size_t>(port - lv2port::kFirstControl);
  if (touched[k] == begin) return;
  touched[k] = begin;
  host.touch->touch(host.touch->handle, port, begin);
}

void Lv2EditorSession::releaseGestures() {
  for (int k = 0; k < lv2port::kControlCount; ++k)
    if (touched[static_cast<std::size_t>(k)]) gesture(lv2port::kParameters[k], false);
}

// --- the table the UI binary reaches -----------------------------------------------------

namespace {

void* openSession(LV2_Handle instance, const lv2editor::HostSide* host, std::uintptr_t* window) {
  if (instance == nullptr || host == nullptr || window == nullptr) return nullptr;
  // Nothing may unwind into the host.
  try {
    return Lv2EditorSession::open(*static_cast<Lv2Instance*>(instance), *host, *window);
  } catch (...) {
    return nullptr;
  }
}

int idleSession(void* session) {
  return session ? static_cast<Lv2EditorSession*>(session)->idle() : 1;
}

void portEventOfSession(void* session, std::uint32_t port, float value) {
  if (session) static_cast<Lv2EditorSession*>(session)->portEvent(port, value);
}

void closeSession(void* session) { delete static_cast<Lv2EditorSession*>(session); }

}  // namespace

const lv2editor::Access Lv2EditorSession::kAccess = {lv2editor::kLayout, openSession, idleSession,
                                                     portEventOfSession, closeSession};
