#pragma once

#include <ostream>
#include <string>

// Writes the bundle's Turtle from the parameter table, the frequency tables and the factory
// presets, through the same port mapping the plug-in runs with, so the description cannot
// drift from the code: manifest.ttl (what a host scans), the plug-in's description with its
// ports and UI, and the five factory presets.
class TurtleWriter {
 public:
  TurtleWriter(std::string dspBinary, std::string uiBinary);

  static constexpr const char* kPluginFile = "veltrane.ttl";
  static constexpr const char* kPresetFile = "presets.ttl";

  void writeManifest(std::ostream& out) const;
  void writePlugin(std::ostream& out) const;
  void writePresets(std::ostream& out) const;

  // The shortest decimal text that reads back as exactly this float.
  static std::string number(float value);

 private:
  void writeControlPort(std::ostream& out, int parameter) const;
  void writeLatencyPort(std::ostream& out) const;
  static std::string presetUri(int preset);

  std::string dspBinary;
  std::string uiBinary;
};
