#include "scripting/script_host.h"

#include <QRegularExpression>
#include <chrono>
#include <vector>

#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "platform/skipped_steps.h"
#include "platform/vbscript/engine.h"
#include "scripting/action_module.h"
#include "scripting/control_objects.h"
#include "scripting/file_access.h"
#include "scripting/procedures.h"
#include "scripting/script_picture.h"
#include "scripting/timed_events.h"
#include "scripting/variable_objects.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

std::u16string u16(const QString& s) { return s.toStdU16String(); }
QString qs(const std::u16string& s) { return QString::fromStdU16String(s); }

// What the engine asks of the game: message and input boxes, paths, pictures and whether a
// file may be touched. The time a player spends in a box (the file access question too)
// does not count against the running script's time-out.
class GameScriptCallbacks : public vbs::Host {
 public:
  GameScriptCallbacks(EditorAndGame& module, FileAccessRule& access) : module_(module), access_(access) {}

  int msgBox(const std::u16string& prompt, int buttons, const std::u16string& title) override {
    const auto start = std::chrono::steady_clock::now();
    const int answer = module_.messages().show(qs(prompt), buttons, qs(title));
    waited(std::chrono::steady_clock::now() - start);
    return answer;
  }
  std::optional<std::u16string> inputBox(const std::u16string& prompt, const std::u16string& title,
                                         const std::u16string& defaultText) override {
    const auto start = std::chrono::steady_clock::now();
    const std::optional<QString> answer = module_.messages().inputBox(qs(prompt), qs(title), qs(defaultText));
    waited(std::chrono::steady_clock::now() - start);
    if (!answer) return std::nullopt;
    return u16(*answer);
  }
  std::string toHostPath(const std::u16string& windowsPath) override {
    return module_.hostPathOf(qs(windowsPath)).toStdString();
  }
  bool mayAccess(const std::string& hostPath, FileAccess access) override {
    const auto start = std::chrono::steady_clock::now();
    const bool allowed =
        access_.allows(QString::fromStdString(hostPath),
                       access == FileAccess::Write ? FileAccessRule::Kind::Write : FileAccessRule::Kind::Read);
    waited(std::chrono::steady_clock::now() - start);
    return allowed;
  }
  // LoadPicture(path): "" gives an empty picture; a file that is not there is error 53.
  vbs::Value loadPicture(const std::u16string& path) override {
    const QString name = qs(path);
    if (name.isEmpty()) return vbs::Value(vbs::makeRef<ScriptPicture>().get());
    if (!mayAccess(module_.hostPathOf(name).toStdString(), FileAccess::Read))
      throw PlatformError(70, QStringLiteral("Permission denied"));
    if (!module_.FileExists(name)) throw PlatformError::fileNotFound();
    return vbs::Value(ScriptPicture::load(module_.hostPathOf(name), name).get());
  }

  // The engines of the runs now in progress, innermost last.
  std::vector<vbs::Engine*> running;

 private:
  void waited(std::chrono::steady_clock::duration d) {
    for (vbs::Engine* e : running) e->excludeFromTimeout(d);
  }
  EditorAndGame& module_;
  FileAccessRule& access_;
};

}  // namespace

struct ScriptHost::Impl {
  explicit Impl(EditorAndGame& module) : fileAccess(module), callbacks(module, fileAccess) {}
  FileAccessRule fileAccess;
  GameScriptCallbacks callbacks;
  int timeOut = kDefaultTimeOut;
  std::unique_ptr<vbs::Engine> ScriptControl;  // the procedures compiled once, for every run
  QString preparedFor;                         // the procedures text it was compiled from
  bool preparedFailed = false;                 // they do not compile: every run says so
  // The second engine: kept from one reset to the next.
  std::unique_ptr<vbs::Engine> ScriptControl2;

  // The engine that runs the outermost script: the procedures are compiled once per text
  // and each run starts from the state right after compiling them.
  vbs::Engine* preparedEngine(const QString& procedures) {
    if (!ScriptControl || preparedFor != procedures) {
      ScriptControl = std::make_unique<vbs::Engine>(&callbacks);
      preparedFor = procedures;
      preparedFailed = false;
      try {
        ScriptControl->prepare(procedures.toStdU16String());
      } catch (const vbs::ScriptError&) {
        preparedFailed = true;  // each run compiles them again and reports the error
      }
    }
    return preparedFailed ? nullptr : ScriptControl.get();
  }
};

