// Storyloom VBScript engine: the compiled program tree.
//
// The parser builds this tree, the resolver binds every identifier to a
// storage slot (local index, class field index, global entry, built-in), and
// the interpreter walks it.  Nothing here looks names up at run time except
// member access on objects and names that only the running program can
// decide (globals defined later by ExecuteGlobal, members of named objects).
#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/object.h"
#include "platform/vbscript/value.h"

namespace vbs::detail {

struct Frame;
struct Procedure;
struct ClassDef;
struct Unit;

struct Node {
  int line = 0;
  int col = 0;
};

// ---------------------------------------------------------------------------
// Global names

enum class GlobalKind : uint8_t {
  Undeclared,  // used but never declared (implicit variable / maybe a member of a named object)
  Variable,    // Dim / Public / Private / implicit after first assignment
  Constant,
  Procedure,  // Sub or Function
  Class,
  NamedObject,  // added by the host
};

struct Global {
  std::u16string name;
  GlobalKind kind = GlobalKind::Undeclared;
  Value value;
  Procedure* proc = nullptr;
  ClassDef* cls = nullptr;
};

// ---------------------------------------------------------------------------
// Expressions

enum class Op : uint8_t {
  Neg,
  Not,
  Plus,
  Pow,
  Mul,
  Div,
  IntDiv,
  Mod,
  Add,
  Sub,
  Concat,
  Eq,
  Ne,
  Lt,
  Gt,
  Le,
  Ge,
  Is,
  And,
  Or,
  Xor,
  Eqv,
  Imp,
};

enum class ExprKind : uint8_t { Other, Ident, Member, IndexCall };

struct Expr : Node {
  virtual ~Expr() = default;
  virtual Value eval(Frame& f) = 0;
  // Storage this expression names, for ByRef arguments; nullptr when it is
  // not a variable or array element.  `hold` keeps an array alive (and
  // locked) while the address is in use.
  virtual Value* address(Frame&, Value& hold) {
    (void)hold;
    return nullptr;
  }
  bool literal = false;  // a literal constant (matters for comparisons)
  ExprKind kind = ExprKind::Other;
};
using ExprPtr = std::unique_ptr<Expr>;
using ExprList = std::vector<ExprPtr>;  // a null entry is an omitted argument

struct Literal : Expr {
  Value value;
  Value eval(Frame&) override { return value; }
};

struct Unary : Expr {
  Op op;
  ExprPtr a;
  Value eval(Frame& f) override;
};

struct Binary : Expr {
  Op op;
  ExprPtr a, b;
  Value eval(Frame& f) override;
};

// (x) as an argument: forces ByVal.
struct Paren : Expr {
  ExprPtr a;
  Value eval(Frame& f) override { return a->eval(f); }
};

enum class Bind : uint8_t {
  Unresolved,
  Local,     // frame locals[index]
  RefParam,  // *frame refs[index]
  Field,     // Me's field[index]
  MeMember,  // method / property of the current class, by member index
  Global,    // global entry
  Dynamic,   // global entry, falling back to a procedure-local slot
  Builtin,
  Constant,
  Intrinsic,  // Err and friends
  Me,
  // Names with special meaning when nothing else defines them
  Eval,
  GetRef,
  Execute,
  ExecuteGlobal,
};

struct Ident : Expr {
  Ident() { kind = ExprKind::Ident; }
  std::u16string name;
  bool hasArgs = false;  // written with parentheses (possibly empty)
  ExprList args;
  Bind bind = Bind::Unresolved;
  bool isConst = false;        // assignment raises 501
  bool explicitCheck = false;  // Option Explicit applies (undeclared reads raise 500)
  bool declares = false;       // ReDim: declares the name, so Option Explicit does not apply
  int index = -1;
  Global* global = nullptr;
  const FunctionInfo* builtin = nullptr;
  const Value* constant = nullptr;
  ObjectFactory intrinsic = nullptr;
  Value eval(Frame& f) override;
  Value* address(Frame& f, Value& hold) override;
};

// obj.name(args); object == nullptr means the innermost With object.
struct Member : Expr {
  Member() { kind = ExprKind::Member; }
  ExprPtr object;
  std::u16string name;
  bool hasArgs = false;
  ExprList args;
  Value eval(Frame& f) override;
};

// target(args) applied to the result of another call: f(1)(2), obj.Items(1)(2).
struct IndexCall : Expr {
  IndexCall() { kind = ExprKind::IndexCall; }
  ExprPtr target;
  ExprList args;
  Value eval(Frame& f) override;
  Value* address(Frame& f, Value& hold) override;
};

struct NewExpr : Expr {
  std::u16string className;
  Global* global = nullptr;         // script class, looked up at run time
  ObjectFactory factory = nullptr;  // registry class (RegExp)
  Value eval(Frame& f) override;
};

// ---------------------------------------------------------------------------
// Statements

enum class Flow : uint8_t { Normal, ExitDo, ExitFor, ExitProc };

struct Stmt : Node {
  virtual ~Stmt() = default;
  virtual Flow exec(Frame& f) = 0;
};
using StmtPtr = std::unique_ptr<Stmt>;
using Block = std::vector<StmtPtr>;

struct AssignStmt : Stmt {
  ExprPtr target;  // Ident, Member or IndexCall
  ExprPtr value;
  bool isSet = false;
  Flow exec(Frame& f) override;
};

// k = k & expr, appending in place when k holds the only reference.
struct AppendStmt : Stmt {
  ExprPtr target;  // an Ident bound to a variable
  ExprPtr value;
  Flow exec(Frame& f) override;
};

struct CallStmt : Stmt {
  ExprPtr call;  // Ident, Member or IndexCall
  Flow exec(Frame& f) override;
};

struct IfStmt : Stmt {
  std::vector<std::pair<ExprPtr, Block>> branches;
  Block elseBlock;
  Flow exec(Frame& f) override;
};

struct CaseClause {
  struct Item {
    int kind = 0;  // 0 value, 1 range a To b, 2 Is <op> a
    Op op = Op::Eq;
    ExprPtr a, b;
  };
  std::vector<Item> items;  // empty = Case Else
  Block body;
};

struct SelectStmt : Stmt {
  ExprPtr subject;
  std::vector<CaseClause> cases;
  Flow exec(Frame& f) override;
};

struct ForStmt : Stmt {
  ExprPtr var;  // Ident
  ExprPtr from, to, step;
  Block body;
  Flow exec(Frame& f) override;
};

struct ForEachStmt : Stmt {
  ExprPtr var;
  ExprPtr collection;
  Block body;
  Flow exec(Frame& f) override;
};

struct DoStmt : Stmt {
  ExprPtr cond;        // may be null (endless)
  bool until = false;  // Until instead of While
  bool post = false;   // condition after the body
  Block body;
  Flow exec(Frame& f) override;
};

struct ExitStmt : Stmt {
  Flow flow;
  Flow exec(Frame&) override { return flow; }
};

struct WithStmt : Stmt {
  ExprPtr object;
  Block body;
  Flow exec(Frame& f) override;
};

struct OnErrorStmt : Stmt {
  bool resumeNext = false;
  Flow exec(Frame& f) override;
};

struct DimStmt : Stmt {
  // Variables declared with bounds: Dim a(10, 2) / ReDim [Preserve] a(n).
  struct Item {
    ExprPtr var;  // Ident
    ExprList bounds;
  };
  std::vector<Item> items;
  bool redim = false;
  bool preserve = false;
  Flow exec(Frame& f) override;
};

struct EraseStmt : Stmt {
  std::vector<ExprPtr> vars;
  Flow exec(Frame& f) override;
};

struct ConstStmt : Stmt {
  std::vector<std::pair<ExprPtr, ExprPtr>> items;  // Ident, value
  Flow exec(Frame& f) override;
};

struct NoOpStmt : Stmt {
  Flow exec(Frame&) override { return Flow::Normal; }
};

// ---------------------------------------------------------------------------
// Procedures and classes

enum class ProcKind : uint8_t { Sub, Function, PropertyGet, PropertyLet, PropertySet };

struct Param {
  std::u16string name;
  bool byRef = true;
  bool isArray = false;  // written as name()
  int slot = -1;         // local slot (ByVal) or refs index (ByRef)
};

struct Procedure {
  std::u16string name;
  ProcKind kind = ProcKind::Sub;
  std::vector<Param> params;
  int refCount = 0;    // number of ByRef params
  int localCount = 0;  // slot 0 is the result for functions and Property Get
  bool isPublic = true;
  bool isDefault = false;
  ClassDef* owner = nullptr;
  Unit* unit = nullptr;
  Block body;
  int line = 0;
  // Local names (lower case) -> binding, kept for Execute/Eval inside the procedure.
  struct LocalName {
    Bind bind;
    int index;
    bool isConst;
  };
  std::unordered_map<std::u16string, LocalName, NoCaseHash, NoCaseEqual> locals;
  std::vector<int> dynArrays;  // Dim a(): slots that start as undimensioned arrays
  bool returnsValue() const { return kind == ProcKind::Function || kind == ProcKind::PropertyGet; }
};

struct ClassMember {
  std::u16string name;
  bool isPublic = true;
  int field = -1;               // variable member
  Procedure* method = nullptr;  // Sub / Function
  Procedure* get = nullptr;
  Procedure* let = nullptr;
  Procedure* set = nullptr;
};

struct ClassDef {
  std::u16string name;
  Unit* unit = nullptr;
  std::vector<ClassMember> members;
  std::unordered_map<std::u16string, int, NoCaseHash, NoCaseEqual> memberIndex;
  std::vector<std::u16string> fieldNames;
  std::vector<DimStmt::Item> fieldArrays;  // Dim a(10) inside the class
  int defaultMember = -1;
  Procedure* initialize = nullptr;
  Procedure* terminate = nullptr;
  std::vector<std::unique_ptr<Procedure>> procs;
  const ClassMember* find(std::u16string_view n) const {
    auto it = memberIndex.find(n);
    return it == memberIndex.end() ? nullptr : &members[it->second];
  }
};

class GlobalScope;

// One piece of compiled source (AddCode, ExecuteGlobal, Execute, Eval).
struct Unit {
  std::weak_ptr<Unit> self;
  std::shared_ptr<GlobalScope> scope;
  std::u16string source;
  std::vector<size_t> lineStarts;
  bool optionExplicit = false;
  Block body;
  ExprPtr expression;  // for Eval
  std::vector<std::unique_ptr<Procedure>> procs;
  std::vector<std::unique_ptr<ClassDef>> classes;
  std::u16string lineText(int line) const;
};

class GlobalScope {
 public:
  Global* find(std::u16string_view name) {
    auto it = map_.find(name);
    return it == map_.end() ? nullptr : it->second.get();
  }
  Global* get(std::u16string_view name) {
    auto& slot = map_[std::u16string(name)];
    if (!slot) {
      slot = std::make_unique<Global>();
      slot->name = std::u16string(name);
      order_.push_back(slot.get());
    }
    return slot.get();
  }
  const std::vector<Global*>& inOrder() const { return order_; }
  // Drops the values of script variables, or with namedObjects of
  // everything (breaking reference cycles through globals).
  void clearValues(bool namedObjects);
  // The globals as they stand, to be brought back later: names added since become
  // undeclared again, the others get back their kind, procedure, class and value (an
  // array value comes back as a new undimensioned array); procedures, compiled units and
  // member objects added since are dropped.
  struct Saved {
    struct Entry {
      GlobalKind kind;
      Value value;
      Procedure* proc;
      ClassDef* cls;
      bool array;
    };
    std::vector<Entry> entries;
    size_t procs = 0, units = 0, members = 0;
  };
  Saved save() const;
  void restore(const Saved& saved);
  std::vector<Value> memberObjects;  // objects added with addMembers
  std::vector<Global*> procOrder;    // procedures in order of definition
  std::vector<std::shared_ptr<Unit>> units;

 private:
  std::unordered_map<std::u16string, std::unique_ptr<Global>, NoCaseHash, NoCaseEqual> map_;
  std::vector<Global*> order_;
};

// Parsing.  Throws ScriptError (compile error) with position and line text.
class Interp;
struct ParseOptions {
  bool expressionOnly = false;   // Eval
  Procedure* context = nullptr;  // Execute / Eval inside a procedure
  ClassDef* classContext = nullptr;
};
std::shared_ptr<Unit> compile(Interp& in, std::u16string source, const std::shared_ptr<GlobalScope>& scope,
                              const ParseOptions& opts);

}  // namespace vbs::detail
