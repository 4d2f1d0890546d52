// Lexer, parser and name resolver.
#include <cmath>
#include <unordered_set>

#include "platform/vbscript/ast.h"
#include "platform/vbscript/interp.h"

namespace vbs::detail {

namespace {

// ---------------------------------------------------------------------------
// Tokens

enum class T : uint8_t {
  Eof,
  Eol,
  Colon,
  Ident,
  Lit,
  LParen,
  RParen,
  Comma,
  Dot,
  Amp,
  Plus,
  Minus,
  Star,
  Slash,
  Backslash,
  Caret,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
};

enum class Kw : uint8_t {
  None,
  And,
  ByRef,
  ByVal,
  Call,
  Case,
  Class,
  Const,
  Default,
  Dim,
  Do,
  Each,
  Else,
  ElseIf,
  Empty,
  End,
  Eqv,
  Erase,
  Error,
  Exit,
  Explicit,
  False,
  For,
  Function,
  Get,
  GoTo,
  If,
  Imp,
  In,
  Is,
  Let,
  Loop,
  Me,
  Mod,
  New,
  Next,
  Not,
  Nothing,
  Null,
  On,
  Option,
  Or,
  Preserve,
  Private,
  Property,
  Public,
  ReDim,
  Resume,
  Select,
  Set,
  Step,
  Stop,
  Sub,
  Then,
  To,
  True,
  Until,
  Wend,
  While,
  With,
  Xor,
};

struct KwEntry {
  const char16_t* text;
  Kw kw;
};
const KwEntry kKeywords[] = {
    {u"and", Kw::And},
    {u"byref", Kw::ByRef},
    {u"byval", Kw::ByVal},
    {u"call", Kw::Call},
    {u"case", Kw::Case},
    {u"class", Kw::Class},
    {u"const", Kw::Const},
    {u"default", Kw::Default},
    {u"dim", Kw::Dim},
    {u"do", Kw::Do},
    {u"each", Kw::Each},
    {u"else", Kw::Else},
    {u"elseif", Kw::ElseIf},
    {u"empty", Kw::Empty},
    {u"end", Kw::End},
    {u"eqv", Kw::Eqv},
    {u"erase", Kw::Erase},
    {u"error", Kw::Error},
    {u"exit", Kw::Exit},
    {u"explicit", Kw::Explicit},
    {u"false", Kw::False},
    {u"for", Kw::For},
    {u"function", Kw::Function},
    {u"get", Kw::Get},
    {u"goto", Kw::GoTo},
    {u"if", Kw::If},
    {u"imp", Kw::Imp},
    {u"in", Kw::In},
    {u"is", Kw::Is},
    {u"let", Kw::Let},
    {u"loop", Kw::Loop},
    {u"me", Kw::Me},
    {u"mod", Kw::Mod},
    {u"new", Kw::New},
    {u"next", Kw::Next},
    {u"not", Kw::Not},
    {u"nothing", Kw::Nothing},
    {u"null", Kw::Null},
    {u"on", Kw::On},
    {u"option", Kw::Option},
    {u"or", Kw::Or},
    {u"preserve", Kw::Preserve},
    {u"private", Kw::Private},
    {u"property", Kw::Property},
    {u"public", Kw::Public},
    {u"redim", Kw::ReDim},
    {u"resume", Kw::Resume},
    {u"select", Kw::Select},
    {u"set", Kw::Set},
    {u"step", Kw::Step},
    {u"stop", Kw::Stop},
    {u"sub", Kw::Sub},
    {u"then", Kw::Then},
    {u"to", Kw::To},
    {u"true", Kw::True},
    {u"until", Kw::Until},
    {u"wend", Kw::Wend},
    {u"while", Kw::While},
    {u"with", Kw::With},
    {u"xor", Kw::Xor},
};

// Words that may still name variables and members.
bool softKeyword(Kw k) {
  switch (k) {
    case Kw::Error:
    case Kw::Explicit:
    case Kw::Step:
    case Kw::Preserve:
    case Kw::Default:
    case Kw::Get:
    case Kw::Let:
    case Kw::Resume:
    case Kw::Property: return true;
    default: return false;
  }
}

Kw lookupKeyword(std::u16string_view w) {
  static const auto* table = [] {
    auto* m = new std::unordered_map<std::u16string_view, Kw, NoCaseHash, NoCaseEqual>();
    for (const auto& e : kKeywords) (*m)[e.text] = e.kw;
    return m;
  }();
  if (w.size() < 2 || w.size() > 8) return Kw::None;
  auto it = table->find(w);
  return it == table->end() ? Kw::None : it->second;
}

struct Token {
  T type = T::Eof;
  Kw kw = Kw::None;
  bool spaceBefore = false;
  int line = 0, col = 0;
  std::u16string_view text;
  Value value;
};

bool identStart(char16_t c) {
  return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= 0xC0 && c != 0xD7 && c != 0xF7);
}
bool identChar(char16_t c) { return identStart(c) || (c >= u'0' && c <= u'9') || c == u'_'; }
bool digit(char16_t c) { return c >= u'0' && c <= u'9'; }

class Lexer {
 public:
  Lexer(const std::u16string& src, const Unit& unit) : s_(src), unit_(unit) {}

  std::vector<Token> run() {
    std::vector<Token> out;
    out.reserve(s_.size() / 3 + 4);
    bool space = false;
    while (true) {
      // Whitespace and line continuations.
      while (i_ < s_.size()) {
        char16_t c = s_[i_];
        if (c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF) {
          ++i_;
          space = true;
          continue;
        }
        if (c == u'_' && continuationFollows()) continue;
        break;
      }
      Token t;
      t.spaceBefore = space;
      space = false;
      t.line = line_;
      t.col = static_cast<int>(i_ - lineStart_) + 1;
      if (i_ >= s_.size()) {
        t.type = T::Eof;
        out.push_back(std::move(t));
        return out;
      }
      char16_t c = s_[i_];
      if (c == u'\'') {
        skipComment();
        continue;
      }
      if (c == u'\r' || c == u'\n') {
        if (c == u'\r' && i_ + 1 < s_.size() && s_[i_ + 1] == u'\n') ++i_;
        ++i_;
        t.type = T::Eol;
        newLine();
        if (out.empty() || out.back().type != T::Eol) out.push_back(std::move(t));
        continue;
      }
      if (identStart(c)) {
        size_t b = i_;
        while (i_ < s_.size() && identChar(s_[i_])) ++i_;
        t.text = std::u16string_view(s_).substr(b, i_ - b);
        if (t.text.size() > 255) fail(err::IdentifierTooLong, t);
        t.kw = lookupKeyword(t.text);
        bool afterDot = !out.empty() && out.back().type == T::Dot;
        if (afterDot) t.kw = Kw::None;  // any word names a member after '.'
        if (!afterDot && t.kw == Kw::None && t.text.size() == 3 && equalsNoCase(t.text, u"rem")) {
          skipComment();
          continue;
        }
        t.type = T::Ident;
        out.push_back(std::move(t));
        continue;
      }
      if (c == u'[') {
        size_t b = ++i_;
        while (i_ < s_.size() && s_[i_] != u']' && s_[i_] != u'\n') ++i_;
        if (i_ >= s_.size() || s_[i_] != u']') fail(err::ExpectedRBracket, t);
        t.text = std::u16string_view(s_).substr(b, i_ - b);
        ++i_;
        t.type = T::Ident;
        out.push_back(std::move(t));
        continue;
      }
      if (digit(c) || (c == u'.' && i_ + 1 < s_.size() && digit(s_[i_ + 1]) &&
                       (out.empty() || out.back().type != T::Ident || t.spaceBefore))) {
        number(t);
        out.push_back(std::move(t));
        continue;
      }
      if (c == u'"') {
        stringLit(t);
        out.push_back(std::move(t));
        continue;
      }
      if (c == u'#') {
        dateLit(t);
        out.push_back(std::move(t));
        continue;
      }
      if (c == u'&' && i_ + 1 < s_.size() && (foldCase(s_[i_ + 1]) == u'h' || foldCase(s_[i_ + 1]) == u'o')) {
        if (radixLit(t)) {
          out.push_back(std::move(t));
          continue;
        }
      }
      ++i_;
      switch (c) {
        case u':': t.type = T::Colon; break;
        case u'(': t.type = T::LParen; break;
        case u')': t.type = T::RParen; break;
        case u',': t.type = T::Comma; break;
        case u'.': t.type = T::Dot; break;
        case u'&': t.type = T::Amp; break;
        case u'+': t.type = T::Plus; break;
        case u'-': t.type = T::Minus; break;
        case u'*': t.type = T::Star; break;
        case u'/': t.type = T::Slash; break;
        case u'\\': t.type = T::Backslash; break;
        case u'^': t.type = T::Caret; break;
        case u'=':
          t.type = T::Eq;
          if (i_ < s_.size() && s_[i_] == u'<') {
            ++i_;
            t.type = T::Le;
          } else if (i_ < s_.size() && s_[i_] == u'>') {
            ++i_;
            t.type = T::Ge;
          }
          break;
        case u'<':
          t.type = T::Lt;
          if (i_ < s_.size() && s_[i_] == u'>') {
            ++i_;
            t.type = T::Ne;
          } else if (i_ < s_.size() && s_[i_] == u'=') {
            ++i_;
            t.type = T::Le;
          }
          break;
        case u'>':
          t.type = T::Gt;
          if (i_ < s_.size() && s_[i_] == u'=') {
            ++i_;
            t.type = T::Ge;
          } else if (i_ < s_.size() && s_[i_] == u'<') {
            ++i_;
            t.type = T::Ne;
          }
          break;
        default: fail(err::InvalidCharacter, t);
      }
      out.push_back(std::move(t));
    }
  }

