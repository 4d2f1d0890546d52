// The script engine on any text: compiled, and run with a short time-out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/vbscript/engine.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string code(reinterpret_cast<const char*>(data), size);
  vbs::Engine engine;
  engine.setTimeout(100);
  try {
    engine.check(vbs::fromUtf8(code));
    engine.addCode(code);
  } catch (const vbs::ScriptError&) {
  }
  return 0;
}
