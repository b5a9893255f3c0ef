// Pictures as cell values: a value is a string whose bytes are the graphic's stream
// (its SaveToStream output), optionally preceded by an 8-byte blob header (16-bit 1,
// 16-bit $0100, 32-bit count of the bytes that follow). The header is skipped only
// when all three fields hold; otherwise the bytes are read from the first one.
//
// Reading never goes past the value: the bytes are read through a read-only memory
// stream over the string, and the graphic readers check every size against what the
// stream holds. Bytes that are no picture of the class raise EInvalidGraphic, and the
// picture is then empty (never a picture of another value).
#pragma once

#include <string>

#include "classlib/Graphic.h"
#include "classlib/MemoryStreams.h"
#include "classlib/Variants.h"

// A memory stream over memory it does not own (set with SetPointer); Write stores
// nothing and answers 0.
class TMemoryStreamReadOnly : public TCustomMemoryStream {
  KIVO_CLASS(TMemoryStreamReadOnly, TCustomMemoryStream)
 public:
  using TCustomMemoryStream::SetPointer;
};

// True for no picture, a picture without a graphic or with an empty graphic.
bool IsPictureEmpty(TPicture* picture);

// Loads `picture` from `value`: a value that is not a string, or a string of fewer
// than 8 bytes, or one with nothing after its header, empties the picture. Otherwise
// the bytes are read as a graphic of `graphicClass` (a bitmap when null). Raises
// EInvalidGraphic (the picture emptied) when they are no such graphic.
void LoadPictureFromValue(TPicture* picture, TGraphicClass graphicClass, const Variant& value);

// LoadPictureFromValue for painting: a value that does not load leaves the picture
// empty instead of raising, so that a cell shows no picture rather than failing to
// paint. False when the value did not load.
bool LoadPictureForPainting(TPicture* picture, TGraphicClass graphicClass, const Variant& value);

// `s` becomes the stream of the picture's graphic; empty for no or an empty picture.
void SavePictureToString(TPicture* picture, std::string& s);