  [[noreturn]] void fail(int32_t number, const Token& t) { throwCompileError(number, t.line, t.col); }
  [[noreturn]] void throwCompileError(int32_t number, int line, int col) {
    ScriptError e(number, errorDescription(number));
    e.compileError = true;
    e.line = line;
    e.column = col;
    e.sourceLine = unit_.lineText(line);
    throw e;
  }

 private:
  void newLine() {
    ++line_;
    lineStart_ = i_;
  }
  bool continuationFollows() {
    size_t j = i_ + 1;
    while (j < s_.size() && (s_[j] == u' ' || s_[j] == u'\t')) ++j;
    if (j < s_.size() && s_[j] != u'\r' && s_[j] != u'\n') return false;
    if (j < s_.size() && s_[j] == u'\r' && j + 1 < s_.size() && s_[j + 1] == u'\n') ++j;
    i_ = j + 1;
    newLine();
    return true;
  }
  void skipComment() {
    while (i_ < s_.size() && s_[i_] != u'\r' && s_[i_] != u'\n') ++i_;
  }
  void number(Token& t) {
    size_t b = i_;
    bool isFloat = false;
    while (i_ < s_.size() && digit(s_[i_])) ++i_;
    if (i_ < s_.size() && s_[i_] == u'.') {
      isFloat = true;
      ++i_;
      while (i_ < s_.size() && digit(s_[i_])) ++i_;
    }
    if (i_ < s_.size() && (s_[i_] == u'e' || s_[i_] == u'E')) {
      size_t save = i_;
      ++i_;
      if (i_ < s_.size() && (s_[i_] == u'+' || s_[i_] == u'-')) ++i_;
      if (i_ < s_.size() && digit(s_[i_])) {
        isFloat = true;
        while (i_ < s_.size() && digit(s_[i_])) ++i_;
      } else {
        i_ = save;
      }
    }
    if (i_ < s_.size() && identStart(s_[i_])) fail(err::ExpectedEndOfStatement, t);
    std::string txt;
    for (size_t k = b; k < i_; ++k) txt.push_back(static_cast<char>(s_[k]));
    double d = std::strtod(txt.c_str(), nullptr);
    t.type = T::Lit;
    if (!isFloat && d <= 2147483647.0) {
      t.value = Value::integral(static_cast<int64_t>(d));
    } else {
      if (!std::isfinite(d)) fail(err::InvalidNumber, t);
      t.value = Value(d);
    }
  }
  bool radixLit(Token& t) {
    size_t save = i_;
    int base = foldCase(s_[i_ + 1]) == u'h' ? 16 : 8;
    i_ += 2;
    uint64_t v = 0;
    int digits = 0;
    while (i_ < s_.size()) {
      char16_t c = foldCase(s_[i_]);
      int d = digit(c) ? c - u'0' : (base == 16 && c >= u'a' && c <= u'f') ? c - u'a' + 10 : -1;
      if (d < 0 || d >= base) break;
      v = v * base + d;
      if (v > 0xFFFFFFFFull) fail(err::InvalidNumber, t);
      ++digits;
      ++i_;
    }
    if (!digits) {
      i_ = save;
      return false;
    }
    bool forceLong = i_ < s_.size() && s_[i_] == u'&';
    if (forceLong) ++i_;
    t.type = T::Lit;
    if (!forceLong && v <= 0xFFFF)
      t.value = Value(static_cast<int16_t>(static_cast<uint16_t>(v)));
    else
      t.value = Value(static_cast<int32_t>(static_cast<uint32_t>(v)));
    return true;
  }
  void stringLit(Token& t) {
    ++i_;
    std::u16string str;
    while (true) {
      if (i_ >= s_.size() || s_[i_] == u'\n' || s_[i_] == u'\r') fail(err::UnterminatedString, t);
      if (s_[i_] == u'"') {
        if (i_ + 1 < s_.size() && s_[i_ + 1] == u'"') {
          str.push_back(u'"');
          i_ += 2;
          continue;
        }
        ++i_;
        break;
      }
      str.push_back(s_[i_++]);
    }
    t.type = T::Lit;
    t.value = Value(std::move(str));
  }
  void dateLit(Token& t) {
    size_t b = ++i_;
    while (i_ < s_.size() && s_[i_] != u'#' && s_[i_] != u'\n') ++i_;
    if (i_ >= s_.size() || s_[i_] != u'#') fail(err::SyntaxError, t);
    double serial;
    if (!parseDate(std::u16string_view(s_).substr(b, i_ - b), serial)) fail(err::SyntaxError, t);
    ++i_;
    t.type = T::Lit;
    t.value = Value(Date{serial});
  }

  const std::u16string& s_;
  const Unit& unit_;
  size_t i_ = 0;
  size_t lineStart_ = 0;
  int line_ = 1;
};

// ---------------------------------------------------------------------------
// Parser

constexpr int kMaxNesting = 200;

struct PendingIdent {
  Ident* id;
  Procedure* proc;
  ClassDef* cls;
};

class Parser {
 public:
  Parser(Interp& in, Unit& unit, std::vector<Token> toks, Lexer& lx, const ParseOptions& opts)
      : in_(in), unit_(unit), t_(std::move(toks)), lx_(lx), opts_(opts) {}

  void parseProgram() {
    proc_ = opts_.context;
    cls_ = opts_.classContext ? opts_.classContext : (proc_ ? proc_->owner : nullptr);
    if (opts_.expressionOnly) {
      skipEols();
      unit_.expression = expr();
      skipEols();
      if (cur().type != T::Eof) fail(err::ExpectedEndOfStatement);
    } else {
      bool first = true;
      while (true) {
        skipSeparators();
        if (cur().type == T::Eof) break;
        if (cur().kw == Kw::Option) {
          if (!first) fail(err::MustBeFirstStatement);
          next();
          if (cur().kw != Kw::Explicit) fail(err::ExpectedIdentifier);
          next();
          unit_.optionExplicit = true;
          endOfStatement();
          continue;
        }
        first = false;
        if (auto s = topLevelStatement()) unit_.body.push_back(std::move(s));
      }
    }
    resolveAll();
  }

