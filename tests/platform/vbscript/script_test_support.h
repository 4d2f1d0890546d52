// Helpers for the script engine tests: run a script, collect what it echoes.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/vbscript/engine.h"
#include "platform/vbscript/wscript.h"

namespace vbs::test {

// A script with the output (WScript.Echo lines joined by '\n') it must give.
// A run-time or compile error appends "error N" as the last line.
struct ScriptCase {
  const char* name;
  const char* code;
  const char* expected;
};

inline std::ostream& operator<<(std::ostream& os, const ScriptCase& c) { return os << c.name; }

class ScriptRunner {
 public:
  explicit ScriptRunner(Host* host = nullptr) : engine(host) {
    auto ws = makeRef<WScriptObject>([this](const std::u16string& line) { lines.push_back(utf8(line)); }, u"test.vbs",
                                     std::vector<std::u16string>{u"one", u"two"});
    engine.addObject(u"WScript", ws);
    // Echo as a global too, to keep the cases short.
    engine.addObject(u"Out", ws, true);
  }

  // Runs the code; returns the output with a trailing "error N" line when
  // the script failed.
  std::string run(const std::string& code) {
    try {
      engine.addCode(code);
    } catch (const ScriptError& e) {
      lines.push_back("error " + std::to_string(e.number));
    } catch (const QuitRequest& q) {
      lines.push_back("quit " + std::to_string(q.code));
    }
    return output();
  }

  std::string output() {
    std::string out;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i) out += '\n';
      out += lines[i];
    }
    lines.clear();
    return out;
  }

  Engine engine;
  std::vector<std::string> lines;
};

inline std::string runScript(const std::string& code) {
  ScriptRunner r;
  return r.run(code);
}

}  // namespace vbs::test
