// The largest sizes and counts a stored form or layout may give the tree list's bands,
// columns and header, and the editors of its column kinds: a width or height no screen can need (100000 pixels, what the
// sizing treats as practically unbounded) and more header rows or lines than any header
// shows. Values within them read back exactly; larger ones are cut down as they are
// read, so that a damaged or hostile file can neither overflow the sums of widths and
// heights nor ask for a bitmap no system makes, which would leave the control
// unpaintable.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>

#include "classlib/PublishedProperties.h"

constexpr int32_t kDxMaxStoredSize = 100000;  // pixels: widths, minimum widths, row heights
constexpr int32_t kDxMaxStoredCount = 1000;   // header rows, band rows, header lines, row indexes

inline int32_t LimitStoredSize(int32_t value) { return std::min(value, kDxMaxStoredSize); }
inline int32_t LimitStoredCount(int32_t value) { return std::min(value, kDxMaxStoredCount); }

// A published ordinal property whose value, when it is read from a stored form, is cut
// down to `Limit` before `Setter` sees it (the setter keeps its own lower bound), and
// raised to `Low` when one is given.
template <auto Getter, auto Setter, int32_t Limit, int32_t Low = INT32_MIN>
TPropInfo LimitedOrdinalProperty(const char* name, std::optional<int32_t> defaultValue = std::nullopt) {
  using C = typename propinfo_detail::TMemberTraits<decltype(Setter)>::Class;
  TPropInfo info = OrdinalProperty<Getter, Setter>(name, defaultValue);
  info.SetOrd = [](TObject* instance, int32_t value) {
    (static_cast<C*>(instance)->*Setter)(std::clamp(value, Low, Limit));
  };
  return info;
}

// The two kinds of limit by name.
template <auto Getter, auto Setter>
TPropInfo StoredSizeProperty(const char* name, std::optional<int32_t> defaultValue = std::nullopt) {
  return LimitedOrdinalProperty<Getter, Setter, kDxMaxStoredSize>(name, defaultValue);
}
template <auto Getter, auto Setter>
TPropInfo StoredCountProperty(const char* name, std::optional<int32_t> defaultValue = std::nullopt) {
  return LimitedOrdinalProperty<Getter, Setter, kDxMaxStoredCount>(name, defaultValue);
}

// The sizes and counts of a column kind's editor (edit-button and popup widths, a
// list's rows), whose setters keep no bound of their own: read back within 0 and the
// limit, since a negative one means nothing and is as unpaintable as a huge one.
template <auto Getter, auto Setter>
TPropInfo StoredEditorSizeProperty(const char* name, std::optional<int32_t> defaultValue = std::nullopt) {
  return LimitedOrdinalProperty<Getter, Setter, kDxMaxStoredSize, 0>(name, defaultValue);
}
template <auto Getter, auto Setter>
TPropInfo StoredEditorCountProperty(const char* name, std::optional<int32_t> defaultValue = std::nullopt) {
  return LimitedOrdinalProperty<Getter, Setter, kDxMaxStoredCount, 0>(name, defaultValue);
}
