#pragma once
#include <QString>
#include <memory>

// The game's script host as the game window reaches it: running code, the project's
// start-up script, the procedures text, the time-out, the Action object's quit request and
// the two Debug menu commands.
namespace storyloom {

class Game;

class ScriptHost {
 public:
  explicit ScriptHost(Game& game);
  ~ScriptHost();
  ScriptHost(const ScriptHost&) = delete;
  ScriptHost& operator=(const ScriptHost&) = delete;

  // Runs code in the game's script engine; with bResetLastClickPosition the last click
  // position becomes (0, 0) first. Returns false when the code failed.
  bool ExecuteVBScript(const QString& code, bool bResetLastClickPosition);
  // The project's start-up script, run by StartNewGame.
  void ExecuteOnLoadVBScript();
  // Loads the project's procedures file and returns its text.
  QString LoadProcedures();
  // Gives the procedures to the second engine, then runs startupCode (may be empty).
  void AddCodeToScriptControl(const QString& procedures, const QString& startupCode);
  // Time-out of the first engine, milliseconds.
  void SetTimeOut(int milliseconds);
  // A script asked to quit the game (the Action object's bStopGame).
  bool StopGameRequested() const;
  // Debug menu: "Execute VBS code..." and "Edit VBS Procedures...".
  void ShowExecuteCodeWindow();
  void ShowEditProceduresWindow();

 private:
  Game& game_;
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace storyloom
