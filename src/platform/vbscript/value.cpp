#include "platform/vbscript/value.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>

#include "platform/vbscript/object.h"

namespace vbs {

// ---------------------------------------------------------------------------
// Errors

namespace {
struct ErrText {
  int32_t number;
  const char16_t* text;
};
constexpr ErrText kErrors[] = {
    {3, u"Return without GoSub"},
    {5, u"Invalid procedure call or argument"},
    {6, u"Overflow"},
    {7, u"Out of memory"},
    {9, u"Subscript out of range"},
    {10, u"This array is fixed or temporarily locked"},
    {11, u"Division by zero"},
    {13, u"Type mismatch"},
    {14, u"Out of string space"},
    {17, u"Can't perform requested operation"},
    {28, u"Out of stack space"},
    {35, u"Sub or Function not defined"},
    {48, u"Error in loading DLL"},
    {51, u"Internal error"},
    {52, u"Bad file name or number"},
    {53, u"File not found"},
    {54, u"Bad file mode"},
    {55, u"File already open"},
    {57, u"Device I/O error"},
    {58, u"File already exists"},
    {61, u"Disk full"},
    {62, u"Input past end of file"},
    {67, u"Too many files"},
    {68, u"Device unavailable"},
    {70, u"Permission denied"},
    {71, u"Disk not ready"},
    {74, u"Can't rename with different drive"},
    {75, u"Path/File access error"},
    {76, u"Path not found"},
    {91, u"Object variable not set"},
    {92, u"For loop not initialized"},
    {94, u"Invalid use of Null"},
    {322, u"Can't create necessary temporary file"},
    {424, u"Object required"},
    {429, u"ActiveX component can't create object"},
    {430, u"Class doesn't support Automation"},
    {432, u"File name or class name not found during Automation operation"},
    {438, u"Object doesn't support this property or method"},
    {440, u"Automation error"},
    {445, u"Object doesn't support this action"},
    {446, u"Object doesn't support named arguments"},
    {447, u"Object doesn't support current locale setting"},
    {448, u"Named argument not found"},
    {449, u"Argument not optional"},
    {450, u"Wrong number of arguments or invalid property assignment"},
    {451, u"Object not a collection"},
    {453, u"Specified DLL function not found"},
    {455, u"Code resource lock error"},
    {457, u"This key is already associated with an element of this collection"},
    {458, u"Variable uses an Automation type not supported in VBScript"},
    {462, u"The remote server machine does not exist or is unavailable"},
    {481, u"Invalid picture"},
    {500, u"Variable is undefined"},
    {501, u"Illegal assignment"},
    {502, u"Object not safe for scripting"},
    {503, u"Object not safe for initializing"},
    {504, u"Object not safe for creating"},
    {505, u"Invalid or unqualified reference"},
    {506, u"Class not defined"},
    {507, u"An exception occurred"},
    {5016, u"Regular Expression object expected"},
    {5017, u"Syntax error in regular expression"},
    {5018, u"Unexpected quantifier"},
    {5019, u"Expected ']' in regular expression"},
    {5020, u"Expected ')' in regular expression"},
    {5021, u"Invalid range in character set"},
    {1001, u"Out of memory"},
    {1002, u"Syntax error"},
    {1003, u"Expected ':'"},
    {1005, u"Expected '('"},
    {1006, u"Expected ')'"},
    {1007, u"Expected ']'"},
    {1010, u"Expected identifier"},
    {1011, u"Expected '='"},
    {1012, u"Expected 'If'"},
    {1013, u"Expected 'To'"},
    {1014, u"Expected 'End'"},
    {1015, u"Expected 'Function'"},
    {1016, u"Expected 'Sub'"},
    {1017, u"Expected 'Then'"},
    {1018, u"Expected 'Wend'"},
    {1019, u"Expected 'Loop'"},
    {1020, u"Expected 'Next'"},
    {1021, u"Expected 'Case'"},
    {1022, u"Expected 'Select'"},
    {1023, u"Expected expression"},
    {1024, u"Expected statement"},
    {1025, u"Expected end of statement"},
    {1026, u"Expected integer constant"},
    {1027, u"Expected 'While' or 'Until'"},
    {1028, u"Expected 'While', 'Until' or end of statement"},
    {1029, u"Expected 'With'"},
    {1030, u"Identifier too long"},
    {1031, u"Invalid number"},
    {1032, u"Invalid character"},
    {1033, u"Unterminated string constant"},
    {1034, u"Unterminated comment"},
    {1037, u"Invalid use of 'Me' keyword"},
    {1038, u"'loop' without 'do'"},
    {1039, u"Invalid 'exit' statement"},
    {1040, u"Invalid 'for' loop control variable"},
    {1041, u"Name redefined"},
    {1042, u"Must be first statement on the line"},
    {1043, u"Cannot assign to non-ByVal argument"},
    {1044, u"Cannot use parentheses when calling a Sub"},
    {1045, u"Expected literal constant"},
    {1046, u"Expected 'In'"},
    {1047, u"Expected 'Class'"},
    {1048, u"Must be defined inside a Class"},
    {1049, u"Expected Let or Set or Get in property declaration"},
    {1050, u"Expected 'Property'"},
    {1051, u"Number of arguments must be consistent across properties"},
    {1052, u"Cannot have multiple default property/method in a Class"},
    {1053, u"Class initialize or terminate do not have arguments"},
    {1054, u"Property Set or Let must have at least one argument"},
    {1055, u"Unexpected 'Next'"},
    {1056, u"'Default' can be specified only on 'Property' or 'Function' or 'Sub'"},
    {1057, u"'Default' must also specify 'Public'"},
    {1058, u"'Default' can only be on Property Get"},
    {err::Timeout, u"Script execution timed out"},
};
}  // namespace

std::u16string errorDescription(int32_t number) {
  for (const auto& e : kErrors)
    if (e.number == number) return e.text;
  return u"Unknown runtime error";
}

bool isCompileError(int32_t number) { return number >= 1001 && number <= 1058; }

ScriptError::ScriptError(int32_t n, std::u16string desc, std::u16string src)
    : std::runtime_error(utf8(desc)), number(n), description(std::move(desc)), source(std::move(src)) {}

void raise(int32_t number) { throw ScriptError(number, errorDescription(number)); }
void raise(int32_t number, std::u16string description) { throw ScriptError(number, std::move(description)); }

// ---------------------------------------------------------------------------
// UTF helpers

std::u16string fromUtf8(std::string_view s) {
  std::u16string out;
  out.reserve(s.size());
  size_t i = 0;
  while (i < s.size()) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    uint32_t cp;
    size_t len;
    if (c < 0x80) {
      cp = c;
      len = 1;
    } else if ((c & 0xE0) == 0xC0) {
      cp = c & 0x1F;
      len = 2;
    } else if ((c & 0xF0) == 0xE0) {
      cp = c & 0x0F;
      len = 3;
    } else if ((c & 0xF8) == 0xF0) {
      cp = c & 0x07;
      len = 4;
    } else {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    if (i + len > s.size()) {
      out.push_back(0xFFFD);
      break;
    }
    bool ok = true;
    for (size_t k = 1; k < len; ++k) {
      unsigned char cc = static_cast<unsigned char>(s[i + k]);
      if ((cc & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (cc & 0x3F);
    }
    if (!ok) {
      out.push_back(0xFFFD);
      ++i;
      continue;
    }
    i += len;
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
      out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
    } else {
      out.push_back(static_cast<char16_t>(cp));
    }
  }
  return out;
}

std::string utf8(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (size_t i = 0; i < s.size(); ++i) {
    uint32_t cp = s[i];
    if (cp >= 0xD800 && cp < 0xDC00 && i + 1 < s.size() && s[i + 1] >= 0xDC00 && s[i + 1] < 0xE000) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (s[i + 1] - 0xDC00);
      ++i;
    }
    if (cp < 0x80)
      out.push_back(static_cast<char>(cp));
    else if (cp < 0x800) {
      out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
      out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
      out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
      out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
  }
  return out;
}

char16_t foldCase(char16_t c) {
  if (c >= u'A' && c <= u'Z') return c + 32;
  if (c < 0xC0) return c;
  if (c <= 0xDE && c != 0xD7) return c + 32;
  if (c >= 0x391 && c <= 0x3A9) return c + 32;  // Greek
  if (c >= 0x410 && c <= 0x42F) return c + 32;  // Cyrillic
  return c;
}

bool equalsNoCase(std::u16string_view a, std::u16string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i] != b[i] && foldCase(a[i]) != foldCase(b[i])) return false;
  return true;
}

