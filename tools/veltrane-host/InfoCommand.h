#pragma once

#include <ostream>

class PluginHost;

// Prints what a host learns about a plug-in: identity, pins, category, latency, tail,
// capabilities and every parameter with its value, display text and properties.
void printPluginInfo(const PluginHost& host, std::ostream& out);