 private:
  // ---- token helpers ----
  const Token& cur() const { return t_[p_]; }
  const Token& peek(size_t k = 1) const { return t_[std::min(p_ + k, t_.size() - 1)]; }
  void next() {
    if (p_ + 1 < t_.size()) ++p_;
  }
  bool is(T type) const { return cur().type == type; }
  bool isKw(Kw k) const { return cur().type == T::Ident && cur().kw == k; }
  bool accept(T type) {
    if (is(type)) {
      next();
      return true;
    }
    return false;
  }
  bool acceptKw(Kw k) {
    if (isKw(k)) {
      next();
      return true;
    }
    return false;
  }
  [[noreturn]] void fail(int32_t number) { lx_.throwCompileError(number, cur().line, cur().col); }
  void expect(T type, int32_t number) {
    if (!accept(type)) fail(number);
  }
  void expectKw(Kw k, int32_t number) {
    if (!acceptKw(k)) fail(number);
  }
  // Inside a single-line If, "Else" and a trailing "End If" also end a statement.
  bool inlineIfEnd() const { return singleLineIf_ > 0 && (isKw(Kw::Else) || (isKw(Kw::End) && peek().kw == Kw::If)); }
  // "End Sub", "End If" ... right after a statement on the same line close
  // the block without a colon.
  bool blockEndFollows() const {
    if (!isKw(Kw::End) || peek().type != T::Ident) return false;
    switch (peek().kw) {
      case Kw::Sub:
      case Kw::Function:
      case Kw::Property:
      case Kw::Class:
      case Kw::If:
      case Kw::Select:
      case Kw::With: return true;
      default: return false;
    }
  }
  bool atEndOfStatement() const {
    return is(T::Eol) || is(T::Colon) || is(T::Eof) || inlineIfEnd() || blockEndFollows();
  }
  void endOfStatement() {
    if (is(T::Colon) || is(T::Eol)) {
      next();
      return;
    }
    if (is(T::Eof) || inlineIfEnd() || blockEndFollows()) return;
    fail(err::ExpectedEndOfStatement);
  }
  void skipEols() {
    while (is(T::Eol)) next();
  }
  void skipSeparators() {
    while (is(T::Eol) || is(T::Colon)) next();
  }
  bool propertyDeclFollows() const {
    const Token& n = peek();
    return n.type == T::Ident && (n.kw == Kw::Get || n.kw == Kw::Let || n.kw == Kw::Set);
  }
  std::u16string identName(int32_t errNo = err::ExpectedIdentifier) {
    if (!is(T::Ident) || (cur().kw != Kw::None && !softKeyword(cur().kw))) fail(errNo);
    std::u16string n(cur().text);
    next();
    return n;
  }
  // Member names after '.' may be any word.
  std::u16string memberName() {
    if (!is(T::Ident)) fail(err::ExpectedIdentifier);
    std::u16string n(cur().text);
    next();
    return n;
  }
  template <class N>
  std::unique_ptr<N> node(const Token& at) {
    auto n = std::make_unique<N>();
    n->line = at.line;
    n->col = at.col;
    return n;
  }
  void enter() {
    if (++depth_ > kMaxNesting) fail(err::OutOfStackSpace);
  }
  void leave() { --depth_; }

  Ident* newIdent(const Token& at, std::u16string name) {
    auto* id = new Ident();
    id->line = at.line;
    id->col = at.col;
    id->name = std::move(name);
    pending_.push_back({id, proc_, cls_});
    return id;
  }

  // ---- expressions ----
  static int binaryPrec(const Token& t, Op& op) {
    switch (t.type) {
      case T::Caret: op = Op::Pow; return 14;
      case T::Star: op = Op::Mul; return 12;
      case T::Slash: op = Op::Div; return 12;
      case T::Backslash: op = Op::IntDiv; return 11;
      case T::Plus: op = Op::Add; return 9;
      case T::Minus: op = Op::Sub; return 9;
      case T::Amp: op = Op::Concat; return 8;
      case T::Eq: op = Op::Eq; return 7;
      case T::Ne: op = Op::Ne; return 7;
      case T::Lt: op = Op::Lt; return 7;
      case T::Gt: op = Op::Gt; return 7;
      case T::Le: op = Op::Le; return 7;
      case T::Ge: op = Op::Ge; return 7;
      case T::Ident:
        switch (t.kw) {
          case Kw::Mod: op = Op::Mod; return 10;
          case Kw::Is: op = Op::Is; return 7;
          case Kw::And: op = Op::And; return 5;
          case Kw::Or: op = Op::Or; return 4;
          case Kw::Xor: op = Op::Xor; return 3;
          case Kw::Eqv: op = Op::Eqv; return 2;
          case Kw::Imp: op = Op::Imp; return 1;
          default: return -1;
        }
      default: return -1;
    }
  }

  static ExprPtr unparen(ExprPtr e) {
    while (auto* p = dynamic_cast<Paren*>(e.get())) {
      ExprPtr inner = std::move(p->a);
      e = std::move(inner);
    }
    return e;
  }

  ExprPtr expr(int minPrec = 1) {
    enter();
    ExprPtr lhs = unary();
    lhs = binaryRest(std::move(lhs), minPrec);
    leave();
    return lhs;
  }

  ExprPtr binaryRest(ExprPtr lhs, int minPrec) {
    while (true) {
      Op op;
      int prec = binaryPrec(cur(), op);
      if (prec < minPrec || prec < 0) break;
      Token at = cur();
      next();
      ExprPtr rhs = expr(prec + 1);
      auto b = node<Binary>(at);
      b->op = op;
      b->a = unparen(std::move(lhs));
      b->b = unparen(std::move(rhs));
      lhs = fold(std::move(b));
    }
    return lhs;
  }

  // Constant folding for literal operands (keeps `-1` and `&H10 + 1` literal).
  ExprPtr fold(std::unique_ptr<Binary> b) {
    if (!b->a->literal || !b->b->literal || b->op == Op::Is) return b;
    try {
      Value v = evalBinary(in_, b->op, static_cast<Literal*>(b->a.get())->value,
                           static_cast<Literal*>(b->b.get())->value, true, true);
      auto lit = std::make_unique<Literal>();
      lit->line = b->line;
      lit->col = b->col;
      lit->value = std::move(v);
      lit->literal = true;
      return lit;
    } catch (const ScriptError&) {
      return b;  // let the error happen at run time
    }
  }

  ExprPtr unary() {
    const Token& at = cur();
    if (isKw(Kw::Not)) {
      Token t = at;
      next();
      auto u = node<Unary>(t);
      u->op = Op::Not;
      u->a = unparen(expr(6));
      return u;
    }
    if (is(T::Minus) || is(T::Plus)) {
      Token t = at;
      bool neg = is(T::Minus);
      next();
      enter();
      ExprPtr operand = unparen(unary());  // -3 ^ 2 is (-3) ^ 2
      leave();
      if (!neg) return operand;
      if (operand->literal) {
        try {
          Value v = evalUnary(in_, Op::Neg, static_cast<Literal*>(operand.get())->value);
          auto lit = node<Literal>(t);
          lit->value = std::move(v);
          lit->literal = true;
          return lit;
        } catch (const ScriptError&) {
        }
      }
      auto u = node<Unary>(t);
      u->op = Op::Neg;
      u->a = std::move(operand);
      return u;
    }
    return postfix(primary());
  }

  ExprPtr literal(const Token& at, Value v) {
    auto lit = node<Literal>(at);
    lit->value = std::move(v);
    lit->literal = true;
    return lit;
  }

  ExprPtr primary() {
    Token at = cur();
    switch (at.type) {
      case T::Lit: next(); return literal(at, at.value);
      case T::LParen: {
        next();
        enter();
        auto p = node<Paren>(at);
        p->a = expr();
        leave();
        expect(T::RParen, err::ExpectedRParen);
        return p;
      }
      case T::Dot: {
        next();
        auto m = node<Member>(at);
        m->name = memberName();
        return m;
      }
      case T::Ident:
        switch (at.kw) {
          case Kw::True: next(); return literal(at, Value(true));
          case Kw::False: next(); return literal(at, Value(false));
          case Kw::Empty: next(); return literal(at, Value());
          case Kw::Null: next(); return literal(at, Value::null());
          case Kw::Nothing: next(); return literal(at, Value::nothing());
          case Kw::Me: {
            next();
            Ident* id = newIdent(at, u"Me");
            id->bind = Bind::Me;
            return ExprPtr(id);
          }
          case Kw::New: {
            next();
            auto n = node<NewExpr>(at);
            n->className = identName();
            newExprs_.push_back(n.get());
            return n;
          }
          default:
            if (at.kw != Kw::None && !softKeyword(at.kw)) fail(err::ExpectedExpression);
            next();
            return ExprPtr(newIdent(at, std::u16string(at.text)));
        }
      default: fail(err::ExpectedExpression);
    }
  }

