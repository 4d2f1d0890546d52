// The tree-walking interpreter.
#include "platform/vbscript/interp.h"

#include <cmath>
#include <new>
#include <stdexcept>

namespace vbs::detail {

namespace {

constexpr size_t kMaxString = size_t(1) << 25;  // 32M UTF-16 units

enum Kind { kGet = 0, kCall = 1, kLet = 2, kSet = 3 };

// Argument storage for one call: values for by-value arguments, pointers
// for all of them.  Array elements passed by reference lock their array.
struct ArgPack {
  static constexpr size_t kInline = 6;
  Value vals[kInline];
  Value* ptrs[kInline + 1];
  std::unique_ptr<Value[]> heapVals;
  std::unique_ptr<Value*[]> heapPtrs;
  Value* v = vals;
  Value** p = ptrs;
  size_t n = 0;
  std::vector<Value> holds;

  ArgPack() = default;
  ArgPack(const ArgPack&) = delete;
  ~ArgPack() {
    for (auto& h : holds) --h.asArray()->locks;
  }
  void reserve(size_t count) {
    if (count > kInline) {
      heapVals = std::make_unique<Value[]>(count + 1);
      heapPtrs = std::make_unique<Value*[]>(count + 1);
      v = heapVals.get();
      p = heapPtrs.get();
    }
  }
  void hold(Value&& h) {
    if (h.isArray()) {
      ++h.asArray()->locks;
      holds.push_back(std::move(h));
    }
  }
  Args args() const { return Args(p, n); }
};

enum class RefMode { None, All, Proc, Mask };

void evalArgs(Frame& f, ExprList& list, ArgPack& pk, RefMode mode, const Procedure* proc = nullptr, uint32_t mask = 0) {
  pk.reserve(list.size());
  pk.n = list.size();
  for (size_t i = 0; i < list.size(); ++i) {
    Expr* e = list[i].get();
    if (!e) {
      pk.v[i] = Value::missing();
      pk.p[i] = &pk.v[i];
      continue;
    }
    bool wantRef = false;
    switch (mode) {
      case RefMode::None: break;
      case RefMode::All: wantRef = true; break;
      case RefMode::Proc: wantRef = i < proc->params.size() && proc->params[i].byRef; break;
      case RefMode::Mask: wantRef = i < 32 && (mask >> i & 1); break;
    }
    if (wantRef) {
      Value hold;
      if (Value* a = e->address(f, hold)) {
        pk.p[i] = a;
        pk.hold(std::move(hold));
        continue;
      }
    }
    pk.v[i] = e->eval(f);
    // A ByRef parameter that got a value, (arr) for instance, must not
    // reach the caller's array through the shared storage.
    if (wantRef && pk.v[i].isArray() && pk.v[i].asArray()->refCount() > 1) pk.v[i] = Value(pk.v[i].asArray()->clone());
    pk.p[i] = &pk.v[i];
  }
}

Value deobj(Frame& f, Value v) {
  if (v.isObject()) return f.in.defaultValue(v);
  return v;
}

// Stores a value into a variable with VBScript's copy semantics for arrays.
void store(Value& slot, Value v) {
  if (v.isArray() && v.asArray()->refCount() > 1) v = Value(v.asArray()->clone());
  slot = std::move(v);
}

void indices(Frame& f, ExprList& args, std::vector<int32_t>& out) {
  out.clear();
  for (auto& a : args) {
    if (!a) raise(err::SubscriptOutOfRange);
    out.push_back(deobj(f, a->eval(f)).toLong());
  }
}

void indices(Args args, std::vector<int32_t>& out) {
  out.clear();
  for (size_t i = 0; i < args.size(); ++i) {
    if (args.isMissing(i)) raise(err::SubscriptOutOfRange);
    const Value& v = args[i];
    out.push_back(v.toLong());
  }
}

Value* elementOf(Frame& f, Value& base, ExprList& args) {
  int32_t idx[8];
  if (args.size() <= 8) {
    for (size_t i = 0; i < args.size(); ++i) {
      if (!args[i]) raise(err::SubscriptOutOfRange);
      idx[i] = deobj(f, args[i]->eval(f)).toLong();
    }
    return &base.asArray()->at(idx, args.size());
  }
  std::vector<int32_t> v;
  indices(f, args, v);
  return &base.asArray()->at(v.data(), v.size());
}

// base(args) for a value already fetched: array element or default member.
Value indexInto(Frame& f, const Value& base, ExprList& args, bool stmt) {
  if (base.isArray()) {
    if (args.empty()) raise(err::SubscriptOutOfRange);  // a() names no element
    Value b = base;
    return *elementOf(f, b, args);
  }
  if (base.isObject()) {
    Object* o = requireObject(base);
    Value keep = base;
    ArgPack pk;
    evalArgs(f, args, pk, RefMode::All);
    return f.in.invokeObject(o, u"", stmt ? kCall : kGet, pk.args(), nullptr, &f);
  }
  raise(err::TypeMismatch);
}

Object* memberOwner(Frame& f, const std::u16string& name) {
  for (auto& v : f.in.scope()->memberObjects) {
    Object* o = v.asObject();
    if (o && o->hasMember(name)) return o;
  }
  return nullptr;
}

ScriptObject* meOf(Frame& f) { return static_cast<ScriptObject*>(f.me); }

Value evalGlobal(Frame& f, Ident& id, Global* g, bool stmt) {
  switch (g->kind) {
    case GlobalKind::Variable:
    case GlobalKind::Constant:
    case GlobalKind::NamedObject:
      if (!id.hasArgs && id.args.empty()) {
        if (stmt && g->value.isObject() && g->kind == GlobalKind::NamedObject)
          return f.in.invokeObject(requireObject(g->value), u"", kCall, Args(), nullptr, &f);
        return g->value;
      }
      return indexInto(f, g->value, id.args, stmt);
    case GlobalKind::Procedure: {
      ArgPack pk;
      evalArgs(f, id.args, pk, RefMode::Proc, g->proc);
      return f.in.call(g->proc, nullptr, pk.args());
    }
    case GlobalKind::Class: raise(err::TypeMismatch, u"Type mismatch: '" + id.name + u"'");
    case GlobalKind::Undeclared:
      if (Object* owner = memberOwner(f, g->name)) {
        Value keep(owner);
        ArgPack pk;
        evalArgs(f, id.args, pk, RefMode::All);
        return f.in.invokeObject(owner, g->name, stmt ? kCall : kGet, pk.args(), nullptr, &f);
      }
      if (id.explicitCheck) raise(err::VariableUndefined);
      if (!id.hasArgs && id.args.empty()) return Value();
      raise(err::TypeMismatch, u"Type mismatch: '" + id.name + u"'");
  }
  return Value();
}

Value evalIdent(Frame& f, Ident& id, bool stmt) {
  switch (id.bind) {
    case Bind::Local: {
      Value& v = f.locals[id.index];
      if (!id.hasArgs && id.args.empty()) return v;
      return indexInto(f, v, id.args, stmt);
    }
    case Bind::RefParam: {
      Value& v = *f.refs[id.index];
      if (!id.hasArgs && id.args.empty()) return v;
      return indexInto(f, v, id.args, stmt);
    }
    case Bind::Field: {
      Value& v = meOf(f)->fields[id.index];
      if (!id.hasArgs && id.args.empty()) return v;
      return indexInto(f, v, id.args, stmt);
    }
    case Bind::MeMember: {
      ScriptObject* so = meOf(f);
      const ClassMember* m = &so->cls()->members[id.index];
      ArgPack pk;
      if (m->method)
        evalArgs(f, id.args, pk, RefMode::Proc, m->method);
      else if (m->get)
        evalArgs(f, id.args, pk, RefMode::Proc, m->get);
      else
        evalArgs(f, id.args, pk, RefMode::All);
      return f.in.invokeClass(so, m, stmt ? kCall : kGet, pk.args(), nullptr);
    }
    case Bind::Global: return evalGlobal(f, id, id.global, stmt);
    case Bind::Dynamic: {
      Global* g = id.global;
      if (g->kind != GlobalKind::Undeclared) return evalGlobal(f, id, g, stmt);
      if (memberOwner(f, g->name)) return evalGlobal(f, id, g, stmt);
      if (id.explicitCheck) raise(err::VariableUndefined);
      Value& v = f.locals[id.index];
      if (!id.hasArgs && id.args.empty()) return v;
      if (v.isEmpty()) raise(err::TypeMismatch, u"Type mismatch: '" + id.name + u"'");
      return indexInto(f, v, id.args, stmt);
    }
    case Bind::Builtin: {
      const FunctionInfo* fi = id.builtin;
      int n = static_cast<int>(id.args.size());
      if (n < fi->minArgs || (fi->maxArgs >= 0 && n > fi->maxArgs)) raise(err::WrongArgCount);
      ArgPack pk;
      evalArgs(f, id.args, pk, fi->byRefMask ? RefMode::Mask : RefMode::None, nullptr, fi->byRefMask);
      return fi->fn(f.in, pk.args());
    }
    case Bind::Constant:
      if (!id.hasArgs && id.args.empty()) return *id.constant;
      return indexInto(f, *id.constant, id.args, stmt);
    case Bind::Intrinsic: {
      Object* o = f.in.intrinsic(id.intrinsic);
      if (!id.hasArgs && id.args.empty() && !stmt) return Value(o);
      ArgPack pk;
      evalArgs(f, id.args, pk, RefMode::All);
      return f.in.invokeObject(o, u"", stmt ? kCall : kGet, pk.args(), nullptr, &f);
    }
    case Bind::Me: {
      Value me = f.me ? Value(f.me) : f.in.globalMe();
      if (!id.hasArgs && id.args.empty()) return me;
      return indexInto(f, me, id.args, stmt);
    }
    case Bind::Eval:
    case Bind::GetRef:
    case Bind::Execute:
    case Bind::ExecuteGlobal: {
      if (id.args.size() != 1 || !id.args[0]) raise(err::WrongArgCount);
      std::u16string text = deobj(f, id.args[0]->eval(f)).toString();
      if (id.bind == Bind::Eval) return f.in.evalString(f, text);
      if (id.bind == Bind::GetRef) return f.in.makeProcRef(text);
      f.in.executeString(f, text, id.bind == Bind::ExecuteGlobal);
      return Value();
    }
    case Bind::Unresolved: break;
  }
  raise(err::SyntaxError);
}

// Storage for a plain variable binding, or nullptr when the name is not a
// variable (procedure, property, member of a named object ...).
Value* variableSlot(Frame& f, Ident& id) {
  switch (id.bind) {
    case Bind::Local: return &f.locals[id.index];
    case Bind::RefParam: return f.refs[id.index];
    case Bind::Field: return &meOf(f)->fields[id.index];
    case Bind::Global:
    case Bind::Dynamic: {
      Global* g = id.global;
      if (g->kind == GlobalKind::Variable) return &g->value;
      if (g->kind == GlobalKind::Constant) return nullptr;
      if (g->kind != GlobalKind::Undeclared) return nullptr;
      if (memberOwner(f, g->name)) return nullptr;
      if (id.explicitCheck) raise(err::VariableUndefined);
      if (id.bind == Bind::Dynamic) return &f.locals[id.index];
      g->kind = GlobalKind::Variable;
      return &g->value;
    }
    default: return nullptr;
  }
}

void assignIdent(Frame& f, Ident& id, Value v, bool isSet) {
  if (id.isConst) raise(err::IllegalAssignment, u"Illegal assignment: '" + id.name + u"'");
  bool withArgs = id.hasArgs || !id.args.empty();
  if (id.bind == Bind::MeMember) {
    ScriptObject* so = meOf(f);
    const ClassMember* m = &so->cls()->members[id.index];
    ArgPack pk;
    evalArgs(f, id.args, pk, RefMode::All);
    f.in.invokeClass(so, m, isSet ? kSet : kLet, pk.args(), &v);
    return;
  }
  Global* g = (id.bind == Bind::Global || id.bind == Bind::Dynamic) ? id.global : nullptr;
  if (g && g->kind == GlobalKind::NamedObject) {
    Object* o = requireObject(g->value);
    Value keep = g->value;
    ArgPack pk;
    evalArgs(f, id.args, pk, RefMode::All);
    f.in.invokeObject(o, u"", isSet ? kSet : kLet, pk.args(), &v, &f);
    return;
  }
  if (g && g->kind == GlobalKind::Undeclared) {
    if (Object* owner = memberOwner(f, g->name)) {
      Value keep(owner);
      ArgPack pk;
      evalArgs(f, id.args, pk, RefMode::All);
      f.in.invokeObject(owner, g->name, isSet ? kSet : kLet, pk.args(), &v, &f);
      return;
    }
  }
  Value* slot = variableSlot(f, id);
  if (!slot) raise(err::IllegalAssignment, u"Illegal assignment: '" + id.name + u"'");
  if (!withArgs) {
    store(*slot, std::move(v));
    return;
  }
  if (slot->isArray()) {
    Value keep = *slot;
    Value* e = elementOf(f, keep, id.args);
    store(*e, std::move(v));
    return;
  }
  if (slot->isObject()) {
    Value keep = *slot;
    Object* o = requireObject(keep);
    ArgPack pk;
    evalArgs(f, id.args, pk, RefMode::All);
    f.in.invokeObject(o, u"", isSet ? kSet : kLet, pk.args(), &v, &f);
    return;
  }
  raise(err::TypeMismatch, u"Type mismatch: '" + id.name + u"'");
}

Value withObject(Frame& f) {
  if (f.with.empty()) raise(err::InvalidQualifier);
  return f.with.back();
}

// The object whose member an expression uses; Nothing has no members.
Object* memberBase(const Value& v) {
  if (v.isObject() && !v.asObject()) raise(err::ObjectRequired);
  return requireObject(v);
}

Value evalMember(Frame& f, Member& m, bool stmt) {
  Value base = m.object ? m.object->eval(f) : withObject(f);
  Object* o = memberBase(base);
  ArgPack pk;
  evalArgs(f, m.args, pk, RefMode::All);
  return f.in.invokeObject(o, m.name, stmt ? kCall : kGet, pk.args(), nullptr, &f);
}

// Evaluates the header of a block statement.  Under On Error Resume Next an
// error there is recorded in Err and execution goes on with the block's first
// statement, as VBScript does: the result is false then.
template <class Fn>
bool header(Frame& f, Fn&& fn) {
  if (!f.resumeNext) {
    fn();
    return true;
  }
  try {
    fn();
    return true;
  } catch (ScriptError& e) {
    if (e.number == err::Timeout) throw;
    ErrState& es = f.in.err();
    es.number = e.number;
    es.description = e.description;
    es.source = e.source.empty() ? std::u16string(u"Microsoft VBScript runtime error") : e.source;
    return false;
  }
}

struct WithGuard {
  Frame& f;
  ~WithGuard() { f.with.pop_back(); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Expression nodes

Value Ident::eval(Frame& f) { return evalIdent(f, *this, false); }

Value* Ident::address(Frame& f, Value& hold) {
  if (isConst) return nullptr;
  if (bind == Bind::Global || bind == Bind::Dynamic) {
    GlobalKind k = global->kind;
    if (k != GlobalKind::Variable && k != GlobalKind::Undeclared) return nullptr;
  }
  Value* base = variableSlot(f, *this);
  if (!base) return nullptr;
  if (!hasArgs && args.empty()) return base;
  if (!base->isArray()) return nullptr;
  hold = *base;
  return elementOf(f, hold, args);
}

Value Member::eval(Frame& f) { return evalMember(f, *this, false); }

Value IndexCall::eval(Frame& f) {
  Value base = target->eval(f);
  return indexInto(f, base, args, false);
}

Value* IndexCall::address(Frame& f, Value& hold) {
  Value inner;
  Value* base = target->address(f, inner);
  if (!base || !base->isArray()) return nullptr;
  hold = *base;
  return elementOf(f, hold, args);
}

Value NewExpr::eval(Frame& f) {
  if (factory) {
    Ref<Object> o = factory(f.in);
    return Value(o.get());
  }
  if (global && global->kind == GlobalKind::Class) return f.in.newObject(global->cls, f.in.keepUnit(global->cls->unit));
  raise(506, u"Class not defined: '" + className + u"'");
}

Value Unary::eval(Frame& f) {
  Value v = a->eval(f);
  if (v.isObject()) v = f.in.defaultValue(v);
  if (op == Op::Not && v.type() == Type::Boolean) return Value(!v.asBool());
  return evalUnary(f.in, op, v);
}

Value Binary::eval(Frame& f) {
  Value x = a->eval(f);
  Value y = b->eval(f);
  if (op == Op::Is) return evalBinary(f.in, op, x, y, false, false);
  if (x.isObject()) x = f.in.defaultValue(x);
  if (y.isObject()) y = f.in.defaultValue(y);
  // Fast paths for the common integer and double cases.
  Type tx = x.type(), ty = y.type();
  if ((tx == Type::Long || tx == Type::Integer) && (ty == Type::Long || ty == Type::Integer)) {
    int64_t p = tx == Type::Long ? x.asLong() : x.asInteger();
    int64_t q = ty == Type::Long ? y.asLong() : y.asInteger();
    int rank = (tx == Type::Long || ty == Type::Long) ? 3 : 2;
    auto fit = [rank](int64_t r) -> Value {
      if (rank == 2 && r >= INT16_MIN && r <= INT16_MAX) return Value(static_cast<int16_t>(r));
      if (r >= INT32_MIN && r <= INT32_MAX) return Value(static_cast<int32_t>(r));
      return Value(static_cast<double>(r));
    };
    switch (op) {
      case Op::Add: return fit(p + q);
      case Op::Sub: return fit(p - q);
      case Op::Mul: return fit(p * q);
      case Op::Mod:
        if (q == 0) raise(err::DivisionByZero);
        return fit(p % q);
      case Op::IntDiv:
        if (q == 0) raise(err::DivisionByZero);
        return fit(p / q);
      case Op::Eq: return Value(p == q);
      case Op::Ne: return Value(p != q);
      case Op::Lt: return Value(p < q);
      case Op::Gt: return Value(p > q);
      case Op::Le: return Value(p <= q);
      case Op::Ge: return Value(p >= q);
      default: break;
    }
  } else if (tx == Type::Double && (ty == Type::Double || ty == Type::Long || ty == Type::Integer)) {
    double p = x.asDouble();
    double q = ty == Type::Double ? y.asDouble() : ty == Type::Long ? y.asLong() : y.asInteger();
    switch (op) {
      case Op::Add:
        if (std::isfinite(p + q)) return Value(p + q);
        break;
      case Op::Sub:
        if (std::isfinite(p - q)) return Value(p - q);
        break;
      case Op::Mul:
        if (std::isfinite(p * q)) return Value(p * q);
        break;
      case Op::Lt: return Value(p < q);
      case Op::Gt: return Value(p > q);
      case Op::Le: return Value(p <= q);
      case Op::Ge: return Value(p >= q);
      case Op::Eq: return Value(p == q);
      case Op::Ne: return Value(p != q);
      default: break;
    }
  }
  return evalBinary(f.in, op, x, y, a->literal, b->literal);
}

// ---------------------------------------------------------------------------
// Statements

Flow AssignStmt::exec(Frame& f) {
  Value v = value->eval(f);
  if (isSet) {
    if (!v.isObject()) raise(err::ObjectRequired);
  } else if (v.isObject()) {
    v = f.in.defaultValue(v);
  }
  if (target->kind == ExprKind::Ident) {
    assignIdent(f, *static_cast<Ident*>(target.get()), std::move(v), isSet);
    return Flow::Normal;
  }
  if (target->kind == ExprKind::Member) {
    auto* m = static_cast<Member*>(target.get());
    Value base = m->object ? m->object->eval(f) : withObject(f);
    Object* o = memberBase(base);
    ArgPack pk;
    evalArgs(f, m->args, pk, RefMode::All);
    f.in.invokeObject(o, m->name, isSet ? kSet : kLet, pk.args(), &v, &f);
    return Flow::Normal;
  }
  auto* ic = static_cast<IndexCall*>(target.get());
  Value inner;
  if (Value* base = ic->target->address(f, inner); base && base->isArray()) {
    Value keep = *base;
    store(*elementOf(f, keep, ic->args), std::move(v));
    return Flow::Normal;
  }
  Value base = ic->target->eval(f);
  if (base.isArray()) raise(err::IllegalAssignment);  // element of a temporary
  Object* o = requireObject(base);
  ArgPack pk;
  evalArgs(f, ic->args, pk, RefMode::All);
  f.in.invokeObject(o, u"", isSet ? kSet : kLet, pk.args(), &v, &f);
  return Flow::Normal;
}

Flow AppendStmt::exec(Frame& f) {
  Value rhs = value->eval(f);
  if (rhs.isObject()) rhs = f.in.defaultValue(rhs);
  auto* id = static_cast<Ident*>(target.get());
  Value hold;
  Value* slot = id->isConst ? nullptr : id->address(f, hold);
  if (slot && slot->isString()) {
    size_t add = rhs.isString() ? rhs.asString().size() : 0;
    if (slot->asString().size() + add > kMaxString) raise(err::OutOfStringSpace);
    if (std::u16string* s = slot->uniqueString()) {
      if (rhs.isString())
        s->append(rhs.asString());
      else
        s->append(rhs.toConcatString());
      return Flow::Normal;
    }
  }
  Value cur = deobj(f, id->eval(f));
  Value r = evalBinary(f.in, Op::Concat, cur, rhs, false, false);
  assignIdent(f, *id, std::move(r), false);
  return Flow::Normal;
}

namespace {
// The conversion functions give a value of a type that a statement cannot
// discard: calling one as a statement is error 458.
bool conversionFunction(const Ident& id) {
  if (id.bind != Bind::Builtin) return false;
  for (const char16_t* n : {u"CBool", u"CByte", u"CCur", u"CDate", u"CDbl", u"CInt", u"CLng", u"CSng", u"CStr"})
    if (equalsNoCase(id.name, n)) return true;
  return false;
}
}  // namespace

Flow CallStmt::exec(Frame& f) {
  if (call->kind == ExprKind::Ident) {
    auto* id = static_cast<Ident*>(call.get());
    if (conversionFunction(*id)) {
      evalIdent(f, *id, true);
      raise(err::UnsupportedType);
    }
    evalIdent(f, *id, true);
  } else if (call->kind == ExprKind::Member) {
    evalMember(f, *static_cast<Member*>(call.get()), true);
  } else {
    auto* ic = static_cast<IndexCall*>(call.get());
    Value base = ic->target->eval(f);
    indexInto(f, base, ic->args, true);
  }
  return Flow::Normal;
}

Flow IfStmt::exec(Frame& f) {
  for (auto& [cond, body] : branches) {
    bool taken = true;
    header(f, [&, &cond = cond] { taken = truthy(f.in, cond->eval(f)); });
    if (taken) return f.in.execBlock(f, body);
  }
  return f.in.execBlock(f, elseBlock);
}

Flow SelectStmt::exec(Frame& f) {
  Value subj;
  if (!header(f, [&] { subj = deobj(f, subject->eval(f)); }))
    return cases.empty() ? Flow::Normal : f.in.execBlock(f, cases.front().body);
  for (auto& cc : cases) {
    bool match = cc.items.empty();
    for (auto& item : cc.items) {
      Value a = deobj(f, item.a->eval(f));
      if (item.kind == 0) {
        match = compareValues(subj, a, false, item.a->literal) == 0;
      } else if (item.kind == 1) {
        Value b = deobj(f, item.b->eval(f));
        int c1 = compareValues(subj, a, false, item.a->literal);
        int c2 = compareValues(subj, b, false, item.b->literal);
        match = c1 != 2 && c2 != 2 && c1 >= 0 && c2 <= 0;
      } else {
        match = truthy(f.in, evalBinary(f.in, item.op, subj, a, false, item.a->literal));
      }
      if (match) break;
    }
    if (match) return f.in.execBlock(f, cc.body);
  }
  return Flow::Normal;
}

namespace {
Value fitLoop(int64_t v, bool longRank) {
  if (!longRank && v >= INT16_MIN && v <= INT16_MAX) return Value(static_cast<int16_t>(v));
  if (v >= INT32_MIN && v <= INT32_MAX) return Value(static_cast<int32_t>(v));
  return Value(static_cast<double>(v));
}
bool integralLoopValue(const Value& v) {
  return v.type() == Type::Integer || v.type() == Type::Long || v.type() == Type::Byte;
}
}  // namespace

Flow ForStmt::exec(Frame& f) {
  Value hold;
  Value* slot = nullptr;
  Value vFrom, vTo, vStep;
  if (!header(f, [&] {
        slot = var->address(f, hold);
        if (!slot) raise(err::IllegalAssignment);
        vFrom = deobj(f, from->eval(f)).toNumeric();
        vTo = deobj(f, to->eval(f)).toNumeric();
        vStep = step ? deobj(f, step->eval(f)).toNumeric() : Value(int16_t(1));
      })) {
    // The body runs once and the loop ends.
    Flow fl = f.in.execBlock(f, body);
    return fl == Flow::ExitFor ? Flow::Normal : fl;
  }
  if (integralLoopValue(vFrom) && integralLoopValue(vTo) && integralLoopValue(vStep)) {
    int64_t cur = vFrom.toLong(), end = vTo.toLong(), st = vStep.toLong();
    bool longRank = vFrom.type() == Type::Long || vStep.type() == Type::Long;
    *slot = fitLoop(cur, longRank);
    while (st >= 0 ? cur <= end : cur >= end) {
      Flow fl = f.in.execBlock(f, body);
      if (fl == Flow::ExitFor) break;
      if (fl != Flow::Normal) return fl;
      f.in.tick();
      const Value& cv = *slot;
      if (cv.type() == Type::Long)
        cur = cv.asLong();
      else if (cv.type() == Type::Integer)
        cur = cv.asInteger();
      else
        cur = static_cast<int64_t>(deobj(f, cv).toDouble());
      cur += st;
      if (cur > INT32_MAX || cur < INT32_MIN) {
        if (st >= 0 ? cur <= end : cur >= end) raise(err::Overflow);
        *slot = Value(static_cast<double>(cur));
        break;
      }
      *slot = fitLoop(cur, longRank);
    }
    return Flow::Normal;
  }
  double cur = vFrom.toDouble(), end = vTo.toDouble(), st = vStep.toDouble();
  Type t = vFrom.type() == Type::Date ? Type::Date : Type::Double;
  auto put = [&](double d) { *slot = t == Type::Date ? Value(Date{d}) : Value(d); };
  put(cur);
  while (st >= 0 ? cur <= end : cur >= end) {
    Flow fl = f.in.execBlock(f, body);
    if (fl == Flow::ExitFor) break;
    if (fl != Flow::Normal) return fl;
    f.in.tick();
    cur = deobj(f, *slot).toDouble() + st;
    put(cur);
  }
  return Flow::Normal;
}

Flow ForEachStmt::exec(Frame& f) {
  std::vector<Value> items;
  if (!header(f, [&] {
        Value coll = collection->eval(f);
        if (coll.isArray()) {
          items = coll.asArray()->data();
        } else if (coll.isObject()) {
          Object* o = requireObject(coll);
          items = o->enumerate();
        } else {
          raise(err::NotACollection);
        }
      })) {
    Flow fl = f.in.execBlock(f, body);
    return fl == Flow::ExitFor ? Flow::Normal : fl;
  }
  auto* id = static_cast<Ident*>(var.get());
  for (auto& item : items) {
    assignIdent(f, *id, std::move(item), true);
    Flow fl = f.in.execBlock(f, body);
    if (fl == Flow::ExitFor) break;
    if (fl != Flow::Normal) return fl;
    f.in.tick();
  }
  return Flow::Normal;
}

Flow DoStmt::exec(Frame& f) {
  while (true) {
    if (cond && !post) {
      bool c = !until;
      header(f, [&] { c = truthy(f.in, cond->eval(f)); });
      if (until ? c : !c) break;
    }
    Flow fl = f.in.execBlock(f, body);
    if (fl == Flow::ExitDo) break;
    if (fl != Flow::Normal) return fl;
    f.in.tick();
    if (cond && post) {
      // An error in "Loop While" goes on after the loop.
      bool c = until;
      header(f, [&] { c = truthy(f.in, cond->eval(f)); });
      if (until ? c : !c) break;
    }
  }
  return Flow::Normal;
}

Flow WithStmt::exec(Frame& f) {
  // With Nothing is legal; using one of its members is not.  Under On Error
  // Resume Next a failed header leaves an empty With object.
  Value o = Value::nothing();
  header(f, [&] {
    o = object->eval(f);
    if (!o.isObject()) raise(err::ObjectRequired);
  });
  if (!o.isObject()) o = Value::nothing();
  f.with.push_back(std::move(o));
  WithGuard g{f};
  return f.in.execBlock(f, body);
}

Flow OnErrorStmt::exec(Frame& f) {
  f.resumeNext = resumeNext;
  f.in.err().clear();
  return Flow::Normal;
}

Flow DimStmt::exec(Frame& f) {
  std::vector<int32_t> uppers;
  for (auto& item : items) {
    auto* id = static_cast<Ident*>(item.var.get());
    Value hold;
    Value* slot = variableSlot(f, *id);
    if (!slot) raise(err::IllegalAssignment);
    indices(f, item.bounds, uppers);
    if (redim && slot->isArray()) {
      Array* a = slot->asArray();
      if (a->fixed || a->locks > 0) raise(err::ArrayFixedOrLocked);
      if (preserve && a->dimensions() > 0) {
        if (a->refCount() > 1) {
          *slot = Value(a->clone());
          a = slot->asArray();
        }
        a->resizePreserve(uppers);
        continue;
      }
    }
    Value arr(Array::create(uppers));
    arr.asArray()->fixed = !redim;
    *slot = std::move(arr);
  }
  return Flow::Normal;
}

Flow EraseStmt::exec(Frame& f) {
  for (auto& v : vars) {
    auto* id = static_cast<Ident*>(v.get());
    Value* slot = variableSlot(f, *id);
    if (!slot || !slot->isArray()) raise(err::TypeMismatch);
    Array* a = slot->asArray();
    if (a->locks > 0) raise(err::ArrayFixedOrLocked);
    if (a->fixed) {
      for (auto& e : a->data()) e = Value();
    } else {
      *slot = Value(Array::createUndimensioned());
    }
  }
  return Flow::Normal;
}

Flow ConstStmt::exec(Frame& f) {
  for (auto& [target, value] : items) {
    auto* id = static_cast<Ident*>(target.get());
    Value v = deobj(f, value->eval(f));
    Value* slot = nullptr;
    if (id->bind == Bind::Local)
      slot = &f.locals[id->index];
    else if (id->bind == Bind::Global)
      slot = &id->global->value;
    if (slot) *slot = std::move(v);
  }
  return Flow::Normal;
}

// ---------------------------------------------------------------------------
// Interp

Interp::Interp(Host* host, const Registry* registry)
    : host_(host ? host : &defaultHost_),
      registry_(registry ? registry : &Registry::standard()),
      scope_(std::make_shared<GlobalScope>()) {}

Interp::~Interp() {
  // Scripts' objects go while the engine can still run Class_Terminate.
  resetScope();
  intrinsics_.clear();
  globalMe_ = Value();
}

void Interp::resetScope() {
  auto old = scope_;
  // Script variables go first so that Class_Terminate can still use the
  // named objects.
  old->clearValues(false);
  old->clearValues(true);
  scope_ = std::make_shared<GlobalScope>();
  old->units.clear();
  err_.clear();
}

Interp::DepthGuard::DepthGuard(Interp& i) : in(i) {
  char probe;
  if (++in.depth_ > in.maxDepth ||
      (in.stackBase_ && static_cast<size_t>(in.stackBase_ - &probe) > in.stackLimitBytes)) {
    --in.depth_;
    raise(err::OutOfStackSpace);
  }
}

Interp::TopLevel::TopLevel(Interp& i) : in(i), outer(i.topLevel_ == 0) {
  if (outer) {
    char probe;
    in.stackBase_ = &probe;
    in.hasDeadline_ = in.timeoutMs > 0;
    if (in.hasDeadline_) in.deadline_ = std::chrono::steady_clock::now() + std::chrono::milliseconds(in.timeoutMs);
    in.ticks_ = 1024;
  }
  ++in.topLevel_;
}

Interp::TopLevel::~TopLevel() {
  --in.topLevel_;
  if (outer) {
    in.stackBase_ = nullptr;
    in.hasDeadline_ = false;
    if (in.resetPending_) {
      in.resetPending_ = false;
      in.resetScope();
    }
  }
}

void Interp::requestReset() {
  if (topLevel_ > 0)
    resetPending_ = true;
  else
    resetScope();
}

void Interp::checkTime() {
  ticks_ = 1024;
  if (hasDeadline_ && std::chrono::steady_clock::now() > deadline_) {
    ScriptError e(err::Timeout, errorDescription(err::Timeout));
    throw e;
  }
}

Value Interp::defaultValue(const Value& v) {
  if (!v.isObject()) return v;
  Object* o = v.asObject();
  if (!o) raise(err::ObjectNotSet);
  Value keep = v;
  Value r = invokeObject(o, u"", kGet, Args(), nullptr, nullptr);
  if (r.isObject()) {
    Object* o2 = requireObject(r);
    Value keep2 = r;
    r = invokeObject(o2, u"", kGet, Args(), nullptr, nullptr);
    if (r.isObject()) raise(err::NoSuchMember);
  }
  return r;
}

Ref<Object> Interp::createObject(std::u16string_view progId) {
  std::u16string id(progId);
  if (Ref<Object> o = host_->createObject(id)) return o;
  if (ObjectFactory f = registry_->findProgId(id)) {
    if (Ref<Object> o = f(*this)) return o;
  }
  raise(err::CantCreateObject, u"ActiveX component can't create object: '" + id + u"'");
}

Object* Interp::intrinsic(ObjectFactory factory) {
  for (auto& [f, v] : intrinsics_)
    if (f == factory) return v.asObject();
  Ref<Object> o = factory(*this);
  intrinsics_.emplace_back(factory, Value(o.get()));
  return o.get();
}

namespace {
// The global object the engine gives `Me` outside classes when the host has
// none: its members are the script's global variables and procedures.
class GlobalObject : public Object {
 public:
  explicit GlobalObject(std::weak_ptr<Interp> in) : in_(std::move(in)) {}
  std::u16string typeName() const override { return u"Object"; }
  bool hasMember(std::u16string_view name) const override { return find(name) != nullptr; }
  Value getProperty(std::u16string_view name, Args args) override { return invoke(name, args); }
  Value callMethod(std::u16string_view name, Args args) override { return invoke(name, args); }
  void letProperty(std::u16string_view name, Args args, const Value& value) override {
    Global* g = find(name);
    if (!g || g->kind != GlobalKind::Variable) raise(err::NoSuchMember);
    if (!args.empty()) raise(err::NoSuchMember);
    store(g->value, value);
  }
  void setProperty(std::u16string_view name, Args args, const Value& value) override { letProperty(name, args, value); }

 private:
  Global* find(std::u16string_view name) const {
    auto in = in_.lock();
    if (!in || name.empty()) return nullptr;
    Global* g = in->scope()->find(name);
    if (!g || (g->kind != GlobalKind::Variable && g->kind != GlobalKind::Constant && g->kind != GlobalKind::Procedure &&
               g->kind != GlobalKind::NamedObject))
      return nullptr;
    return g;
  }
  Value invoke(std::u16string_view name, Args args) {
    Global* g = find(name);
    if (!g) raise(err::NoSuchMember);
    auto in = in_.lock();
    if (g->kind == GlobalKind::Procedure) return in->call(g->proc, nullptr, args);
    if (args.empty()) return g->value;
    if (g->value.isArray()) {
      std::vector<int32_t> idx;
      indices(args, idx);
      return g->value.asArray()->at(idx.data(), idx.size());
    }
    return in->invokeObject(requireObject(g->value), u"", kGet, args, nullptr, nullptr);
  }
  std::weak_ptr<Interp> in_;
};
}  // namespace

Value Interp::globalMe() {
  if (globalMe_.isObject()) return globalMe_;
  Ref<Object> o = host_->globalObject();
  if (!o) o = makeRef<GlobalObject>(weak_from_this());
  globalMe_ = Value(o.get());
  return globalMe_;
}

std::shared_ptr<Unit> Interp::keepUnit(const Unit* u) { return u ? u->self.lock() : nullptr; }

bool trapErrorImpl(Interp& in, Frame& f, ScriptError& e, const Node* at, ErrState& err) {
  if (e.line == 0 && at) {
    e.line = at->line;
    e.column = at->col;
    if (f.unit) e.sourceLine = f.unit->lineText(at->line);
  }
  (void)in;
  if (!f.resumeNext || e.number == err::Timeout) return false;
  err.number = e.number;
  err.description = e.description;
  err.source = e.source.empty() ? std::u16string(u"Microsoft VBScript runtime error") : e.source;
  return true;
}

Flow Interp::execBlock(Frame& f, Block& b) {
  for (auto& s : b) {
    try {
      Flow fl = s->exec(f);
      if (fl != Flow::Normal) return fl;
    } catch (ScriptError& e) {
      if (!trapErrorImpl(*this, f, e, s.get(), err_)) throw;
    } catch (const std::bad_alloc&) {
      ScriptError e(err::OutOfMemory, errorDescription(err::OutOfMemory));
      if (!trapErrorImpl(*this, f, e, s.get(), err_)) throw e;
    } catch (const std::length_error&) {
      ScriptError e(err::OutOfMemory, errorDescription(err::OutOfMemory));
      if (!trapErrorImpl(*this, f, e, s.get(), err_)) throw e;
    } catch (const std::exception& ex) {
      // A host object failed with a C++ exception: the script sees
      // error 51 and can trap it; the host sees a ScriptError.
      ScriptError e(51, u"Internal error: " + fromUtf8(ex.what()));
      if (!trapErrorImpl(*this, f, e, s.get(), err_)) throw e;
    }
  }
  return Flow::Normal;
}

Value Interp::call(Procedure* p, Object* me, Args args) {
  if (args.size() != p->params.size()) raise(err::WrongArgCount);
  DepthGuard guard(*this);
  tick();
  constexpr int kInline = 8;
  Value localBuf[kInline];
  Value* refBuf[kInline];
  std::unique_ptr<Value[]> heapLocals;
  std::unique_ptr<Value*[]> heapRefs;
  Value* locals = localBuf;
  Value** refs = refBuf;
  if (p->localCount > kInline) {
    heapLocals = std::make_unique<Value[]>(p->localCount);
    locals = heapLocals.get();
  }
  if (p->refCount > kInline) {
    heapRefs = std::make_unique<Value*[]>(p->refCount);
    refs = heapRefs.get();
  }
  for (size_t i = 0; i < p->params.size(); ++i) {
    const Param& prm = p->params[i];
    if (prm.byRef)
      refs[prm.slot] = &args.ref(i);
    else
      store(locals[prm.slot], args[i]);
  }
  for (int slot : p->dynArrays) locals[slot] = Value(Array::createUndimensioned());
  Frame f(*this);
  f.locals = locals;
  f.refs = refs;
  f.proc = p;
  f.me = me;
  f.unit = p->unit;
  Value keepMe(me);
  execBlock(f, p->body);
  if (p->returnsValue()) return std::move(locals[0]);
  return Value();
}

Value Interp::newObject(ClassDef* cls, const std::shared_ptr<Unit>& unit) {
  auto* obj = new ScriptObject(weak_from_this(), unit, cls);
  Value result(static_cast<Object*>(obj));
  if (!cls->fieldArrays.empty()) {
    Frame f(*this);
    f.me = obj;
    f.unit = cls->unit;
    std::vector<int32_t> uppers;
    for (auto& item : cls->fieldArrays) {
      auto* id = static_cast<Ident*>(item.var.get());
      if (item.bounds.empty()) {
        obj->fields[id->index] = Value(Array::createUndimensioned());
      } else {
        indices(f, item.bounds, uppers);
        Value arr(Array::create(uppers));
        arr.asArray()->fixed = true;
        obj->fields[id->index] = std::move(arr);
      }
    }
  }
  if (cls->initialize) call(cls->initialize, obj, Args());
  return result;
}

Value Interp::invokeClass(ScriptObject* obj, const ClassMember* m, int kind, Args args, const Value* value) {
  Value keep(static_cast<Object*>(obj));
  if (kind == kGet || kind == kCall) {
    if (m->field >= 0) {
      Value& fv = obj->fields[m->field];
      if (args.empty()) return fv;
      if (fv.isArray()) {
        std::vector<int32_t> idx;
        indices(args, idx);
        return fv.asArray()->at(idx.data(), idx.size());
      }
      if (fv.isObject()) return invokeObject(requireObject(fv), u"", kind, args, nullptr, nullptr);
      raise(err::TypeMismatch);
    }
    if (m->method) return call(m->method, obj, args);
    if (m->get) return call(m->get, obj, args);
    raise(err::NoSuchMember);
  }
  if (m->field >= 0) {
    Value& fv = obj->fields[m->field];
    if (args.empty()) {
      store(fv, *value);
      return Value();
    }
    if (fv.isArray()) {
      std::vector<int32_t> idx;
      indices(args, idx);
      Value arr = fv;
      store(arr.asArray()->at(idx.data(), idx.size()), *value);
      return Value();
    }
    if (fv.isObject()) return invokeObject(requireObject(fv), u"", kind, args, value, nullptr);
    raise(err::TypeMismatch);
  }
  Procedure* p = kind == kSet ? m->set : m->let;
  if (!p) raise(m->method ? err::IllegalAssignment : err::NoSuchMember);
  std::vector<Value*> ptrs(args.size() + 1);
  for (size_t i = 0; i < args.size(); ++i) ptrs[i] = &args.ref(i);
  Value v = *value;
  ptrs[args.size()] = &v;
  call(p, obj, Args(ptrs.data(), ptrs.size()));
  return Value();
}

Value Interp::invokeObject(Object* obj, std::u16string_view name, int kind, Args args, const Value* value, Frame* f) {
  if (auto* so = dynamic_cast<ScriptObject*>(obj)) {
    const ClassMember* m = nullptr;
    if (name.empty()) {
      if (so->cls()->defaultMember >= 0) m = &so->cls()->members[so->cls()->defaultMember];
    } else {
      m = so->cls()->find(name);
    }
    if (!m || (!m->isPublic && (!f || f->me != obj))) {
      raise(err::NoSuchMember, u"Object doesn't support this property or method: '" +
                                   (name.empty() ? so->cls()->name : std::u16string(name)) + u"'");
    }
    if (so->in_.lock().get() != this) {
      if (auto other = so->lockInterp()) return other->invokeClass(so, m, kind, args, value);
    }
    return invokeClass(so, m, kind, args, value);
  }
  Value keep(obj);
  switch (kind) {
    case kGet: return obj->getProperty(name, args);
    case kCall: return obj->callMethod(name, args);
    case kLet: obj->letProperty(name, args, *value); return Value();
    default: obj->setProperty(name, args, *value); return Value();
  }
}

Value Interp::evalString(Frame& f, const std::u16string& code) {
  DepthGuard guard(*this);  // Eval("Eval(s)") must not recurse without bound
  ParseOptions opts;
  opts.expressionOnly = true;
  opts.context = f.proc;
  opts.classContext = f.me ? static_cast<ScriptObject*>(f.me)->cls() : nullptr;
  auto unit = compile(*this, code, scope_, opts);
  Unit* saved = f.unit;
  f.unit = unit.get();
  struct Restore {
    Frame& f;
    Unit* u;
    ~Restore() { f.unit = u; }
  } restore{f, saved};
  return unit->expression->eval(f);
}

void Interp::executeString(Frame& f, const std::u16string& code, bool global) {
  DepthGuard guard(*this);
  ParseOptions opts;
  if (!global) {
    opts.context = f.proc;
    opts.classContext = f.me ? static_cast<ScriptObject*>(f.me)->cls() : nullptr;
  }
  auto unit = compile(*this, code, scope_, opts);
  if (!unit->procs.empty() || !unit->classes.empty()) scope_->units.push_back(unit);
  if (global) {
    Frame g(*this);
    g.unit = unit.get();
    execBlock(g, unit->body);
    return;
  }
  Unit* savedUnit = f.unit;
  bool savedResume = f.resumeNext;
  f.unit = unit.get();
  f.resumeNext = false;
  struct Restore {
    Frame& f;
    Unit* u;
    bool r;
    ~Restore() {
      f.unit = u;
      f.resumeNext = r;
    }
  } restore{f, savedUnit, savedResume};
  execBlock(f, unit->body);
}

namespace {
class ProcRef : public Object {
 public:
  ProcRef(std::weak_ptr<Interp> in, std::shared_ptr<Unit> unit, Procedure* p)
      : in_(std::move(in)), unit_(std::move(unit)), proc_(p) {}
  std::u16string typeName() const override { return u"Object"; }
  Value callMethod(std::u16string_view name, Args args) override {
    if (!name.empty()) raise(err::NoSuchMember);
    auto in = in_.lock();
    if (!in) raise(err::ObjectRequired);
    Interp::TopLevel top(*in);
    return in->call(proc_, nullptr, args);
  }

 private:
  std::weak_ptr<Interp> in_;
  std::shared_ptr<Unit> unit_;
  Procedure* proc_;
};
}  // namespace

Value Interp::makeProcRef(const std::u16string& name) {
  Global* g = scope_->find(name);
  if (!g || g->kind != GlobalKind::Procedure) raise(err::InvalidProcedureCall);
  Ref<Object> r = makeRef<ProcRef>(weak_from_this(), keepUnit(g->proc->unit), g->proc);
  return Value(r.get());
}

void Interp::runUnit(const std::shared_ptr<Unit>& unit) {
  TopLevel top(*this);
  Frame f(*this);
  f.unit = unit.get();
  execBlock(f, unit->body);
}

Value Interp::runProcedure(Procedure* p, Args args) {
  TopLevel top(*this);
  auto keep = keepUnit(p->unit);
  return call(p, nullptr, args);
}

Value Interp::evalUnitExpression(const std::shared_ptr<Unit>& unit) {
  TopLevel top(*this);
  Frame f(*this);
  f.unit = unit.get();
  try {
    return unit->expression->eval(f);
  } catch (ScriptError& e) {
    if (e.line == 0) {
      e.line = unit->expression->line;
      e.column = unit->expression->col;
      e.sourceLine = unit->lineText(e.line);
    }
    throw;
  }
}

// ---------------------------------------------------------------------------
// ScriptObject

ScriptObject::ScriptObject(std::weak_ptr<Interp> in, std::shared_ptr<Unit> unit, ClassDef* cls)
    : in_(std::move(in)), unit_(std::move(unit)), cls_(cls) {
  fields.resize(cls->fieldNames.size());
}

ScriptObject::~ScriptObject() = default;

std::shared_ptr<Interp> ScriptObject::lockInterp() const { return in_.lock(); }

namespace {
std::shared_ptr<Interp> requireInterp(const std::shared_ptr<Interp>& in) {
  if (!in) raise(err::ObjectRequired);
  return in;
}
}  // namespace

// Calls from the host count as top-level script calls (time-out, stack budget).
Value ScriptObject::getProperty(std::u16string_view name, Args args) {
  auto in = requireInterp(lockInterp());
  Interp::TopLevel top(*in);
  return in->invokeObject(this, name, kGet, args, nullptr, nullptr);
}

Value ScriptObject::callMethod(std::u16string_view name, Args args) {
  auto in = requireInterp(lockInterp());
  Interp::TopLevel top(*in);
  return in->invokeObject(this, name, kCall, args, nullptr, nullptr);
}

void ScriptObject::letProperty(std::u16string_view name, Args args, const Value& value) {
  auto in = requireInterp(lockInterp());
  Interp::TopLevel top(*in);
  in->invokeObject(this, name, kLet, args, &value, nullptr);
}

void ScriptObject::setProperty(std::u16string_view name, Args args, const Value& value) {
  auto in = requireInterp(lockInterp());
  Interp::TopLevel top(*in);
  in->invokeObject(this, name, kSet, args, &value, nullptr);
}

bool ScriptObject::hasMember(std::u16string_view name) const {
  const ClassMember* m = cls_->find(name);
  return m && m->isPublic;
}

namespace {
// Releasing a long chain of objects must not recurse without bound: past a
// small depth, objects whose count dropped to zero wait in a list that the
// outermost release drains.
thread_local int releaseDepth = 0;
thread_local std::vector<ScriptObject*>* pendingRelease = nullptr;
}  // namespace

void ScriptObject::lastReferenceReleased() noexcept {
  if (releaseDepth >= 16) {
    if (!pendingRelease) pendingRelease = new std::vector<ScriptObject*>();
    pendingRelease->push_back(this);
    return;
  }
  ++releaseDepth;
  finalize();
  if (releaseDepth == 1 && pendingRelease) {
    while (!pendingRelease->empty()) {
      ScriptObject* p = pendingRelease->back();
      pendingRelease->pop_back();
      p->finalize();
    }
    delete pendingRelease;
    pendingRelease = nullptr;
  }
  --releaseDepth;
}

void ScriptObject::finalize() noexcept {
  if (!terminated_ && cls_->terminate) {
    terminated_ = true;
    if (auto in = lockInterp()) {
      setRefCount(1);
      try {
        Interp::TopLevel top(*in);
        in->call(cls_->terminate, this, Args());
      } catch (...) {
      }
      if (refCount() > 1) {
        // Resurrected by its own Class_Terminate.
        setRefCount(refCount() - 1);
        return;
      }
      setRefCount(0);
    }
  }
  delete this;
}

}  // namespace vbs::detail
