// A WScript object for running scripts outside the game: the command-line
// runner and the tests use it.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "platform/vbscript/object.h"

namespace vbs {

// Thrown by WScript.Quit; not a ScriptError, so On Error cannot trap it.
struct QuitRequest {
    int code = 0;
};

class WScriptObject : public Object {
public:
    using Output = std::function<void(const std::u16string& line)>;
    WScriptObject(Output out, std::u16string scriptName, std::vector<std::u16string> arguments);

    std::u16string typeName() const override { return u"Object"; }
    Value getProperty(std::u16string_view name, Args args) override;
    Value callMethod(std::u16string_view name, Args args) override;
    bool hasMember(std::u16string_view name) const override;

private:
    Output out_;
    std::u16string scriptName_;
    Ref<Object> arguments_;
};

// Decodes a script file: UTF-8 when it has a BOM or is valid UTF-8, UTF-16
// with a BOM, otherwise Windows-1252.
std::u16string decodeScriptFile(const std::string& bytes);

}  // namespace vbs
