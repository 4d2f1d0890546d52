// Array, LBound, UBound.  (Split, Join and Filter are with the strings.)
#include "platform/vbscript/builtins.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;

namespace {

Value fnArray(Context&, Args a) {
  std::vector<Value> items;
  items.reserve(a.size());
  for (size_t i = 0; i < a.size(); ++i) items.push_back(ownArray(a[i]));
  return Value(Array::fromValues(std::move(items)));
}

template <bool Upper>
Value bound(Context& cx, Args a) {
  const Value& v = a[0];
  if (!v.isArray()) raise(err::TypeMismatch);
  int32_t dim = 1;
  if (!a.isMissing(1)) {
    Value d = plain(cx, a[1]);
    if (d.isNull()) raise(err::InvalidUseOfNull);
    dim = d.toLong();
  }
  Array* arr = v.asArray();
  return Value(Upper ? arr->ubound(dim) : arr->lbound(dim));
}

}  // namespace

void register_builtins_arrays(Registry& r) {
  r.addFunction(u"Array", 0, -1, fnArray);
  r.addFunction(u"LBound", 1, 2, bound<false>);
  r.addFunction(u"UBound", 1, 2, bound<true>);
}

}  // namespace vbs
