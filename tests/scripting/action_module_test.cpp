#include <gtest/gtest.h>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTimer>

#include "game/game.h"
#include "game/game_fixture.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"
#include "platform/platform_error.h"
#include "platform/vbscript/engine.h"
#include "scripting/action_module.h"
#include "state/inventory.h"
#include "scripting/control_element.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

const char* kFrame = "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n";

// A game window whose Action object is given to a real script engine as "Action" with its
// members global, as every script of the game sees it.
struct ActionObject : ::testing::Test {
  test::GameFixture fx;
  vbs::Engine engine;
  Game* game = nullptr;
  VBScriptActionModule* action = nullptr;
  std::vector<QUrl> opened;
  bool openSucceeds = true;

  void SetUp() override {
    fx.frame("Start", kFrame);
    fx.frame("Hall", kFrame);
    game = &fx.start();
    action = &game->actionModule();
    action->openUrl = [this](const QUrl& url) {
      opened.push_back(url);
      return openSucceeds;
    };
    engine.addObject(u"Action", vbs::Ref<vbs::Object>(action), true);
    log().clear();
  }
  QStringList& log() { return fx.project.log; }
  EditorAndGame& module() { return fx.module(); }
  void run(const QString& code) { engine.executeStatement(code.toStdU16String()); }
  vbs::Value eval(const QString& expression) { return engine.eval(expression.toStdU16String()); }
  QString text(const QString& expression) { return QString::fromStdU16String(eval(expression).toString()); }
  int errorOf(const QString& code) {
    try {
      run(code);
    } catch (const vbs::ScriptError& e) {
      return e.number;
    }
    return 0;
  }
  QString hostFile(const QString& relative) { return fx.project.root() + '/' + relative; }
  QString contents(const QString& relative) {
    QFile f(hostFile(relative));
    return f.open(QIODevice::ReadOnly) ? QString::fromLatin1(f.readAll()) : QStringLiteral("<missing>");
  }
  void picture(const QString& relative, QSize size) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::red);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    fx.project.writeBytes(relative, bytes);
  }
  // The one error report shown, with its context and description.
  QString onlyReport() {
    if (log().size() != 1) return QStringLiteral("%1 boxes: ").arg(log().size()) + log().join(" | ");
    return log().takeFirst();
  }
};

TEST_F(ActionObject, RequestsAreRecordedForTheCallerOfTheScript) {
  action->requests.iHotspotNumber = 7;
  run("GoToFrame \"Hall\"\nn = GetHotspotNumber()");
  EXPECT_EQ(action->requests.sFrameToLoad, "Hall");
  EXPECT_EQ(action->requests.dTransDuration, 0) << "no transition without a duration";
  EXPECT_EQ(action->requests.iTransitionNumber, 0);
  EXPECT_EQ(eval("n").varType(), 2);
  EXPECT_EQ(eval("n").toLong(), 0) << "GoToFrame clears the hotspot number";

  run("Action.GoToFrame \"Last Visited Frame\", 1.5, 3");
  EXPECT_EQ(action->requests.sFrameToLoad, "Last Visited Frame");
  EXPECT_EQ(action->requests.dTransDuration, 1.5);
  EXPECT_EQ(action->requests.iTransitionNumber, 3);

  run("popupsavegame : ACTION.PopupLoadGame : Quit");
  EXPECT_TRUE(action->requests.bPopupSaveGame);
  EXPECT_TRUE(action->requests.bPopupLoadGame);
  EXPECT_TRUE(action->requests.bStopGame);
  EXPECT_TRUE(eval("IsEmpty(Quit())").toBool());

  action->requests.iHotspotNumber = 4;
  run("ResetModule");
  EXPECT_EQ(action->requests.sFrameToLoad, "");
  EXPECT_EQ(action->requests.iTransitionNumber, 1);
  EXPECT_FALSE(action->requests.bStopGame || action->requests.bPopupLoadGame || action->requests.bPopupSaveGame);
  EXPECT_EQ(eval("GetHotspotNumber").toLong(), 4) << "the hotspot number outlives ResetModule";

  // A bad argument or count reaches the script and changes nothing.
  EXPECT_EQ(errorOf("GoToFrame \"Start\", \"slow\""), vbs::err::TypeMismatch);
  EXPECT_EQ(action->requests.sFrameToLoad, "");
  EXPECT_EQ(errorOf("GoToFrame"), vbs::err::WrongArgCount);
  EXPECT_EQ(errorOf("GoToFrame Nothing"), vbs::err::ObjectNotSet);
  EXPECT_EQ(errorOf("Action.FlyAway"), vbs::err::NoSuchMember);
  EXPECT_TRUE(action->hasMember(u"ISCOMPONENTINSTALLED"));
  EXPECT_TRUE(log().isEmpty());
}