  void argList(ExprList& args) {
    // After '(' : a, , b )
    enter();
    if (accept(T::RParen)) {
      leave();
      return;
    }
    while (true) {
      if (is(T::Comma)) {
        args.push_back(nullptr);
      } else if (is(T::RParen)) {
        args.push_back(nullptr);
        break;
      } else {
        args.push_back(expr());
      }
      if (accept(T::Comma)) continue;
      break;
    }
    expect(T::RParen, err::ExpectedRParen);
    leave();
  }

  ExprPtr postfix(ExprPtr e) {
    while (true) {
      if (is(T::LParen) && dynamic_cast<Paren*>(e.get())) {
        // (f)(x), ((a))(0): a name in parentheses takes the arguments
        // itself; any other value is indexed or its default member called.
        ExprPtr inner = unparen(std::move(e));
        auto* id = dynamic_cast<Ident*>(inner.get());
        auto* m = dynamic_cast<Member*>(inner.get());
        if ((id && !id->hasArgs && id->bind != Bind::Me) || (m && !m->hasArgs)) {
          e = std::move(inner);
          continue;
        }
        Token at = cur();
        next();
        auto ic = node<IndexCall>(at);
        auto p = node<Paren>(at);
        p->a = std::move(inner);
        ic->target = std::move(p);
        argList(ic->args);
        e = std::move(ic);
        continue;
      }
      if (is(T::LParen) && isCallable(e.get())) {
        Token at = cur();
        next();
        if (auto* id = dynamic_cast<Ident*>(e.get()); id && !id->hasArgs && id->bind != Bind::Me) {
          id->hasArgs = true;
          argList(id->args);
        } else if (auto* m = dynamic_cast<Member*>(e.get()); m && !m->hasArgs) {
          m->hasArgs = true;
          argList(m->args);
        } else {
          auto ic = node<IndexCall>(at);
          ic->target = std::move(e);
          argList(ic->args);
          e = std::move(ic);
        }
        continue;
      }
      if (is(T::Dot) && !cur().spaceBefore && (isCallable(e.get()) || dynamic_cast<Paren*>(e.get()))) {
        Token at = cur();
        next();
        auto m = node<Member>(at);
        m->object = std::move(e);
        m->name = memberName();
        e = std::move(m);
        continue;
      }
      return e;
    }
  }

  static bool isCallable(Expr* e) {
    return dynamic_cast<Ident*>(e) || dynamic_cast<Member*>(e) || dynamic_cast<IndexCall*>(e);
  }

  // ---- statements ----
  StmtPtr topLevelStatement() {
    Token at = cur();
    bool isPublic = true;
    if (isKw(Kw::Public) || isKw(Kw::Private)) {
      isPublic = isKw(Kw::Public);
      const Token& n = peek();
      if (n.type == T::Ident && (n.kw == Kw::Sub || n.kw == Kw::Function || n.kw == Kw::Property ||
                                 n.kw == Kw::Default || n.kw == Kw::Class || n.kw == Kw::Const)) {
        next();
      } else {
        // Public x, y at script level is Dim.
        next();
        return dimStatement(at, false);
      }
    }
    if (isKw(Kw::Default)) fail(err::MustBeInsideClass);
    if (isKw(Kw::Sub) || isKw(Kw::Function)) {
      procedure(at, isPublic, false, nullptr);
      return nullptr;
    }
    if (isKw(Kw::Property) && propertyDeclFollows()) fail(err::MustBeInsideClass);
    if (isKw(Kw::Class)) {
      classDef(at);
      return nullptr;
    }
    return statement();
  }

  StmtPtr statement() {
    enter();
    StmtPtr s = statementInner();
    leave();
    return s;
  }

  StmtPtr statementInner() {
    Token at = cur();
    if (at.type == T::Ident) {
      switch (at.kw) {
        case Kw::Dim: next(); return dimStatement(at, false);
        case Kw::ReDim: next(); return dimStatement(at, true);
        case Kw::Const: next(); return constStatement(at);
        case Kw::Public:
        case Kw::Private:
          if (peek().kw == Kw::Const) {
            next();
            next();
            return constStatement(at);
          }
          if (!proc_) {
            next();
            return dimStatement(at, false);
          }
          fail(err::ExpectedStatement);
        case Kw::If: return ifStatement();
        case Kw::For: return forStatement();
        case Kw::Do: return doStatement();
        case Kw::While: return whileStatement();
        case Kw::Select: return selectStatement();
        case Kw::With: return withStatement();
        case Kw::Set: {
          next();
          auto a = node<AssignStmt>(at);
          a->isSet = true;
          a->target = postfix(primary());
          checkAssignable(a->target.get());
          expect(T::Eq, err::ExpectedEqual);
          a->value = expr();
          endOfStatement();
          return a;
        }
        case Kw::Call: {
          next();
          auto c = node<CallStmt>(at);
          c->call = postfix(primary());
          if (!dynamic_cast<Ident*>(c->call.get()) && !dynamic_cast<Member*>(c->call.get()) &&
              !dynamic_cast<IndexCall*>(c->call.get()))
            fail(err::ExpectedIdentifier);
          endOfStatement();
          return c;
        }
        case Kw::Exit: {
          next();
          auto e = node<ExitStmt>(at);
          if (isKw(Kw::Do)) {
            if (!doDepth_) fail(err::InvalidExit);
            next();
            e->flow = Flow::ExitDo;
          } else if (isKw(Kw::For)) {
            if (!forDepth_) fail(err::InvalidExit);
            next();
            e->flow = Flow::ExitFor;
          } else if (isKw(Kw::Sub) || isKw(Kw::Function) || isKw(Kw::Property)) {
            Kw k = cur().kw;
            next();
            if (!proc_ || (k == Kw::Sub) != (proc_->kind == ProcKind::Sub) ||
                (k == Kw::Function) != (proc_->kind == ProcKind::Function))
              fail(err::InvalidExit);
            e->flow = Flow::ExitProc;
          } else {
            fail(err::InvalidExit);
          }
          endOfStatement();
          return e;
        }
        case Kw::On: {
          next();
          expectKw(Kw::Error, err::SyntaxError);
          auto o = node<OnErrorStmt>(at);
          if (acceptKw(Kw::Resume)) {
            expectKw(Kw::Next, err::SyntaxError);
            o->resumeNext = true;
          } else if (acceptKw(Kw::GoTo)) {
            if (!is(T::Lit) || !cur().value.isIntegral() || cur().value.toLong() != 0) fail(err::SyntaxError);
            next();
          } else {
            fail(err::SyntaxError);
          }
          endOfStatement();
          return o;
        }
        case Kw::Erase: {
          next();
          auto e = node<EraseStmt>(at);
          do {
            Token vt = cur();
            e->vars.push_back(ExprPtr(newIdent(vt, identName())));
          } while (accept(T::Comma));
          endOfStatement();
          return e;
        }
        case Kw::Stop:
          next();
          endOfStatement();
          return node<NoOpStmt>(at);
        case Kw::Option: fail(err::MustBeFirstStatement);
        case Kw::Sub:
        case Kw::Function:
          // Procedures inside If blocks of global code are hoisted.
          if (proc_ || cls_ || opts_.context || singleLineIf_) fail(err::SyntaxError);
          procedure(at, true, false, nullptr);
          return nullptr;
        case Kw::Property:
          if (!propertyDeclFollows()) break;
          fail(err::SyntaxError);
        case Kw::Class: fail(err::SyntaxError);
        case Kw::Loop: fail(err::LoopWithoutDo);
        case Kw::Next: fail(err::UnexpectedNext);
        case Kw::Wend:
        case Kw::Else:
        case Kw::ElseIf:
        case Kw::End:
        case Kw::Case: fail(err::ExpectedStatement);
        default: break;
      }
    }
    if (at.type == T::Ident || at.type == T::Dot) return assignOrCall();
    fail(err::ExpectedStatement);
  }

