// The sample board's import checked against the outside truth: the objects its generator
// wrote (tools/kivogen/KivoSampleBoard.h), field by field, as the board's dump shows them.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "tools/kivogen/KivoSampleBoard.h"

// What the board of `dump` lacks of the objects written, holds beyond them, or holds with
// other fields, as text; empty when it holds them exactly. Each object is known by its
// kind, whose it is (a component's designator, and whether it is the component's name or
// comment text) and its text or name; then compared on its net, its host layer (a layer of
// the file is imported on `hostLayer` of it) and every field its kind has:
//   track: X Y X2 Y2 (in order) Width          arc: X Y Radius StartAngle EndAngle LineWidth
//   fill: X Y X2 Y2 (in order) Rotation        via: X Y Size HoleSize
//   text: X Y (justified) Size Rotation MirrorFlag LineWidth
//   pad: X Y Rotation, the three sizes and shapes, HoleSize, StackMode
//   polygon: PolygonFlag3 PolygonByte2 TrackWidth GridSize and every record
//   component: X Y Rotation                    net: its name alone
// Places count from the board's origin (the import's move into positive space is not
// compared); angles within a millionth of a degree, everything else exactly.
std::string BoardAsWritten(const std::vector<TKivoBoardObject>& written,
                           const std::function<int(const std::string& layer)>& hostLayer,
                           const std::string& dump);
