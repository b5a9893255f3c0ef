// Deterministic generator of valid KIVO boards of a chosen size: an environment with
// three layers, pad stacks with their pad definitions, nets with vias, wires, net names
// and copper polygons, component definitions with pins and graphics placed many times,
// and annotation blocks of lines, arcs, circles, rectangles, texts and polygons. The
// same seed and size always give the same bytes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct TKivoBoardFigures {
  int64_t Bytes = 0;
  int64_t Objects = 0;  // graphic items, vias, pads, pins and instances written
};

// Writes a board of at least `targetBytes` bytes (a little more: the last block is
// finished) to `path`; throws std::runtime_error when the file cannot be written.
TKivoBoardFigures GenerateKivoBoard(const std::string& path, int64_t targetBytes, uint64_t seed);
// The board's configuration file ("[Layer]" section in the form the importer's options
// dialog loads): each layer of a generated board mapped to a host layer, so that the
// whole board is imported (the built-in layer map knows none of them).
struct TKivoBoardLayer {
  const char* Name;       // the board's layer
  const char* HostLayer;  // the host layer's display name it is imported on
};
inline constexpr TKivoBoardLayer cKivoBoardLayers[3] = {
    {"TOP", "Top Layer"}, {"BOTTOM", "Bottom Layer"}, {"SILK", "Top Overlay"}};
std::string KivoBoardConfigurationText();
// Writes the configuration to `path`; throws std::runtime_error when it cannot.
void WriteKivoBoardConfiguration(const std::string& path);
// One object of the board as the import makes it from what the generator wrote: its kind
// as the host names it ("net", "via", "track", "arc", "fill", "text", "polygon",
// "component", "pad"), the designator of the component it belongs to (empty for the
// board's), its net, its layer (empty for vias and pads, which stand on every layer),
// its name or text, its width in mils (0 where it has none) and, where the file gives it
// outright, its place in mils: a via's or text's point, a track's two ends, a fill's
// corners, a polygon's outline, a circle's centre and radius, a component's origin.
struct TKivoBoardObject {
  std::string Kind, Component, Net, Layer, Name;
  int32_t Width = 0;
  std::vector<int32_t> Place;
};
// The same board as text (for small sizes), and the objects it holds when `objects` is
// given.
std::string GenerateKivoBoardText(int64_t targetBytes, uint64_t seed,
                                  TKivoBoardFigures* figures = nullptr,
                                  std::vector<TKivoBoardObject>* objects = nullptr);
