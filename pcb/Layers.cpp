#include "pcb/Layers.h"

#include "classlib/Strings.h"

const std::array<const char*, LayerCount> LayerIdentifiers = {
    "NoLayer",         "TopLayer",        "MidLayer1",       "MidLayer2",       "MidLayer3",
    "MidLayer4",       "MidLayer5",       "MidLayer6",       "MidLayer7",       "MidLayer8",
    "MidLayer9",       "MidLayer10",      "MidLayer11",      "MidLayer12",      "MidLayer13",
    "MidLayer14",      "MidLayer15",      "MidLayer16",      "MidLayer17",      "MidLayer18",
    "MidLayer19",      "MidLayer20",      "MidLayer21",      "MidLayer22",      "MidLayer23",
    "MidLayer24",      "MidLayer25",      "MidLayer26",      "MidLayer27",      "MidLayer28",
    "MidLayer29",      "MidLayer30",      "BottomLayer",     "TopOverlay",      "BottomOverlay",
    "TopPaste",        "BottomPaste",     "TopSolder",       "BottomSolder",    "InternalPlane1",
    "InternalPlane2",  "InternalPlane3",  "InternalPlane4",  "InternalPlane5",  "InternalPlane6",
    "InternalPlane7",  "InternalPlane8",  "InternalPlane9",  "InternalPlane10", "InternalPlane11",
    "InternalPlane12", "InternalPlane13", "InternalPlane14", "InternalPlane15", "InternalPlane16",
    "DrillGuide",      "KeepOutLayer",    "Mechanical1",     "Mechanical2",     "Mechanical3",
    "Mechanical4",     "Mechanical5",     "Mechanical6",     "Mechanical7",     "Mechanical8",
    "Mechanical9",     "Mechanical10",    "Mechanical11",    "Mechanical12",    "Mechanical13",
    "Mechanical14",    "Mechanical15",    "Mechanical16",    "DrillDrawing",    "MultiLayer",
    "ConnectLayer",    "BackGroundLayer", "DRCErrorLayer",   "HighlightLayer",  "GridColor1",
    "GridColor10",     "PadHoleLayer",    "ViaHoleLayer",
};

const std::array<const char*, LayerCount> LayerDisplayNames = {
    "Any Layer",           "Top Layer",           "Mid Layer 1",         "Mid Layer 2",
    "Mid Layer 3",         "Mid Layer 4",         "Mid Layer 5",         "Mid Layer 6",
    "Mid Layer 7",         "Mid Layer 8",         "Mid Layer 9",         "Mid Layer 10",
    "Mid Layer 11",        "Mid Layer 12",        "Mid Layer 13",        "Mid Layer 14",
    "Mid Layer 15",        "Mid Layer 16",        "Mid Layer 17",        "Mid Layer 18",
    "Mid Layer 19",        "Mid Layer 20",        "Mid Layer 21",        "Mid Layer 22",
    "Mid Layer 23",        "Mid Layer 24",        "Mid Layer 25",        "Mid Layer 26",
    "Mid Layer 27",        "Mid Layer 28",        "Mid Layer 29",        "Mid Layer 30",
    "Bottom Layer",        "Top Overlay",         "Bottom Overlay",      "Top Paste",
    "Bottom Paste",        "Top Solder Mask",     "Bottom Solder Mask",  "Internal Plane 1",
    "Internal Plane 2",    "Internal Plane 3",    "Internal Plane 4",    "Internal Plane 5",
    "Internal Plane 6",    "Internal Plane 7",    "Internal Plane 8",    "Internal Plane 9",
    "Internal Plane 10",   "Internal Plane 11",   "Internal Plane 12",   "Internal Plane 13",
    "Internal Plane 14",   "Internal Plane 15",   "Internal Plane 16",   "Drill Guide",
    "Keep Out Layer",      "Mechanical Layer 1",  "Mechanical Layer 2",  "Mechanical Layer 3",
    "Mechanical Layer 4",  "Mechanical Layer 5",  "Mechanical Layer 6",  "Mechanical Layer 7",
    "Mechanical Layer 8",  "Mechanical Layer 9",  "Mechanical Layer 10", "Mechanical Layer 11",
    "Mechanical Layer 12", "Mechanical Layer 13", "Mechanical Layer 14", "Mechanical Layer 15",
    "Mechanical Layer 16", "Drill Drawing",       "Multi Layer",         "Connect Layer",
    "BackGround",          "DRC Errors",          "Highlight Layer",     "Grid Color 1",
    "Grid Color 10",       "Pad Hole Layer",      "Via Hole Layer",
};

std::string LayerToString(uint8_t layer) {
  if (layer >= LayerCount)
    return std::string();
  return LayerDisplayNames[layer];
}

uint8_t StringToLayer(std::string_view text) {
  const std::string wanted = UpperCase(text);
  for (int layer = 0; layer < LayerCount; ++layer) {
    if (UpperCase(LayerDisplayNames[layer]) == wanted)
      return static_cast<uint8_t>(layer);
  }
  return 0;
}
