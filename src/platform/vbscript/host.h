// Storyloom VBScript engine: callbacks into the application.
//
// The engine never talks to the user, the file system or the windowing
// system itself; MsgBox, InputBox, CreateObject, LoadPicture and path
// translation go through a Host.  The default implementations are silent and
// usable in tests: msgBox returns the default button, inputBox returns
// nothing (so InputBox gives its default), createObject knows nothing.
#pragma once

#include <optional>
#include <string>

#include "platform/vbscript/object.h"
#include "platform/vbscript/value.h"

namespace vbs {

class Host {
 public:
  virtual ~Host() = default;

  // MsgBox prompt, buttons, title.  Returns the button pressed
  // (vbOK = 1, vbCancel = 2, vbAbort = 3, vbRetry = 4, vbIgnore = 5,
  // vbYes = 6, vbNo = 7).  Default: the default button of `buttons`.
  virtual int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title);

  // InputBox prompt, title, default.  nullopt means the user cancelled, in
  // which case InputBox returns "" (empty string).  Default: returns the
  // default text.
  virtual std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string& title,
                                                 const std::u16string& defaultText);

  // CreateObject(progId) for objects the application provides.  Return null
  // to let the engine try its own ProgIDs (Scripting.Dictionary ...); when
  // neither knows the ProgID the script gets error 429.
  virtual Ref<Object> createObject(const std::u16string& progId);

  // Translates a path written by the script ("C:\Game\Data\x.txt" or
  // "Data\x.txt") into a path on this machine, UTF-8.  Default: backslashes
  // become slashes.
  virtual std::string toHostPath(const std::u16string& windowsPath);

  // Whether a script may touch a host path (as toHostPath gave it) in the way
  // asked: reading (also looking at a file's size, date or a folder's
  // entries) or writing (creating, changing, deleting).  Asked before every
  // file operation; a refusal gives the script error 70.  Default: yes.
  enum class FileAccess { Read, Write };
  virtual bool mayAccess(const std::string& hostPath, FileAccess access);

  // LoadPicture(path).  Default: raises error 5 (not supported).
  virtual Value loadPicture(const std::u16string& path);

  // Text written by WScript.Echo-like hosts or debugging helpers.  The
  // engine itself never calls it; built-ins may.  Default: discard.
  virtual void writeOutput(const std::u16string& text);

  // What `Me` names outside a class: the script's global object.  Return
  // null (the default) to get the engine's own object, whose members are
  // the script's global variables and procedures.
  virtual Ref<Object> globalObject();
};

// The button number msgBox returns by default for a MsgBox `buttons` value
// (honours vbDefaultButton2/3/4).
int defaultMsgBoxButton(int buttons);

}  // namespace vbs
