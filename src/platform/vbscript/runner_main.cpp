// storyloom-vbs FILE.vbs [ARGS...]: runs a script from the command line.
#include <fstream>
#include <iostream>
#include <sstream>

#include "platform/vbscript/engine.h"
#include "platform/vbscript/wscript.h"

namespace {

class ConsoleHost : public vbs::Host {
public:
    int msgBox(const std::u16string& prompt, int buttons, const std::u16string&) override {
        std::cout << vbs::utf8(prompt) << std::endl;
        return vbs::defaultMsgBoxButton(buttons);
    }
    std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string&,
                                           const std::u16string& defaultText) override {
        std::cout << vbs::utf8(prompt) << std::endl;
        std::string line;
        if (!std::getline(std::cin, line)) return defaultText;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return vbs::fromUtf8(line);
    }
    void writeOutput(const std::u16string& text) override { std::cout << vbs::utf8(text) << std::endl; }
};

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::cerr << "usage: storyloom-vbs FILE.vbs [ARGS...]" << std::endl;
        return 2;
    }
    std::string file = argv[1];
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << file << ": cannot open file" << std::endl;
        return 2;
    }
    std::stringstream buf;
    buf << in.rdbuf();
    std::u16string source = vbs::decodeScriptFile(buf.str());

    std::vector<std::u16string> args;
    for (int i = 2; i < argc; ++i) args.push_back(vbs::fromUtf8(argv[i]));

    ConsoleHost host;
    vbs::Engine engine(&host);
    auto wscript = vbs::makeRef<vbs::WScriptObject>(
        [](const std::u16string& line) { std::cout << vbs::utf8(line) << '\n'; }, vbs::fromUtf8(file), args);
    engine.addObject(u"WScript", wscript);
    int code = 0;
    try {
        engine.addCode(source);
    } catch (const vbs::QuitRequest& q) {
        code = q.code;
    } catch (const vbs::ScriptError& e) {
        std::cout.flush();
        std::cerr << file << "(" << e.line << ", " << e.column << ") "
                  << (e.compileError ? "compilation" : "runtime") << " error " << e.number << ": "
                  << vbs::utf8(e.description) << std::endl;
        code = 1;
    }
    std::cout.flush();
    engine.reset();
    return code;
}
