#pragma once
#include <QString>
#include <QStringList>
#include <QUrl>
#include <functional>

#include "hotspots/action_host.h"
#include "scripting/file_access.h"
#include "platform/vbscript/object.h"

// The Action object: the game's interface for script code, given to every script as
// "Action" with its members global (GoToFrame "Hall" and Action.GoToFrame "Hall"). Some
// methods act at once; the others record a request (a frame to open, quitting, the load
// or save window) that the caller of the script applies when the script has ended.
//
// Methods that handle their own errors show the error report and return their default
// value; the others let errors reach the script.
namespace storyloom {

class Game;
class EditorAndGame;

class VBScriptActionModule : public vbs::Object {
 public:
  explicit VBScriptActionModule(Game& game);
  ~VBScriptActionModule() override;

  // The request fields, cleared by ResetModule before each script run.
  ScriptRequests requests;
  void ResetModule() { requests.ResetModule(); }

  // Hands a document, web address or mail address to the system's "open" verb; false when
  // nothing could open it. Tests replace it.
  std::function<bool(const QUrl&)> openUrl;

  std::u16string typeName() const override { return u"VBScriptActionModule"; }
  bool hasMember(std::u16string_view name) const override;
  vbs::Value callMethod(std::u16string_view name, vbs::Args args) override;

  // The INI helpers of ReadINI and WriteINI (paths in Windows form).
  QString ReadINIValue(const QString& sFilename, const QString& sSection, const QString& sKeyName);
  bool WriteINIValue(const QString& sFilename, const QString& sSection, const QString& sKeyName, const QString& sValue);

  // The methods scripts call, in the order of the class.
  enum class Method;
  // Stops the game after a fatal problem: hides the picture, stops all activity, shows the
  // menus; EverythingStopped until the next reset.
  void StopEverything();

 protected:
  // Owned by the game window, never deleted by the last script reference.
  void lastReferenceReleased() noexcept override {}

 private:
  vbs::Value call(Method method, vbs::Args args);
  EditorAndGame& module();

  void SendEmail(const QString& sAddress);
  void OpenURL(const QString& sURL);
  void OpenFile(const QString& sFileTitle);
  void OpenExeFileAndWait(const QString& sFileTitle);
  void RunAndWait(const QString& path);
  void LoadAPicture(const vbs::Value& refControl, const QString& sFilename);
  vbs::Value LoadGraphicFile(const QString& sFilename);
  void CreateOrDeleteObject(const vbs::Value& ObjectRef, bool create);
  qint16 CreateTimedEvent(const vbs::Value& Duration, const QString& sCode, bool bRepeatForever);
  void RemoveTimedEvent(qint16 Index);
  void SaveParameter(const QString& sParameterName, const vbs::Value& ParameterValue);
  QString LoadParameter(const QString& sParameterName, const vbs::Value& DefaultParameterValue);
  void ChangeDefaultCursor(const QString& sFilename);
  QString ReadINI(const QString& sFilename, const QString& sSection, const QString& sKeyName);
  qint16 WriteINI(const QString& sFilename, const QString& sSection, const QString& sKeyName,
                  const QString& sNewString);
  QString DDir(const QString& sPathName, qint16 iAttributes);
  // Raises "Permission denied" when the game may not reach the path (Windows form) so.
  void requireAccess(const QString& path, FileAccessRule::Kind kind);
  // A bare file name is taken in the External folder.
  QString inExternal(const QString& sFilename);

  Game& game_;
  // The names the last DDir search found that are still to be returned.
  QStringList dirMatches_;
};

}  // namespace storyloom
