// storyloom-vbs FILE.vbs [ARGS...]: runs a script from the command line.
// storyloom-vbs --check FILE...: compiles the files without running them.
#include <filesystem>
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

bool readScript(const std::string& file, std::u16string& source) {
  std::ifstream in(file, std::ios::binary);
  if (!in) {
    std::cerr << file << ": cannot open file" << std::endl;
    return false;
  }
  std::stringstream buf;
  buf << in.rdbuf();
  source = vbs::decodeScriptFile(buf.str());
  return true;
}

int check(int argc, char** argv) {
  if (argc < 3) {
    std::cerr << "usage: storyloom-vbs --check FILE..." << std::endl;
    return 2;
  }
  int code = 0;
  vbs::Engine engine;
  for (int i = 2; i < argc; ++i) {
    std::u16string source;
    if (!readScript(argv[i], source)) {
      code = 2;
      continue;
    }
    try {
      engine.check(source);
    } catch (const vbs::ScriptError& e) {
      std::cout << vbs::errorReport(argv[i], e) << std::endl;
      if (code == 0) code = 1;
    }
  }
  return code;
}

std::u16string absolutePath(const std::string& path) {
  std::error_code ec;
  auto abs = std::filesystem::absolute(path, ec);
  return vbs::fromUtf8(ec ? path : abs.lexically_normal().string());
}

}  // namespace

int main(int argc, char** argv) {
  if (argc >= 2 && std::string(argv[1]) == "--check") return check(argc, argv);
  if (argc < 2) {
    std::cerr << "usage: storyloom-vbs FILE.vbs [ARGS...]\n       storyloom-vbs --check FILE..." << std::endl;
    return 2;
  }
  std::string file = argv[1];
  std::u16string source;
  if (!readScript(file, source)) return 2;

  std::vector<std::u16string> args;
  for (int i = 2; i < argc; ++i) args.push_back(vbs::fromUtf8(argv[i]));

  ConsoleHost host;
  vbs::Engine engine(&host);
  auto wscript = vbs::makeRef<vbs::WScriptObject>(
      [](const std::u16string& line) { std::cout << vbs::utf8(line) << '\n'; }, absolutePath(file), args);
  wscript->setConsole({[](const std::u16string& text) { std::cout << vbs::utf8(text); },
                       [](const std::u16string& text) {
                         std::cout.flush();
                         std::cerr << vbs::utf8(text);
                       },
                       []() -> std::optional<std::u16string> {
                         std::cout.flush();
                         std::string line;
                         if (!std::getline(std::cin, line)) return std::nullopt;
                         if (!line.empty() && line.back() == '\r') line.pop_back();
                         return vbs::fromUtf8(line);
                       }});
  wscript->setHostPath(absolutePath(argc > 0 ? argv[0] : "storyloom-vbs"));
  engine.addObject(u"WScript", wscript);
  int code = 0;
  try {
    engine.addCode(source);
  } catch (const vbs::QuitRequest& q) {
    code = q.code;
  } catch (const vbs::ScriptError& e) {
    std::cout.flush();
    std::cerr << vbs::errorReport(file, e) << std::endl;
    code = 1;
  }
  std::cout.flush();
  engine.reset();
  return code;
}
