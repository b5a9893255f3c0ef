#include "classlib/Variants.h"

#include "classlib/FloatFormat.h"
#include "classlib/SysUtils.h"

std::string Variant::AsString() const {
  struct TToText {
    std::string operator()(std::monostate) const { return {}; }
    std::string operator()(TVariantNull) const { return {}; }
    std::string operator()(bool b) const { return b ? "True" : "False"; }
    std::string operator()(int32_t i) const { return IntToStr(i); }
    std::string operator()(double d) const { return FloatToStr(d); }
    std::string operator()(const std::string& s) const { return s; }
  };
  return std::visit(TToText{}, FValue);
}