std::u16string lowerCase(std::u16string_view s) {
  std::u16string out(s);
  for (auto& c : out) c = foldCase(c);
  return out;
}

size_t NoCaseHash::operator()(std::u16string_view s) const noexcept {
  size_t h = 1469598103934665603ull;
  for (char16_t c : s) {
    h ^= foldCase(c);
    h *= 1099511628211ull;
  }
  return h;
}

// ---------------------------------------------------------------------------
// Value

Value::Value(std::u16string s) : type_(Type::String) { u_.str = new StringRep{1, std::move(s)}; }

Value::Value(Object* o) noexcept : type_(Type::Object) {
  u_.obj = o;
  if (o) o->addRef();
}

Value::Value(Array* a) noexcept : type_(Type::Array) {
  u_.arr = a;
  if (a)
    a->addRef();
  else
    type_ = Type::Empty;
}

Value Value::fromUtf8(std::string_view s) { return Value(vbs::fromUtf8(s)); }

Value Value::integral(int64_t n) noexcept {
  if (n >= INT16_MIN && n <= INT16_MAX) return Value(static_cast<int16_t>(n));
  if (n >= INT32_MIN && n <= INT32_MAX) return Value(static_cast<int32_t>(n));
  return Value(static_cast<double>(n));
}

void Value::addRef() const noexcept {
  switch (type_) {
    case Type::String: ++u_.str->refs; break;
    case Type::Object:
      if (u_.obj) u_.obj->addRef();
      break;
    case Type::Array: u_.arr->addRef(); break;
    default: break;
  }
}

