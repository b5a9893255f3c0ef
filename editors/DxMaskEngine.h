// The mask engine of the mask editor: plain routines over an edit mask, a pattern that
// fixes which characters may stand at each position, inserts literals, converts case
// and shows blanks for positions not yet filled.
//
// Mask positions and text positions are numbered from 1. A mask may end in fields
// after separators: "!999;0;_" is a reverse-filled mask of three optional digits whose
// literals are not saved ("0") and whose blank is "_".
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "classlib/Set.h"

// The module-wide settings shared with the class library.
constexpr char DefaultBlank = '_';
constexpr char MaskFieldSeparator = ';';
constexpr char MaskNoSave = '0';

enum TMaskCharType : uint8_t {
  mcNone,            // beyond the end of the mask
  mcLiteral,         // shown as it is
  mcIntlLiteral,     // "/" and ":", shown as the locale's date and time separators
  mcDirective,       // "!", "<", ">", "\"
  mcMask,            // a required position: "0", "A", "C", "L"
  mcMaskOpt,         // an optional position: "#", "9", "a", "c", "l"
  mcFieldSeparator,  // ";" within the last four positions
  mcField            // the character after a field separator
};

enum TMaskDirective : uint8_t { mdReverseDir, mdUpperCase, mdLowerCase, mdLiteralChar };
using TMaskDirectives = TSet<TMaskDirective>;

// The type of the mask character at `maskOffset`.
TMaskCharType MaskGetCharType(std::string_view mask, int maskOffset);
// The directives in force at `maskOffset`.
TMaskDirectives MaskGetCurrentDirectives(std::string_view mask, int maskOffset);
// The character a literal position shows (an international literal as the locale's
// separator).
char MaskIntlLiteralToChar(char c);

// Whether the value keeps its literals (the field after the first separator is not
// "0"); true without fields.
bool MaskGetMaskSave(std::string_view mask);
// The blank the mask names in its last field, else DefaultBlank.
char MaskGetMaskBlank(std::string_view mask);

// The text position of mask position `maskOffset`: the count of positions up to it
// that are neither directives, separators nor fields. Of the whole mask: the length
// of the text the mask defines.
int MaskOffsetToOffset(std::string_view mask, int maskOffset);
// The mask position of text position `offset`; -1 beyond the mask's text.
int OffsetToMaskOffset(std::string_view mask, int offset);
// Text position `offset` shows a literal or international literal.
bool IsLiteralChar(std::string_view mask, int offset);

// The value laid into the mask: literals inserted, missing positions shown as `blank`;
// a reverse mask fills from the right.
std::string FormatMaskText(std::string_view mask, std::string_view value, char blank);
// The value an edit text holds: blanks dropped, literals dropped unless keepLiterals.
std::string MaskTextValue(std::string_view mask, std::string_view editText, char blank, bool keepLiterals);
// Whether every required position of `text` is filled. On failure `position` is the
// text index (from 0) of the first unfilled required position. A text shorter than the
// mask leaves its missing positions unfilled.
bool MaskValidate(std::string_view mask, std::string_view text, char blank, int& position);
// Whether `c` may stand at a position of mask character `maskChar`.
bool MaskCharAccepts(char maskChar, char c);
// `c` in the case the directives ask for.
char MaskApplyCase(char c, TMaskDirectives directives);
