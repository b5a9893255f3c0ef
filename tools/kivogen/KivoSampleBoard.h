// The hostile-input campaign's sample board: a small valid board that writes every field
// the reader takes (every drawing attribute; texts turned, mirrored and justified every
// way; instances turned, moved and mirrored, on either side; connection lists of both
// forms; arcs, circles, fills, rectangles, lines and polygons of both outline kinds; vias
// and pads of every shape), and the list of the objects its import must make, each field
// worked out from what was written by the format's rules and the stand-in host's
// (standin/ravelo/README.md), not by the reader: the outside truth the campaign checks
// the sample's own import against. The same seed always gives the same bytes. The
// benchmark's boards (KivoBoardGenerator.h) are boards of their own; both use the same
// layers and configuration.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

// One object the import makes of the sample, by the host's names.
struct TKivoBoardObject {
  // "net", "via", "track", "arc", "fill", "text", "polygon", "component" or "pad".
  std::string Kind;
  // The designator of the component it belongs to (a member, the component itself, or
  // its name or comment text); empty for the board's objects.
  std::string Component;
  std::string Net;  // the name of its net; empty for none
  // The board's layer it is drawn on; empty where the host's layer is fixed by rule (a
  // via's, pad's or component's, a designator's): then it is the field "layer".
  std::string Layer;
  std::string Name;  // its text, net name, component string or pad name
  // The host's fields by the dump's names: places in board units relative to the board's
  // origin, angles in degrees. "Of" 1 marks a component's name or comment text.
  std::map<std::string, double> Fields;
  std::vector<int64_t> Records;  // a polygon's records: x, y, x, y...
};

// The sample board of `seed`, and the objects its import makes when `objects` is given.
std::string GenerateKivoSampleBoard(uint64_t seed,
                                    std::vector<TKivoBoardObject>* objects = nullptr);