void Value::releaseSlow() noexcept {
  switch (type_) {
    case Type::String:
      if (--u_.str->refs == 0) delete u_.str;
      break;
    case Type::Object:
      if (u_.obj) u_.obj->release();
      break;
    case Type::Array: u_.arr->release(); break;
    default: break;
  }
}

bool Value::isNumber() const noexcept {
  switch (type_) {
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency: return true;
    default: return false;
  }
}

namespace {
const char16_t k1252[32] = {0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
                            0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
                            0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};
}  // namespace

char16_t fromWindows1252(uint8_t b) { return b >= 0x80 && b < 0xA0 ? k1252[b - 0x80] : b; }

int toWindows1252(char16_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return c;
  for (int i = 0; i < 32; ++i)
    if (k1252[i] == c) return 0x80 + i;
  return -1;
}

double roundBankers(double d) {
  return std::nearbyint(d);  // default FP rounding mode is round-half-even
}

namespace {
double stringToDouble(const std::u16string& s) {
  double d;
  if (!parseNumber(s, d)) raise(err::TypeMismatch);
  return d;
}

double boolOrNumberToDouble(const Value& v) {
  switch (v.type()) {
    case Type::Empty: return 0;
    case Type::Boolean: return v.asBool() ? -1 : 0;
    case Type::Byte: return v.asByte();
    case Type::Integer: return v.asInteger();
    case Type::Long: return v.asLong();
    case Type::Single: return v.asSingle();
    case Type::Double: return v.asDouble();
    case Type::Currency: return static_cast<double>(v.asCurrency().scaled) / Currency::kScale;
    case Type::Date: return v.asDate();
    case Type::String: return stringToDouble(v.asString());
    case Type::Null: raise(err::InvalidUseOfNull);
    default: raise(err::TypeMismatch);
  }
}

int64_t roundedInRange(const Value& v, int64_t lo, int64_t hi) {
  switch (v.type()) {
    case Type::Byte: return v.asByte();
    case Type::Integer:
      if (v.asInteger() < lo || v.asInteger() > hi) raise(err::Overflow);
      return v.asInteger();
    case Type::Long:
      if (v.asLong() < lo || v.asLong() > hi) raise(err::Overflow);
      return v.asLong();
    default: break;
  }
  double d = roundBankers(boolOrNumberToDouble(v));
  if (!(d >= static_cast<double>(lo) && d <= static_cast<double>(hi))) raise(err::Overflow);
  return static_cast<int64_t>(d);
}
}  // namespace

bool Value::toBool() const {
  switch (type_) {
    case Type::Empty: return false;
    case Type::Boolean: return u_.b;
    case Type::Null: raise(err::InvalidUseOfNull);
    case Type::String: {
      const auto& s = asString();
      if (equalsNoCase(s, u"true") || equalsNoCase(s, u"#true#")) return true;
      if (equalsNoCase(s, u"false") || equalsNoCase(s, u"#false#")) return false;
      return stringToDouble(s) != 0;
    }
    case Type::Currency: return u_.i64 != 0;
    default: return boolOrNumberToDouble(*this) != 0;
  }
}

