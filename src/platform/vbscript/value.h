// Storyloom VBScript engine: the Variant.
//
// vbs::Value is the one data type of the language.  It is 16 bytes, cheap to
// copy (strings, objects and arrays are reference-counted) and carries one of
// the VBScript subtypes below.  All conversions raise vbs::ScriptError with the
// VBScript run-time error number, so built-in functions can simply call
// toLong()/toDouble()/toString() on their arguments and let errors propagate.
//
// Strings are UTF-16 (std::u16string); Len, Mid, AscW and ChrW work on UTF-16
// code units.  utf8()/fromUtf8() convert at the API edge.
#pragma once

#include <cstdint>
#include <initializer_list>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vbs {

// ---------------------------------------------------------------------------
// Errors

// Run-time and compile-time error numbers as VBScript reports them.
namespace err {
enum : int32_t {
  InvalidProcedureCall = 5,
  Overflow = 6,
  OutOfMemory = 7,
  SubscriptOutOfRange = 9,
  ArrayFixedOrLocked = 10,
  DivisionByZero = 11,
  TypeMismatch = 13,
  OutOfStringSpace = 14,
  OutOfStackSpace = 28,
  SubNotDefined = 35,
  ObjectNotSet = 91,
  ForLoopNotInitialized = 92,
  InvalidUseOfNull = 94,
  ObjectRequired = 424,
  CantCreateObject = 429,
  NoSuchMember = 438,
  WrongArgCount = 450,
  NotACollection = 451,
  KeyAlreadyExists = 457,
  UnsupportedType = 458,
  VariableUndefined = 500,
  IllegalAssignment = 501,
  InvalidQualifier = 505,
  // Compilation errors.
  OutOfMemoryCompile = 1001,
  SyntaxError = 1002,
  ExpectedColon = 1003,
  ExpectedLParen = 1005,
  ExpectedRParen = 1006,
  ExpectedRBracket = 1007,
  ExpectedIdentifier = 1010,
  ExpectedEqual = 1011,
  ExpectedIf = 1012,
  ExpectedTo = 1013,
  ExpectedEnd = 1014,
  ExpectedFunction = 1015,
  ExpectedSub = 1016,
  ExpectedThen = 1017,
  ExpectedWend = 1018,
  ExpectedLoop = 1019,
  ExpectedNext = 1020,
  ExpectedCase = 1021,
  ExpectedSelect = 1022,
  ExpectedExpression = 1023,
  ExpectedStatement = 1024,
  ExpectedEndOfStatement = 1025,
  ExpectedInteger = 1026,
  ExpectedWhileUntil = 1027,
  ExpectedWhileUntilEnd = 1028,
  ExpectedWith = 1029,
  IdentifierTooLong = 1030,
  InvalidNumber = 1031,
  InvalidCharacter = 1032,
  UnterminatedString = 1033,
  UnterminatedComment = 1034,
  InvalidUseOfMe = 1037,
  LoopWithoutDo = 1038,
  InvalidExit = 1039,
  InvalidForVariable = 1040,
  NameRedefined = 1041,
  MustBeFirstStatement = 1042,
  CannotAssignToNonByVal = 1043,
  CannotUseParens = 1044,
  ExpectedLiteral = 1045,
  ExpectedIn = 1046,
  ExpectedClass = 1047,
  MustBeInsideClass = 1048,
  ExpectedLetSetGet = 1049,
  ExpectedProperty = 1050,
  InconsistentArgCount = 1051,
  MultipleDefault = 1052,
  ClassInitNoArgs = 1053,
  PropertyLetSetArgs = 1054,
  UnexpectedNext = 1055,
  DefaultOnlyPublic = 1057,
  DefaultOnlyProperty = 1058,
  // Raised by the engine when a script runs longer than the time-out.  It
  // cannot be trapped with On Error Resume Next.
  Timeout = 0x7FFF0001,
};
}  // namespace err

// The standard description for a VBScript error number ("Type mismatch" for
// 13, "Expected 'End'" for 1014 ...).  Unknown numbers give
// "Unknown runtime error".
std::u16string errorDescription(int32_t number);
// True for the compile-time (syntax) numbers 1001..1058.
bool isCompileError(int32_t number);

// The exception every part of the engine throws for script errors.  Line and
// column are 1-based; 0 means "not known yet" and the interpreter fills them
// in with the position of the statement that was executing.
struct ScriptError : std::runtime_error {
  int32_t number = 0;
  std::u16string description;
  std::u16string source;  // Err.Source; the engine fills in a default
  int line = 0;
  int column = 0;
  std::u16string sourceLine;  // text of the offending line when known
  bool compileError = false;