ScriptHost::ScriptHost(Game& game) : game_(game), impl_(std::make_unique<Impl>(game.module())) {}
ScriptHost::~ScriptHost() = default;

namespace {

// The engine's error as the player sees it.
void reportScriptError(EditorAndGame& module, const QString& description) {
  const UITexts& t = module.texts;
  module.MessageBox(t(30) + ' ' + t(31) + QStringLiteral("\r\n\r\n") +
                        QStringLiteral("Error executing script. The Scripting Engine returned the following error "
                                       "message:") +
                        QStringLiteral("\r\n\r\n") + description,
                    msg::Critical, t(29));
}

// The named objects, in the order the engine receives them.
void addNamedObjects(Game& game, vbs::Engine& engine) {
  for (const auto& v : game.vars.Variables) engine.addObject(u16(v->Name), makeVariableObject(v), true);
  for (const auto& v : game.vars.VariablesVariant) engine.addObject(u16(v->Name), makeVariableObject(v), true);
  engine.addObject(u"Hotspot", makeHotspotArray(game), true);
  engine.addObject(u"Text", makeTextArray(game), true);
  engine.addObject(u"LoopingVideo", makeLoopingVideoArray(game), true);
  engine.addObject(u"ScreenObject", makeScreenObject(game), true);
  engine.addObject(u"AppObject", makeAppObject(game), true);
  engine.addObject(u"PrintersObject", makePrintersObject(game), true);
  engine.addObject(u"ClipboardObject", makeClipboardObject(game), true);
  engine.addObject(u"MessageObject", makeMessageObject(game), true);
  engine.addObject(u"FrameMessageObject", makeFrameMessageObject(game), true);
  if (game.AllowControlsReferences == 2) engine.addObject(u"WindowObject", makeWindowObject(game), true);
  engine.addObject(u"TimedEventObject", game.timedEvents().TimedEventObject(), true);
  engine.addObject(u"Action", vbs::Ref<vbs::Object>(&game.actionModule()), true);
}

QString wrapped(const QString& procedures, const QString& code) {
  return procedures + QStringLiteral("\r\n\r\nSub StartupProcedure\r\n") + code + QStringLiteral("\r\nEnd Sub");
}

// The code wrapped on its own, to follow procedures already compiled; it keeps their
// Option Explicit, as one text with them would.
QString startupProcedure(const QString& procedures, const QString& code) {
  static const QRegularExpression optionExplicit(
      QStringLiteral("^\\s*option\\s+explicit\\b"),
      QRegularExpression::CaseInsensitiveOption | QRegularExpression::MultilineOption);
  const QString head = optionExplicit.match(procedures).hasMatch() ? QStringLiteral("Option Explicit\r\n") : QString();
  return head + QStringLiteral("Sub StartupProcedure\r\n") + code + QStringLiteral("\r\nEnd Sub");
}

}  // namespace

bool ScriptHost::ExecuteVBScript(const QString& code, bool bResetLastClickPosition) {
  if (game_.module().EverythingStopped) return true;
  if (bResetLastClickPosition) game_.SaveClickPos(0, 0);
  // Every run starts as a fresh engine would. The outermost run starts from the compiled
  // procedures; a run that starts inside another (a timed event while a script's message
  // box is open) gets an engine of its own, so the outer one goes on unharmed.
  const bool nested = !impl_->callbacks.running.empty();
  vbs::Engine* prepared = nested ? nullptr : impl_->preparedEngine(game_.ProceduresText);
  std::unique_ptr<vbs::Engine> own;
  if (!prepared) own = std::make_unique<vbs::Engine>(&impl_->callbacks);
  vbs::Engine& ScriptControl = prepared ? *prepared : *own;
  ScriptControl.setTimeout(impl_->timeOut);
  impl_->callbacks.running.push_back(&ScriptControl);
  try {
    if (prepared) {
      ScriptControl.startPrepared();
      ScriptControl.addCode(u16(startupProcedure(game_.ProceduresText, code)));
    } else {
      ScriptControl.addCode(u16(wrapped(game_.ProceduresText, code)));
    }
    addNamedObjects(game_, ScriptControl);
    ScriptControl.run(u"StartupProcedure");
  } catch (const vbs::ScriptError& e) {
    impl_->callbacks.running.pop_back();
    reportScriptError(game_.module(), qs(e.description));
    return false;
  } catch (...) {
    impl_->callbacks.running.pop_back();
    reportScriptError(game_.module(), PlatformError::current().text());
    return false;
  }
  impl_->callbacks.running.pop_back();
  return true;
}

