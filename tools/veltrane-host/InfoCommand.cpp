#include "InfoCommand.h"

#include <cstring>
#include <iomanip>

#include "PluginHost.h"

namespace {

constexpr const char* kCapabilities[] = {"sendVstEvents",
                                         "sendVstMidiEvent",
                                         "receiveVstEvents",
                                         "receiveVstMidiEvent",
                                         "receiveVstTimeInfo",
                                         "offline",
                                         "midiProgramNames",
                                         "bypass",
                                         "plugAsChannelInsert",
                                         "plugAsSend",
                                         "mixDryWet",
                                         "noRealTime",
                                         "multipass",
                                         "metapass",
                                         "1in1out",
                                         "1in2out",
                                         "2in1out",
                                         "2in2out",
                                         "2in4out",
                                         "4in2out",
                                         "4in4out",
                                         "4in8out",
                                         "8in4out",
                                         "8in8out"};

constexpr const char* kCategories[] = {
    "unknown",     "effect",          "synth",       "analysis",        "mastering", "spatializer",
    "room effect", "surround effect", "restoration", "offline process", "shell",     "generator"};

std::string fourCC(VstInt32 id) {
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8) {
    const char c = static_cast<char>((id >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '?';
  }
  return text;
}

void printPins(const PluginHost& host, std::ostream& out, VstInt32 opcode, int count,
               const char* kind) {
  for (int i = 0; i < count; ++i) {
    VstPinProperties pin{};
    if (!host.dispatch(opcode, i, 0, &pin)) {
      out << "  " << kind << " " << i << ": (no properties)\n";
      continue;
    }
    pin.label[sizeof(pin.label) - 1] = 0;
    out << "  " << kind << " " << i << ": \"" << pin.label << "\"";
    if (pin.flags & kVstPinIsActive) out << " active";
    if (pin.flags & kVstPinIsStereo) out << " stereo";
    out << "\n";
  }
}

void printParameter(const PluginHost& host, std::ostream& out, int index) {
  const AEffect* e = host.effect();
  const float value = e->getParameter(const_cast<AEffect*>(e), index);
  std::string name = "\"";
  name.append(host.text(effGetParamName, index)).push_back('"');
  out << "  " << std::setw(2) << index << "  " << std::left << std::setw(9) << name << std::right
      << " value " << std::fixed << std::setprecision(4) << value << "  display \""
      << host.text(effGetParamDisplay, index) << "\"";
  const std::string label = host.text(effGetParamLabel, index);
  if (!label.empty()) out << " label \"" << label << "\"";
  VstParameterProperties p{};
  if (host.dispatch(effGetParameterProperties, index, 0, &p)) {
    out << "  properties:";
    if (p.flags & kVstParameterIsSwitch) out << " switch";
    if (p.flags & kVstParameterUsesFloatStep)
      out << " step " << std::setprecision(2) << p.stepFloat;
    if (p.flags & kVstParameterUsesIntegerMinMax)
      out << " range " << p.minInteger << ".." << p.maxInteger;
  }
  if (!host.dispatch(effCanBeAutomated, index)) out << "  (not automatable)";
  out << "\n";
}

}  // namespace

void printPluginInfo(const PluginHost& host, std::ostream& out) {
  const AEffect* e = host.effect();
  out << "Effect:          " << host.text(effGetEffectName) << "\n"
      << "Product:         " << host.text(effGetProductString) << "\n"
      << "Vendor:          " << host.text(effGetVendorString) << "\n"
      << "Vendor version:  " << host.dispatch(effGetVendorVersion) << "\n"
      << "Unique ID:       '" << fourCC(e->uniqueID) << "' (0x" << std::hex << e->uniqueID
      << std::dec << ")\n"
      << "VST version:     " << host.dispatch(effGetVstVersion) << "\n";
  const VstIntPtr category = host.dispatch(effGetPlugCategory);
  out << "Category:        " << category << " ("
      << (category >= 0 && category < 12 ? kCategories[category] : "?") << ")\n"
      << "Flags:          ";
  if (e->flags & effFlagsHasEditor) out << " editor";
  if (e->flags & effFlagsCanReplacing) out << " replacing";
  if (e->flags & effFlagsCanDoubleReplacing) out << " double-replacing";
  if (e->flags & effFlagsProgramChunks) out << " chunks";
  if (e->flags & effFlagsIsSynth) out << " synth";
  out << "\n"
      << "Latency:         " << e->initialDelay << " samples\n"
      << "Tail:            " << host.dispatch(effGetTailSize) << " samples\n"
      << "Programs:        " << e->numPrograms << " (current \"" << host.text(effGetProgramName)
      << "\")\n"
      << "Inputs/outputs:  " << e->numInputs << " / " << e->numOutputs << "\n";
  printPins(host, out, effGetInputProperties, e->numInputs, "input");
  printPins(host, out, effGetOutputProperties, e->numOutputs, "output");
  out << "Can do:\n";
  for (const char* capability : kCapabilities) {
    char text[64];
    std::strcpy(text, capability);
    const VstIntPtr answer = host.dispatch(effCanDo, 0, 0, text);
    out << "  " << std::left << std::setw(22) << capability << std::right
        << (answer > 0   ? "yes"
            : answer < 0 ? "no"
                         : "-")
        << "\n";
  }
  out << "Parameters:      " << e->numParams << "\n";
  for (int i = 0; i < e->numParams; ++i) printParameter(host, out, i);
}
