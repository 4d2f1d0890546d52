#include "scripting/action_module.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>

#include "game/frame_texts.h"
#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "media/animated_pictures.h"
#include "platform/conversions.h"
#include "platform/ini_file.h"
#include "platform/platform_error.h"
#include "scripting/components.h"
#include "scripting/control_element.h"
#include "scripting/script_host.h"
#include "scripting/script_picture.h"
#include "scripting/timed_events.h"
#include "shell/editor_and_game.h"
#include "state/inventory.h"

namespace storyloom {

enum class VBScriptActionModule::Method {
  PopupSaveGame,
  PopupLoadGame,
  GoToFrame,
  ResetModule,
  StopEverything,
  Message,
  AddItem,
  SendEmail,
  OpenURL,
  OpenFile,
  OpenExeFileAndWait,
  LoadAPicture,
  LoadGraphicFile,
  GetHotspotNumber,
  GetPath,
  HideInventoryButton,
  ShowInventoryButton,
  GetClickPositionX,
  GetClickPositionY,
  GetTransitionsStatus,
  GetEffectsStatus,
  InvertTransitionsStatus,
  InvertEffectsStatus,
  RemoveAllItems,
  RemoveItem,
  CreateObject,
  DeleteObject,
  GetSLVersion,
  ChangeDisplayResolution,
  ChangeDisplayResolutionOnLoadGame,
  GetDisplayResolutionX,
  GetDisplayResolutionY,
  AllowControlsReferencesNextTime,
  DoNotAllowControlsReferencesNextTime,
  GetCurrentFrameName,
  GetMergedHotspotIndex,
  GetMergedTextIndex,
  Quit,
  CreateTimedEvent,
  RemoveTimedEvent,
  SaveParameter,
  LoadParameter,
  ChangeDefaultCursor,
  ReadINI,
  WriteINI,
  DDir,
  AddComponent,
  RemoveComponent,
  Component,
  DoesComponentExist,
  InterceptComponentEvents,
  IsComponentInstalled,
};

namespace {

using Method = VBScriptActionModule::Method;

struct MethodName {
  const char16_t* name;
  Method method;
};

// In the order of the class.
constexpr MethodName kMethods[] = {
    {u"PopupSaveGame", Method::PopupSaveGame},
    {u"PopupLoadGame", Method::PopupLoadGame},
    {u"GoToFrame", Method::GoToFrame},
    {u"ResetModule", Method::ResetModule},
    {u"StopEverything", Method::StopEverything},
    {u"Message", Method::Message},
    {u"AddItem", Method::AddItem},
    {u"SendEmail", Method::SendEmail},
    {u"OpenURL", Method::OpenURL},
    {u"OpenFile", Method::OpenFile},
    {u"OpenExeFileAndWait", Method::OpenExeFileAndWait},
    {u"LoadAPicture", Method::LoadAPicture},
    {u"LoadGraphicFile", Method::LoadGraphicFile},
    {u"GetHotspotNumber", Method::GetHotspotNumber},
    {u"GetPath", Method::GetPath},
    {u"HideInventoryButton", Method::HideInventoryButton},
    {u"ShowInventoryButton", Method::ShowInventoryButton},
    {u"GetClickPositionX", Method::GetClickPositionX},
    {u"GetClickPositionY", Method::GetClickPositionY},
    {u"GetTransitionsStatus", Method::GetTransitionsStatus},
    {u"GetEffectsStatus", Method::GetEffectsStatus},
    {u"InvertTransitionsStatus", Method::InvertTransitionsStatus},
    {u"InvertEffectsStatus", Method::InvertEffectsStatus},
    {u"RemoveAllItems", Method::RemoveAllItems},
    {u"RemoveItem", Method::RemoveItem},
    {u"CreateObject", Method::CreateObject},
    {u"DeleteObject", Method::DeleteObject},
    {u"GetSLVersion", Method::GetSLVersion},
    {u"ChangeDisplayResolution", Method::ChangeDisplayResolution},
    {u"ChangeDisplayResolutionOnLoadGame", Method::ChangeDisplayResolutionOnLoadGame},
    {u"GetDisplayResolutionX", Method::GetDisplayResolutionX},
    {u"GetDisplayResolutionY", Method::GetDisplayResolutionY},
    {u"AllowControlsReferencesNextTime", Method::AllowControlsReferencesNextTime},
    {u"DoNotAllowControlsReferencesNextTime", Method::DoNotAllowControlsReferencesNextTime},
    {u"GetCurrentFrameName", Method::GetCurrentFrameName},
    {u"GetMergedHotspotIndex", Method::GetMergedHotspotIndex},
    {u"GetMergedTextIndex", Method::GetMergedTextIndex},
    {u"Quit", Method::Quit},
    {u"CreateTimedEvent", Method::CreateTimedEvent},
    {u"RemoveTimedEvent", Method::RemoveTimedEvent},
    {u"SaveParameter", Method::SaveParameter},
    {u"LoadParameter", Method::LoadParameter},
    {u"ChangeDefaultCursor", Method::ChangeDefaultCursor},
    {u"ReadINI", Method::ReadINI},
    {u"WriteINI", Method::WriteINI},
    {u"DDir", Method::DDir},
    {u"AddComponent", Method::AddComponent},
    {u"RemoveComponent", Method::RemoveComponent},
    {u"Component", Method::Component},
    {u"DoesComponentExist", Method::DoesComponentExist},
    {u"InterceptComponentEvents", Method::InterceptComponentEvents},
    {u"IsComponentInstalled", Method::IsComponentInstalled},
};
static_assert(std::size(kMethods) == 52);

const MethodName* findMethod(std::u16string_view name) {
  for (const MethodName& m : kMethods)
    if (vbs::equalsNoCase(name, m.name)) return &m;
  return nullptr;
}

// An object given where a value is wanted stands for its default member (a text's
// caption); Nothing is "Object variable not set".
vbs::Value plainValue(const vbs::Value& v) {
  vbs::Value r = v;
  for (int depth = 0; r.isObject(); ++depth) {
    if (depth == 2) vbs::raise(vbs::err::NoSuchMember);
    const vbs::Value keep = r;
    r = vbs::requireObject(keep)->getProperty(u"", vbs::Args());
  }
  return r;
}

// Arguments as the method's parameter types take them: a conversion error reaches the
// script, as it does for a call whose arguments do not fit. Omitted optional arguments
// are 0, False or "".
QString textArg(vbs::Args a, size_t i) {
  return a.isMissing(i) ? QString() : QString::fromStdU16String(plainValue(a[i]).toString());
}
double doubleArg(vbs::Args a, size_t i) { return a.isMissing(i) ? 0.0 : plainValue(a[i]).toDouble(); }
qint16 integerArg(vbs::Args a, size_t i) { return a.isMissing(i) ? qint16(0) : plainValue(a[i]).toInteger(); }
bool booleanArg(vbs::Args a, size_t i) { return a.isMissing(i) ? false : plainValue(a[i]).toBool(); }
// A parameter declared as an object: Nothing is accepted, anything else but an object is not.
vbs::Value objectArg(vbs::Args a, size_t i) {
  if (a.isMissing(i) || !a[i].isObject()) vbs::raise(vbs::err::TypeMismatch);
  return a[i];
}

vbs::Value text(const QString& s) { return vbs::Value(s.toStdU16String()); }

// Runs a method's body; an error is shown in the error report with the method's context
// sentence, and the method then returns normally.
template <class Body>
void reportingErrors(EditorAndGame& module, const QString& context, Body&& body) {
  try {
    body();
  } catch (...) {
    module.ReportError(context, PlatformError::current());
  }
}

const QString kNothingOpensIt = QStringLiteral("No application is associated with it.");

// Windows wildcards: "*" any run of characters, "?" one character; "name.*" also matches
// "name" without an extension.
QRegularExpression wildcardPattern(const QString& pattern) {
  QString p = pattern;
  bool optionalExtension = false;
  if (p.endsWith(QLatin1String(".*"))) {
    p.chop(2);
    optionalExtension = true;
  }
  QString re;
  for (const QChar c : p) {
    if (c == '*')
      re += QLatin1String(".*");
    else if (c == '?')
      re += '.';
    else
      re += QRegularExpression::escape(QString(c));
  }
  if (optionalExtension) re += QLatin1String("(\\..*)?");
  return QRegularExpression(QRegularExpression::anchoredPattern(re),
                            QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption);
}

}  // namespace

VBScriptActionModule::VBScriptActionModule(Game& game)
    : openUrl([](const QUrl& url) { return QDesktopServices::openUrl(url); }), game_(game) {}

VBScriptActionModule::~VBScriptActionModule() = default;

EditorAndGame& VBScriptActionModule::module() { return game_.module(); }

bool VBScriptActionModule::hasMember(std::u16string_view name) const { return findMethod(name) != nullptr; }

vbs::Value VBScriptActionModule::callMethod(std::u16string_view name, vbs::Args args) {
  const MethodName* m = findMethod(name);
  if (!m) vbs::raise(vbs::err::NoSuchMember);
  return call(m->method, args);
}

vbs::Value VBScriptActionModule::call(Method method, vbs::Args a) {
  switch (method) {
    case Method::PopupSaveGame:
      a.expect(0, 0);
      requests.bPopupSaveGame = true;
      return {};
    case Method::PopupLoadGame:
      a.expect(0, 0);
      requests.bPopupLoadGame = true;
      return {};
    case Method::GoToFrame: {
      a.expect(1, 3);
      const QString sFrameName = textArg(a, 0);
      const double dTransDuration = doubleArg(a, 1);
      const qint16 iTransNumber = integerArg(a, 2);
      requests.sFrameToLoad = sFrameName;
      requests.dTransDuration = dTransDuration;
      requests.iTransitionNumber = iTransNumber;
      requests.iHotspotNumber = 0;
      return {};
    }
    case Method::ResetModule:
      a.expect(0, 0);
      ResetModule();
      return {};
    case Method::StopEverything:
      a.expect(0, 0);
      StopEverything();
      return {};
    case Method::Message:
      a.expect(1, 1);
      game_.ShowFrameMessage(textArg(a, 0), true);
      return {};
    case Method::AddItem: {
      a.expect(1, 2);
      const QString sText = textArg(a, 0);
      const bool bDoNotPopup = booleanArg(a, 1);
      game_.inventory().AddPickedObject(sText, bDoNotPopup);
      return {};
    }
    case Method::SendEmail:
      a.expect(1, 1);
      SendEmail(textArg(a, 0));
      return {};
    case Method::OpenURL:
      a.expect(1, 1);
      OpenURL(textArg(a, 0));
      return {};
    case Method::OpenFile:
      a.expect(1, 1);
      OpenFile(textArg(a, 0));
      return {};
    case Method::OpenExeFileAndWait:
      a.expect(1, 1);
      OpenExeFileAndWait(textArg(a, 0));
      return {};
    case Method::LoadAPicture: {
      a.expect(2, 2);
      const vbs::Value refControl = objectArg(a, 0);
      LoadAPicture(refControl, textArg(a, 1));
      return {};
    }
    case Method::LoadGraphicFile: a.expect(1, 1); return LoadGraphicFile(textArg(a, 0));
    case Method::GetHotspotNumber: a.expect(0, 0); return vbs::Value(requests.iHotspotNumber);
    case Method::GetPath: a.expect(0, 0); return text(module().paths.ExternalPath);
    case Method::HideInventoryButton:
      a.expect(0, 0);
      reportingErrors(module(), QStringLiteral(" Error hiding inventory. "), [&] {
        if (!module().settings.InventoryEnabled) return;
        game_.inventory().Inventory_Hide();
        game_.inventory().Inventory2().setVisible(false);
      });
      return {};
    case Method::ShowInventoryButton:
      a.expect(0, 0);
      reportingErrors(module(), QStringLiteral(" Error displaying inventory. "), [&] {
        if (module().settings.InventoryEnabled) game_.inventory().Inventory2().setVisible(true);
      });
      return {};
    case Method::GetClickPositionX: a.expect(0, 0); return vbs::Value(toInteger(game_.LastClickPosition.x()));
    case Method::GetClickPositionY: a.expect(0, 0); return vbs::Value(toInteger(game_.LastClickPosition.y()));
    case Method::GetTransitionsStatus: a.expect(0, 0); return vbs::Value(!game_.mnuDisableTransitions->isChecked());
    case Method::GetEffectsStatus: a.expect(0, 0); return vbs::Value(!game_.mnuDisableEffects->isChecked());
    case Method::InvertTransitionsStatus:
      a.expect(0, 0);
      game_.EnableOrDisableTransitions();
      return {};
    case Method::InvertEffectsStatus:
      a.expect(0, 0);
      game_.EnableOrDisableEffects();
      return {};
    case Method::RemoveAllItems:
      a.expect(0, 0);
      reportingErrors(module(), QStringLiteral(" Error removing all the inventory items. "), [&] {
        Inventory& inventory = game_.inventory();
        // Each removal either empties a slot or reports its failure and leaves the count:
        // the walk goes no further than the items there were.
        for (int n = inventory.ObjectsCount; n > 0 && inventory.ObjectsCount > 0; --n) inventory.RemovePickedObject(1);
      });
      return {};
    case Method::RemoveItem: {
      a.expect(1, 2);
      const QString sItemName = textArg(a, 0);
      const bool bRemoveDuplicates = booleanArg(a, 1);
      reportingErrors(
          module(),
          QStringLiteral(" Error removing from the inventory the item named '") + sItemName + QStringLiteral("'. "),
          [&] {
            Inventory& inventory = game_.inventory();
            for (int i = inventory.ObjectsCount; i >= 1; --i) {
              if (inventory.PickedObjectTag(i).compare(sItemName, Qt::CaseInsensitive) != 0) continue;
              inventory.RemovePickedObject(i);
              if (!bRemoveDuplicates) break;
            }
          });
      return {};
    }
    case Method::CreateObject:
    case Method::DeleteObject: {
      a.expect(1, 1);
      const vbs::Value ObjectRef = objectArg(a, 0);
      CreateOrDeleteObject(ObjectRef, method == Method::CreateObject);
      return {};
    }
    case Method::GetSLVersion: a.expect(0, 0); return vbs::Value(u"Version 3.4.0");
    case Method::ChangeDisplayResolution: {
      a.expect(1, 1);
      const qint16 iResolution = integerArg(a, 0);
      game_.module().display().ChangeResolutionToMode(iResolution);
      return {};
    }
    case Method::ChangeDisplayResolutionOnLoadGame:
      a.expect(1, 1);
      game_.ResolutionOnLoadGame = integerArg(a, 0);
      return {};
    case Method::GetDisplayResolutionX:
    case Method::GetDisplayResolutionY: {
      a.expect(0, 0);
      const Display& display = game_.module().display();
      return vbs::Value(static_cast<int32_t>(method == Method::GetDisplayResolutionX ? display.DesktopWidth()
                                                                                     : display.DesktopHeight()));
    }
    case Method::AllowControlsReferencesNextTime:
      a.expect(0, 0);
      game_.AllowControlsReferences = 2;
      return {};
    case Method::DoNotAllowControlsReferencesNextTime:
      a.expect(0, 0);
      game_.AllowControlsReferences = 1;
      return {};
    case Method::GetCurrentFrameName: a.expect(0, 0); return text(game_.frame.CurrentFrameName);
    case Method::GetMergedHotspotIndex: a.expect(0, 0); return vbs::Value(game_.MergedHotspotIndex);
    case Method::GetMergedTextIndex: a.expect(0, 0); return vbs::Value(toInteger(game_.texts().MergedTextIndex));
    case Method::Quit:
      a.expect(0, 0);
      requests.bStopGame = true;
      return {};
    case Method::CreateTimedEvent: {
      a.expect(2, 3);
      const QString sCode = textArg(a, 1);
      const bool bRepeatForever = booleanArg(a, 2);
      return vbs::Value(CreateTimedEvent(plainValue(a[0]), sCode, bRepeatForever));
    }
    case Method::RemoveTimedEvent:
      a.expect(1, 1);
      RemoveTimedEvent(integerArg(a, 0));
      return {};
    case Method::SaveParameter: {
      a.expect(2, 2);
      SaveParameter(textArg(a, 0), a[1]);
      return {};
    }
    case Method::LoadParameter: a.expect(2, 2); return text(LoadParameter(textArg(a, 0), a[1]));
    case Method::ChangeDefaultCursor:
      a.expect(1, 1);
      ChangeDefaultCursor(textArg(a, 0));
      return {};
    case Method::ReadINI: {
      a.expect(3, 3);
      const QString sFilename = textArg(a, 0), sSection = textArg(a, 1), sKeyName = textArg(a, 2);
      return text(ReadINI(sFilename, sSection, sKeyName));
    }
    case Method::WriteINI: {
      a.expect(4, 4);
      const QString sFilename = textArg(a, 0), sSection = textArg(a, 1), sKeyName = textArg(a, 2);
      const QString sNewString = textArg(a, 3);
      return vbs::Value(WriteINI(sFilename, sSection, sKeyName, sNewString));
    }
    case Method::DDir: {
      a.expect(0, 2);
      const QString sPathName = textArg(a, 0);
      return text(DDir(sPathName, integerArg(a, 1)));
    }
    case Method::AddComponent: {
      a.expect(2, 2);
      const QString sProgID = textArg(a, 0), sComponentName = textArg(a, 1);
      game_.components().AddAdditionalComponent(sProgID, sComponentName);
      return {};
    }
    case Method::RemoveComponent:
      a.expect(1, 1);
      game_.components().RemoveAdditionalComponent(textArg(a, 0));
      return {};
    case Method::InterceptComponentEvents:
      a.expect(1, 1);
      game_.components().InterceptAdditionalComponentEvents(textArg(a, 0));
      return {};
    case Method::Component: a.expect(1, 1); return game_.components().GetComponentRef(textArg(a, 0));
    case Method::DoesComponentExist:
      a.expect(1, 1);
      return vbs::Value(game_.components().DoesComponentExist(textArg(a, 0)));
    case Method::IsComponentInstalled:
      a.expect(1, 1);
      return vbs::Value(game_.components().DoesProgIDExist(textArg(a, 0)));
  }
  vbs::raise(vbs::err::NoSuchMember);
}

void VBScriptActionModule::StopEverything() {
  module().EverythingStopped = true;
  game_.PictureBox->hide();
  game_.StopAllActivity();
  game_.ShowMenus();
}

QString VBScriptActionModule::inExternal(const QString& sFilename) {
  return EditorAndGame::FileNameOf(sFilename) == sFilename ? module().paths.ExternalPath + sFilename : sFilename;
}

void VBScriptActionModule::requireAccess(const QString& path, FileAccessRule::Kind kind) {
  game_.scripts().fileAccess().require(module().hostPathOf(path), kind);
}

void VBScriptActionModule::SendEmail(const QString& sAddress) {
  if (sAddress.isEmpty()) return;
  const QString context = QStringLiteral(" Error opening the default mail client to send email to: ") + sAddress;
  reportingErrors(module(), context, [&] {
    if (!openUrl(QUrl(QStringLiteral("mailto:") + sAddress))) module().ReportError(context, kNothingOpensIt);
  });
}

void VBScriptActionModule::OpenURL(const QString& sURL) {
  if (sURL.isEmpty()) return;
  const QString context = QStringLiteral(" Error opening the following URL with the default browser:") + sURL;
  reportingErrors(module(), context, [&] {
    QUrl url(sURL);
    if (url.scheme().isEmpty()) url = QUrl::fromUserInput(sURL);  // "www.example.com"
    if (!openUrl(url)) module().ReportError(context, kNothingOpensIt);
  });
}

void VBScriptActionModule::OpenFile(const QString& sFileTitle) {
  if (sFileTitle.isEmpty()) return;
  const QString context = QStringLiteral(" Error opening the file titled '") + sFileTitle + QStringLiteral("'.\r\n");
  const QString path = inExternal(sFileTitle);
  requireAccess(path, FileAccessRule::Kind::Open);
  reportingErrors(module(), context, [&] {
    if (!module().FileExists(path)) throw PlatformError::fileNotFound();
    if (!openUrl(QUrl::fromLocalFile(module().hostPathOf(path)))) module().ReportError(context, kNothingOpensIt);
  });
}

void VBScriptActionModule::OpenExeFileAndWait(const QString& sFileTitle) {
  if (sFileTitle.isEmpty()) return;
  const QString context = QStringLiteral(" Error opening the file titled '") + sFileTitle + QStringLiteral("'.\r\n");
  const QString path = inExternal(sFileTitle);
  requireAccess(path, FileAccessRule::Kind::Run);
  reportingErrors(module(), context, [&] {
    // The game window and its frame timer wait for the program; they come back however
    // the wait ends.
    struct Suspended {
      Game& game;
      bool timerWasActive = game.Timer1.isActive();
      explicit Suspended(Game& g) : game(g) {
        game.setEnabled(false);
        game.Timer1.stop();
      }
      ~Suspended() {
        game.setEnabled(true);
        if (timerWasActive) game.Timer1.start();
      }
    } suspended(game_);
    RunAndWait(path);
  });
}

void VBScriptActionModule::RunAndWait(const QString& path) {
  QProcess process;
  process.setProgram(module().hostPathOf(path));
  process.start();
  if (!process.waitForStarted()) {
    throw PlatformError(53, QStringLiteral("Error launching external application. Probably file not found (") + path +
                                QStringLiteral(")."));
  }
  while (process.state() != QProcess::NotRunning) {
    QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    process.waitForFinished(100);
  }
}

void VBScriptActionModule::LoadAPicture(const vbs::Value& refControl, const QString& sFilename) {
  if (!sFilename.isEmpty()) requireAccess(module().paths.AreasPath + sFilename, FileAccessRule::Kind::Read);
  reportingErrors(module(), QStringLiteral(" Error loading the following picture:'") + sFilename + QStringLiteral("'."),
                  [&] {
                    vbs::Object* control = vbs::requireObject(refControl);
                    vbs::Ref<ScriptPicture> picture;
                    if (sFilename.isEmpty()) {
                      picture = vbs::makeRef<ScriptPicture>();
                    } else {
                      const QString path = module().ResolveProjectFile(module().paths.AreasPath + sFilename);
                      if (!module().FileExists(path)) return;
                      picture = ScriptPicture::load(module().hostPathOf(path), sFilename);
                    }
                    control->setProperty(u"Picture", vbs::Args(), vbs::Value(picture.get()));
                  });
}

vbs::Value VBScriptActionModule::LoadGraphicFile(const QString& sFilename) {
  vbs::Value result = vbs::Value::nothing();
  if (!sFilename.isEmpty()) requireAccess(module().paths.AreasPath + sFilename, FileAccessRule::Kind::Read);
  reportingErrors(
      module(), QStringLiteral(" Error loading the following graphic file:'") + sFilename + QStringLiteral("'."), [&] {
        if (sFilename.isEmpty()) {
          result = vbs::Value(vbs::makeRef<ScriptPicture>().get());
          return;
        }
        const QString path = module().ResolveProjectFile(module().paths.AreasPath + sFilename);
        if (!module().FileExists(path)) return;
        result = vbs::Value(ScriptPicture::load(module().hostPathOf(path), sFilename).get());
      });
  return result;
}

void VBScriptActionModule::CreateOrDeleteObject(const vbs::Value& ObjectRef, bool create) {
  const QString context =
      create ? QStringLiteral(" Error creating the object. ") : QStringLiteral(" Error deleting the object. ");
  reportingErrors(module(), context, [&] {
    auto* element = dynamic_cast<ScriptControlElement*>(vbs::requireObject(ObjectRef));
    if (!element) throw PlatformError(343, QStringLiteral("Object not an array"));
    if (create)
      element->createElement();
    else
      element->deleteElement();
  });
}

qint16 VBScriptActionModule::CreateTimedEvent(const vbs::Value& Duration, const QString& sCode, bool bRepeatForever) {
  qint16 index = 0;
  try {
    index = toInteger(game_.timedEvents().CreateTimedEvent(Duration, sCode, bRepeatForever));
  } catch (...) {
    module().ReportError(QStringLiteral(" Unable to create the timed event #%1. ").arg(index),
                         PlatformError::current());
    return 0;
  }
  return index;
}

void VBScriptActionModule::RemoveTimedEvent(qint16 Index) {
  reportingErrors(module(), QStringLiteral(" Unable to remove the timed event #%1. ").arg(Index),
                  [&] { game_.timedEvents().RemoveTimedEvent(Index); });
}

void VBScriptActionModule::SaveParameter(const QString& sParameterName, const vbs::Value& ParameterValue) {
  reportingErrors(module(),
                  QStringLiteral(" Unable to save the parameter named \"") + sParameterName + QStringLiteral("\". "),
                  [&] {
                    const QString value = QString::fromStdU16String(plainValue(ParameterValue).toString());
                    module().userSettings().set(module().settings.ProjectName, '_' + sParameterName, value);
                  });
}

QString VBScriptActionModule::LoadParameter(const QString& sParameterName, const vbs::Value& DefaultParameterValue) {
  QString result;
  reportingErrors(module(),
                  QStringLiteral(" Unable to load the parameter named \"") + sParameterName + QStringLiteral("\". "),
                  [&] {
                    const QString fallback = QString::fromStdU16String(plainValue(DefaultParameterValue).toString());
                    result = module().userSettings().get(module().settings.ProjectName, '_' + sParameterName, fallback);
                  });
  return result;
}

void VBScriptActionModule::ChangeDefaultCursor(const QString& sFilename) {
  if (!IsSystemPointerName(sFilename)) requireAccess(module().paths.IconsPath + sFilename, FileAccessRule::Kind::Read);
  reportingErrors(module(), QStringLiteral(" Unable to change the default cursor. "), [&] {
    EditorAndGame& m = module();
    if (!IsSystemPointerName(sFilename) && !m.FileExists(m.ResolveProjectFile(m.paths.IconsPath + sFilename))) return;
    m.settings.DefaultPointer = sFilename;
    // The picture, the templates and the texts; then every hotspot, also those that had a
    // pointer of their own, and the boxes of the animated pictures.
    game_.ResetDefaultPointer();
    const QCursor cursor = game_.defaultPointer().cursor();
    FrameAreas& areas = game_.areas();
    for (int i = 1; i <= areas.AreaCount(); ++i) {
      HotspotItem* area = areas.Area(i);
      if (!area) continue;
      area->setDefaultPointer(cursor);
      if (area->HotspotMarker > 0) game_.animatedPictures().SetAniGifBoxPointer(area->HotspotMarker, nullptr);
    }
  });
}

QString VBScriptActionModule::ReadINIValue(const QString& sFilename, const QString& sSection, const QString& sKeyName) {
  // A buffer of 255 characters holds 254 of them and the terminator.
  return IniFile::read(module().hostPathOf(sFilename), sSection, sKeyName).left(254);
}

bool VBScriptActionModule::WriteINIValue(const QString& sFilename, const QString& sSection, const QString& sKeyName,
                                         const QString& sValue) {
  return IniFile::write(module().hostPathOf(sFilename), sSection, sKeyName, sValue);
}

QString VBScriptActionModule::ReadINI(const QString& sFilename, const QString& sSection, const QString& sKeyName) {
  if (sFilename.isEmpty() || sSection.isEmpty() || sKeyName.isEmpty()) return {};
  const QString file = inExternal(sFilename);
  requireAccess(file, FileAccessRule::Kind::Read);
  if (!module().FileExists(file)) return {};
  return ReadINIValue(file, sSection, sKeyName);
}

qint16 VBScriptActionModule::WriteINI(const QString& sFilename, const QString& sSection, const QString& sKeyName,
                                      const QString& sNewString) {
  if (sFilename.isEmpty() || sSection.isEmpty() || sKeyName.isEmpty()) return 0;
  const QString file = inExternal(sFilename);
  requireAccess(file, FileAccessRule::Kind::Write);
  return WriteINIValue(file, sSection, sKeyName, sNewString) ? 1 : 0;
}

QString VBScriptActionModule::DDir(const QString& sPathName, qint16 iAttributes) {
  enum : qint16 { kHidden = 2, kSystem = 4, kVolume = 8, kFolder = 16 };
  if (!sPathName.isEmpty()) {
    dirMatches_.clear();
    // No volume labels here: a search for one finds nothing.
    if (iAttributes & kVolume) return {};
    const qsizetype slash = std::max(sPathName.lastIndexOf('\\'), sPathName.lastIndexOf('/'));
    const QString folder = slash < 0 ? module().paths.ProjectPath : sPathName.left(slash + 1);
    QString name = sPathName.mid(slash + 1);
    if (name.isEmpty()) name = QStringLiteral("*");
    requireAccess(folder, FileAccessRule::Kind::Read);
    if (!module().hostPaths().isFolder(folder)) return {};
    const QRegularExpression pattern = wildcardPattern(name);
    QDir dir(module().hostPathOf(folder));
    const QFileInfoList entries =
        dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System, QDir::Name | QDir::IgnoreCase);
    for (const QFileInfo& entry : entries) {
      const QString entryName = entry.fileName();
      const bool dots = entryName == QLatin1String(".") || entryName == QLatin1String("..");
      qint16 attributes = 0;
      if (entry.isDir()) attributes |= kFolder;
      if (!dots && entryName.startsWith('.')) attributes |= kHidden;
      if (!entry.isDir() && !entry.isFile() && !entry.isSymLink()) attributes |= kSystem;  // devices, sockets
      // Read-only entries are always found; the other kinds only when asked for.
      if (attributes & ~iAttributes) continue;
      if (!pattern.match(entryName).hasMatch()) continue;
      dirMatches_.append(entryName);
    }
  }
  if (dirMatches_.isEmpty()) return {};
  return dirMatches_.takeFirst();
}

}  // namespace storyloom
