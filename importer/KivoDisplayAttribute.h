#pragma once

#include <cstdint>
#include <string>

#include "importer/KivoKeywords.h"

// A display attribute as read: applied at once between a level's items, or kept by a
// skip until it is known to stand at a level being read (KivoLevels.h). What is wrong
// with it is told when it is applied.
struct TKivoDisplayAttribute {
  int Key = kwEmpty;  // its key's code
  std::string KeyText;
  int64_t Start = 0;    // where its key was read
  int64_t ValueAt = 0;  // where its value was read
  int64_t End = 0;      // where its value ended
  std::string Text;     // LY, LS, TJ, TM; a number that is none (OtherValue)
  double Real = 0;      // AMT, APT
  int32_t Number = 0;   // WD and TS (coordinates), TR
  // Why its value is not used; null when it is. ([LY] whose value cannot be read sets
  // no layer instead.)
  const char* Refused = nullptr;
  // Its value, read, is none of its key's values (KivoValueFields.h): told when applied,
  // and a number (AMT, APT, WD, TS, TR) is not used. Text then holds what stood there.
  bool OtherValue = false;
  // Why its value, used as read, ended early (its quote or "(" left open); empty when it
  // did not.
  std::string OpenQuote;
  bool Cut = false;  // its value was cut to its first KivoMaxTokenLength characters
  // Where it ends without its "]": 0 at it, '[' where the next attribute begins, '{'
  // where the next block begins.
  char EndsAt = 0;

  // Whether it sets a field of the drawing state (AMT, APT, LY, LS, WD, TS, TJ, TR, TM).
  bool SetsDrawingState() const { return Key >= kwAMT && Key <= kwTM; }
  // Whether applying it tells something: a value not used or read otherwise than written,
  // a key the reader does not know, a "]" missing.
  bool TellsWhenApplied() const;
};
