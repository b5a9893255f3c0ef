#include "plugin/PluginUnits.h"

// Start-up order of the plug-in's units; shut-down runs it backwards. A unit is added
// here, in its place, when it has start-up or shut-down work.
std::span<const TUnitEntry> PluginUnits() { return {}; }