  ScriptError(int32_t number, std::u16string description, std::u16string source = {});
};

// Raises error `number` with its standard description.
[[noreturn]] void raise(int32_t number);
// Raises error `number` with a custom description.
[[noreturn]] void raise(int32_t number, std::u16string description);

// ---------------------------------------------------------------------------
// UTF helpers and case-insensitive names

std::u16string fromUtf8(std::string_view s);
std::string utf8(std::u16string_view s);

// Case-insensitive comparison of identifiers (ASCII and Latin-1 letters fold).
char16_t foldCase(char16_t c);
bool equalsNoCase(std::u16string_view a, std::u16string_view b);
std::u16string lowerCase(std::u16string_view s);
struct NoCaseHash {
  using is_transparent = void;  // lets maps look up string_views without copying
  size_t operator()(std::u16string_view s) const noexcept;
};
struct NoCaseEqual {
  using is_transparent = void;
  bool operator()(std::u16string_view a, std::u16string_view b) const noexcept { return equalsNoCase(a, b); }
};

// ---------------------------------------------------------------------------
// Value

class Object;
class Array;

// Subtype codes are the VarType() numbers.
enum class Type : uint16_t {
  Empty = 0,
  Null = 1,
  Integer = 2,
  Long = 3,
  Single = 4,
  Double = 5,
  Currency = 6,
  Date = 7,
  String = 8,
  Object = 9,
  Error = 10,
  Boolean = 11,
  Byte = 17,
  Array = 8204,  // VarType of a script array: vbArray + vbVariant
};

// Currency is a 64-bit integer scaled by 10000.
struct Currency {
  int64_t scaled = 0;
  static constexpr int64_t kScale = 10000;
  friend bool operator==(Currency a, Currency b) { return a.scaled == b.scaled; }
};

// A Date is the OLE automation date: days since 30 December 1899 (time as fraction).
struct Date {
  double serial = 0;
};

// The Error subtype carries an HRESULT-style code.  A missing optional
// argument is passed as Error with code kMissingArg (DISP_E_PARAMNOTFOUND),
// exactly as VBScript does; see Value::missing() and isMissing().
struct ErrorCode {
  int32_t code = 0;
};
constexpr int32_t kMissingArg = static_cast<int32_t>(0x80020004u);

// Internal reference-counted string storage.
struct StringRep {
  int refs = 1;
  std::u16string text;
};

class Value {
 public:
  Value() noexcept : type_(Type::Empty) { u_.i64 = 0; }
  Value(bool b) noexcept : type_(Type::Boolean) {
    u_.i64 = 0;
    u_.b = b;
  }
  Value(uint8_t v) noexcept : type_(Type::Byte) {
    u_.i64 = 0;
    u_.by = v;
  }
  Value(int16_t v) noexcept : type_(Type::Integer) {
    u_.i64 = 0;
    u_.i16 = v;
  }
  Value(int32_t v) noexcept : type_(Type::Long) {
    u_.i64 = 0;
    u_.i32 = v;
  }
  Value(float v) noexcept : type_(Type::Single) {
    u_.i64 = 0;
    u_.f = v;
  }
  Value(double v) noexcept : type_(Type::Double) { u_.d = v; }
  Value(Currency v) noexcept : type_(Type::Currency) { u_.i64 = v.scaled; }
  Value(Date v) noexcept : type_(Type::Date) { u_.d = v.serial; }
  Value(ErrorCode v) noexcept : type_(Type::Error) {
    u_.i64 = 0;
    u_.i32 = v.code;
  }
  Value(std::u16string s);
  Value(std::u16string_view s) : Value(std::u16string(s)) {}
  Value(const char16_t* s) : Value(std::u16string(s)) {}
  // Object value; a null pointer is Nothing.  Adds a reference.
  Value(Object* o) noexcept;
  // Array value; shares the array (adds a reference).
  Value(Array* a) noexcept;
  // Guard against accidental conversions.
  Value(const char*) = delete;
  Value(int64_t) = delete;
  Value(long long) = delete;
  Value(unsigned) = delete;

  static Value null() noexcept {
    Value v;
    v.type_ = Type::Null;
    return v;
  }
  static Value nothing() noexcept { return Value(static_cast<Object*>(nullptr)); }
  static Value missing() noexcept { return Value(ErrorCode{kMissingArg}); }
  static Value fromUtf8(std::string_view s);
  // The smallest of Integer/Long/Double that holds n exactly (VBScript's
  // rule for integer results).
  static Value integral(int64_t n) noexcept;

