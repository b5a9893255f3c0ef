// The entry points of the visual-style library "uxtheme.dll" as function-pointer
// types. The library may be absent, so the code that draws with visual styles binds
// these at run time by name instead of linking to them; the types are the system's
// own declarations, so every binding calls them with the same signatures.
#pragma once

#include "classlib/Win.h"

#include <uxtheme.h>

using TOpenThemeData = decltype(&::OpenThemeData);
using TCloseThemeData = decltype(&::CloseThemeData);
using TDrawThemeBackground = decltype(&::DrawThemeBackground);
using TDrawThemeText = decltype(&::DrawThemeText);
using TGetThemePartSize = decltype(&::GetThemePartSize);
using TGetThemeBackgroundRegion = decltype(&::GetThemeBackgroundRegion);
using TIsThemePartDefined = decltype(&::IsThemePartDefined);
using TIsAppThemed = decltype(&::IsAppThemed);

// The entry `name` of `module` as a pointer of type F; null when the module is null or
// lacks the entry.
template <class F>
F BindEntry(HMODULE module, const char* name) {
  if (!module)
    return nullptr;
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}
