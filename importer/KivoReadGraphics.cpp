#include "importer/KivoFile.h"

#include <algorithm>

#include "importer/KivoReading.h"
#include "importer/KivoReadingHooks.h"
#include "importer/ReportManager.h"

using namespace KivoReading;

void TKivoFile::ParseGraphics(const TKivoLevelKind& kind, TKivoObjectList& list,
                              std::initializer_list<int> skipped) {
  const TKivoLevels::TScope level(FLevels, kind);
  for (int code; FLevels.Next(code);) {
    if (std::find(skipped.begin(), skipped.end(), code) != skipped.end())
      FLevels.Skip(code, TKivoContent::Anything);
    else if (code == kwW || !ParseGraphic(code, list))
      FLevels.NotRead(code);
  }
}

bool TKivoFile::ParseGraphic(int code, TKivoObjectList& list) {
  switch (code) {
    case kwARC: {
      auto arc = std::make_unique<TKivoArc>(&FDisplay);
      BeginObject();
      const int32_t cx = ReadNextKivoCoord(), cy = ReadNextKivoCoord();
      const int32_t sx = ReadNextKivoCoord(), sy = ReadNextKivoCoord();
      const int32_t ex = ReadNextKivoCoord(), ey = ReadNextKivoCoord();
      arc->SetCentre({cx, cy});
      arc->SetStartPoint({sx, sy});
      arc->SetEndPoint({ex, ey});
      if (Kept("Arc"))
        list.push_back(std::move(arc));
      break;
    }
    case kwC: {
      auto circle = std::make_unique<TKivoCircle>(&FDisplay);
      BeginObject();
      const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
      circle->SetCentre({x, y});
      circle->SetRadius(ReadNextKivoCoord());
      if (Kept("Circle", circle->GetRadius() < 0, "its radius is negative"))
        list.push_back(std::move(circle));
      break;
    }
    case kwFR: {
      auto rect = std::make_unique<TKivoFilledRect>(&FDisplay);
      BeginObject();
      const int32_t x1 = ReadNextKivoCoord(), y1 = ReadNextKivoCoord();
      const int32_t x2 = ReadNextKivoCoord(), y2 = ReadNextKivoCoord();
      rect->SetCorner1({x1, y1});
      rect->SetCorner2({x2, y2});
      if (Kept("Filled rectangle"))
        list.push_back(std::move(rect));
      break;
    }
    case kwR: {
      auto line = std::make_unique<TKivoLine>(&FDisplay);
      BeginObject();
      const int32_t x1 = ReadNextKivoCoord(), y1 = ReadNextKivoCoord();
      const int32_t x2 = ReadNextKivoCoord(), y2 = ReadNextKivoCoord();
      line->GetVertices().reserve(5);
      line->AddVertex(x1, y1);
      line->AddVertex(x2, y1);
      line->AddVertex(x2, y2);
      line->AddVertex(x1, y2);
      line->AddVertex(x1, y1);
      if (Kept("Rectangle"))
        list.push_back(std::move(line));
      break;
    }
    case kwL:
    case kwW: {
      auto line = std::make_unique<TKivoLine>(&FDisplay);
      BeginObject();
      ReadLineVertices(code, *line);
      if (Kept("Line"))
        list.push_back(std::move(line));
      return true;  // the block is closed
    }
    case kwT: {
      auto text = std::make_unique<TKivoText>(&FDisplay);
      const int64_t at = FFile.Position();
      const bool parsed = ParseText(*text);
      if (TKivoReadingHooks* const hooks = FFile.Hooks();
          __builtin_expect(hooks != nullptr, 0))
        hooks->TextRead(*text);
      if (parsed && KeptDescribed([&] { return "Text \"" + text->GetText() + "\""; })) {
        if (__builtin_expect(FInPadDefinition, 0))
          NoteDrillText(*text, at);
        list.push_back(std::move(text));
      }
      break;
    }
    case kwPOLY: {
      auto poly = std::make_unique<TKivoPoly>(&FDisplay);
      TLayerCounts* const layer = Counting();  // its layer, whatever [LY] it holds
      ParsePoly(*poly);
      if (Placeable("Polygon", poly->GetVertices().empty(), "its outline has no points")) {
        CountOn(layer);
        list.push_back(std::move(poly));
      }
      return true;
    }
    case kwPV:
      ReportPolygonVoid();
      return true;
    case kwCV:
      ReportCircleVoid();
      break;
    default:
      return false;
  }
  FLevels.Skip(code, TKivoContent::Values);
  return true;
}