TEST_F(ActionObject, GameStateAndOptions) {
  game->OpenFrame("Hall", false, 0, 0);
  game->SaveClickPos(150, 307.5f);
  game->MergedHotspotIndex = 3;
  EXPECT_EQ(text("GetCurrentFrameName"), "Hall");
  EXPECT_EQ(eval("GetClickPositionX").toLong(), 10);
  EXPECT_EQ(eval("GetClickPositionY").toLong(), 20);
  EXPECT_EQ(eval("GetMergedHotspotIndex").toLong(), 3);

  EXPECT_TRUE(eval("GetTransitionsStatus").toBool());
  run("InvertTransitionsStatus");
  EXPECT_TRUE(game->mnuDisableTransitions->isChecked());
  EXPECT_FALSE(eval("GetTransitionsStatus").toBool());
  EXPECT_EQ(module().userSettings().get(module().settings.ProjectName, "DisableTransitions"), "True");

  // An object stands for its default member.
  run("Class Caption : Public Default Property Get Value : Value = \"The door is locked.\" : End Property : End Class");
  run("Message New Caption");
  EXPECT_TRUE(game->shownTexts().join('\n').contains("The door is locked."))
      << game->shownTexts().join('|').toStdString();

  // The inventory: RemoveItem takes the last slot of that name (any case), or all of them.
  fx.project.write("Areas/Key.obj", "Key.ico\r\n");
  fx.project.write("Areas/Map.obj", "Key.ico\r\n");
  QImage icon(32, 32, QImage::Format_ARGB32);
  icon.fill(Qt::yellow);
  ASSERT_TRUE(icon.save(hostFile("Areas/Key.ico"), "ICO"));
  Inventory& inventory = game->inventory();
  module().settings.InventoryEnabled = true;
  inventory.ResetLayout();
  run("AddItem \"Key\", True : AddItem \"Map\", True : AddItem \"KEY\", True : AddItem \"key\", True");
  run("RemoveItem \"kEy\"");
  EXPECT_EQ(inventory.itemNames(), (QStringList{"Key", "Map", "KEY"}));
  run("RemoveItem \"key\", True");
  EXPECT_EQ(inventory.itemNames(), QStringList{"Map"});
  run("AddItem \"Key\", True : RemoveAllItems");
  EXPECT_EQ(inventory.count(), 0);
  run("AddItem \"Key\", True : HideInventoryButton");
  EXPECT_FALSE(inventory.Inventory2().isVisible());
  EXPECT_LT(inventory.BarTop(), 0);
  EXPECT_EQ(inventory.BarTop(), -inventory.BarHeightNow());
  run("ShowInventoryButton");
  EXPECT_TRUE(inventory.Inventory2().isVisible());
  run("RemoveAllItems");
  // Components are reached by name without regard to case.
  run("AddComponent \"Forms.Label.1\", \"x\"");
  EXPECT_FALSE(eval("Component(\"X\") Is Nothing").toBool());
  EXPECT_TRUE(eval("DoesComponentExist(\"x\")").toBool());
  run("RemoveComponent \"x\"");
  EXPECT_FALSE(eval("DoesComponentExist(\"x\")").toBool());
  EXPECT_TRUE(eval("IsComponentInstalled(\"Forms.TextBox.1\")").toBool());
  EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();

  game->Timer1.start(60000);
  run("StopEverything");
  EXPECT_TRUE(module().EverythingStopped);
  EXPECT_FALSE(game->PictureBox->isVisibleTo(game));
  EXPECT_FALSE(game->Timer1.isActive());
}

