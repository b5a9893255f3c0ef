// Deterministic generator of valid KIVO boards of a chosen size: an environment with
// three layers, pad stacks with their pad definitions, nets with vias, wires, net names
// and copper polygons, component definitions with pins and graphics placed many times,
// and annotation blocks of lines, arcs, circles, rectangles, texts and polygons. The
// same seed and size always give the same bytes.
#pragma once

#include <cstdint>
#include <string>

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
  int HostLayerNumber;    // and its number
};
inline constexpr TKivoBoardLayer cKivoBoardLayers[3] = {
    {"TOP", "Top Layer", 1}, {"BOTTOM", "Bottom Layer", 32}, {"SILK", "Top Overlay", 33}};
std::string KivoBoardConfigurationText();
// Writes the configuration to `path`; throws std::runtime_error when it cannot.
void WriteKivoBoardConfiguration(const std::string& path);
// The same board as text (for small sizes).
std::string GenerateKivoBoardText(int64_t targetBytes, uint64_t seed,
                                  TKivoBoardFigures* figures = nullptr);
