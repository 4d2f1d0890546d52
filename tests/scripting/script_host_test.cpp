#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QThread>

#include "game/game_fixture.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"
#include "scripting/action_module.h"
#include "scripting/script_host.h"

namespace storyloom {
namespace {

using test::GameFixture;

// A game with a few variables, a frame and one hotspot that Lamp hides.
struct Scripts : ::testing::Test {
  GameFixture fx{"Room"};
  Game* game = nullptr;

  void SetUp() override {
    fx.project.write("Config/Variables", "\"v\",\"Lamp\",\"Door\",\"***\",\"Note\"\r\n");
    fx.frame("Room", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    test::HotspotSpec spot;
    spot.conditions = 1;
    spot.hideIfAny = {"Lamp"};
    fx.project.write("FramesData/Room.fm2", spot.text());
  }
  Game& start() {
    game = &fx.start();
    game->vars.LoadVariables(fx.module());
    game->OpenFrame("Room", false, 0, 0);
    fx.project.log.clear();
    return *game;
  }
  bool run(const QString& code) { return game->scripts().ExecuteVBScript(code, false); }
  QStringList messages() const { return fx.project.log; }
  // The text of the one error box a failed run showed.
  QString errorShown() const {
    if (fx.project.log.size() != 1) return QStringLiteral("%1 boxes").arg(fx.project.log.size());
    const QString& line = fx.project.log[0];
    const QString marker = QStringLiteral("following error message:\\n\\n");
    const int at = line.indexOf(marker);
    return at < 0 ? line : line.mid(at + marker.size()).chopped(QStringLiteral("\" -> OK").size());
  }
};

TEST_F(Scripts, VariablesByNameAreWhatHotspotsSee) {
  start();
  ASSERT_TRUE(game->areas().Area(1)->isVisible());
  EXPECT_TRUE(run("Lamp = 1\r\nNote = \"lit\" & Lamp"));
  game->areas().ShowOrNotShowAreas();
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  EXPECT_FALSE(game->areas().Area(1)->isVisible());
  EXPECT_TRUE(run("If Note <> \"lit1\" Or Lamp.Name <> \"Lamp\" Then Err.Raise 5"));
  // Integer rules when assigning; Set is refused.
  EXPECT_FALSE(run("Lamp = 40000"));
  EXPECT_EQ(errorShown(), "Overflow");
  fx.project.log.clear();
  EXPECT_FALSE(run("Set Door = Action"));
  EXPECT_EQ(errorShown(), "Object doesn't support this property or method");
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
}

TEST_F(Scripts, EveryRunStartsFreshWithTheProcedures) {
  start();
  game->ProceduresText =
      "Dim counter\r\nFunction Twice(n)\r\n  counter = counter + 1\r\n  Twice = n * 2\r\nEnd Function";
  EXPECT_TRUE(run("Door = Twice(3) + counter\r\nExecuteGlobal \"leftover = 5\""));
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 7);
  EXPECT_TRUE(run("If IsEmpty(leftover) And IsEmpty(counter) Then Door = 1"));
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 1) << "nothing of the last run survives";
  EXPECT_TRUE(run("")) << "empty code runs an empty procedure";
  EXPECT_TRUE(messages().isEmpty()) << messages().join('\n').toStdString();

  // Global code of the procedures runs before every script, as the procedures and the
  // script were one text; so does their Option Explicit.
  game->ProceduresText = "' The keeper's procedures\r\nOption Explicit\r\nDim runs\r\nruns = runs + 1";
  EXPECT_TRUE(run("Door = runs"));
  EXPECT_TRUE(run("Door = Door + runs"));
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 2) << "runs is 1 in every run";
  EXPECT_FALSE(run("undeclared = 1"));
  EXPECT_EQ(errorShown(), "Variable is undefined");
  fx.project.log.clear();
  // Procedures that do not compile are reported at every run.
  game->ProceduresText = "Sub Broken(";
  EXPECT_FALSE(run("Door = 5"));
  EXPECT_FALSE(run("Door = 5"));
  EXPECT_EQ(messages().size(), 2);
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 2);
}

TEST_F(Scripts, ErrorsAreReportedOnceAndTheGameGoesOn) {
  start();
  EXPECT_FALSE(run("x = 1 / 0"));
  ASSERT_EQ(messages().size(), 1);
  const UITexts& t = fx.module().texts;
  EXPECT_EQ(messages()[0], "msgbox critical \"" + t(29) + "\" \"" + t(30) + ' ' + t(31) +
                               "\\n\\nError executing script. The Scripting Engine returned the following error "
                               "message:\\n\\nDivision by zero\" -> OK")
      << messages()[0].toStdString();
  fx.project.log.clear();
  EXPECT_FALSE(run("If Then"));
  EXPECT_EQ(messages().size(), 1) << "a syntax error is one report";
  fx.project.log.clear();
  // An endless loop ends at the time-out with the same report.
  game->scripts().SetTimeOut(200);
  EXPECT_FALSE(run("Do\r\nLoop"));
  EXPECT_EQ(errorShown(), "Script execution timed out");
  fx.project.log.clear();
  EXPECT_TRUE(run("Lamp = 1"));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  // Nothing runs while everything is stopped.
  fx.module().EverythingStopped = true;
  EXPECT_TRUE(run("Lamp = 0"));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
}

