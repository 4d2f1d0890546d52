#include "platform/vbscript/number_format.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace vbs::numfmt {

std::string format(double value, const Options& o) {
  bool negative = value < 0;
  std::string intPart = "0", frac;
  if (value != 0 && std::isfinite(value)) {
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.14e", std::fabs(value));
    std::string digits;
    const char* p = buf;
    for (; *p && *p != 'e'; ++p)
      if (*p >= '0' && *p <= '9') digits.push_back(*p);
    int exp = std::atoi(p + 1);
    if (exp >= 0) {
      if (static_cast<size_t>(exp) + 1 >= digits.size()) {
        intPart = digits + std::string(exp + 1 - digits.size(), '0');
      } else {
        intPart = digits.substr(0, exp + 1);
        frac = digits.substr(exp + 1);
      }
    } else {
      frac = std::string(static_cast<size_t>(-exp - 1), '0') + digits;
    }
  }
  // Round at o.digits.
  if (frac.size() > static_cast<size_t>(o.digits)) {
    bool up = frac[o.digits] >= '5';
    frac.resize(o.digits);
    if (up) {
      int i = static_cast<int>(frac.size()) - 1;
      for (; i >= 0; --i) {
        if (frac[i] == '9')
          frac[i] = '0';
        else {
          ++frac[i];
          break;
        }
      }
      if (i < 0) {
        int k = static_cast<int>(intPart.size()) - 1;
        for (; k >= 0; --k) {
          if (intPart[k] == '9')
            intPart[k] = '0';
          else {
            ++intPart[k];
            break;
          }
        }
        if (k < 0) intPart.insert(intPart.begin(), '1');
      }
    }
  }
  frac.resize(o.digits, '0');
  size_t nz = intPart.find_first_not_of('0');
  intPart = nz == std::string::npos ? "0" : intPart.substr(nz);
  if (intPart == "0" && frac.find_first_not_of('0') == std::string::npos) negative = false;

  std::string body;
  if (intPart == "0" && !o.leadingZero && o.digits > 0) {
    body.clear();
  } else if (o.group) {
    size_t n = intPart.size();
    for (size_t i = 0; i < n; ++i) {
      body.push_back(intPart[i]);
      size_t left = n - 1 - i;
      if (left && left % 3 == 0) body.push_back(',');
    }
  } else {
    body = intPart;
  }
  if (o.digits > 0) body += "." + frac;
  body = o.prefix + body + o.suffix;
  if (negative) body = o.parens ? "(" + body + ")" : "-" + body;
  return body;
}

}  // namespace vbs::numfmt
