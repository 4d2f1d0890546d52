// Fixed-point number text for FormatNumber, FormatCurrency, FormatPercent.
#pragma once

#include <string>

namespace vbs::numfmt {

struct Options {
  int digits = 2;           // after the decimal point
  bool leadingZero = true;  // "0.5" rather than ".5"
  bool parens = false;      // "(1.00)" for negatives
  bool group = true;        // "1,234"
  const char* prefix = "";  // "$"
  const char* suffix = "";  // "%"
};

// Rounds half away from zero on the value's 15-significant-digit decimal
// form, as the formatting functions do.
std::string format(double value, const Options& o);

}  // namespace vbs::numfmt
