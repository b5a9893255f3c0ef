// The plug-in's units in start-up order: the libraries' own lists, concatenated.
#pragma once

#include <span>

#include "classlib/Startup.h"

std::span<const TUnitEntry> PluginUnits();