  void checkAssignable(Expr* e) {
    if (auto* id = dynamic_cast<Ident*>(e)) {
      if (id->bind == Bind::Me) fail(err::IllegalAssignment);
      return;
    }
    if (dynamic_cast<Member*>(e) || dynamic_cast<IndexCall*>(e)) return;
    fail(err::ExpectedStatement);
  }

  StmtPtr assignOrCall() {
    Token at = cur();
    ExprPtr chain = postfix(primary());
    if (!dynamic_cast<Ident*>(chain.get()) && !dynamic_cast<Member*>(chain.get()) &&
        !dynamic_cast<IndexCall*>(chain.get()))
      fail(err::ExpectedStatement);
    if (accept(T::Eq)) {
      checkAssignable(chain.get());
      ExprPtr value = expr();
      endOfStatement();
      // k = k & expr -> in-place append.
      auto* target = dynamic_cast<Ident*>(chain.get());
      auto* cat = dynamic_cast<Binary*>(value.get());
      if (target && !target->hasArgs && cat && cat->op == Op::Concat) {
        auto* left = dynamic_cast<Ident*>(cat->a.get());
        if (left && !left->hasArgs && equalsNoCase(left->name, target->name)) {
          auto ap = node<AppendStmt>(at);
          ap->target = std::move(chain);
          ap->value = std::move(cat->b);
          discarded_.push_back(std::move(value));  // its identifiers are still pending
          return ap;
        }
      }
      auto a = node<AssignStmt>(at);
      a->target = std::move(chain);
      a->value = std::move(value);
      return a;
    }
    auto c = node<CallStmt>(at);
    ExprList* args = nullptr;
    bool hadParens = false;
    if (auto* id = dynamic_cast<Ident*>(chain.get())) {
      args = &id->args;
      hadParens = id->hasArgs;
      if (id->bind == Bind::Me) fail(err::ExpectedStatement);
    } else if (auto* m = dynamic_cast<Member*>(chain.get())) {
      args = &m->args;
      hadParens = m->hasArgs;
    }
    if (atEndOfStatement()) {
      // f(x) as a statement passes x by value.
      if (args && hadParens && args->size() == 1 && (*args)[0]) {
        auto p = std::make_unique<Paren>();
        p->line = (*args)[0]->line;
        p->col = (*args)[0]->col;
        p->a = std::move((*args)[0]);
        (*args)[0] = std::move(p);
      }
      endOfStatement();
      c->call = std::move(chain);
      return c;
    }
    if (!args) fail(err::ExpectedEndOfStatement);
    if (hadParens) {
      // f (x) + 1, y  -> the parenthesised part starts the first argument.
      if (args->size() != 1 || !(*args)[0]) fail(err::ExpectedEndOfStatement);
      auto p = std::make_unique<Paren>();
      p->a = std::move((*args)[0]);
      args->clear();
      ExprPtr first = binaryRest(std::move(p), 1);
      args->push_back(std::move(first));
      if (!atEndOfStatement()) {
        expect(T::Comma, err::ExpectedEndOfStatement);
        bareArgs(*args);
      }
    } else {
      bareArgs(*args);
    }
    // Without parentheses the call has arguments but no parens; the
    // interpreter treats hasArgs only as "written with parens".
    endOfStatement();
    c->call = std::move(chain);
    return c;
  }

  void bareArgs(ExprList& args) {
    while (true) {
      if (is(T::Comma)) {
        args.push_back(nullptr);
        next();
        continue;
      }
      if (atEndOfStatement()) {
        args.push_back(nullptr);
        break;
      }
      args.push_back(expr());
      if (!accept(T::Comma)) break;
      if (atEndOfStatement()) {
        args.push_back(nullptr);
        break;
      }
    }
  }

  StmtPtr dimStatement(const Token& at, bool redim) {
    auto d = node<DimStmt>(at);
    d->redim = redim;
    if (redim && acceptKw(Kw::Preserve)) d->preserve = true;
    do {
      Token vt = cur();
      std::u16string name = identName();
      ExprList bounds;
      bool hasParens = false;
      if (accept(T::LParen)) {
        hasParens = true;
        if (!is(T::RParen)) {
          do {
            bounds.push_back(expr());
          } while (accept(T::Comma));
        }
        expect(T::RParen, err::ExpectedRParen);
      }
      if (!redim) declareVariable(vt, name, hasParens && bounds.empty());
      if (redim && !hasParens) fail(err::ExpectedLParen);
      if (redim || !bounds.empty()) {
        DimStmt::Item item;
        Ident* id = newIdent(vt, name);
        id->declares = redim;
        item.var = ExprPtr(id);
        item.bounds = std::move(bounds);
        if (redim && item.bounds.empty()) fail(err::ExpectedExpression);
        if (redim && !proc_) declared_.insert(unit_.scope->get(name));
        // ReDim of a name that is neither a local, a member of the
        // class nor a global declares a local; decided once the whole
        // unit is known, since members and globals may come later.
        if (redim && proc_ && !opts_.context) redims_.push_back({proc_, cls_, name});
        d->items.push_back(std::move(item));
      }
    } while (accept(T::Comma));
    endOfStatement();
    if (d->items.empty()) return nullptr;
    return d;
  }

  void declareVariable(const Token& at, const std::u16string& name, bool dynamicArray) {
    if (proc_ && !opts_.context) {
      if (proc_->locals.count(name)) lx_.throwCompileError(err::NameRedefined, at.line, at.col);
      int slot = proc_->localCount++;
      proc_->locals[name] = {Bind::Local, slot, false};
      if (dynamicArray) proc_->dynArrays.push_back(slot);
    } else {
      Global* g = unit_.scope->get(name);
      declared_.insert(g);
      if (dynamicArray) dynGlobals_.push_back(g);
    }
  }

  StmtPtr constStatement(const Token& at) {
    auto c = node<ConstStmt>(at);
    do {
      Token vt = cur();
      std::u16string name = identName();
      expect(T::Eq, err::ExpectedEqual);
      ExprPtr value = expr();
      if (proc_ && !opts_.context) {
        if (proc_->locals.count(name)) lx_.throwCompileError(err::NameRedefined, vt.line, vt.col);
        int slot = proc_->localCount++;
        proc_->locals[name] = {Bind::Local, slot, true};
      } else {
        Global* g = unit_.scope->get(name);
        declared_.insert(g);
        consts_.insert(g);
        // Literal constants are known before any code runs.
        if (value->literal) constValues_.emplace_back(g, static_cast<Literal*>(value.get())->value);
      }
      Ident* id = newIdent(vt, name);
      id->isConst = true;
      c->items.emplace_back(ExprPtr(id), std::move(value));
    } while (accept(T::Comma));
    endOfStatement();
    return c;
  }

  // Parses statements until one of the stop keywords starts a statement.
  Block block(std::initializer_list<Kw> stops) {
    Block b;
    while (true) {
      skipSeparators();
      if (is(T::Eof)) return b;
      if (is(T::Ident)) {
        for (Kw k : stops)
          if (cur().kw == k) return b;
      }
      if (auto s = statement()) b.push_back(std::move(s));
    }
  }

  void expectEnd(Kw what, int32_t number) {
    if (!acceptKw(Kw::End)) fail(number);
    if (!acceptKw(what)) fail(number);
  }

