// Script engine speed: compile, loops, calls, string building.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/vbscript/engine.h"

namespace {

std::u16string typicalProcedures(int lines) {
  std::string src = "Option Explicit\nDim gScore, gName, gItems(20)\n";
  int n = 0;
  int proc = 0;
  while (n < lines) {
    ++proc;
    std::string p = std::to_string(proc);
    src += "Function Handler" + p +
           "(ByVal frame, ByRef count)\n"
           "  Dim i, total, label\n"
           "  total = 0 : label = \"Frame \" & frame\n"
           "  For i = 1 To count Step 2\n"
           "    If i Mod 3 = 0 Then\n"
           "      total = total + i * 2\n"
           "    ElseIf i > 10 And Not (label = \"x\") Then\n"
           "      total = total - 1\n"
           "    Else\n"
           "      gItems(i Mod 20) = label & \"-\" & CStr(i)\n"
           "    End If\n"
           "  Next\n"
           "  Select Case total\n"
           "    Case 0, 1 : gName = \"none\"\n"
           "    Case Else : gScore = gScore + total\n"
           "  End Select\n"
           "  Handler" +
           p +
           " = total\n"
           "End Function\n";
    n += 18;
  }
  return vbs::fromUtf8(src);
}

void BM_Compile5000Lines(benchmark::State& state) {
  std::u16string code = typicalProcedures(5000);
  for (auto _ : state) {
    vbs::Engine engine;
    engine.addCode(code);
    benchmark::DoNotOptimize(engine.procedures().size());
  }
}
BENCHMARK(BM_Compile5000Lines)->Unit(benchmark::kMillisecond);

void BM_ArithmeticLoop2M(benchmark::State& state) {
  for (auto _ : state) {
    vbs::Engine engine;
    engine.addCode(u"For i = 1 To 2000000 : s = s + (i Mod 7) * 2 : Next");
    benchmark::DoNotOptimize(engine.global(u"s").toDouble());
  }
}
BENCHMARK(BM_ArithmeticLoop2M)->Unit(benchmark::kMillisecond);

void BM_ArithmeticLoop2MInProcedure(benchmark::State& state) {
  for (auto _ : state) {
    vbs::Engine engine;
    engine.addCode(
        u"Function Work()\n Dim i, s\n For i = 1 To 2000000 : s = s + (i Mod 7) * 2 : Next\n Work = s\n"
        u"End Function");
    benchmark::DoNotOptimize(engine.run(u"Work").toDouble());
  }
}
BENCHMARK(BM_ArithmeticLoop2MInProcedure)->Unit(benchmark::kMillisecond);

void BM_RecursiveFib24(benchmark::State& state) {
  vbs::Engine engine;
  engine.addCode(u"Function Fib(n)\n If n < 2 Then Fib = n Else Fib = Fib(n - 1) + Fib(n - 2)\nEnd Function");
  for (auto _ : state) benchmark::DoNotOptimize(engine.run(u"Fib", {vbs::Value(int16_t(24))}).toLong());
}
BENCHMARK(BM_RecursiveFib24)->Unit(benchmark::kMillisecond);

void BM_StringBuild20000(benchmark::State& state) {
  for (auto _ : state) {
    vbs::Engine engine;
    engine.addCode(u"k = \"\" : For i = 1 To 20000 : k = k & Chr(65 + (i Mod 26)) : Next");
    benchmark::DoNotOptimize(engine.global(u"k").asString().size());
  }
}
BENCHMARK(BM_StringBuild20000)->Unit(benchmark::kMillisecond);

}  // namespace