uint8_t Value::toByte() const { return static_cast<uint8_t>(roundedInRange(*this, 0, 255)); }
int16_t Value::toInteger() const { return static_cast<int16_t>(roundedInRange(*this, INT16_MIN, INT16_MAX)); }
int32_t Value::toLong() const { return static_cast<int32_t>(roundedInRange(*this, INT32_MIN, INT32_MAX)); }
double Value::toDouble() const { return boolOrNumberToDouble(*this); }

float Value::toSingle() const {
  double d = boolOrNumberToDouble(*this);
  if (std::isfinite(d) && std::fabs(d) > std::numeric_limits<float>::max()) raise(err::Overflow);
  return static_cast<float>(d);
}

Currency Value::toCurrency() const {
  if (type_ == Type::Currency) return asCurrency();
  double d = boolOrNumberToDouble(*this) * Currency::kScale;
  if (!(std::fabs(d) < 9.2233720368547e18)) raise(err::Overflow);
  return Currency{static_cast<int64_t>(roundBankers(d))};
}

double Value::toDate() const {
  if (type_ == Type::String) {
    double serial;
    if (parseDate(asString(), serial)) return serial;
    double d;
    if (parseNumber(asString(), d)) return d;
    raise(err::TypeMismatch);
  }
  double d = boolOrNumberToDouble(*this);
  if (!(d > -657435.0 - 1 && d < 2958466.0)) raise(err::Overflow);
  return d;
}

std::u16string Value::toString() const {
  switch (type_) {
    case Type::Empty: return {};
    case Type::Null: raise(err::InvalidUseOfNull);
    case Type::Boolean: return u_.b ? u"True" : u"False";
    case Type::Byte: return vbs::fromUtf8(std::to_string(u_.by));
    case Type::Integer: return vbs::fromUtf8(std::to_string(u_.i16));
    case Type::Long: return vbs::fromUtf8(std::to_string(u_.i32));
    case Type::Single: return formatSingle(u_.f);
    case Type::Double: return formatDouble(u_.d);
    case Type::Currency: return formatCurrency(asCurrency());
    case Type::Date: return formatDate(u_.d);
    case Type::String: return asString();
    case Type::Error: return u"Error " + vbs::fromUtf8(std::to_string(u_.i32 & 0xFFFF));
    default: raise(err::TypeMismatch);
  }
}

std::u16string Value::toConcatString() const {
  if (type_ == Type::Null || type_ == Type::Empty) return {};
  return toString();
}

Value Value::toNumeric() const {
  switch (type_) {
    case Type::Empty: return Value(int16_t(0));
    case Type::Boolean: return Value(int16_t(u_.b ? -1 : 0));
    case Type::Byte:
    case Type::Integer:
    case Type::Long:
    case Type::Single:
    case Type::Double:
    case Type::Currency:
    case Type::Date: return *this;
    case Type::String: return Value(stringToDouble(asString()));
    case Type::Null: raise(err::InvalidUseOfNull);
    default: raise(err::TypeMismatch);
  }
}

std::u16string typeName(const Value& v) {
  switch (v.type()) {
    case Type::Empty: return u"Empty";
    case Type::Null: return u"Null";
    case Type::Integer: return u"Integer";
    case Type::Long: return u"Long";
    case Type::Single: return u"Single";
    case Type::Double: return u"Double";
    case Type::Currency: return u"Currency";
    case Type::Date: return u"Date";
    case Type::String: return u"String";
    case Type::Object: return v.asObject() ? v.asObject()->typeName() : u"Nothing";
    case Type::Error: return u"Error";
    case Type::Boolean: return u"Boolean";
    case Type::Byte: return u"Byte";
    case Type::Array: return u"Variant()";
  }
  return u"Unknown";
}

// ---------------------------------------------------------------------------
// Array

namespace {
constexpr size_t kMaxArrayElements = size_t(1) << 24;
}

Array* Array::createBounds(std::vector<Bound> bounds) {
  if (bounds.empty() || bounds.size() > 60) raise(err::SubscriptOutOfRange);
  size_t total = 1;
  for (const auto& b : bounds) {
    if (b.count < 0) raise(err::SubscriptOutOfRange);
    if (b.count != 0 && total > kMaxArrayElements / static_cast<size_t>(b.count)) raise(err::OutOfMemory);
    total *= static_cast<size_t>(b.count);
  }
  if (total > kMaxArrayElements) raise(err::OutOfMemory);
  auto* a = new Array();
  a->refs_ = 0;
  a->bounds_ = std::move(bounds);
  a->data_.resize(total);
  return a;
}

