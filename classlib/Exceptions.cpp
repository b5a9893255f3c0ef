#include "classlib/Exceptions.h"

#include <cstdarg>
#include <cstdio>

std::string Format(const char* format, ...) {
  va_list args;
  va_start(args, format);
  char small[256];
  va_list copy;
  va_copy(copy, args);
  int length = vsnprintf(small, sizeof small, format, copy);
  va_end(copy);
  std::string result;
  if (length < 0) {
    va_end(args);
    return result;
  }
  if (static_cast<size_t>(length) < sizeof small) {
    result.assign(small, length);
  } else {
    result.resize(length);
    vsnprintf(result.data(), length + 1, format, args);
  }
  va_end(args);
  return result;
}

void ListIndexError(int index) { throw EListError(Format("List index out of bounds (%d)", index)); }

void AbstractError() { throw EAbstractError("Abstract Error"); }