vbs::Value ScriptHost::Evaluate(const QString& expression) {
  vbs::Engine engine(&impl_->callbacks);
  engine.setTimeout(impl_->timeOut);
  impl_->callbacks.running.push_back(&engine);
  struct Pop {
    std::vector<vbs::Engine*>& running;
    ~Pop() { running.pop_back(); }
  } pop{impl_->callbacks.running};
  engine.addCode(u16(game_.ProceduresText));
  addNamedObjects(game_, engine);
  // An object with a default member (a project variable) gives that member's value.
  return engine.context().defaultValue(engine.eval(u16(expression)));
}

void ScriptHost::ExecuteOnLoadVBScript() {
  game_.actionModule().ResetModule();
  const ProjectSettings& s = game_.module().settings;
  if (s.StartupScriptEnabled && !s.StartupScript.isEmpty()) ExecuteVBScript(s.StartupScript, true);
}

QString ScriptHost::LoadProcedures() { return storyloom::LoadProcedures(game_.module()); }

void ScriptHost::AddCodeToScriptControl(const QString& procedures, const QString& startupCode) {
  impl_->ScriptControl2 = std::make_unique<vbs::Engine>(&impl_->callbacks);
  impl_->ScriptControl2->setTimeout(kDefaultTimeOut);
  try {
    impl_->ScriptControl2->addCode(u16(wrapped(procedures, startupCode)));
    addNamedObjects(game_, *impl_->ScriptControl2);
  } catch (const vbs::ScriptError& e) {
    reportScriptError(game_.module(), qs(e.description));
  }
}

FileAccessRule& ScriptHost::fileAccess() { return impl_->fileAccess; }
QStringList ScriptHost::ScriptControl2Procedures() const {
  QStringList names;
  if (impl_->ScriptControl2)
    for (const vbs::ProcedureInfo& p : impl_->ScriptControl2->procedures()) names.append(qs(p.name));
  return names;
}

void ScriptHost::RunOnScriptControl2(const QString& procedure, const vbs::Value& argument) {
  if (!impl_->ScriptControl2) throw PlatformError(91, QStringLiteral("Object variable or With block variable not set"));
  vbs::Engine& engine = *impl_->ScriptControl2;
  impl_->callbacks.running.push_back(&engine);
  try {
    engine.run(u16(procedure), {argument});
  } catch (...) {
    impl_->callbacks.running.pop_back();
    throw;
  }
  impl_->callbacks.running.pop_back();
}

void ScriptHost::SetTimeOut(int milliseconds) { impl_->timeOut = milliseconds; }
int ScriptHost::TimeOut() const { return impl_->timeOut; }

bool ScriptHost::StopGameRequested() const { return game_.actionModule().requests.bStopGame; }

void ScriptHost::ShowExecuteCodeWindow() {
  EditorAndGame& m = game_.module();
  const QString section = m.settings.ProjectName;
  const QString key = QStringLiteral("ExecuteVBScriptCode");
  QString last;
  runSkippingErrors(QStringLiteral("the last code entered"),
                    [&] { last = m.userSettings().get(section, key, QString()); });
  const std::optional<QString> code = m.messages().inputBox(
      QStringLiteral("Enter the VBScript code you want to execute and then click OK.\r\n\r\n"
                     "For example, to retrieve the value of a variable, use the following code:\r\n\r\n"
                     "                MsgBox VARIABLE_NAME\r\n\r\n"),
      QStringLiteral("Execute VBScript Code (for advanced users)"), last);
  if (!code || code->isEmpty()) return;
  try {
    game_.areas().ExecuteVBScriptAndConsequences(*code, true);
  } catch (...) {
    m.MessageBox(QStringLiteral("Unable to execute the following VBScript code:\r\n\r\n") + *code +
                     QStringLiteral("\r\n\r\n") + PlatformError::current().text(),
                 msg::Critical, QStringLiteral("Error Executing VBScript Code"));
  }
  runSkippingErrors(QStringLiteral("storing the code entered"), [&] { m.userSettings().set(section, key, *code); });
}

void ScriptHost::ShowEditProceduresWindow() {
  game_.module().MessageBox(QStringLiteral("This command is not available in the compiled version of the project."),
                            msg::Information, QStringLiteral("Not Available"));
}

}  // namespace storyloom