  Value(const Value& o) noexcept : type_(o.type_), u_(o.u_) { addRef(); }
  Value(Value&& o) noexcept : type_(o.type_), u_(o.u_) {
    o.type_ = Type::Empty;
    o.u_.i64 = 0;
  }
  Value& operator=(const Value& o) noexcept {
    Value tmp(o);
    swap(tmp);
    return *this;
  }
  Value& operator=(Value&& o) noexcept {
    Value tmp(std::move(o));
    swap(tmp);
    return *this;
  }
  ~Value() {
    if (type_ >= Type::String) releaseSlow();
  }
  void swap(Value& o) noexcept {
    std::swap(type_, o.type_);
    std::swap(u_, o.u_);
  }

  Type type() const noexcept { return type_; }
  // VarType() number (8204 for arrays).
  int varType() const noexcept { return static_cast<int>(type_); }

  bool isEmpty() const noexcept { return type_ == Type::Empty; }
  bool isNull() const noexcept { return type_ == Type::Null; }
  bool isString() const noexcept { return type_ == Type::String; }
  bool isObject() const noexcept { return type_ == Type::Object; }
  bool isNothing() const noexcept { return type_ == Type::Object && u_.obj == nullptr; }
  bool isArray() const noexcept { return type_ == Type::Array; }
  bool isMissing() const noexcept { return type_ == Type::Error && u_.i32 == kMissingArg; }
  // Byte, Integer, Long, Single, Double, Currency (not Boolean, not Date).
  bool isNumber() const noexcept;
  // Byte, Integer, Long (the integer subtypes).
  bool isIntegral() const noexcept { return type_ == Type::Byte || type_ == Type::Integer || type_ == Type::Long; }

  // Raw accessors: valid only for the matching type.
  bool asBool() const noexcept { return u_.b; }
  uint8_t asByte() const noexcept { return u_.by; }
  int16_t asInteger() const noexcept { return u_.i16; }
  int32_t asLong() const noexcept { return u_.i32; }
  float asSingle() const noexcept { return u_.f; }
  double asDouble() const noexcept { return u_.d; }
  Currency asCurrency() const noexcept { return Currency{u_.i64}; }
  double asDate() const noexcept { return u_.d; }
  int32_t asErrorCode() const noexcept { return u_.i32; }
  const std::u16string& asString() const noexcept { return u_.str->text; }
  Object* asObject() const noexcept { return u_.obj; }  // nullptr = Nothing
  Array* asArray() const noexcept { return u_.arr; }

  // For the engine's in-place append (k = k & x): the string when this
  // value holds the only reference to it, else nullptr.
  std::u16string* uniqueString() noexcept {
    return type_ == Type::String && u_.str->refs == 1 ? &u_.str->text : nullptr;
  }

  // ---- Conversions (raise ScriptError like the VBScript C* functions) ----
  // Null raises 94 "Invalid use of Null".  Objects raise 13 here: their
  // default member needs the engine, so call Context::defaultValue first
  // when an argument may be an object.
  bool toBool() const;              // CBool
  uint8_t toByte() const;           // CByte (banker's rounding, overflow 6)
  int16_t toInteger() const;        // CInt
  int32_t toLong() const;           // CLng
  float toSingle() const;           // CSng
  double toDouble() const;          // CDbl (Boolean True = -1, Empty = 0, Date = serial)
  Currency toCurrency() const;      // CCur
  double toDate() const;            // CDate: numbers are serials, strings are parsed
  std::u16string toString() const;  // CStr with US-English formatting
  std::string toUtf8() const { return utf8(toString()); }
  // Like toString(), but Null and Empty give "" (the & operator's rule).
  std::u16string toConcatString() const;

  // Number subtype for arithmetic: Empty -> Integer 0, Boolean -> Integer,
  // numeric strings -> Double, Date stays Date; others raise 13.
  Value toNumeric() const;

  // Identity for objects / equality for the others is in operators.h.

 private:
  void addRef() const noexcept;
  void releaseSlow() noexcept;

  Type type_;
  union U {
    bool b;
    uint8_t by;
    int16_t i16;
    int32_t i32;
    int64_t i64;
    float f;
    double d;
    StringRep* str;
    Object* obj;
    Array* arr;
  } u_;
};