Array* Array::create(const std::vector<int32_t>& uppers) {
  std::vector<Bound> b;
  b.reserve(uppers.size());
  for (int32_t u : uppers) {
    if (u < -1) raise(err::SubscriptOutOfRange);
    // An upper bound of the largest integer has more elements than a count can hold.
    if (u == std::numeric_limits<int32_t>::max()) raise(err::OutOfMemory);
    b.push_back({0, u + 1});
  }
  return createBounds(std::move(b));
}

Array* Array::create(int32_t upper) { return create(std::vector<int32_t>{upper}); }

Array* Array::fromValues(std::vector<Value> values) {
  auto* a = new Array();
  a->refs_ = 0;
  a->bounds_ = {{0, static_cast<int32_t>(values.size())}};
  a->data_ = std::move(values);
  return a;
}

Array* Array::createUndimensioned() {
  auto* a = new Array();
  a->refs_ = 0;
  return a;
}

int32_t Array::lbound(int dim) const {
  if (dim < 1 || dim > dimensions()) raise(err::SubscriptOutOfRange);
  return bounds_[dim - 1].lower;
}

int32_t Array::ubound(int dim) const {
  if (dim < 1 || dim > dimensions()) raise(err::SubscriptOutOfRange);
  return bounds_[dim - 1].lower + bounds_[dim - 1].count - 1;
}

Value& Array::at(const int32_t* idx, size_t count) {
  // An empty subscript list never names an element, not even of an array
  // with no dimensions.
  if (count == 0 || count != bounds_.size() || data_.empty()) raise(err::SubscriptOutOfRange);
  size_t offset = 0, stride = 1;
  for (size_t k = 0; k < count; ++k) {
    int64_t rel = static_cast<int64_t>(idx[k]) - bounds_[k].lower;
    if (rel < 0 || rel >= bounds_[k].count) raise(err::SubscriptOutOfRange);
    offset += static_cast<size_t>(rel) * stride;
    stride *= static_cast<size_t>(bounds_[k].count);
  }
  return data_[offset];
}

Array* Array::clone() const { return cloneAt(0); }

Array* Array::cloneAt(int depth) const {
  if (depth > 1000) raise(err::OutOfStackSpace);
  auto* a = new Array();
  a->refs_ = 0;
  a->bounds_ = bounds_;
  try {
    a->data_ = data_;
    for (auto& v : a->data_)
      if (v.isArray()) v = Value(v.asArray()->cloneAt(depth + 1));
  } catch (...) {
    delete a;
    throw;
  }
  return a;
}

namespace {
thread_local int arrayReleaseDepth = 0;
thread_local std::vector<Array*>* pendingArrays = nullptr;
}  // namespace

void Array::destroy() noexcept {
  // Arrays nested in arrays release each other recursively; past a small
  // depth the rest wait in a list the outermost call drains.
  if (arrayReleaseDepth >= 32) {
    if (!pendingArrays) pendingArrays = new std::vector<Array*>();
    pendingArrays->push_back(this);
    return;
  }
  ++arrayReleaseDepth;
  delete this;
  if (arrayReleaseDepth == 1 && pendingArrays) {
    while (!pendingArrays->empty()) {
      Array* a = pendingArrays->back();
      pendingArrays->pop_back();
      delete a;
    }
    delete pendingArrays;
    pendingArrays = nullptr;
  }
  --arrayReleaseDepth;
}

void Array::resizePreserve(const std::vector<int32_t>& uppers) {
  if (uppers.size() != bounds_.size()) raise(err::SubscriptOutOfRange);
  for (size_t k = 0; k + 1 < uppers.size(); ++k)
    if (uppers[k] + 1 != bounds_[k].count + bounds_[k].lower) raise(err::SubscriptOutOfRange);
  int32_t newCount = uppers.back() + 1 - bounds_.back().lower;
  if (newCount < 0) raise(err::SubscriptOutOfRange);
  size_t rest = data_.size() / (bounds_.back().count ? bounds_.back().count : 1);
  if (bounds_.back().count == 0) {
    rest = 1;
    for (size_t k = 0; k + 1 < bounds_.size(); ++k) rest *= bounds_[k].count;
  }
  if (newCount != 0 && rest > kMaxArrayElements / static_cast<size_t>(newCount)) raise(err::OutOfMemory);
  bounds_.back().count = newCount;
  data_.resize(rest * static_cast<size_t>(newCount));
}