TEST_F(Scripts, TimeInAMessageBoxDoesNotCountAgainstTheTimeOut) {
  start();
  game->scripts().SetTimeOut(300);
  // The player reads the message for half a second.
  fx.module().messages().setAutomatic([&](const QString& line) {
    fx.project.log.append(line);
    QThread::msleep(500);
  });
  EXPECT_TRUE(run("MsgBox \"Read me\"\r\nMsgBox \"And me\"\r\nLamp = 1"));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(messages().size(), 2);
}

TEST_F(Scripts, ARunInsideAnotherLeavesTheOuterScriptUnharmed) {
  start();
  bool nested = false;
  fx.module().messages().setAutomatic([&](const QString& line) {
    fx.project.log.append(line);
    if (nested) return;
    nested = true;  // a timed event firing while the box is open
    EXPECT_TRUE(game->scripts().ExecuteVBScript("Dim a\r\na = 99\r\nDoor = 1", false));
  });
  EXPECT_TRUE(run("Dim a\r\na = 7\r\nMsgBox \"wait\"\r\nLamp = a"));
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 1);
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 7);
}

TEST_F(Scripts, WindowObjectOnlyWhenControlsReferencesAreAllowed) {
  start();
  ASSERT_EQ(game->AllowControlsReferences, 1) << "no variable of that name";
  EXPECT_TRUE(run("If IsObject(WindowObject) Then Lamp = 1"));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 0);
  game->AllowControlsReferences = 2;
  EXPECT_TRUE(run("If IsObject(WindowObject) Then Lamp = 1"));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);

  // A project variable of that name (any case) allows them from the first frame on.
  fx.project.write("Config/Variables", "\"v\",\"Lamp\",\"***\",\"allowCONTROLSreferences\"\r\n");
  game->ResetAll();
  game->vars.LoadVariables(fx.module());
  game->OpenFrame("Room", false, 0, 0);
  EXPECT_EQ(game->AllowControlsReferences, 2);
}

TEST_F(Scripts, TheTimeOutComesFromTheMoreFile) {
  start();
  EXPECT_EQ(game->scripts().TimeOut(), ScriptHost::kDefaultTimeOut);
  fx.project.write("Config/More", "[General]\r\nScriptTimeOut=5\r\n");
  game->ResetAll();
  EXPECT_EQ(game->scripts().TimeOut(), 5000);
}

TEST_F(Scripts, TheStartUpScriptSeesTheClickPositionZero) {
  start();
  game->LastClickPosition = QPoint(30, 40);
  fx.module().settings.StartupScriptEnabled = true;
  fx.module().settings.StartupScript = "Lamp = 1\r\nGoToFrame \"Hall\"";
  game->actionModule().requests.bStopGame = true;
  game->scripts().ExecuteOnLoadVBScript();
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(game->LastClickPosition, QPoint(0, 0));
  EXPECT_FALSE(game->actionModule().requests.bStopGame) << "the requests were reset before the run";
}

TEST_F(Scripts, LoadPictureReadsProjectFiles) {
  QImage image(4, 3, QImage::Format_RGB32);
  image.fill(Qt::red);
  QDir().mkpath(fx.project.root() + "/Areas");
  ASSERT_TRUE(image.save(fx.project.root() + "/Areas/red.png"));
  start();
  EXPECT_TRUE(
      run("Set p = LoadPicture(\"Areas\\RED.png\")\r\nIf p.Type = 1 Then Lamp = 1\r\n"
          "If LoadPicture(\"\").Type = 0 Then Door = 1"));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 1);
  EXPECT_FALSE(run("Set p = LoadPicture(\"Areas\\gone.png\")"));
  EXPECT_EQ(errorShown(), "File not found");
}

TEST_F(Scripts, TheDebugConsoleRunsReportsAndRemembersTheCode) {
  start();
  fx.module().messages().queueInput("Lamp = 1 / 0");
  game->scripts().ShowExecuteCodeWindow();
  ASSERT_EQ(messages().size(), 2) << messages().join('\n').toStdString();
  EXPECT_TRUE(messages()[0].startsWith("inputbox \"Execute VBScript Code (for advanced users)\""));
  EXPECT_TRUE(messages()[1].contains("Division by zero")) << "reported once, by the script's own report";
  EXPECT_EQ(fx.module().userSettings().get(fx.module().settings.ProjectName, "ExecuteVBScriptCode", ""),
            "Lamp = 1 / 0");
  fx.project.log.clear();
  fx.module().messages().queueInput("Lamp = 1");
  game->scripts().ShowExecuteCodeWindow();
  EXPECT_TRUE(messages()[0].contains("-> \"Lamp = 1\"")) << messages()[0].toStdString();
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);

  fx.project.log.clear();
  game->scripts().ShowEditProceduresWindow();
  EXPECT_EQ(messages(), QStringList{"msgbox information \"Not Available\" \"This command is not available in the "
                                    "compiled version of the project.\" -> OK"});
}

}  // namespace
}  // namespace storyloom
