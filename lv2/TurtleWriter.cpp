#include "lv2/TurtleWriter.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "lv2/EditorAccess.h"
#include "lv2/PortMapping.h"
#include "plugin/ChannelStrip.h"
#include "plugin/FactoryPresets.h"
#include "plugin/ParameterMapping.h"
#include "plugin/ValueText.h"
#include "plugin/Veltrane.h"

namespace {

constexpr const char* kPrefixes =
    "@prefix doap: <http://usefulinc.com/ns/doap#> .\n"
    "@prefix lv2: <http://lv2plug.in/ns/lv2core#> .\n"
    "@prefix opts: <http://lv2plug.in/ns/ext/options#> .\n"
    "@prefix pprops: <http://lv2plug.in/ns/ext/port-props#> .\n"
    "@prefix pset: <http://lv2plug.in/ns/ext/presets#> .\n"
    "@prefix rdf: <http://www.w3.org/1999/02/22-rdf-syntax-ns#> .\n"
    "@prefix rdfs: <http://www.w3.org/2000/01/rdf-schema#> .\n"
    "@prefix state: <http://lv2plug.in/ns/ext/state#> .\n"
    "@prefix ui: <http://lv2plug.in/ns/extensions/ui#> .\n"
    "@prefix units: <http://lv2plug.in/ns/extensions/units#> .\n"
    "@prefix urid: <http://lv2plug.in/ns/ext/urid#> .\n\n";

constexpr const char* kPlugin = "<" VELTRANE_LV2_URI ">";
constexpr const char* kUi = "<" VELTRANE_LV2_UI_URI ">";

struct AudioPort {
  std::uint32_t index;
  const char* type;
  const char* symbol;
  const char* name;
};
constexpr AudioPort kAudioPorts[] = {
    {lv2port::kInputLeft, "lv2:InputPort", "in_l", "Left In"},
    {lv2port::kInputRight, "lv2:InputPort", "in_r", "Right In"},
    {lv2port::kOutputLeft, "lv2:OutputPort", "out_l", "Left Out"},
    {lv2port::kOutputRight, "lv2:OutputPort", "out_r", "Right Out"},
};

// The label a host shows for a step: the text the VST build displays for it.
std::string stepLabel(int parameter, float normalised) {
  char text[32] = {};
  StripSettings settings;
  applyParameter(settings, parameter, normalised);
  parameterDisplay(parameter, normalised, settings, text);
  return text;
}

// The most the latency can be at any rate the strip accepts.
int largestLatency() {
  auto strip = std::make_unique<ChannelStrip>();
  int largest = 0;
  for (double rate = 1000.0; rate <= 1000000.0; rate += 1000.0) {
    strip->resume(rate, StripSettings{});
    largest = std::max(largest, strip->getLatencySamples());
  }
  return largest;
}

void writeScalePoints(std::ostream& out, int parameter) {
  out << " ;\n\t\tlv2:scalePoint";
  for (int k = 0; k < lv2port::candidateCount(parameter); ++k) {
    const float normalised = lv2port::candidate(parameter, k);
    out << (k ? " ,\n\t\t\t" : " ") << "[ rdfs:label \"" << stepLabel(parameter, normalised)
        << "\" ; rdf:value " << TurtleWriter::number(lv2port::portValueOf(parameter, normalised))
        << " ]";
  }
}

}  // namespace

TurtleWriter::TurtleWriter(std::string dsp, std::string ui)
    : dspBinary(std::move(dsp)), uiBinary(std::move(ui)) {}

std::string TurtleWriter::number(float value) {
  char text[64];
  for (int decimals = 0; decimals < 40; ++decimals) {
    std::snprintf(text, sizeof text, "%.*f", decimals, static_cast<double>(value));
    if (std::strtof(text, nullptr) == value) break;
  }
  return text;
}

std::string TurtleWriter::presetUri(int preset) {
  std::string name = kFactoryPresetNames[preset];
  for (char& c : name) c = std::isalnum(static_cast<unsigned char>(c)) ? std::tolower(c) : '-';
  return "<" VELTRANE_LV2_URI "#preset-" + name + ">";
}

void TurtleWriter::writeManifest(std::ostream& out) const {
  out << kPrefixes;
  out << kPlugin << "\n\ta lv2:Plugin ;\n\tlv2:binary <" << dspBinary << "> ;\n\trdfs:seeAlso <"
      << kPluginFile << "> .\n\n";
  out << kUi << "\n\ta ui:X11UI ;\n\tui:binary <" << uiBinary << "> ;\n\trdfs:seeAlso <"
      << kPluginFile << "> .\n";
  for (int p = 0; p < kNumPresets; ++p)
    out << "\n"
        << presetUri(p) << "\n\ta pset:Preset ;\n\tlv2:appliesTo " << kPlugin
        << " ;\n\trdfs:seeAlso <" << kPresetFile << "> .\n";
}

