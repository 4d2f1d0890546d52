// Built-in library throughput on 100 KB strings.
#include <benchmark/benchmark.h>

#include "platform/vbscript/engine.h"

namespace {

using vbs::Value;

std::u16string text100k() {
  std::u16string s;
  const std::u16string chunk = u"The quick brown fox jumps over the lazy dog, mail me@example.com; ";
  while (s.size() < 100 * 1024) s += chunk;
  return s;
}

struct Lib {
  vbs::Engine engine;
  vbs::Context& cx = engine.context();
  Value call(std::u16string_view name, std::vector<Value> args) {
    const vbs::FunctionInfo* f = vbs::Registry::standard().findFunction(name);
    std::vector<Value*> ptrs;
    for (auto& v : args) ptrs.push_back(&v);
    return f->fn(cx, vbs::Args(ptrs.data(), ptrs.size()));
  }
};

void BM_Replace(benchmark::State& st) {
  Lib lib;
  Value s(text100k());
  for (auto _ : st) benchmark::DoNotOptimize(lib.call(u"Replace", {s, Value(u"fox"), Value(u"cat")}));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_Replace);

void BM_ReplaceTextCompare(benchmark::State& st) {
  Lib lib;
  Value s(text100k());
  for (auto _ : st)
    benchmark::DoNotOptimize(lib.call(u"Replace", {s, Value(u"FOX"), Value(u"cat"), Value(1), Value(-1), Value(1)}));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_ReplaceTextCompare);

void BM_InStrMiss(benchmark::State& st) {
  Lib lib;
  Value s(text100k());
  for (auto _ : st) benchmark::DoNotOptimize(lib.call(u"InStr", {s, Value(u"zebra")}));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_InStrMiss);

void BM_InStrTextCompareMiss(benchmark::State& st) {
  Lib lib;
  Value s(text100k());
  for (auto _ : st) benchmark::DoNotOptimize(lib.call(u"InStr", {Value(1), s, Value(u"ZEBRA"), Value(1)}));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_InStrTextCompareMiss);

void BM_SplitJoin(benchmark::State& st) {
  Lib lib;
  Value s(text100k());
  for (auto _ : st) {
    Value parts = lib.call(u"Split", {s, Value(u" ")});
    benchmark::DoNotOptimize(lib.call(u"Join", {parts, Value(u"_")}));
  }
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_SplitJoin);

vbs::Ref<vbs::Object> regexp(Lib& lib, const char16_t* pattern) {
  auto re = vbs::Registry::standard().findClass(u"RegExp")(lib.cx);
  re->letProperty(u"Pattern", vbs::Args(), Value(pattern));
  re->letProperty(u"Global", vbs::Args(), Value(true));
  return re;
}

void BM_RegExpExecute(benchmark::State& st) {
  Lib lib;
  auto re = regexp(lib, u"\\b(\\w+)@(\\w+)\\.com\\b");
  Value s(text100k());
  Value* p = &s;
  for (auto _ : st) benchmark::DoNotOptimize(re->callMethod(u"Execute", vbs::Args(&p, 1)));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_RegExpExecute);

void BM_RegExpReplace(benchmark::State& st) {
  Lib lib;
  auto re = regexp(lib, u"(\\w+) (fox|dog)");
  Value args[2] = {Value(text100k()), Value(u"$2 $1")};
  Value* p[2] = {&args[0], &args[1]};
  for (auto _ : st) benchmark::DoNotOptimize(re->callMethod(u"Replace", vbs::Args(p, 2)));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_RegExpReplace);

void BM_RegExpTestMiss(benchmark::State& st) {
  Lib lib;
  auto re = regexp(lib, u"[0-9]{3}-[0-9]{4}");
  Value s(text100k());
  Value* p = &s;
  for (auto _ : st) benchmark::DoNotOptimize(re->callMethod(u"Test", vbs::Args(&p, 1)));
  st.SetBytesProcessed(st.iterations() * 100 * 1024 * 2);
}
BENCHMARK(BM_RegExpTestMiss);

}  // namespace