TEST_F(ActionObject, ParametersAreKeptAsTextPerProject) {
  run("SaveParameter \"Score\", 12 : SaveParameter \"Ratio\", 1.5 : SaveParameter \"Done\", True");
  const QString project = module().settings.ProjectName;
  EXPECT_EQ(module().userSettings().get(project, "_Score"), "12");
  EXPECT_EQ(module().userSettings().get(project, "_Ratio"), "1.5");
  EXPECT_EQ(module().userSettings().get(project, "_Done"), "True");
  const vbs::Value score = eval("LoadParameter(\"Score\", 0)");
  EXPECT_EQ(score.varType(), 8);
  EXPECT_EQ(QString::fromStdU16String(score.toString()), "12");
  EXPECT_EQ(text("LoadParameter(\"Never\", 0)"), "0");
  EXPECT_EQ(eval("LoadParameter(\"Never\", 0)").varType(), 8);
  // Names are found in any case, as in the store of the original platform.
  EXPECT_EQ(text("LoadParameter(\"SCORE\", 0)"), "12");
  run("SaveParameter \"score\", 13");
  EXPECT_EQ(module().userSettings().get(project.toUpper(), "_Score"), "13");

  // A value with no text form is reported and the script goes on.
  run("SaveParameter \"Bad\", Null : x = LoadParameter(\"Other\", Null) : y = 1");
  EXPECT_EQ(eval("y").toLong(), 1);
  EXPECT_EQ(text("x"), "");
  ASSERT_EQ(log().size(), 2);
  EXPECT_TRUE(log()[0].contains(R"( Unable to save the parameter named \"Bad\". Invalid use of Null)"))
      << log()[0].toStdString();
  EXPECT_TRUE(log()[1].contains(R"( Unable to load the parameter named \"Other\". Invalid use of Null)"))
      << log()[1].toStdString();
  EXPECT_EQ(module().userSettings().get(project, "_Bad", "<none>"), "<none>");
}

TEST_F(ActionObject, IniFilesInTheExternalFolderOrAtAPath) {
  fx.project.write("External/game.ini",
                   "; saved by the game\r\n[Player]\r\nName = \"Ann\"\r\nLevel=2\r\n\r\n[Other]\r\nX=1\r\n");
  fx.project.write("Config/extra.ini", "[A]\r\nB=from config\r\n");
  EXPECT_EQ(text("ReadINI(\"game.ini\", \"player\", \"NAME\")"), "Ann");
  EXPECT_EQ(text("ReadINI(\"Config\\extra.ini\", \"A\", \"B\")"), "from config") << "a path is used unchanged";
  EXPECT_EQ(text("ReadINI(\"game.ini\", \"\", \"Name\")"), "");
  EXPECT_EQ(text("ReadINI(\"game.ini\", \"Player\", \"Missing\")"), "");
  EXPECT_EQ(text("ReadINI(\"none.ini\", \"Player\", \"Name\")"), "");
  EXPECT_FALSE(QFile::exists(hostFile("External/none.ini"))) << "reading creates nothing";

  EXPECT_NE(eval("WriteINI(\"game.ini\", \"Player\", \"Level\", 3)").toLong(), 0);
  EXPECT_NE(eval("WriteINI(\"new.ini\", \"S\", \"K\", True)").toLong(), 0);
  EXPECT_EQ(eval("WriteINI(\"game.ini\", \"Player\", \"\", 3)").toLong(), 0);
  EXPECT_EQ(eval("WriteINI(\"Nowhere\\deep\\x.ini\", \"S\", \"K\", 1)").toLong(), 0) << "a folder that is missing";
  const QString written = contents("External/game.ini");
  EXPECT_TRUE(written.contains("; saved by the game")) << written.toStdString();
  EXPECT_TRUE(written.contains("Name = \"Ann\""));
  EXPECT_TRUE(written.contains("X=1"));
  EXPECT_EQ(text("ReadINI(\"game.ini\", \"Player\", \"Level\")"), "3");
  EXPECT_EQ(text("ReadINI(\"new.ini\", \"s\", \"k\")"), "True");

  // At most 254 characters come back, as a 255-character buffer holds.
  run("WriteINI \"long.ini\", \"S\", \"K\", String(300, \"a\")");
  EXPECT_EQ(eval("Len(ReadINI(\"long.ini\", \"S\", \"K\"))").toLong(), 254);
  EXPECT_TRUE(log().isEmpty());
}

