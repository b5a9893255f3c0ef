// The host's 83 board layers: the enumeration `TLayer`, the short layer identifiers
// that name the board's layer objects, and the display names that the importer's
// layer lists, settings files and report use. Pure tables and lookups.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

// One byte; value = the host's layer number.
enum TLayer : uint8_t {
  eIgnoreLayer, eTopLayer, eMidLayer1, eMidLayer2, eMidLayer3, eMidLayer4, eMidLayer5,
  eMidLayer6, eMidLayer7, eMidLayer8, eMidLayer9, eMidLayer10, eMidLayer11, eMidLayer12,
  eMidLayer13, eMidLayer14, eMidLayer15, eMidLayer16, eMidLayer17, eMidLayer18,
  eMidLayer19, eMidLayer20, eMidLayer21, eMidLayer22, eMidLayer23, eMidLayer24,
  eMidLayer25, eMidLayer26, eMidLayer27, eMidLayer28, eMidLayer29, eMidLayer30,
  eBottomLayer, eTopOverlay, eBottomOverlay, eTopPaste, eBottomPaste, eTopSolder,
  eBottomSolder, eInternalPlane1, eInternalPlane2, eInternalPlane3, eInternalPlane4,
  eInternalPlane5, eInternalPlane6, eInternalPlane7, eInternalPlane8, eInternalPlane9,
  eInternalPlane10, eInternalPlane11, eInternalPlane12, eInternalPlane13, eInternalPlane14,
  eInternalPlane15, eInternalPlane16, eDrillGuide, eKeepOutLayer, eMechanical1,
  eMechanical2, eMechanical3, eMechanical4, eMechanical5, eMechanical6, eMechanical7,
  eMechanical8, eMechanical9, eMechanical10, eMechanical11, eMechanical12, eMechanical13,
  eMechanical14, eMechanical15, eMechanical16, eDrillDrawing, eMultiLayer, eConnectLayer,
  eBackGroundLayer, eDRCErrorLayer, eHighlightLayer, eGridColor1, eGridColor10,
  ePadHoleLayer, eViaHoleLayer
};

inline constexpr int LayerCount = 83;
static_assert(eViaHoleLayer == LayerCount - 1, "83 layers, 0 to 82");

// Signal layers are 1 (top) to 32 (bottom); internal planes 39 to 54.
constexpr bool IsSignalLayer(int layer) { return layer >= eTopLayer && layer <= eBottomLayer; }
constexpr bool IsInternalPlane(int layer) {
  return layer >= eInternalPlane1 && layer <= eInternalPlane16;
}

// "NoLayer", "TopLayer", "MidLayer1" ... "ViaHoleLayer", indexed by layer number.
extern const std::array<const char*, LayerCount> LayerIdentifiers;
// "Any Layer", "Top Layer", "Mid Layer 1" ... "Via Hole Layer", indexed by layer number.
extern const std::array<const char*, LayerCount> LayerDisplayNames;

// The display name of `layer`; the empty text for 83 and above.
std::string LayerToString(uint8_t layer);

// The first layer whose display name equals `text` after ASCII upper-casing both
// (no trimming); 0 when none matches.
uint8_t StringToLayer(std::string_view text);