bool TKivoFile::ReadPolyPoints(std::vector<TKivoPoint>& points) {
  const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
  points.push_back({x, y});
  for (;;) {
    // A comment line among the points is passed, as between blocks: a "}" missing
    // before it then leaves the block after it to be read where it belongs.
    SkipListGap(FFile);
    // A block or an attribute where a point was looked for (after a coordinate that
    // could not be read, or after a whole point): the list's "}" is missing. Read as
    // coordinates, the block's numbers became points and the block was lost untold;
    // the skip after the list gives it back to the level that reads it. A quoted or
    // bracketed value there is no point either: the skip passes it whole, as it passes
    // the same bytes anywhere (its "}" is not the list's).
    if (IsOpeningHeldBack(FFile) || __builtin_expect(ValueBeginsNext(FFile), 0))
      return false;
    const int code = ReadWord();
    if (code == kwCloseBrace)
      return true;
    if (code == kwEmpty)
      return false;
    const int32_t nx = ReadKivoCoord();
    points.push_back({nx, ReadNextKivoCoord()});
  }
}

void TKivoFile::ReadLineVertices(int code, TKivoLine& line) {
  // Read into a reused list and copied once at the exact size: a model of many lines
  // then holds no spare capacity and reading makes no growth copies.
  FPointScratch.clear();
  const bool closed = ReadPolyPoints(FPointScratch);
  line.GetVertices().assign(FPointScratch.begin(), FPointScratch.end());
  if (!closed)
    FLevels.Skip(code, TKivoContent::Values);
}

void TKivoFile::ParsePoly(TKivoPoly& poly) {
  // Only the outline's numbers decide whether the polygon is placed; the voids' are
  // only reported.
  bool outlineUnreadable = false, outlineBeyondRange = false, outlineUnscaled = false;
  int64_t outlineUnreadableAt = -1;
  const TKivoLevels::TScope level(FLevels, KivoLevel::Polygon);
  for (int code; FLevels.Next(code);) {
    switch (code) {
      case kwOL: {
        // An outline kind that cannot be read leaves the host's, as any unknown kind.
        const int32_t kind = ReadIntegerValue(FFile);
        const bool readable = !GetNumberError(FFile);
        if (readable)
          poly.SetOutlineKind(kind);
        if (__builtin_expect(!readable || (kind != 1 && kind != 2), 0))
          TellValue(kfOL, ReadNumberText(), FFile.Position(), "polygon");
        BeginObject();
        // Through the reused list, as a line's vertices: no spare capacity is kept.
        TKivoPoints& vertices = poly.GetVertices();
        FPointScratch.assign(vertices.begin(), vertices.end());
        const bool closed = ReadPolyPoints(FPointScratch);
        vertices.assign(FPointScratch.begin(), FPointScratch.end());
        if (!outlineUnreadable)
          outlineUnreadableAt = FUnreadableAt;
        outlineUnreadable = outlineUnreadable || FUnreadable;
        outlineUnscaled = outlineUnscaled || FUnscaled;
        outlineBeyondRange = outlineBeyondRange || FBeyondRange;
        if (!closed)
          FLevels.Skip(kwOL, TKivoContent::Values);
        break;
      }
      case kwPV:
        ReportPolygonVoid();
        break;
      case kwCV:
        ReportCircleVoid();
        FLevels.Skip(kwCV, TKivoContent::Values);
        break;
      default:
        FLevels.NotRead(code);
        break;
    }
  }
  FUnreadable = outlineUnreadable;
  FUnreadableAt = outlineUnreadableAt;
  FBeyondRange = outlineBeyondRange;
  FUnscaled = outlineUnscaled;
}

