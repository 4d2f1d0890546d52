#pragma once
#include <QString>

#include "platform/vbscript/value.h"

// The one error type of the runtime: an error of the platform the games were made for,
// carrying its number and description ("Type mismatch" 13, "Overflow" 6, "Subscript out of
// range" 9, "Input past end of file" 62, ...). The player sees them in the error report;
// a script that calls into the game sees the same number and description in Err, because
// the error is a script error to the engine.
namespace storyloom {

class PlatformError : public vbs::ScriptError {
 public:
  PlatformError(int number, const QString& description);

  int code() const { return number; }
  QString text() const { return QString::fromStdU16String(description); }

  static PlatformError invalidProcedureCall();                 // 5
  static PlatformError overflow();                             // 6
  static PlatformError subscriptOutOfRange();                  // 9
  static PlatformError typeMismatch();                         // 13
  static PlatformError fileNotFound();                         // 53
  static PlatformError pastEnd();                              // 62
  static PlatformError invalidUseOfNull();                     // 94
  static PlatformError controlArrayElementMissing(int index);  // 340
  static PlatformError invalidPropertyValue();                 // 380
  static PlatformError keyAlreadyUsed();                       // 457
  static PlatformError invalidPicture();                       // 481

  // Inside a catch block: the exception being handled, as the platform would number it
  // (an engine error keeps its number; any other failure is 51 "Internal error").
  static PlatformError current();
};

}  // namespace storyloom