  StmtPtr ifStatement() {
    Token at = cur();
    next();
    auto s = node<IfStmt>(at);
    ExprPtr cond = expr();
    expectKw(Kw::Then, err::ExpectedThen);
    if (is(T::Eol) || is(T::Eof)) {
      Block body = block({Kw::ElseIf, Kw::Else, Kw::End});
      s->branches.emplace_back(std::move(cond), std::move(body));
      while (true) {
        if (acceptKw(Kw::ElseIf)) {
          ExprPtr c2 = expr();
          expectKw(Kw::Then, err::ExpectedThen);
          Block b2 = block({Kw::ElseIf, Kw::Else, Kw::End});
          s->branches.emplace_back(std::move(c2), std::move(b2));
        } else if (acceptKw(Kw::Else)) {
          s->elseBlock = block({Kw::End});
          expectEnd(Kw::If, err::ExpectedIf);
          break;
        } else {
          if (!isKw(Kw::End) || peek().kw != Kw::If) fail(err::ExpectedEnd);
          expectEnd(Kw::If, err::ExpectedIf);
          break;
        }
      }
      endOfStatement();
      return s;
    }
    // Single-line form: If c Then a : b Else c : d
    ++singleLineIf_;
    Block body = inlineStatements();
    s->branches.emplace_back(std::move(cond), std::move(body));
    if (acceptKw(Kw::Else)) s->elseBlock = inlineStatements();
    --singleLineIf_;
    if (isKw(Kw::End) && peek().kw == Kw::If) {
      next();
      next();
    }
    if (is(T::Eol) || is(T::Colon))
      next();
    else if (!is(T::Eof) && !inlineIfEnd() && !blockEndFollows())
      fail(err::ExpectedEndOfStatement);
    return s;
  }

  Block inlineStatements() {
    Block b;
    while (true) {
      if (is(T::Eol) || is(T::Eof) || isKw(Kw::Else)) break;
      if (isKw(Kw::End) && peek().kw == Kw::If) break;
      if (blockEndFollows()) break;
      if (accept(T::Colon)) continue;
      if (auto s = statement()) b.push_back(std::move(s));
      // statement() consumed a ':' separator; an Eol ends the line.
      if (p_ > 0 && t_[p_ - 1].type == T::Eol) {
        --p_;
        break;
      }
    }
    return b;
  }

  StmtPtr forStatement() {
    Token at = cur();
    next();
    if (acceptKw(Kw::Each)) {
      auto s = node<ForEachStmt>(at);
      Token vt = cur();
      s->var = ExprPtr(newIdent(vt, identName()));
      expectKw(Kw::In, err::ExpectedIn);
      s->collection = expr();
      endOfStatement();
      ++forDepth_;
      s->body = block({Kw::Next});
      --forDepth_;
      expectKw(Kw::Next, err::ExpectedNext);
      if (is(T::Ident) && cur().kw == Kw::None) next();
      endOfStatement();
      return s;
    }
    auto s = node<ForStmt>(at);
    Token vt = cur();
    if (!is(T::Ident)) fail(err::InvalidForVariable);
    s->var = ExprPtr(newIdent(vt, identName(err::InvalidForVariable)));
    expect(T::Eq, err::ExpectedEqual);
    s->from = unparen(expr());
    expectKw(Kw::To, err::ExpectedTo);
    s->to = unparen(expr());
    if (acceptKw(Kw::Step)) s->step = unparen(expr());
    endOfStatement();
    ++forDepth_;
    s->body = block({Kw::Next});
    --forDepth_;
    expectKw(Kw::Next, err::ExpectedNext);
    if (is(T::Ident) && (cur().kw == Kw::None || softKeyword(cur().kw))) next();
    endOfStatement();
    return s;
  }

  StmtPtr doStatement() {
    Token at = cur();
    next();
    auto s = node<DoStmt>(at);
    if (isKw(Kw::While) || isKw(Kw::Until)) {
      s->until = isKw(Kw::Until);
      next();
      s->cond = expr();
    }
    endOfStatement();
    ++doDepth_;
    s->body = block({Kw::Loop});
    --doDepth_;
    expectKw(Kw::Loop, err::ExpectedLoop);
    if (isKw(Kw::While) || isKw(Kw::Until)) {
      if (s->cond) fail(err::ExpectedEndOfStatement);
      s->until = isKw(Kw::Until);
      s->post = true;
      next();
      s->cond = expr();
    }
    endOfStatement();
    return s;
  }

  StmtPtr whileStatement() {
    Token at = cur();
    next();
    auto s = node<DoStmt>(at);
    s->cond = expr();
    endOfStatement();
    s->body = block({Kw::Wend});
    expectKw(Kw::Wend, err::ExpectedWend);
    endOfStatement();
    return s;
  }

  StmtPtr selectStatement() {
    Token at = cur();
    next();
    expectKw(Kw::Case, err::ExpectedCase);
    auto s = node<SelectStmt>(at);
    s->subject = expr();
    endOfStatement();
    skipSeparators();
    while (acceptKw(Kw::Case)) {
      CaseClause cc;
      if (!acceptKw(Kw::Else)) {
        do {
          CaseClause::Item item;
          if (acceptKw(Kw::Is)) {
            item.kind = 2;
            Op op;
            if (binaryPrec(cur(), op) != 7 || op == Op::Is) fail(err::SyntaxError);
            item.op = op;
            next();
            item.a = expr();
          } else {
            item.a = expr();
            if (acceptKw(Kw::To)) {
              item.kind = 1;
              item.b = expr();
            }
          }
          cc.items.push_back(std::move(item));
        } while (accept(T::Comma));
      }
      if (is(T::Colon) || is(T::Eol)) next();
      cc.body = block({Kw::Case, Kw::End});
      s->cases.push_back(std::move(cc));
    }
    expectEnd(Kw::Select, err::ExpectedSelect);
    endOfStatement();
    return s;
  }

  StmtPtr withStatement() {
    Token at = cur();
    next();
    auto s = node<WithStmt>(at);
    s->object = expr();
    endOfStatement();
    s->body = block({Kw::End});
    expectEnd(Kw::With, err::ExpectedWith);
    endOfStatement();
    return s;
  }

  // ---- procedures and classes ----
  void procedure(const Token& at, bool isPublic, bool isDefault, ClassDef* cls) {
    auto pr = std::make_unique<Procedure>();
    pr->line = at.line;
    pr->unit = &unit_;
    pr->owner = cls;
    pr->isPublic = isPublic;
    pr->isDefault = isDefault;
    Kw endKw;
    if (acceptKw(Kw::Sub)) {
      pr->kind = ProcKind::Sub;
      endKw = Kw::Sub;
    } else if (acceptKw(Kw::Function)) {
      pr->kind = ProcKind::Function;
      endKw = Kw::Function;
    } else {
      expectKw(Kw::Property, err::ExpectedProperty);
      endKw = Kw::Property;
      if (acceptKw(Kw::Get))
        pr->kind = ProcKind::PropertyGet;
      else if (acceptKw(Kw::Let))
        pr->kind = ProcKind::PropertyLet;
      else if (acceptKw(Kw::Set))
        pr->kind = ProcKind::PropertySet;
      else
        fail(err::ExpectedLetSetGet);
    }
    if (isDefault && pr->kind != ProcKind::PropertyGet && pr->kind != ProcKind::Function && pr->kind != ProcKind::Sub)
      fail(err::DefaultOnlyProperty);
    Token nameTok = cur();
    pr->name = identName();
    if (pr->returnsValue()) pr->localCount = 1;
    if (accept(T::LParen)) {
      if (!is(T::RParen)) {
        do {
          Param prm;
          if (acceptKw(Kw::ByVal))
            prm.byRef = false;
          else
            acceptKw(Kw::ByRef);
          Token pt = cur();
          prm.name = identName();
          if (accept(T::LParen)) {
            expect(T::RParen, err::ExpectedRParen);
            prm.isArray = true;
          }
          if (pr->locals.count(prm.name)) lx_.throwCompileError(err::NameRedefined, pt.line, pt.col);
          if (prm.byRef) {
            prm.slot = pr->refCount++;
            pr->locals[prm.name] = {Bind::RefParam, prm.slot, false};
          } else {
            prm.slot = pr->localCount++;
            pr->locals[prm.name] = {Bind::Local, prm.slot, false};
          }
          pr->params.push_back(std::move(prm));
        } while (accept(T::Comma));
      }
      expect(T::RParen, err::ExpectedRParen);
    }
    if ((pr->kind == ProcKind::PropertyLet || pr->kind == ProcKind::PropertySet) && pr->params.empty())
      fail(err::PropertyLetSetArgs);
    // The body may start on the header's line: Sub f() x = 1 End Sub.
    if (is(T::Colon) || is(T::Eol))
      next();
    else if (!is(T::Eof) && !is(T::Ident))
      fail(err::ExpectedEndOfStatement);
    Procedure* saved = proc_;
    proc_ = pr.get();
    int savedFor = forDepth_, savedDo = doDepth_;
    forDepth_ = doDepth_ = 0;
    pr->body = block({Kw::End});
    forDepth_ = savedFor;
    doDepth_ = savedDo;
    proc_ = saved;
    int32_t endErr = endKw == Kw::Sub        ? err::ExpectedSub
                     : endKw == Kw::Function ? err::ExpectedFunction
                                             : err::ExpectedProperty;
    if (!isKw(Kw::End)) fail(err::ExpectedEnd);
    expectEnd(endKw, endErr);
    endOfStatement();
    if (cls) {
      addClassMember(cls, std::move(pr), nameTok);
    } else {
      Global* g = unit_.scope->get(pr->name);
      declared_.insert(g);
      procsToBind_.emplace_back(g, pr.get());
      unit_.procs.push_back(std::move(pr));
    }
  }