TEST_F(ActionObject, DirectorySearchesWithPatternsAndAttributes) {
  fx.project.write("External/b.TXT", "1");
  fx.project.write("External/a.txt", "1");
  fx.project.write("External/c.dat", "1");
  fx.project.write("External/.hidden.txt", "1");
  fx.project.write("External/Saves/slot1.sav", "1");
  fx.project.write("External/readme", "1");

  run("r1 = DDir(GetPath() & \"*.TXT\") : r2 = DDir() : r3 = DDir() : r4 = DDir(\"\")");
  EXPECT_EQ(text("r1"), "a.txt");
  EXPECT_EQ(text("r2"), "b.TXT");
  EXPECT_EQ(text("r3"), "");
  EXPECT_EQ(text("r4"), "") << "past the end";

  EXPECT_EQ(text("DDir(\"external\\?.dat\")"), "c.dat") << "a folder relative to the game, in any case";
  EXPECT_EQ(text("DDir(GetPath() & \"*.txt\", 2)"), ".hidden.txt");
  EXPECT_EQ(text("DDir(GetPath() & \"s*\")"), "") << "folders only when asked for";
  EXPECT_EQ(text("DDir(GetPath() & \"s*\", 16)"), "Saves");
  EXPECT_EQ(text("DDir(GetPath() & \"SAVES\\*.*\")"), "slot1.sav");
  EXPECT_EQ(text("DDir(GetPath() & \"readme.*\")"), "readme") << "*.* also matches a name without extension";
  EXPECT_EQ(text("DDir(GetPath() & \"c.dat\")"), "c.dat");
  EXPECT_EQ(text("DDir(GetPath() & \"*.txt\", 8)"), "") << "no volume labels";
  EXPECT_EQ(text("DDir(GetPath() & \"no\\such\\folder\\*.*\")"), "");
  EXPECT_EQ(text("DDir()"), "");
}

// A control-array element as the control objects give it to scripts.
class FakeElement : public vbs::Object, public ScriptControlElement {
 public:
  int created = 0, deleted = 0;
  bool fail = false;
  void createElement() override {
    if (fail) throw PlatformError(360, "Object already loaded");
    ++created;
  }
  void deleteElement() override { ++deleted; }
};

TEST_F(ActionObject, ControlElementsAreCreatedAndDeletedThroughTheirObjects) {
  const vbs::Ref<FakeElement> held = vbs::makeRef<FakeElement>();
  FakeElement& element = *held;
  engine.addObject(u"Element", held);
  run("Action.CreateObject Element : Action.DeleteObject Element");
  EXPECT_EQ(element.created, 1);
  EXPECT_EQ(element.deleted, 1);
  EXPECT_TRUE(log().isEmpty());

  element.fail = true;
  run("Action.CreateObject Element");
  EXPECT_TRUE(onlyReport().endsWith(" Error creating the object. Object already loaded\" -> OK"));
  run("Set d = CreateObject(\"Scripting.Dictionary\") : Action.DeleteObject d : Action.DeleteObject Nothing");
  ASSERT_EQ(log().size(), 2);
  EXPECT_TRUE(log()[0].endsWith(" Error deleting the object. Object not an array\" -> OK")) << log()[0].toStdString();
  EXPECT_TRUE(log()[1].endsWith(" Error deleting the object. Object variable not set\" -> OK"))
      << log()[1].toStdString();
  EXPECT_EQ(errorOf("Action.CreateObject 5"), vbs::err::TypeMismatch);
}

