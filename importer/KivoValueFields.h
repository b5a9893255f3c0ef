// The enumerated and numeric fields of a KIVO file that the reader takes, each with the
// values it has and what is used when the file gives another: one table, by which the
// reader judges every such value it reads and tells one that is none of its field's
// values with the value, the field, its line and what was used (TKivoFile::TellValue).
// Where the format's own rule gives a value a meaning anyway ("other than T is bottom",
// "Y is surface-mount", the 32 mil hole), files may rely on it: it is kept, and told.
//
// A number is read as the file writes numbers, bare. Where a number is taken from a
// string value (the text of a DRILL text, the first value of a LYRPHID, SSYMTBL or APR
// entry), blanks and tabs around it are not part of it: "35 " and " 35" are 35; any
// other character in the value ("X35", "3 5") makes it no number. A quoted value where
// a number is read bare ({DBGRID "5"}) is no number.
//
// Coordinates and sizes of objects (points, radii, ORG, PL, NL, PLOC) are not in the
// table: an object whose coordinate is no number or lies beyond the board's range is
// left out whole, told with its line (TKivoFile::Placeable); nothing is used instead.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

enum class TKivoValueKind : uint8_t {
  Words,         // one of the field's words, as written
  WordsAnyCase,  // one of the field's words, without regard to case
  Whole,         // a whole number (the field may take only some, as its Values say)
  Number,        // a number, whole or not
  Length,        // a length on the board of 0 or more (read as a coordinate)
};

struct TKivoValueField {
  const char* Name;  // as the report names it: "PS", "Drill text", "Flag of SSYMTBL"
  TKivoValueKind Kind;
  std::span<const char* const> Words;  // Words, WordsAnyCase: the values
  const char* Values;  // what the report says the values are: "one of T and B"
  // What is used instead, as the report says it; "%s" stands for what the reader
  // gives with the warning (the grid or hole used).
  const char* Used;
};

// The fields, by their place in KivoValueFields.
enum TKivoField : uint8_t {
  kfDBTYPE,
  kfDBUNIT,
  kfDBGRID,
  kfLYRSTR,
  kfLYRPHID,
  kfSSYMTBL,
  kfSSYMTBLFlag,
  kfAPR,
  kfPCLR,
  kfPOLYAP,
  kfPSIZ,
  kfROTP,
  kfAMT,
  kfAPT,
  kfLS,
  kfWD,
  kfTS,
  kfTJ,
  kfTR,
  kfTM,
  kfPAD,
  kfSMD,
  kfDrillText,
  kfPT,
  kfV,
  kfOL,
  kfRO,
  kfPA,
  kfMR,
  kfPS,
  kfSC,
  kfUN,
  kfCount
};

// The table, one row for each TKivoField.
std::span<const TKivoValueField> KivoValueFields();
inline const TKivoValueField& KivoValueField(TKivoField field) { return KivoValueFields()[field]; }

// Whether `value`, read as a string, is one of the words of `field` (Words, WordsAnyCase).
bool IsKivoWord(const TKivoValueField& field, std::string_view value);
// A whole number taken from a string value: blanks and tabs around it are not part of it.
bool TryKivoWholeNumber(std::string_view text, int32_t& value);

// What a TJ value that is none of its words is taken as: a first letter other than C
// and R as L (left), a second other than T and C as B (bottom), which leave a text where
// it stands, as the format's rule does with them. (A letter alone, without the second,
// is one of its words: its text has no vertical justification, which leaves it as B.)
std::string KivoJustificationTaken(std::string_view value);
