#include "importer/KivoValueFields.h"

#include <algorithm>

#include "classlib/Strings.h"
#include "classlib/SysUtils.h"

namespace {

using enum TKivoValueKind;

constexpr const char* kDatabaseTypes[] = {"PC-Board", "Schematic"};
constexpr const char* kUnits[] = {"CMM", "MM", "UM", "CENTIMIL", "MIL"};
constexpr const char* kFlags[] = {"-2", "-1", "0"};
constexpr const char* kLineStyles[] = {"SOLID", "DASHED", "DOTTED"};
constexpr const char* kJustifications[] = {"L",  "C",  "R",  "LT", "LC", "LB",
                                           "CT", "CC", "CB", "RT", "RC", "RB"};
constexpr const char* kYesNo[] = {"Y", "N"};
constexpr const char* kSides[] = {"T", "B"};
constexpr const char* kOutlines[] = {"1", "2"};

constexpr char kPassedOver[] = "it was passed over";
constexpr char kWhole[] = "a whole number";
constexpr char kNumber[] = "a number";
constexpr char kLength[] = "a length of 0 or more within the board's range";

constexpr TKivoValueField kFields[] = {
    {"DBTYPE", WordsAnyCase, kDatabaseTypes, "one of PC-Board and Schematic", kPassedOver},
    {"DBUNIT", Words, kUnits, "one of the units CMM, MM, UM, CENTIMIL and MIL", kPassedOver},
    {"DBGRID", Whole, {}, "a whole number above 0", "a grid of %s was used"},
    {"Layer number of LYRSTR", Whole, {}, kWhole, "the layer was declared without it"},
    {"Value of LYRPHID", Whole, {}, kWhole, kPassedOver},
    {"Value of SSYMTBL", Whole, {}, kWhole, kPassedOver},
    {"Flag of SSYMTBL", Whole, kFlags, "one of -2, -1 and 0", "it was taken as 0"},
    {"Value of APR", Whole, {}, kWhole, kPassedOver},
    {"PCLR", Number, {}, kNumber, kPassedOver},
    {"POLYAP", Number, {}, kNumber, kPassedOver},
    {"PSIZ", Number, {}, kNumber, kPassedOver},
    {"ROTP", Number, {}, kNumber, kPassedOver},
    {"AMT", Number, {}, kNumber, kPassedOver},
    {"APT", Number, {}, kNumber, kPassedOver},
    {"LS", WordsAnyCase, kLineStyles, "one of SOLID, DASHED and DOTTED",
     "the lines after it were taken as solid"},
    {"WD", Length, {}, kLength, kPassedOver},
    {"TS", Length, {}, kLength, kPassedOver},
    {"TJ", Words, kJustifications,
     "one of L, C and R, alone or followed by one of T, C and B", "it was taken as \"%s\""},
    {"TR", Whole, {}, kWhole, kPassedOver},
    {"TM", Words, kYesNo, "one of Y and N", "it was taken as \"%s\""},
    {"Index of PAD", Whole, {}, kWhole, "the PAD was left out"},
    {"SMD", Words, kYesNo, "one of Y and N", "its pads were made through-hole"},
    {"Drill text", Whole, {}, kWhole, "its through-hole pads and vias take a hole of %s"},
    {"Pad stack index", Whole, {}, kWhole, "the pin takes no PAD of the pad stack"},
    {"Pad stack index", Whole, {}, kWhole, "the via keeps the host's size and hole"},
    {"Outline kind", Whole, kOutlines, "one of 1 and 2",
     "the polygon keeps the host's outline width and grid"},
    {"RO", Whole, {}, kWhole, kPassedOver},
    {"PA", Whole, {}, kWhole, kPassedOver},
    {"MR", Words, kYesNo, "one of Y and N", "the component was not mirrored"},
    {"PS", Words, kSides, "one of T and B", "the component was placed on the bottom side"},
    {"SC", Whole, {}, kWhole, kPassedOver},
    {"UN", Words, {}, "the file's unit (its DBUNIT)",
     "the component's values were read in the file's unit"},
};
static_assert(std::size(kFields) == kfCount, "a row for each field");

}  // namespace

std::span<const TKivoValueField> KivoValueFields() { return kFields; }

bool IsKivoWord(const TKivoValueField& field, std::string_view value) {
  return std::any_of(field.Words.begin(), field.Words.end(), [&](const char* word) {
    return field.Kind == WordsAnyCase ? SameText(value, word) : value == word;
  });
}

bool TryKivoWholeNumber(std::string_view text, int32_t& value) {
  const auto blank = [](char c) { return c == ' ' || c == '\t'; };
  while (!text.empty() && blank(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && blank(text.back()))
    text.remove_suffix(1);
  return TryStrToInt(text, value);
}

std::string KivoJustificationTaken(std::string_view value) {
  const char h = value.size() > 0 ? value[0] : 0, v = value.size() > 1 ? value[1] : 0;
  return {h == 'C' || h == 'R' ? h : 'L', v == 'T' || v == 'C' ? v : 'B'};
}