  void addClassMember(ClassDef* cls, std::unique_ptr<Procedure> pr, const Token& at) {
    Procedure* p = pr.get();
    cls->procs.push_back(std::move(pr));
    if (equalsNoCase(p->name, u"Class_Initialize") && p->kind == ProcKind::Sub) {
      if (!p->params.empty()) lx_.throwCompileError(err::ClassInitNoArgs, at.line, at.col);
      cls->initialize = p;
    } else if (equalsNoCase(p->name, u"Class_Terminate") && p->kind == ProcKind::Sub) {
      if (!p->params.empty()) lx_.throwCompileError(err::ClassInitNoArgs, at.line, at.col);
      cls->terminate = p;
    }
    int idx = classMemberIndex(cls, p->name, at);
    ClassMember& m = cls->members[idx];
    bool clash = false;
    switch (p->kind) {
      case ProcKind::Sub:
      case ProcKind::Function:
        clash = m.method || m.get || m.let || m.set || m.field >= 0;
        m.method = p;
        break;
      case ProcKind::PropertyGet:
        clash = m.method || m.get || m.field >= 0;
        m.get = p;
        break;
      case ProcKind::PropertyLet:
        clash = m.method || m.let || m.field >= 0;
        m.let = p;
        break;
      case ProcKind::PropertySet:
        clash = m.method || m.set || m.field >= 0;
        m.set = p;
        break;
    }
    if (clash) lx_.throwCompileError(err::NameRedefined, at.line, at.col);
    if (p->kind == ProcKind::Sub || p->kind == ProcKind::Function || p->kind == ProcKind::PropertyGet)
      m.isPublic = p->isPublic;
    if (p->isDefault) {
      if (!p->isPublic) lx_.throwCompileError(err::DefaultOnlyPublic, at.line, at.col);
      if (cls->defaultMember >= 0 && cls->defaultMember != idx)
        lx_.throwCompileError(err::MultipleDefault, at.line, at.col);
      cls->defaultMember = idx;
    }
  }

  int classMemberIndex(ClassDef* cls, const std::u16string& name, const Token&) {
    auto it = cls->memberIndex.find(name);
    if (it != cls->memberIndex.end()) return it->second;
    int idx = static_cast<int>(cls->members.size());
    ClassMember m;
    m.name = name;
    cls->members.push_back(std::move(m));
    cls->memberIndex[name] = idx;
    return idx;
  }

  void classDef(const Token&) {
    if (proc_ || opts_.context) fail(err::SyntaxError);
    next();
    auto cls = std::make_unique<ClassDef>();
    cls->unit = &unit_;
    Token nameTok = cur();
    cls->name = identName();
    endOfStatement();
    ClassDef* saved = cls_;
    cls_ = cls.get();
    while (true) {
      skipSeparators();
      if (is(T::Eof)) fail(err::ExpectedEnd);
      Token mt = cur();
      if (isKw(Kw::End)) break;
      bool isPublic = true, isDefault = false, hadScope = false;
      if (isKw(Kw::Public) || isKw(Kw::Private)) {
        isPublic = isKw(Kw::Public);
        hadScope = true;
        next();
      }
      if (acceptKw(Kw::Default)) {
        if (!isPublic) fail(err::DefaultOnlyPublic);
        isDefault = true;
      }
      if (isKw(Kw::Sub) || isKw(Kw::Function) || isKw(Kw::Property)) {
        procedure(mt, isPublic, isDefault, cls.get());
        continue;
      }
      if (isDefault) fail(err::SyntaxError);
      if (isKw(Kw::Const)) fail(err::SyntaxError);
      if (acceptKw(Kw::Dim)) {
        if (hadScope) fail(err::SyntaxError);
      } else if (!hadScope) {
        fail(err::ExpectedEnd);
      }
      // Field list.
      do {
        Token ft = cur();
        std::u16string name = identName();
        ExprList bounds;
        bool dyn = false;
        if (accept(T::LParen)) {
          if (is(T::RParen))
            dyn = true;
          else
            do {
              bounds.push_back(expr());
            } while (accept(T::Comma));
          expect(T::RParen, err::ExpectedRParen);
        }
        if (cls->memberIndex.count(name)) lx_.throwCompileError(err::NameRedefined, ft.line, ft.col);
        int idx = classMemberIndex(cls.get(), name, ft);
        cls->members[idx].isPublic = isPublic;
        cls->members[idx].field = static_cast<int>(cls->fieldNames.size());
        cls->fieldNames.push_back(name);
        if (dyn || !bounds.empty()) {
          DimStmt::Item item;
          // Field arrays are evaluated in global context at New time.
          Procedure* savedProc = proc_;
          proc_ = nullptr;
          item.var = ExprPtr(newIdent(ft, name));
          proc_ = savedProc;
          item.bounds = std::move(bounds);
          cls->fieldArrays.push_back(std::move(item));
        }
      } while (accept(T::Comma));
      endOfStatement();
    }
    expectEnd(Kw::Class, err::ExpectedClass);
    endOfStatement();
    cls_ = saved;
    Global* g = unit_.scope->get(cls->name);
    if (g->kind == GlobalKind::Variable || g->kind == GlobalKind::Procedure || declared_.count(g))
      lx_.throwCompileError(err::NameRedefined, nameTok.line, nameTok.col);
    declared_.insert(g);
    classesToBind_.emplace_back(g, cls.get());
    unit_.classes.push_back(std::move(cls));
  }

  // ---- name resolution ----
  void resolveAll() {
    // Ownership of identifiers created with newIdent passed to the tree
    // already; pending_ only holds raw pointers.
    for (auto& r : redims_) {
      if (r.proc->locals.count(r.name)) continue;
      if (r.cls && r.cls->find(r.name)) continue;
      Global* g = unit_.scope->find(r.name);
      if (g && (g->kind != GlobalKind::Undeclared || declared_.count(g))) continue;
      int slot = r.proc->localCount++;
      r.proc->locals[r.name] = {Bind::Local, slot, false};
    }
    for (auto& pi : pending_) resolve(pi);
    for (NewExpr* n : newExprs_) {
      // The built-in classes (RegExp) win over script classes of the same name.
      if (auto f = in_.registry().findClass(n->className)) {
        n->factory = f;
        continue;
      }
      if (Global* g = unit_.scope->find(n->className); g && (g->kind == GlobalKind::Class || declared_.count(g)))
        n->global = g;
      else if (auto f = in_.registry().findClass(n->className))
        n->factory = f;
      else
        n->global = unit_.scope->get(n->className);
    }
  }