// ---------------------------------------------------------------------------
// Formatting

namespace {
std::u16string ascii(const char* s) {
  std::u16string out;
  while (*s) out.push_back(static_cast<char16_t>(*s++));
  return out;
}

std::u16string formatG(double d, int digits) {
  if (std::isnan(d)) return u"NaN";
  if (std::isinf(d)) return d > 0 ? u"Infinity" : u"-Infinity";
  if (d == 0) return u"0";
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.*G", digits, d);
  // Exponent: VBScript writes E+20 / E-07 (at least two digits), as C does.
  return ascii(buf);
}
}  // namespace

std::u16string formatDouble(double d) { return formatG(d, 15); }
std::u16string formatSingle(float f) { return formatG(f, 7); }

std::u16string formatCurrency(Currency c) {
  int64_t v = c.scaled;
  bool neg = v < 0;
  uint64_t u = neg ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
  std::string s = std::to_string(u / 10000);
  uint64_t frac = u % 10000;
  if (frac) {
    char buf[8];
    std::snprintf(buf, sizeof buf, ".%04u", static_cast<unsigned>(frac));
    std::string f = buf;
    while (f.back() == '0') f.pop_back();
    s += f;
  }
  if (neg) s = "-" + s;
  return ascii(s.c_str());
}

// Days from 1970-01-01 for a civil date (H. Hinnant's algorithm).
namespace {
int64_t daysFromCivil(int64_t y, unsigned m, unsigned d) {
  y -= m <= 2;
  const int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<int64_t>(doe) - 719468;
}
void civilFromDays(int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t yy = static_cast<int64_t>(yoe) + era * 400;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yy + (m <= 2));
}
const int64_t kEpochOffset = daysFromCivil(1899, 12, 30);
}  // namespace

double dateSerial(int year, int month, int day) {
  // Months outside 1..12 roll into neighbouring years; days roll freely.
  int64_t y = year, m = month - 1;
  y += m >= 0 ? m / 12 : -((11 - m) / 12);
  m = ((m % 12) + 12) % 12;
  return static_cast<double>(daysFromCivil(y, static_cast<unsigned>(m + 1), 1) - kEpochOffset + (day - 1));
}

double timeSerial(int hour, int minute, int second) {
  return (static_cast<double>(hour) * 3600 + minute * 60 + second) / 86400.0;
}

void splitDate(double serial, int& year, int& month, int& day) {
  // Dates lie within a few million days; a number far beyond is held to a billion days
  // (about 2.7 million years), so that the day arithmetic below stays within its integers.
  constexpr double kFarthestDay = 1e9;
  if (std::isnan(serial)) serial = 0;
  serial = std::clamp(serial, -kFarthestDay, kFarthestDay);
  double whole = std::trunc(serial);
  // Rounding of the time part can carry into the next day.
  double frac = std::fabs(serial - whole);
  if (std::llround(frac * 86400) >= 86400) whole += serial < 0 ? -1 : 1;
  civilFromDays(static_cast<int64_t>(whole) + kEpochOffset, year, month, day);
}

void splitTime(double serial, int& hour, int& minute, int& second) {
  double frac = std::fabs(serial - std::trunc(serial));
  int64_t secs = std::llround(frac * 86400) % 86400;
  hour = static_cast<int>(secs / 3600);
  minute = static_cast<int>(secs / 60 % 60);
  second = static_cast<int>(secs % 60);
}

std::u16string formatDate(double serial) {
  int y, mo, d, h, mi, s;
  splitDate(serial, y, mo, d);
  splitTime(serial, h, mi, s);
  bool hasTime = h || mi || s;
  bool hasDate = std::trunc(serial) != 0 || !hasTime;
  char buf[64];
  std::string out;
  if (hasDate) {
    std::snprintf(buf, sizeof buf, "%d/%d/%d", mo, d, y);
    out = buf;
  }
  if (hasTime) {
    std::snprintf(buf, sizeof buf, "%d:%02d:%02d %s", h % 12 == 0 ? 12 : h % 12, mi, s, h < 12 ? "AM" : "PM");
    if (!out.empty()) out += ' ';
    out += buf;
  }
  return ascii(out.c_str());
}

// ---------------------------------------------------------------------------
// Parsing

namespace {
bool isSpace(char16_t c) { return c == u' ' || c == u'\t' || c == u'\r' || c == u'\n' || c == 0xA0; }
bool isDigit(char16_t c) { return c >= u'0' && c <= u'9'; }
}  // namespace