void TKivoFile::ReportPolygonVoid() {
  const int64_t at = FFile.Position();
  std::vector<TKivoPoint> points;
  if (!ReadPolyPoints(points))
    FLevels.Skip(kwPV, TKivoContent::Values);
  if (FReport) {
    std::vector<TReportPoint> reported;
    for (const TKivoPoint& p : points)
      reported.push_back({p.X, p.Y});
    FReport->AddLoadWarning(lwPolygonVoid, reported, LineAt(at));
  }
}

void TKivoFile::ReportCircleVoid() {
  const int64_t at = FFile.Position();
  const int32_t x = ReadNextKivoCoord(), y = ReadNextKivoCoord();
  const int32_t radius = ReadNextKivoCoord();
  if (FReport)
    FReport->AddLoadWarning(lwCircleVoid, TReportCircle{x, y, radius}, LineAt(at));
}

bool TKivoFile::ParseText(TKivoText& text) {
  BeginObject();
  const int64_t start = FFile.Position();
  std::string value;
  if (!ReadValue(/*item=*/nullptr, value)) {
    ReportLeftOutAt(start, "Text", NotClosedReason(FFile));
    return false;
  }
  const int64_t from = value.empty() ? start : LastValueStart(FFile);
  const bool quoted = LastValueQuoted(FFile);
  // A quote or "(" left open took the text's position, up to the bracket that ended it.
  if (LastValueLeftOpen(FFile)) {
    ReportLeftOutAt(from, "Text \"" + value.substr(0, kTextValueLength) + "\"",
                    ValueLeftOpenReason(FFile).c_str());
    return false;
  }
  // A bracketed text keeps its brackets, the file's characters, as a bracketed name does
  // ("(A B)" was the text A B). (A value that is empty but for a brace is none.)
  const char held = GetHeldBackChar(FFile);
  if (LastValueBracketed(FFile) && LastValueStart(FFile) >= start &&
      (!value.empty() || (held != '{' && held != '}' && held != ']')))
    value = "(" + value + ")";
  // Its position is the first two numbers after it; the words before them that are no
  // numbers belong to the text, which goes on past its value's end to them. A block or
  // an attribute where a number is looked for ends the search.
  int32_t x = 0, y = 0;
  int64_t to = 0;  // where its position begins
  bool found = false, ranOn = false;
  for (;;) {
    to = FFile.Position() - (GetHeldBackChar(FFile) != 0 ? 1 : 0);
    FBeyondRange = false;
    if (GetHeldBackChar(FFile) == '[')
      break;
    x = ReadNextKivoCoord();
    if (!GetNumberError(FFile) && GetHeldBackChar(FFile) != '[') {
      y = ReadNextKivoCoord();
      found = !GetNumberError(FFile);
    }
    if (found || GetHeldBackChar(FFile) == '[' || GetLastTokenView(FFile).empty() || FFile.Eof())
      break;
    ranOn = true;
  }
  text.SetPosition({x, y});
  // Only the position read last decides whether the text can be placed; one left out is
  // named by its value as read.
  FUnreadable = !found || FBeyondRange;
  FUnreadableAt = -1;  // told where its position was looked for
  if (FUnreadable || !ranOn) {
    if (value.size() > kTextValueLength) {
      if (!FUnreadable)
        ReportTextCut(from, value, kTextValueLength);
      value.resize(kTextValueLength);
    }
    text.SetText(value);
    return true;
  }
  // The file's characters from the value's start to the position, as a quoted value
  // reads them: a quoted text that its last quote closes holds the quotes before it (a
  // text holding a double quote); any other is told.
  bool closed = false;
  std::string whole = ValueTextBetween(FFile, from, to, quoted, kTextLength + 1, closed);
  if (whole.size() > kTextLength) {
    ReportTextCut(from, whole, kTextLength);
    whole.resize(kTextLength);
  }
  if (!closed && FReport)
    FReport->AddLineWarning("Text \"" + whole + "\"", LineAt(from),
                            " goes on after its value: it was read up to its position");
  text.SetText(whole);
  return true;
}

void TKivoFile::ReportTextCut(int64_t position, const std::string& text, size_t kept) {
  if (FReport)
    FReport->AddLineWarning("Text \"" + text.substr(0, kept) + "...\"", LineAt(position),
                            " has more than " + std::to_string(kept) +
                                " characters: only the first " + std::to_string(kept) +
                                " were kept");
}