void TurtleWriter::writePlugin(std::ostream& out) const {
  out << kPrefixes;
  out << kPlugin << "\n\ta lv2:EQPlugin ;\n\tdoap:name \"" << Veltrane::kEffectName
      << "\" ;\n\trdfs:comment \"" << Veltrane::kProductName
      << "\" ;\n"
      // Vendor version 1800 is 1.8.0.
      << "\tlv2:minorVersion " << Veltrane::kVendorVersion / 100 % 10 << " ;\n"
      << "\tlv2:microVersion " << Veltrane::kVendorVersion / 10 % 10 << " ;\n"
      << "\tlv2:optionalFeature lv2:hardRTCapable , urid:map ;\n"
      << "\tlv2:extensionData state:interface ;\n\tui:ui " << kUi << " ;\n\tlv2:port";
  for (const AudioPort& port : kAudioPorts)
    out << (port.index ? " ,\n\t\t" : " ") << "[ a lv2:AudioPort , " << port.type
        << " ;\n\t\tlv2:index " << port.index << " ;\n\t\tlv2:symbol \"" << port.symbol
        << "\" ;\n\t\tlv2:name \"" << port.name << "\" ]";
  for (int parameter : lv2port::kParameters) writeControlPort(out, parameter);
  writeLatencyPort(out);
  out << " .\n\n";
  // The window needs the effect object itself: instance-access, and data-access for the
  // instance's table (EditorAccess.h).
  out << kUi << "\n\ta ui:X11UI ;\n"
      << "\tlv2:requiredFeature ui:parent , <http://lv2plug.in/ns/ext/instance-access> ,\n"
      << "\t\t<http://lv2plug.in/ns/ext/data-access> ;\n"
      << "\tlv2:optionalFeature ui:resize , ui:touch , ui:idleInterface , urid:map , opts:options "
         ";\n"
      << "\tlv2:extensionData ui:idleInterface ;\n"
      << "\topts:supportedOption ui:scaleFactor .\n";
}

void TurtleWriter::writeControlPort(std::ostream& out, int parameter) const {
  char symbol[16];
  lv2port::symbolOf(parameter, symbol);
  const lv2port::Kind kind = lv2port::kindOf(parameter);
  out << " ,\n\t\t[ a lv2:InputPort , lv2:ControlPort ;\n\t\tlv2:index "
      << lv2port::portOf(parameter) << " ;\n\t\tlv2:symbol \"" << symbol << "\" ;\n\t\tlv2:name \""
      << parameterName(parameter) << "\" ;\n\t\tlv2:default "
      << number(lv2port::portValueOf(parameter, factoryPresetValue(0, parameter)))
      << " ;\n\t\tlv2:minimum " << number(lv2port::portValueOf(parameter, 0.f))
      << " ;\n\t\tlv2:maximum " << number(lv2port::portValueOf(parameter, 1.f));
  switch (kind) {
    case lv2port::Kind::Switch:
      out << " ;\n\t\tlv2:portProperty lv2:toggled";
      break;
    case lv2port::Kind::Choice:
      out << " ;\n\t\tlv2:portProperty lv2:integer , lv2:enumeration";
      writeScalePoints(out, parameter);
      break;
    case lv2port::Kind::Gain:
      out << " ;\n\t\tunits:unit units:db ;\n\t\tpprops:rangeSteps "
          << lv2port::candidateCount(parameter);
      break;
    case lv2port::Kind::Frequency:
      out << " ;\n\t\tunits:unit units:hz ;\n\t\tlv2:portProperty lv2:enumeration , "
             "pprops:logarithmic";
      writeScalePoints(out, parameter);
      break;
    case lv2port::Kind::RingPosition:
      out << " ;\n\t\tunits:unit units:pc";
      writeScalePoints(out, parameter);
      break;
  }
  out << " ]";
}

void TurtleWriter::writeLatencyPort(std::ostream& out) const {
  out << " ,\n\t\t[ a lv2:OutputPort , lv2:ControlPort ;\n\t\tlv2:index " << lv2port::kLatency
      << " ;\n\t\tlv2:symbol \"latency\" ;\n\t\tlv2:name \"Latency\" ;\n"
      << "\t\tlv2:designation lv2:latency ;\n"
      << "\t\tlv2:portProperty lv2:reportsLatency , lv2:integer , pprops:notOnGUI ;\n"
      << "\t\tunits:unit units:frame ;\n\t\tlv2:minimum 0 ;\n\t\tlv2:maximum " << largestLatency()
      << " ]";
}

void TurtleWriter::writePresets(std::ostream& out) const {
  out << kPrefixes;
  for (int p = 0; p < kNumPresets; ++p) {
    out << presetUri(p) << "\n\ta pset:Preset ;\n\tlv2:appliesTo " << kPlugin
        << " ;\n\trdfs:label \"" << kFactoryPresetNames[p] << "\" ;\n\tlv2:port";
    for (int k = 0; k < lv2port::kControlCount; ++k) {
      const int parameter = lv2port::kParameters[k];
      char symbol[16];
      lv2port::symbolOf(parameter, symbol);
      out << (k ? " ,\n\t\t" : " ") << "[ lv2:symbol \"" << symbol << "\" ; pset:value "
          << number(lv2port::portValueOf(parameter, factoryPresetValue(p, parameter))) << " ]";
    }
    out << " .\n\n";
  }
}