bool parseNumber(std::u16string_view s, double& out) {
  size_t i = 0, n = s.size();
  while (i < n && isSpace(s[i])) ++i;
  while (n > i && isSpace(s[n - 1])) --n;
  if (i == n) return false;
  if (s[i] == u'&' && i + 1 < n) {
    char16_t k = foldCase(s[i + 1]);
    int base = k == u'h' ? 16 : k == u'o' ? 8 : 0;
    if (!base) return false;
    i += 2;
    if (i == n) return false;
    uint64_t v = 0;
    for (; i < n; ++i) {
      char16_t c = foldCase(s[i]);
      int dgt = isDigit(c) ? c - u'0' : (base == 16 && c >= u'a' && c <= u'f') ? c - u'a' + 10 : -1;
      if (dgt < 0 || dgt >= base) return false;
      v = v * base + dgt;
      if (v > 0xFFFFFFFFull) return false;
    }
    out = static_cast<double>(static_cast<int32_t>(static_cast<uint32_t>(v)));
    return true;
  }
  std::string buf;
  if (s[i] == u'+' || s[i] == u'-') buf.push_back(static_cast<char>(s[i++]));
  while (i < n && isSpace(s[i])) ++i;
  bool digits = false;
  while (i < n && (isDigit(s[i]) || (s[i] == u',' && digits))) {
    if (s[i] != u',') buf.push_back(static_cast<char>(s[i]));
    digits = true;
    ++i;
  }
  if (i < n && s[i] == u'.') {
    buf.push_back('.');
    ++i;
    while (i < n && isDigit(s[i])) {
      buf.push_back(static_cast<char>(s[i++]));
      digits = true;
    }
  }
  if (!digits) return false;
  if (i < n && (foldCase(s[i]) == u'e' || foldCase(s[i]) == u'd')) {
    buf.push_back('e');
    ++i;
    if (i < n && (s[i] == u'+' || s[i] == u'-')) buf.push_back(static_cast<char>(s[i++]));
    bool expDigits = false;
    while (i < n && isDigit(s[i])) {
      buf.push_back(static_cast<char>(s[i++]));
      expDigits = true;
    }
    if (!expDigits) return false;
  }
  if (i != n) return false;
  out = std::strtod(buf.c_str(), nullptr);
  return std::isfinite(out);
}

namespace {
const char16_t* const kMonths[] = {u"january", u"february", u"march",     u"april",   u"may",      u"june",
                                   u"july",    u"august",   u"september", u"october", u"november", u"december"};

int monthFromName(std::u16string_view w) {
  if (w.size() < 3) return 0;
  std::u16string lw = lowerCase(w);
  for (int m = 0; m < 12; ++m) {
    std::u16string_view full = kMonths[m];
    if (lw.size() <= full.size() && full.substr(0, lw.size()) == lw) return m + 1;
  }
  return 0;
}
}  // namespace

