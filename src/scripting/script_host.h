#pragma once
#include <QString>
#include <QStringList>
#include <memory>

#include "platform/vbscript/value.h"

// The game's script host: every script of a game (action scripts, the start-up and frame
// scripts, timed events, the debug console) runs through ExecuteVBScript. Each run sees a
// fresh engine holding the project's procedures, the code wrapped in a procedure named
// StartupProcedure, and the named objects (the project variables, the controls, the
// platform objects, the timed-event timer and the Action object, all with their members
// global). Nothing a script defines survives into the next run.
namespace storyloom {

class Game;
class FileAccessRule;

class ScriptHost {
 public:
  static constexpr int kDefaultTimeOut = 10000;  // milliseconds

  explicit ScriptHost(Game& game);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  // Runs code; with bResetLastClickPosition the last click position becomes (0, 0) first.
  // Returns false after an error, which has been reported to the player. Nothing runs
  // while everything is stopped.
  bool ExecuteVBScript(const QString& code, bool bResetLastClickPosition);
  // The project's start-up script, run when a game starts or is loaded; the requests it
  // leaves in the Action object are not applied here.
  void ExecuteOnLoadVBScript();
  // Loads the project's procedures file and returns its text.
  QString LoadProcedures();
  // Prepares the second engine (the one additional components run on) with the
  // procedures and startupCode (may be empty); a syntax error in the procedures is
  // reported now. Kept until the next call.
  void AddCodeToScriptControl(const QString& procedures, const QString& startupCode);
  // Where the game's scripts may reach on this machine (the engine's file objects and the
  // Action object's file methods ask it).
  FileAccessRule& fileAccess();
  // The procedures of the second engine, in definition order (none before it is prepared).
  QStringList ScriptControl2Procedures() const;
  // Runs a procedure of the second engine with one argument; throws vbs::ScriptError.
  void RunOnScriptControl2(const QString& procedure, const vbs::Value& argument);
  // Time-out of the engine that runs the scripts, in milliseconds.
  void SetTimeOut(int milliseconds);
  int TimeOut() const;
  // A script asked to quit the game (the Action object's bStopGame).
  bool StopGameRequested() const;
  // Evaluates an expression in a fresh run with the game's named objects (walkthroughs and
  // tests); throws vbs::ScriptError when it fails.
  vbs::Value Evaluate(const QString& expression);
  // Debug menu: "Execute VBS code..." and "Edit VBS Procedures...".
  void ShowExecuteCodeWindow();
  void ShowEditProceduresWindow();

 private:
  Game& game_;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace storyloom
