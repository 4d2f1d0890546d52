// Mathematical functions, Hex/Oct, RGB and the random-number generator.
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/date_math.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

// Argument for the floating-point functions (Sqr, Log, Sin ...): it must
// convert to a Double, so Null raises 94.
bool doubleArg(Context& cx, Args a, size_t i, double& out) {
  Value v = plain(cx, a[i]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  out = v.toDouble();
  return true;
}

Value checked(double d) {
  if (std::isnan(d)) raise(err::InvalidProcedureCall);
  if (std::isinf(d)) raise(err::Overflow);
  return Value(d);
}

template <double (*F)(double)>
Value unary(Context& cx, Args a) {
  double d;
  if (!doubleArg(cx, a, 0, d)) return Value::null();
  return checked(F(d));
}

Value fnLog(Context& cx, Args a) {
  double d;
  if (!doubleArg(cx, a, 0, d)) return Value::null();
  if (d <= 0) raise(err::InvalidProcedureCall);
  return Value(std::log(d));
}

Value fnSqr(Context& cx, Args a) {
  double d;
  if (!doubleArg(cx, a, 0, d)) return Value::null();
  if (d < 0) raise(err::InvalidProcedureCall);
  return Value(std::sqrt(d));
}

Value fnExp(Context& cx, Args a) {
  double d;
  if (!doubleArg(cx, a, 0, d)) return Value::null();
  double r = std::exp(d);
  if (std::isinf(r)) raise(err::Overflow);
  return Value(r);
}

Value fnTan(Context& cx, Args a) {
  double d;
  if (!doubleArg(cx, a, 0, d)) return Value::null();
  return checked(std::tan(d));
}

// Abs, Int, Fix and Round keep the numeric subtype of their argument.
// Strings become Double, Boolean and Empty become Integer.
Value numericArg(Context& cx, const Value& raw) {
  Value v = plain(cx, raw);
  switch (v.type()) {
    case Type::Null: return v;
    case Type::Empty: return Value(int16_t(0));
    case Type::Boolean: return Value(int16_t(v.asBool() ? -1 : 0));
    case Type::String: return Value(v.toDouble());
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency:
    case Type::Date: return v;
    default: raise(err::TypeMismatch);
  }
}

Value fnAbs(Context& cx, Args a) {
  Value v = numericArg(cx, a[0]);
  switch (v.type()) {
    case Type::Null:
    case Type::Byte: return v;
    case Type::Integer: return Value::integral(std::abs(static_cast<int64_t>(v.asInteger())));
    case Type::Long: {
      int64_t n = std::abs(static_cast<int64_t>(v.asLong()));
      return n > INT32_MAX ? Value(static_cast<double>(n)) : Value(static_cast<int32_t>(n));
    }
    case Type::Single: return Value(std::fabs(v.asSingle()));
    case Type::Currency: {
      int64_t s = v.asCurrency().scaled;
      if (s == INT64_MIN) raise(err::Overflow);
      return Value(Currency{s < 0 ? -s : s});
    }
    case Type::Date: return Value(Date{std::fabs(v.asDate())});
    default: return Value(std::fabs(v.asDouble()));
  }
}

template <double (*Round)(double)>
Value intFix(Context& cx, Args a) {
  Value v = numericArg(cx, a[0]);
  switch (v.type()) {
    case Type::Null:
    case Type::Byte:
    case Type::Integer:
    case Type::Long: return v;
    case Type::Single: return Value(static_cast<float>(Round(v.asSingle())));
    case Type::Currency: {
      double d = static_cast<double>(v.asCurrency().scaled) / Currency::kScale;
      return Value(Currency{static_cast<int64_t>(Round(d)) * Currency::kScale});
    }
    case Type::Date: return Value(Date{Round(v.asDate())});
    default: return Value(Round(v.asDouble()));
  }
}

double floorD(double d) { return std::floor(d); }
double atanD(double d) { return std::atan(d); }
double cosD(double d) { return std::cos(d); }
double sinD(double d) { return std::sin(d); }
double truncD(double d) { return std::trunc(d); }

// Round half to even at `digits` decimals.  The scaled value is first
// reduced to 15 significant digits so that 2.675 (really 2.67499999...)
// rounds as the decimal text reads.
double roundTo(double d, int digits) {
  if (digits == 0) return std::nearbyint(d);
  double scale = std::pow(10.0, digits);
  double y = d * scale;
  if (!std::isfinite(y)) return d;
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", y);
  y = std::strtod(buf, nullptr);
  return std::nearbyint(y) / scale;
}

Value fnRound(Context& cx, Args a) {
  if (plain(cx, a[0]).type() == Type::Boolean) return plain(cx, a[0]);
  Value v = numericArg(cx, a[0]);
  int32_t digits = 0;
  if (!a.isMissing(1)) {
    Value dv = plain(cx, a[1]);
    if (dv.isNull()) raise(err::InvalidUseOfNull);
    digits = dv.toLong();
  }
  if (digits < 0) raise(err::InvalidProcedureCall);
  if (digits > 22) digits = 22;
  switch (v.type()) {
    case Type::Null:
    case Type::Byte:
    case Type::Integer:
    case Type::Long: return v;
    case Type::Single: return Value(static_cast<float>(roundTo(v.asSingle(), digits)));
    case Type::Currency: {
      if (digits >= 4) return v;
      int64_t unit = 1;
      for (int i = digits; i < 4; ++i) unit *= 10;
      int64_t s = v.asCurrency().scaled, q = s / unit, rem = s % unit;
      int64_t half = unit / 2;
      int64_t arem = rem < 0 ? -rem : rem;
      if (arem > half || (arem == half && (q & 1))) q += s < 0 ? -1 : 1;
      return Value(Currency{q * unit});
    }
    case Type::Date: return Value(Date{roundTo(v.asDate(), digits)});
    default: return Value(roundTo(v.asDouble(), digits));
  }
}

Value fnSgn(Context& cx, Args a) {
  Value v = numericArg(cx, a[0]);
  if (v.isNull()) raise(err::InvalidUseOfNull);
  double d = v.toDouble();
  return Value(static_cast<int16_t>(d > 0 ? 1 : d < 0 ? -1 : 0));
}

// Hex and Oct: Integer and Byte values print 16 bits, others 32 bits.
template <int Base>
Value hexOct(Context& cx, Args a) {
  Value v = plain(cx, a[0]);
  if (v.isNull()) return Value::null();
  if (v.isEmpty()) return Value(u"0");
  uint32_t bits;
  if (v.type() == Type::Integer)
    bits = static_cast<uint16_t>(v.asInteger());
  else if (v.type() == Type::Byte || v.type() == Type::Boolean)
    bits = static_cast<uint16_t>(v.toInteger());
  else
    bits = static_cast<uint32_t>(v.toLong());
  char buf[16];
  std::snprintf(buf, sizeof buf, Base == 16 ? "%X" : "%o", bits);
  return Value(ascii(buf));
}

Value fnRGB(Context& cx, Args a) {
  int32_t c[3];
  for (size_t i = 0; i < 3; ++i) {
    Value v = plain(cx, a[i]);
    if (v.isNull()) raise(err::InvalidUseOfNull);
    c[i] = v.toLong();
    if (c[i] < 0) raise(err::InvalidProcedureCall);
    if (c[i] > 255) c[i] = 255;
  }
  return Value(static_cast<int32_t>(c[0] | c[1] << 8 | c[2] << 16));
}

// ---- Rnd / Randomize ----
//
// The language's generator: a 24-bit linear congruential sequence.  The
// state lives per engine so that two engines do not disturb each other.

struct RandomState {
  uint32_t seed = 327680;
};
const char kRandomKey = 0;

float nextRandom(RandomState& st) {
  st.seed = (st.seed * 16598013u + 12820163u) & 0xFFFFFFu;
  return static_cast<float>(st.seed) / 16777216.0f;
}

Value fnRnd(Context& cx, Args a) {
  auto& st = cx.moduleState<RandomState>(&kRandomKey);
  if (!a.isMissing(0)) {
    Value v = plain(cx, a[0]);
    if (v.isNull()) raise(err::InvalidUseOfNull);
    float f = v.toSingle();
    if (f < 0) {
      uint32_t bits;
      std::memcpy(&bits, &f, sizeof bits);
      st.seed = (bits + (bits >> 24)) & 0xFFFFFFu;
    } else if (f == 0) {
      return Value(static_cast<float>(st.seed) / 16777216.0f);
    }
  }
  return Value(nextRandom(st));
}

// Randomize [n]: the high half of the Double's bits, folded to 16 bits,
// becomes the middle of the seed; the low byte of the old seed stays.
void randomize(RandomState& st, double d) {
  uint64_t bits;
  std::memcpy(&bits, &d, sizeof bits);
  uint32_t hi = static_cast<uint32_t>(bits >> 32);
  hi ^= hi >> 16;
  st.seed = ((hi & 0xFFFFu) << 8) | (st.seed & 0xFFu);
}

Value fnRandomize(Context& cx, Args a) {
  auto& st = cx.moduleState<RandomState>(&kRandomKey);
  double d;
  if (a.isMissing(0)) {
    d = dates::secondsSinceMidnight();
  } else {
    Value v = plain(cx, a[0]);
    if (v.isNull()) raise(err::InvalidUseOfNull);
    d = v.toDouble();
  }
  randomize(st, d);
  return {};
}

}  // namespace

void register_builtins_math(Registry& r) {
  r.addFunction(u"Abs", 1, 1, fnAbs);
  r.addFunction(u"Atn", 1, 1, unary<atanD>);
  r.addFunction(u"Cos", 1, 1, unary<cosD>);
  r.addFunction(u"Sin", 1, 1, unary<sinD>);
  r.addFunction(u"Tan", 1, 1, fnTan);
  r.addFunction(u"Exp", 1, 1, fnExp);
  r.addFunction(u"Log", 1, 1, fnLog);
  r.addFunction(u"Sqr", 1, 1, fnSqr);
  r.addFunction(u"Int", 1, 1, intFix<floorD>);
  r.addFunction(u"Fix", 1, 1, intFix<truncD>);
  r.addFunction(u"Round", 1, 2, fnRound);
  r.addFunction(u"Sgn", 1, 1, fnSgn);
  r.addFunction(u"Hex", 1, 1, hexOct<16>);
  r.addFunction(u"Oct", 1, 1, hexOct<8>);
  r.addFunction(u"RGB", 3, 3, fnRGB);
  r.addFunction(u"Rnd", 0, 1, fnRnd);
  r.addFunction(u"Randomize", 0, 1, fnRandomize);
}

}  // namespace vbs
