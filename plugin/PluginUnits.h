// The plug-in's units in start-up order.
#pragma once

#include <span>

#include "classlib/Startup.h"

std::span<const TUnitEntry> PluginUnits();