bool parseDate(std::u16string_view s, double& serial) {
  // Tokenise into numbers, words and separators.
  struct Tok {
    int kind;  // 0 number, 1 word, 2 separator
    int64_t num;
    std::u16string text;
    char16_t sep;
  };
  std::vector<Tok> toks;
  size_t i = 0;
  while (i < s.size()) {
    char16_t c = s[i];
    if (isSpace(c) || c == u',') {
      ++i;
      continue;
    }
    if (isDigit(c)) {
      int64_t v = 0;
      int len = 0;
      while (i < s.size() && isDigit(s[i])) {
        v = v * 10 + (s[i++] - u'0');
        if (++len > 6) return false;
      }
      toks.push_back({0, v, {}, 0});
    } else if ((c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z')) {
      std::u16string w;
      while (i < s.size() && ((s[i] >= u'a' && s[i] <= u'z') || (s[i] >= u'A' && s[i] <= u'Z'))) w.push_back(s[i++]);
      toks.push_back({1, 0, w, 0});
    } else if (c == u'/' || c == u'-' || c == u':' || c == u'.') {
      toks.push_back({2, 0, {}, c});
      ++i;
    } else {
      return false;
    }
  }
  if (toks.empty()) return false;
  std::vector<int64_t> dateNums, timeNums;
  int monthName = 0;
  int ampm = 0;  // 1 AM, 2 PM
  bool anyDate = false, anyTime = false;
  // Group numbers: a number followed/preceded by ':' belongs to the time.
  for (size_t k = 0; k < toks.size(); ++k) {
    const Tok& t = toks[k];
    if (t.kind == 0) {
      bool timeCtx = (k + 1 < toks.size() && toks[k + 1].kind == 2 && toks[k + 1].sep == u':') ||
                     (k > 0 && toks[k - 1].kind == 2 && toks[k - 1].sep == u':');
      if (timeCtx) {
        timeNums.push_back(t.num);
        anyTime = true;
      } else if (!timeNums.empty() && ampm == 0 && k > 0 && toks[k - 1].kind != 2 && anyTime)
        return false;
      else {
        dateNums.push_back(t.num);
        anyDate = true;
      }
    } else if (t.kind == 1) {
      std::u16string lw = lowerCase(t.text);
      if (lw == u"am" || lw == u"a")
        ampm = 1;
      else if (lw == u"pm" || lw == u"p")
        ampm = 2;
      else if (int m = monthFromName(t.text)) {
        monthName = m;
        anyDate = true;
      } else if (monthFromName(t.text) == 0 && lw.size() >= 3) {
        // Day names ("Monday") are accepted and ignored.
        static const char16_t* days[] = {u"sun", u"mon", u"tue", u"wed", u"thu", u"fri", u"sat"};
        bool ok = false;
        for (auto d : days)
          if (lw.compare(0, 3, d) == 0) ok = true;
        if (!ok) return false;
      } else
        return false;
    } else if (t.sep == u'.' && !anyTime) {
      // "1.2.2020" is a date separator only between numbers.
    }
  }
  if (ampm && timeNums.empty() && dateNums.size() == 1 && !monthName) {
    // "3 PM"
    timeNums.push_back(dateNums.back());
    dateNums.clear();
    anyDate = false;
    anyTime = true;
  }
  double datePart = 0, timePart = 0;
  if (anyTime) {
    if (timeNums.size() < 2 || timeNums.size() > 3) {
      if (!(timeNums.size() == 1 && ampm)) return false;
    }
    int64_t h = timeNums[0], mi = timeNums.size() > 1 ? timeNums[1] : 0, se = timeNums.size() > 2 ? timeNums[2] : 0;
    if (ampm) {
      if (h < 1 || h > 12) return false;
      if (ampm == 1 && h == 12) h = 0;
      if (ampm == 2 && h != 12) h += 12;
    }
    if (h > 23 || mi > 59 || se > 59) return false;
    timePart = timeSerial(static_cast<int>(h), static_cast<int>(mi), static_cast<int>(se));
  } else if (ampm) {
    return false;
  }
  if (anyDate) {
    int64_t y = 0, m = 0, d = 0;
    if (monthName) {
      m = monthName;
      if (dateNums.size() == 2) {
        // "January 2 2020" or "2 January 2020"
        if (dateNums[0] > 31) {
          y = dateNums[0];
          d = dateNums[1];
        } else {
          d = dateNums[0];
          y = dateNums[1];
        }
      } else if (dateNums.size() == 1) {
        d = dateNums[0] > 31 ? 1 : dateNums[0];
        y = dateNums[0] > 31 ? dateNums[0] : 0;
        if (!y) {
          int cy, cm, cd;
          splitDate(0, cy, cm, cd);
          y = 1899;  // rarely useful; callers normally give a year
        }
      } else
        return false;
    } else if (dateNums.size() == 3) {
      if (dateNums[0] > 31) {
        y = dateNums[0];
        m = dateNums[1];
        d = dateNums[2];
      } else {
        m = dateNums[0];
        d = dateNums[1];
        y = dateNums[2];
      }
      if (m > 12 && d <= 12) std::swap(m, d);  // "13/1/2020" is day/month
    } else if (dateNums.size() == 2) {
      m = dateNums[0];
      d = dateNums[1];
      if (m > 12 || d > 31) return false;
      y = 2000;  // current year unknown to a pure function; rarely used
    } else {
      return false;
    }
    if (y < 100) y += y < 30 ? 2000 : 1900;
    if (m < 1 || m > 12 || d < 1 || y > 9999) return false;
    static const int dim[] = {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (d > dim[m - 1]) return false;
    bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
    if (m == 2 && d == 29 && !leap) return false;
    datePart = dateSerial(static_cast<int>(y), static_cast<int>(m), static_cast<int>(d));
  }
  if (!anyDate && !anyTime) return false;
  serial = datePart >= 0 ? datePart + timePart : datePart - timePart;
  return true;
}

}  // namespace vbs