// ---------------------------------------------------------------------------
// Arrays: reference-counted, up to 60 dimensions, each with lower/upper bound.
// Script arrays have lower bound 0; arrays built by hosts may use others.
// Elements are stored with the first index varying fastest (column-major, as
// automation SAFEARRAYs do).  Script assignment copies arrays (value
// semantics); the engine does that copy, so an Array* handed to a built-in may
// be shared.
class Array {
 public:
  struct Bound {
    int32_t lower = 0;
    int32_t count = 0;  // upper = lower + count - 1
  };

  // One-dimensional array 0..upper (upper = -1 gives an empty array).
  static Array* create(int32_t upper);
  // Dimensions given as upper bounds with lower bound 0.  Raises 7 for
  // absurd sizes and 9 for negative bounds below -1.
  static Array* create(const std::vector<int32_t>& uppers);
  static Array* createBounds(std::vector<Bound> bounds);
  // From a list of values (the Array() function, Split, Dictionary.Keys).
  static Array* fromValues(std::vector<Value> values);
  // Dim a(): a dynamic array with no dimensions yet (UBound raises 9).
  static Array* createUndimensioned();

  void addRef() noexcept { ++refs_; }
  void release() noexcept {
    if (--refs_ == 0) destroy();
  }
  int refCount() const noexcept { return refs_; }

  int dimensions() const noexcept { return static_cast<int>(bounds_.size()); }
  // dim is 1-based as in UBound(a, dim); raises 9 when out of range.
  int32_t lbound(int dim = 1) const;
  int32_t ubound(int dim = 1) const;
  const std::vector<Bound>& bounds() const noexcept { return bounds_; }

  size_t size() const noexcept { return data_.size(); }
  std::vector<Value>& data() noexcept { return data_; }
  const std::vector<Value>& data() const noexcept { return data_; }

  // Element at the given indices (one per dimension); raises 9.
  Value& at(const int32_t* indices, size_t count);
  Value& at(std::initializer_list<int32_t> indices) { return at(indices.begin(), indices.size()); }
  Value& at1(int32_t index) { return at(&index, 1); }

  // Deep copy (elements are copied; nested arrays copied too).
  Array* clone() const;
  // ReDim Preserve: only the last dimension may change.  Raises 9.
  void resizePreserve(const std::vector<int32_t>& uppers);
  // Set by Dim a(10): fixed arrays cannot be ReDim'd (error 10).
  bool fixed = false;
  // Non-zero while an element is passed ByRef to a procedure; ReDim and
  // Erase then raise 10 instead of freeing the storage.
  int locks = 0;

 private:
  Array() = default;
  void destroy() noexcept;  // frees nested arrays without deep recursion
  Array* cloneAt(int depth) const;
  int refs_ = 1;
  std::vector<Bound> bounds_;
  std::vector<Value> data_;
};

// ---------------------------------------------------------------------------
// Formatting and parsing helpers shared with the built-in library.

// Number to string the way CStr does (15 significant digits for Double, 7 for
// Single, exponent form "1E+20", "1.5E-07").
std::u16string formatDouble(double d);
std::u16string formatSingle(float f);
std::u16string formatCurrency(Currency c);
// US-English date: "1/2/2020", "1:05:00 PM", "1/2/2020 1:05:00 PM".
std::u16string formatDate(double serial);

// Parses a numeric string as VBScript does (spaces, sign, decimals, exponent,
// &H / &O prefixes).  Returns false when the string is not numeric.
bool parseNumber(std::u16string_view s, double& out);
// Parses date/time text ("1/2/2020", "2020-01-02", "13:05", "1:05 PM",
// "January 2, 2020").  Returns false when it is not a date.
bool parseDate(std::u16string_view s, double& serial);

// Calendar helpers (proleptic Gregorian, valid 100..9999).
double dateSerial(int year, int month, int day);  // no range checks, months/days may overflow
double timeSerial(int hour, int minute, int second);
void splitDate(double serial, int& year, int& month, int& day);
void splitTime(double serial, int& hour, int& minute, int& second);

// The ANSI code page the engine assumes (Windows-1252), for Chr/Asc and for
// script files that are not UTF-8.  toWindows1252 returns -1 when the
// character has no single-byte form.
char16_t fromWindows1252(uint8_t byte);
int toWindows1252(char16_t c);

// Round half to even, as CInt/CLng and the \ and Mod operators do.
double roundBankers(double d);

// TypeName() of a value ("Integer", "String", "Variant()", "Nothing", or the
// object's typeName()).
std::u16string typeName(const Value& v);

}  // namespace vbs
