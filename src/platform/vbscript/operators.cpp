// Arithmetic, comparison and logical operators with VBScript's subtype rules.
#include <cmath>
#include <limits>

#include "platform/vbscript/interp.h"

namespace vbs::detail {

namespace {

enum Rank { RByte = 1, RInt = 2, RLong = 3, RSingle = 4, RDouble = 5, RCur = 6, RDate = 7 };

int rankOf(const Value& v) {
  switch (v.type()) {
    case Type::Byte: return RByte;
    case Type::Integer: return RInt;
    case Type::Long: return RLong;
    case Type::Single: return RSingle;
    case Type::Double: return RDouble;
    case Type::Currency: return RCur;
    case Type::Date: return RDate;
    default: return RDouble;
  }
}

int64_t intOf(const Value& v) {
  switch (v.type()) {
    case Type::Byte: return v.asByte();
    case Type::Integer: return v.asInteger();
    case Type::Long: return v.asLong();
    default: return static_cast<int64_t>(v.toDouble());
  }
}

// Integer result in the given rank, widening on overflow like VBScript.
Value fitInteger(int64_t r, int rank) {
  if (rank == RByte && r >= 0 && r <= 255) return Value(static_cast<uint8_t>(r));
  if (rank <= RInt && r >= INT16_MIN && r <= INT16_MAX) return Value(static_cast<int16_t>(r));
  if (r >= INT32_MIN && r <= INT32_MAX) return Value(static_cast<int32_t>(r));
  return Value(static_cast<double>(r));
}

Value fitFloat(double d, int rank) {
  if (rank == RSingle && std::fabs(d) <= std::numeric_limits<float>::max()) return Value(static_cast<float>(d));
  if (!std::isfinite(d)) raise(err::Overflow);
  return Value(d);
}

Value currencyOf(double d) {
  double s = d * Currency::kScale;
  if (!(std::fabs(s) < 9.2233720368547e18)) raise(err::Overflow);
  return Value(Currency{static_cast<int64_t>(std::nearbyint(s))});
}

double curDouble(const Value& v) {
  return v.type() == Type::Currency ? static_cast<double>(v.asCurrency().scaled) / Currency::kScale : v.toDouble();
}

Value arith(Op op, const Value& a0, const Value& b0) {
  if (a0.isNull() || b0.isNull()) return Value::null();
  if (op == Op::Add) {
    if (a0.isString() && b0.isString()) return Value(a0.asString() + b0.asString());
    if (a0.isString() && b0.isEmpty()) return a0;
    if (b0.isString() && a0.isEmpty()) return b0;
  }
  Value a = a0.toNumeric(), b = b0.toNumeric();
  int ra = rankOf(a), rb = rankOf(b);
  if (ra == RDate || rb == RDate) {
    double x = a.toDouble(), y = b.toDouble();
    switch (op) {
      case Op::Add: return Value(Date{x + y});
      case Op::Sub:
        if (ra == RDate && rb == RDate) return Value(x - y);
        return Value(Date{x - y});
      default: return fitFloat(x * y, RDouble);
    }
  }
  if (ra == RCur || rb == RCur) {
    int other = ra == RCur ? rb : ra;
    double x = curDouble(a), y = curDouble(b);
    double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    if (other == RSingle || other == RDouble) return fitFloat(r, RDouble);
    return currencyOf(r);
  }
  int rank = ra > rb ? ra : rb;
  if (rank <= RLong) {
    int64_t x = intOf(a), y = intOf(b);
    int64_t r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
    return fitInteger(r, rank);
  }
  if (rank == RSingle && (ra == RLong || rb == RLong)) rank = RDouble;
  double x = a.toDouble(), y = b.toDouble();
  double r = op == Op::Add ? x + y : op == Op::Sub ? x - y : x * y;
  return fitFloat(r, rank);
}

Value divide(const Value& a0, const Value& b0) {
  if (a0.isNull() || b0.isNull()) return Value::null();
  Value a = a0.toNumeric(), b = b0.toNumeric();
  double x = curDouble(a), y = curDouble(b);
  if (y == 0) raise(x == 0 ? err::Overflow : err::DivisionByZero);
  double r = x / y;
  if (a.type() == Type::Currency || b.type() == Type::Currency) {
    if (a.type() != Type::Double && b.type() != Type::Double && a.type() != Type::Single && b.type() != Type::Single)
      return currencyOf(r);
  }
  if ((a.type() == Type::Single || b.type() == Type::Single) && rankOf(a) <= RSingle && rankOf(b) <= RSingle &&
      a.type() != Type::Long && b.type() != Type::Long)
    return fitFloat(r, RSingle);
  return fitFloat(r, RDouble);
}

Value intDivMod(Op op, const Value& a0, const Value& b0) {
  if (a0.isNull() || b0.isNull()) return Value::null();
  Value a = a0.toNumeric(), b = b0.toNumeric();
  int64_t x = a.toLong(), y = b.toLong();
  if (y == 0) raise(err::DivisionByZero);
  int64_t r = op == Op::IntDiv ? x / y : x % y;
  int ra = rankOf(a), rb = rankOf(b);
  int rank = (ra <= RInt && rb <= RInt) ? (ra > rb ? ra : rb) : RLong;
  if (rank == RByte) return Value(static_cast<uint8_t>(r));
  if (rank == RInt && r >= INT16_MIN && r <= INT16_MAX) return Value(static_cast<int16_t>(r));
  if (r < INT32_MIN || r > INT32_MAX) raise(err::Overflow);
  return Value(static_cast<int32_t>(r));
}

Value power(const Value& a0, const Value& b0) {
  if (a0.isNull() || b0.isNull()) return Value::null();
  double x = a0.toNumeric().toDouble(), y = b0.toNumeric().toDouble();
  double r = std::pow(x, y);
  if (std::isnan(r)) raise(err::InvalidProcedureCall);
  if (std::isinf(r)) raise(x == 0 ? err::DivisionByZero : err::Overflow);
  return Value(r);
}

constexpr size_t kMaxString = size_t(1) << 25;  // 32M UTF-16 units

Value concat(const Value& a, const Value& b) {
  if (a.isNull() && b.isNull()) return Value::null();
  if ((a.isString() ? a.asString().size() : 0) + (b.isString() ? b.asString().size() : 0) > kMaxString)
    raise(err::OutOfStringSpace);
  std::u16string s = a.toConcatString();
  if (b.isString())
    s += b.asString();
  else
    s += b.toConcatString();
  return Value(std::move(s));
}

// Logical / bitwise operators.
enum class LogicKind { Bool, Int };

int logicRank(const Value& v) {
  switch (v.type()) {
    case Type::Byte: return RByte;
    case Type::Integer:
    case Type::Empty:
    case Type::Boolean: return RInt;
    default: return RLong;
  }
}

int32_t logicInt(const Value& v) {
  switch (v.type()) {
    case Type::Boolean: return v.asBool() ? -1 : 0;
    case Type::Empty: return 0;
    case Type::Byte: return v.asByte();
    case Type::Integer: return v.asInteger();
    case Type::Long: return v.asLong();
    case Type::String: {
      const auto& s = v.asString();
      if (equalsNoCase(s, u"true")) return -1;
      if (equalsNoCase(s, u"false")) return 0;
      return v.toLong();
    }
    default: return v.toLong();
  }
}

int32_t applyLogic(Op op, int32_t x, int32_t y) {
  switch (op) {
    case Op::And: return x & y;
    case Op::Or: return x | y;
    case Op::Xor: return x ^ y;
    case Op::Eqv: return ~(x ^ y);
    case Op::Imp: return ~x | y;
    default: return 0;
  }
}

Value logic(Op op, const Value& a, const Value& b) {
  bool an = a.isNull(), bn = b.isNull();
  bool boolResult = (a.type() == Type::Boolean || an) && (b.type() == Type::Boolean || bn);
  auto make = [&](int32_t r, int rank) -> Value {
    if (boolResult) return Value(r != 0);
    if (rank == RByte) return Value(static_cast<uint8_t>(r));
    if (rank == RInt) return Value(static_cast<int16_t>(r));
    return Value(r);
  };
  int rank = 0;
  if (!an) rank = logicRank(a);
  if (!bn) rank = std::max(rank, logicRank(b));
  if (an || bn) {
    if (an && bn) return Value::null();
    int32_t other = logicInt(an ? b : a);
    switch (op) {
      case Op::And: return other == 0 ? make(0, rank) : Value::null();
      case Op::Or: return other == -1 ? make(-1, rank) : Value::null();
      case Op::Imp:
        if (an && other == -1) return make(-1, rank);  // Null Imp True
        if (bn && other == 0) return make(-1, rank);   // False Imp Null
        return Value::null();
      default: return Value::null();
    }
  }
  return make(applyLogic(op, logicInt(a), logicInt(b)), rank);
}

int cmpNum(double x, double y) { return x < y ? -1 : x > y ? 1 : 0; }

int cmpStr(const std::u16string& x, const std::u16string& y) {
  int c = x.compare(y);
  return c < 0 ? -1 : c > 0 ? 1 : 0;
}

double numericForCompare(const Value& v) {
  switch (v.type()) {
    case Type::Empty:
    case Type::Boolean:
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency:
    case Type::Date: return v.toDouble();
    default: raise(err::TypeMismatch);
  }
}

}  // namespace

int compareValues(const Value& a, const Value& b, bool litA, bool litB) {
  if (a.isNull() || b.isNull()) return 2;
  bool as = a.isString(), bs = b.isString();
  if (as && bs) return cmpStr(a.asString(), b.asString());
  if (!as && !bs) {
    if (a.type() == Type::Long && b.type() == Type::Long) return cmpNum(a.asLong(), b.asLong());
    // A Single compares at Single precision: CSng(0.1) = 0.1.
    if ((a.type() == Type::Single || b.type() == Type::Single) && a.type() != Type::Currency &&
        b.type() != Type::Currency) {
      double x = numericForCompare(a), y = numericForCompare(b);
      if (std::fabs(x) <= std::numeric_limits<float>::max() && std::fabs(y) <= std::numeric_limits<float>::max())
        return cmpNum(static_cast<double>(static_cast<float>(x)), static_cast<double>(static_cast<float>(y)));
    }
    return cmpNum(numericForCompare(a), numericForCompare(b));
  }
  const Value& s = as ? a : b;
  const Value& n = as ? b : a;
  bool litN = as ? litB : litA;
  bool litS = as ? litA : litB;
  int sign = as ? 1 : -1;  // result is for (string ? number) when as
  if (n.isEmpty()) return sign * cmpStr(s.asString(), std::u16string());
  if (n.type() == Type::Error || n.isArray() || n.isObject()) raise(err::TypeMismatch);
  if (litN) {
    // Compared with a numeric literal the string is converted; text that
    // is not a number stays greater than any number.
    double d;
    if (!parseNumber(s.asString(), d)) return sign;
    return sign * cmpNum(d, numericForCompare(n));
  }
  if (litS) return sign * cmpStr(s.asString(), n.toString());
  // A number is less than a string.
  return sign;
}

Value evalBinary(Interp&, Op op, const Value& a, const Value& b, bool litA, bool litB) {
  switch (op) {
    case Op::Add:
    case Op::Sub:
    case Op::Mul: return arith(op, a, b);
    case Op::Div: return divide(a, b);
    case Op::IntDiv:
    case Op::Mod: return intDivMod(op, a, b);
    case Op::Pow: return power(a, b);
    case Op::Concat: return concat(a, b);
    case Op::Eq:
    case Op::Ne:
    case Op::Lt:
    case Op::Gt:
    case Op::Le:
    case Op::Ge: {
      int c = compareValues(a, b, litA, litB);
      if (c == 2) return Value::null();
      switch (op) {
        case Op::Eq: return Value(c == 0);
        case Op::Ne: return Value(c != 0);
        case Op::Lt: return Value(c < 0);
        case Op::Gt: return Value(c > 0);
        case Op::Le: return Value(c <= 0);
        default: return Value(c >= 0);
      }
    }
    case Op::Is: {
      if (!a.isObject() || !b.isObject()) raise(err::ObjectRequired);
      return Value(a.asObject() == b.asObject());
    }
    case Op::And:
    case Op::Or:
    case Op::Xor:
    case Op::Eqv:
    case Op::Imp: return logic(op, a, b);
    default: raise(err::SyntaxError);
  }
}

Value evalUnary(Interp&, Op op, const Value& a) {
  if (a.isNull()) return Value::null();
  if (op == Op::Neg) {
    Value v = a.toNumeric();
    switch (v.type()) {
      case Type::Byte: return Value(static_cast<int16_t>(-static_cast<int>(v.asByte())));
      case Type::Integer: return fitInteger(-static_cast<int64_t>(v.asInteger()), RInt);
      case Type::Long: return fitInteger(-static_cast<int64_t>(v.asLong()), RLong);
      case Type::Single: return Value(-v.asSingle());
      case Type::Double: return Value(-v.asDouble());
      case Type::Currency: return Value(Currency{-v.asCurrency().scaled});
      case Type::Date: return Value(Date{-v.asDate()});
      default: raise(err::TypeMismatch);
    }
  }
  if (op == Op::Not) {
    switch (a.type()) {
      case Type::Boolean: return Value(!a.asBool());
      case Type::Empty: return Value(int16_t(-1));
      case Type::Byte: return Value(static_cast<uint8_t>(~a.asByte()));
      case Type::Integer: return Value(static_cast<int16_t>(~a.asInteger()));
      case Type::String: {
        const auto& s = a.asString();
        if (equalsNoCase(s, u"true")) return Value(false);
        if (equalsNoCase(s, u"false")) return Value(true);
        return Value(static_cast<int32_t>(~a.toLong()));
      }
      default: return Value(static_cast<int32_t>(~a.toLong()));
    }
  }
  return a;
}

bool truthy(Interp& in, const Value& v) {
  switch (v.type()) {
    case Type::Boolean: return v.asBool();
    case Type::Null:
    case Type::Empty: return false;
    case Type::Integer: return v.asInteger() != 0;
    case Type::Long: return v.asLong() != 0;
    case Type::Object: return truthy(in, in.defaultValue(v));
    default: return v.toBool();
  }
}

}  // namespace vbs::detail
