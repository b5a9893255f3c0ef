// The skin library's shared texts, string resources 65269 to 65275 of the module that
// holds the skin code (LoadKIVO.dll in the plug-in; a test executable links the same
// resource script, skin/KsCommonConst.rc). The numbers are fixed: the resource script
// uses the same values.
#pragma once

#include <string>

#include "classlib/Win.h"

constexpr int SKsMaximize = 65269;        // "Ma&ximize"
constexpr int SKsMinimize = 65270;        // "Mi&nimize"
constexpr int SKsClose = 65271;           // "&Close"
constexpr int SKsRollup = 65272;          // "Ro&llup"
constexpr int SKsRestore = 65273;         // "&Restore"
constexpr int SKsMinimizeToTray = 65274;  // "Minimize to &Tray"
constexpr int SKsItemInserted = 65275;    // "Toolbar item already inserted"

// The module whose resources carry the skin texts and sheets: the one this code is
// linked into.
HINSTANCE SkinResourceInstance();
// The text of string resource `id` of that module; empty when it is missing.
std::string KsLoadStr(int id);