TEST_F(ActionObject, PicturesFromTheAreasFolder) {
  picture("Areas/red.png", {36, 12});
  fx.project.write("Areas/broken.png", "not a picture");
  run("Set p = LoadGraphicFile(\"RED.PNG\")");
  EXPECT_EQ(text("TypeName(p)"), "IPictureDisp");
  EXPECT_EQ(eval("p.Width").toLong(), 953);  // 36 pixels: 952.5 HiMetric
  EXPECT_EQ(eval("p.Height").toLong(), 318);
  EXPECT_EQ(eval("p.Type").toLong(), 1);
  EXPECT_NE(eval("p.Handle").toLong(), 0);
  EXPECT_EQ(eval("LoadGraphicFile(\"\").Handle").toLong(), 0) << "an empty name gives an empty picture";
  EXPECT_TRUE(log().isEmpty());

  EXPECT_TRUE(eval("LoadGraphicFile(\"gone.png\") Is Nothing").toBool());
  ASSERT_EQ(log().size(), 1) << "the missing file is pointed out once";
  log().clear();
  EXPECT_TRUE(eval("LoadGraphicFile(\"broken.png\") Is Nothing").toBool());
  EXPECT_TRUE(onlyReport().endsWith(" Error loading the following graphic file:'broken.png'.Invalid picture\" -> OK"));

  run("Class Holder : Public Picture : End Class : Set h = New Holder");
  run("LoadAPicture h, \"red.png\"");
  EXPECT_EQ(eval("h.Picture.Width").toLong(), 953);
  run("LoadAPicture h, \"gone.png\"");
  log().clear();
  EXPECT_EQ(eval("h.Picture.Width").toLong(), 953) << "a missing file changes nothing";
  run("LoadAPicture h, \"\"");
  EXPECT_EQ(eval("h.Picture.Handle").toLong(), 0) << "an empty name clears the picture";
  run("LoadAPicture h, \"broken.png\"");
  EXPECT_TRUE(onlyReport().endsWith(" Error loading the following picture:'broken.png'.Invalid picture\" -> OK"));
  EXPECT_EQ(errorOf("LoadAPicture 1, \"red.png\""), vbs::err::TypeMismatch);
}

TEST_F(ActionObject, DocumentsAddressesAndMailGoToTheSystem) {
  fx.project.write("External/Manual.txt", "read me");
  run("SendEmail \"ann@example.com\" : OpenURL \"http://example.com/a b\" : OpenFile \"manual.TXT\"");
  run("SendEmail \"\" : OpenURL \"\" : OpenFile \"\"");
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_EQ(opened[0].toString(), "mailto:ann@example.com");
  EXPECT_EQ(opened[1].host(), "example.com");
  EXPECT_EQ(opened[2], QUrl::fromLocalFile(hostFile("External/Manual.txt")));
  EXPECT_TRUE(log().isEmpty());

  run("OpenFile \"missing.txt\"");
  EXPECT_TRUE(onlyReport().endsWith(" Error opening the file titled 'missing.txt'.\\nFile not found\" -> OK"));
  openSucceeds = false;
  run("OpenURL \"www.example.com\"");
  EXPECT_TRUE(onlyReport().contains(" Error opening the following URL with the default browser:www.example.com"));
  EXPECT_EQ(opened.back().scheme(), "http");
}

