#pragma once

#include <atomic>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "sdk/aeffectx.h"

// Loads any VST 2.4 shared object and plays the host's part: it answers the plug-in's callback
// (version 2400, sample rate, block size, pin connections) and records what the plug-in tells
// it (automation, IO changes, edit gestures, window sizes). Uses only the binary interface.
class PluginHost {
 public:
  // A callback that tells the host something, as opposed to asking it.
  struct Notification {
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    float opt;
  };

  // Someone who wants to hear of notifications as they arrive (on whatever thread the plug-in
  // sends them) and who can show the editor at another size.
  class Listener {
   public:
    virtual ~Listener() = default;
    virtual void notified(const Notification& notification) = 0;
    // The editor asks for a window of this size; true when the host did resize.
    virtual bool resizeEditor(int width, int height) = 0;
  };

  // Loads the library and creates the effect; on failure returns null and explains in `error`.
  static std::unique_ptr<PluginHost> load(const std::string& path, std::string& error);
  ~PluginHost();
  PluginHost(const PluginHost&) = delete;
  PluginHost& operator=(const PluginHost&) = delete;

  AEffect* effect() const { return effect_; }
  VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
                     float opt = 0.0f) const;
  std::string text(VstInt32 opcode, VstInt32 index = 0) const;

  // Host set-up the plug-in can query.
  void setSampleRate(double rate) { sampleRate_ = rate; }
  void setBlockSize(int size) { blockSize_ = size; }
  void setConnectedChannels(int inputs, int outputs) {
    connectedInputs_ = inputs;
    connectedOutputs_ = outputs;
  }
  // Starts processing at the host's sample rate and block size; stops it again.
  void start();
  void stop();

  // What the plug-in reported, in order.
  std::vector<Notification> notifications() const;
  void clearNotifications();
  int ioChangedCount() const { return ioChanged_.load(); }
  // Null stops the reports; the listener must outlive the plug-in's calls.
  void setListener(Listener* listener) { listener_.store(listener); }

 private:
  PluginHost() = default;
  static VstIntPtr callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                            void* ptr, float opt);
  VstIntPtr answer(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
  void record(const Notification& notification);

  void* library_ = nullptr;
  AEffect* effect_ = nullptr;
  double sampleRate_ = 44100.0;
  int blockSize_ = 512;
  int connectedInputs_ = 2;
  int connectedOutputs_ = 2;
  std::atomic<int> ioChanged_{0};
  std::atomic<Listener*> listener_{nullptr};
  mutable std::mutex notificationsMutex_;
  std::vector<Notification> notifications_;
};