  void resolve(const PendingIdent& pi) {
    Ident* id = pi.id;
    if (id->bind == Bind::Me) return;
    id->explicitCheck = unit_.optionExplicit && !id->declares;
    if (Procedure* pr = pi.proc) {
      auto it = pr->locals.find(id->name);
      if (it != pr->locals.end()) {
        id->bind = it->second.bind;
        id->index = it->second.index;
        id->isConst = id->isConst || it->second.isConst;
        return;
      }
      if (pr->returnsValue() && !id->hasArgs && equalsNoCase(id->name, pr->name)) {
        id->bind = Bind::Local;
        id->index = 0;
        return;
      }
    }
    if (ClassDef* c = pi.cls) {
      if (const ClassMember* m = c->find(id->name)) {
        int idx = static_cast<int>(m - c->members.data());
        if (m->field >= 0) {
          id->bind = Bind::Field;
          id->index = m->field;
        } else {
          id->bind = Bind::MeMember;
          id->index = idx;
        }
        return;
      }
    }
    Global* g = unit_.scope->find(id->name);
    if (g && (g->kind != GlobalKind::Undeclared || declared_.count(g))) {
      id->bind = Bind::Global;
      id->global = g;
      return;
    }
    const Registry& reg = in_.registry();
    if (equalsNoCase(id->name, u"Eval")) {
      id->bind = Bind::Eval;
      return;
    }
    if (equalsNoCase(id->name, u"GetRef")) {
      id->bind = Bind::GetRef;
      return;
    }
    if (equalsNoCase(id->name, u"Execute")) {
      id->bind = Bind::Execute;
      return;
    }
    if (equalsNoCase(id->name, u"ExecuteGlobal")) {
      id->bind = Bind::ExecuteGlobal;
      return;
    }
    if (const FunctionInfo* f = reg.findFunction(id->name)) {
      id->bind = Bind::Builtin;
      id->builtin = f;
      return;
    }
    if (const Value* c = reg.findConstant(id->name)) {
      id->bind = Bind::Constant;
      id->constant = c;
      id->isConst = true;
      return;
    }
    if (ObjectFactory f = reg.findIntrinsicObject(id->name)) {
      id->bind = Bind::Intrinsic;
      id->intrinsic = f;
      return;
    }
    g = unit_.scope->get(id->name);
    id->global = g;
    if (pi.proc && !opts_.context) {
      Procedure* pr = pi.proc;
      auto it = implicitLocals_.find({pr, lowerCase(id->name)});
      int slot;
      if (it == implicitLocals_.end()) {
        slot = pr->localCount++;
        implicitLocals_[{pr, lowerCase(id->name)}] = slot;
      } else {
        slot = it->second;
      }
      id->bind = Bind::Dynamic;
      id->index = slot;
    } else {
      id->bind = Bind::Global;
    }
  }

 public:
  // Applies the declarations once the whole unit compiled.
  void commit() {
    for (Global* g : declared_) {
      if (g->kind == GlobalKind::Undeclared) g->kind = GlobalKind::Variable;
    }
    for (Global* g : consts_) g->kind = GlobalKind::Constant;
    for (auto& [g, v] : constValues_) g->value = v;
    for (Global* g : dynGlobals_) g->value = Value(Array::createUndimensioned());
    for (auto& [g, p] : procsToBind_) {
      if (g->kind != GlobalKind::Procedure) unit_.scope->procOrder.push_back(g);
      g->kind = GlobalKind::Procedure;
      g->proc = p;
      g->value = Value();
    }
    for (auto& [g, c] : classesToBind_) {
      g->kind = GlobalKind::Class;
      g->cls = c;
    }
  }

 private:
  struct PairHash {
    size_t operator()(const std::pair<Procedure*, std::u16string>& k) const {
      return std::hash<const void*>()(k.first) ^ NoCaseHash()(k.second);
    }
  };

  Interp& in_;
  Unit& unit_;
  std::vector<Token> t_;
  Lexer& lx_;
  ParseOptions opts_;
  size_t p_ = 0;
  int depth_ = 0;
  int singleLineIf_ = 0;
  int forDepth_ = 0, doDepth_ = 0;
  Procedure* proc_ = nullptr;
  ClassDef* cls_ = nullptr;
  std::vector<PendingIdent> pending_;
  struct PendingRedim {
    Procedure* proc;
    ClassDef* cls;
    std::u16string name;
  };
  std::vector<PendingRedim> redims_;
  std::vector<ExprPtr> discarded_;
  std::vector<NewExpr*> newExprs_;
  std::unordered_set<Global*> declared_, consts_;
  std::vector<std::pair<Global*, Value>> constValues_;
  std::vector<Global*> dynGlobals_;
  std::vector<std::pair<Global*, Procedure*>> procsToBind_;
  std::vector<std::pair<Global*, ClassDef*>> classesToBind_;
  std::unordered_map<std::pair<Procedure*, std::u16string>, int, PairHash> implicitLocals_;
};

}  // namespace

std::u16string Unit::lineText(int line) const {
  if (line < 1 || static_cast<size_t>(line) > lineStarts.size()) return {};
  size_t b = lineStarts[line - 1];
  size_t e = b;
  while (e < source.size() && source[e] != u'\r' && source[e] != u'\n') ++e;
  return source.substr(b, e - b);
}

void GlobalScope::clearValues(bool namedObjects) {
  // Terminate code may add globals while this runs; index, don't iterate.
  for (size_t i = 0; i < order_.size(); ++i) {
    Global* g = order_[i];
    if (g->kind == GlobalKind::NamedObject && !namedObjects) continue;
    Value old = std::move(g->value);
    g->value = Value();
  }
  if (namedObjects) memberObjects.clear();
}

GlobalScope::Saved GlobalScope::save() const {
  Saved s;
  for (const Global* g : order_) s.entries.push_back({g->kind, g->value, g->proc, g->cls, g->value.isArray()});
  s.procs = procOrder.size();
  s.units = units.size();
  s.members = memberObjects.size();
  return s;
}

void GlobalScope::restore(const Saved& s) {
  // Script variables go first so that Class_Terminate can still use the named objects;
  // terminate code may add globals meanwhile, so index rather than iterate.
  for (int pass = 0; pass < 2; ++pass) {
    for (size_t i = 0; i < order_.size(); ++i) {
      Global* g = order_[i];
      if ((g->kind == GlobalKind::NamedObject) != (pass == 1)) continue;
      Value old = std::move(g->value);
      g->value = Value();
    }
  }
  memberObjects.clear();
  for (size_t i = 0; i < order_.size(); ++i) {
    Global* g = order_[i];
    if (i >= s.entries.size()) {
      g->kind = GlobalKind::Undeclared;
      g->proc = nullptr;
      g->cls = nullptr;
      continue;
    }
    const Saved::Entry& e = s.entries[i];
    g->kind = e.kind;
    g->proc = e.proc;
    g->cls = e.cls;
    g->value = e.array ? Value(Array::createUndimensioned()) : e.value;
  }
  if (procOrder.size() > s.procs) procOrder.resize(s.procs);
  if (units.size() > s.units) units.resize(s.units);
  // Member objects are all named objects, added again by the host for each run.
  (void)s.members;
}

std::shared_ptr<Unit> compile(Interp& in, std::u16string source, const std::shared_ptr<GlobalScope>& scope,
                              const ParseOptions& opts) {
  auto unit = std::make_shared<Unit>();
  unit->self = unit;
  unit->scope = scope;
  unit->source = std::move(source);
  unit->lineStarts.push_back(0);
  for (size_t i = 0; i < unit->source.size(); ++i) {
    char16_t c = unit->source[i];
    if (c == u'\n' || (c == u'\r' && (i + 1 >= unit->source.size() || unit->source[i + 1] != u'\n')))
      unit->lineStarts.push_back(i + 1);
  }
  if (opts.context) unit->optionExplicit = opts.context->unit ? opts.context->unit->optionExplicit : false;
  Lexer lx(unit->source, *unit);
  Parser parser(in, *unit, lx.run(), lx, opts);
  parser.parseProgram();
  parser.commit();
  return unit;
}

}  // namespace vbs::detail
