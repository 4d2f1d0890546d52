// A WScript object for running scripts outside the game: the command-line
// runner and the tests use it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "platform/vbscript/object.h"

namespace vbs {

struct ScriptError;

// Thrown by WScript.Quit; not a ScriptError, so On Error cannot trap it.
struct QuitRequest {
  int code = 0;
};

class WScriptObject : public Object {
 public:
  using Output = std::function<void(const std::u16string& line)>;
  WScriptObject(Output out, std::u16string scriptName, std::vector<std::u16string> arguments);

  // The console the script's StdOut, StdErr and StdIn use.  Without it,
  // StdOut and StdErr write whole lines through the Echo output and StdIn
  // is at its end.
  struct Console {
    std::function<void(const std::u16string& text)> writeOut;
    std::function<void(const std::u16string& text)> writeErr;
    // One line without its line break; nullopt at the end of the input.
    std::function<std::optional<std::u16string>()> readLine;
  };
  void setConsole(Console console);
  // The host program's full path (FullName, Path) and WScript.Interactive.
  void setHostPath(std::u16string path) { hostPath_ = std::move(path); }
  void setInteractive(bool on) { interactive_ = on; }

  std::u16string typeName() const override { return u"Object"; }
  Value getProperty(std::u16string_view name, Args args) override;
  Value callMethod(std::u16string_view name, Args args) override;
  void letProperty(std::u16string_view name, Args args, const Value& value) override;
  bool hasMember(std::u16string_view name) const override;

 private:
  Output out_;
  std::u16string scriptName_;
  std::u16string hostPath_ = u"storyloom-vbs";
  bool interactive_ = false;
  Ref<Object> arguments_;
  Ref<Object> stdOut_, stdErr_, stdIn_;
};

// Decodes a script file: UTF-16 (either byte order) or UTF-8 when it starts
// with a byte-order mark, otherwise Windows-1252.
std::u16string decodeScriptFile(const std::string& bytes);

// "FILE(LINE, COLUMN) compilation error N: DESCRIPTION" (or "runtime error"),
// the line the runner prints for an error.
std::string errorReport(const std::string& file, const ScriptError& e);

}  // namespace vbs
