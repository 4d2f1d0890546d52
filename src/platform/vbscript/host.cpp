#include "platform/vbscript/host.h"

namespace vbs {

int defaultMsgBoxButton(int buttons) {
  int set = buttons & 0x7;
  int which = (buttons >> 8) & 0x3;  // vbDefaultButton2 = 256, 3 = 512, 4 = 768
  static const int kButtons[6][3] = {
      {1, 1, 1},  // vbOKOnly
      {1, 2, 2},  // vbOKCancel
      {3, 4, 5},  // vbAbortRetryIgnore
      {6, 7, 2},  // vbYesNoCancel
      {6, 7, 7},  // vbYesNo
      {4, 2, 2},  // vbRetryCancel
  };
  if (set > 5) set = 0;
  if (which > 2) which = 2;
  return kButtons[set][which];
}

int Host::msgBox(const std::u16string&, int buttons, const std::u16string&) { return defaultMsgBoxButton(buttons); }

std::optional<std::u16string> Host::inputBox(const std::u16string&, const std::u16string&,
                                             const std::u16string& defaultText) {
  return defaultText;
}

Ref<Object> Host::createObject(const std::u16string&) { return nullptr; }

std::string Host::toHostPath(const std::u16string& windowsPath) {
  std::string p = utf8(windowsPath);
  for (auto& c : p)
    if (c == '\\') c = '/';
  return p;
}

bool Host::mayAccess(const std::string&, FileAccess) { return true; }

Value Host::loadPicture(const std::u16string&) { raise(err::InvalidProcedureCall); }

void Host::writeOutput(const std::u16string&) {}

Ref<Object> Host::globalObject() { return nullptr; }

}  // namespace vbs
