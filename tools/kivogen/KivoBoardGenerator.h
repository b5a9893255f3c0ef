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
// The same board as text (for small sizes).
std::string GenerateKivoBoardText(int64_t targetBytes, uint64_t seed,
                                  TKivoBoardFigures* figures = nullptr);