TEST_F(ActionObject, AProgramRunsWhileTheGameWaits) {
  fx.project.write("External/tool.sh", "#!/bin/sh\nsleep 0.3\ntouch \"$(dirname \"$0\")/ran\"\n");
  QFile::setPermissions(hostFile("External/tool.sh"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
  game->show();
  game->Timer1.start(60000);
  bool enabledDuringTheRun = true;
  QTimer::singleShot(100, game, [&] { enabledDuringTheRun = game->isEnabled() || game->Timer1.isActive(); });
  run("OpenExeFileAndWait \"tool.sh\"");
  EXPECT_TRUE(QFile::exists(hostFile("External/ran"))) << "the program ended before the script went on";
  EXPECT_FALSE(enabledDuringTheRun);
  EXPECT_TRUE(game->isEnabled());
  EXPECT_TRUE(game->Timer1.isActive());
  EXPECT_TRUE(log().isEmpty()) << log().join('\n').toStdString();

  game->Timer1.stop();
  run("OpenExeFileAndWait \"nothere.exe\"");
  const QString report = onlyReport();
  EXPECT_TRUE(
      report.endsWith(" Error opening the file titled 'nothere.exe'.\\nError launching external application. "
                      "Probably file not found (" +
                      module().hostPathOf(module().paths.ExternalPath + "nothere.exe") + ").\" -> OK"))
      << report.toStdString();
  EXPECT_TRUE(game->isEnabled());
  EXPECT_FALSE(game->Timer1.isActive()) << "a timer that was off stays off";
}

TEST_F(ActionObject, DefaultCursorReachesEveryHotspot) {
  QDir().mkpath(hostFile("Icons"));
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::red);
  image.save(hostFile("Icons/hand.ico"), "ICO");
  image.fill(Qt::green);
  image.save(hostFile("Icons/eye.ico"), "ICO");
  test::HotspotSpec own;
  own.cursor = "hand.ico";
  test::HotspotSpec plain;
  plain.x = 100;
  fx.project.write("FramesData/Hall.fm2", own.text() + plain.text());
  game->OpenFrame("Hall", false, 0, 0);
  FrameAreas& areas = game->areas();
  ASSERT_EQ(areas.AreaCount(), 2);
  ASSERT_FALSE(areas.Area(1)->usesDefaultPointer());
  log().clear();

  run("ChangeDefaultCursor \"missing.cur\"");
  EXPECT_EQ(log().size(), 1) << "the missing file is pointed out";
  EXPECT_FALSE(areas.Area(1)->usesDefaultPointer()) << "a missing file changes no pointer";
  EXPECT_EQ(areas.Area(2)->cursor().shape(), Qt::ArrowCursor);
  EXPECT_NE(module().settings.DefaultPointer, "missing.cur");

  run("ChangeDefaultCursor \"EYE.ICO\"");
  EXPECT_EQ(module().settings.DefaultPointer, "EYE.ICO");
  for (int i = 1; i <= 2; ++i) {
    EXPECT_TRUE(areas.Area(i)->usesDefaultPointer());
    EXPECT_EQ(areas.Area(i)->cursor().shape(), Qt::BitmapCursor);
    EXPECT_EQ(areas.Area(i)->cursor().pixmap().toImage().pixelColor(16, 16), QColor(Qt::green));
  }
  EXPECT_EQ(game->PictureBox->viewport()->cursor().shape(), Qt::BitmapCursor);

  run("ChangeDefaultCursor \"Default\"");
  for (int i = 1; i <= 2; ++i) EXPECT_EQ(areas.Area(i)->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(game->PictureBox->viewport()->cursor().shape(), Qt::ArrowCursor);
  EXPECT_EQ(log().size(), 1);
}

TEST_F(ActionObject, TimedEventsAreCreatedAndRemovedThroughTheGame) {
  const vbs::Value index = eval("CreateTimedEvent(70, \"GoToFrame \"\"Hall\"\"\")");
  EXPECT_EQ(index.varType(), 2);
  EXPECT_EQ(index.toLong(), 0) << "more than 65 seconds creates nothing";
  run("RemoveTimedEvent 0 : RemoveTimedEvent 12");
  EXPECT_EQ(errorOf("RemoveTimedEvent \"first\""), vbs::err::TypeMismatch);
  EXPECT_TRUE(log().isEmpty());
}

}  // namespace
}  // namespace storyloom
