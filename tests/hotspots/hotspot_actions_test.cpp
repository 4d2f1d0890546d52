#include <gtest/gtest.h>

#include <QRegularExpression>
#include <functional>

#include "hotspots/hotspot_actions.h"
#include "hotspots/records.h"
#include "media/channel_levels.h"
#include "shell/editor_and_game.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

using test::ActionLines;

// The game as an action sees it, keeping a log of the calls that matter here.
class FakeGame : public ActionHost {
 public:
  explicit FakeGame(EditorAndGame& m) : module_(m) {}
  EditorAndGame& module() override { return module_; }
  ProjectVariables& variables() override { return vars; }
  VariablesCollection& Disappear() override { return disappear; }
  QString CurrentFrameName() override { return history.isEmpty() ? QString() : history.last(); }
  ScriptRequests& VBScriptAction() override { return requests; }
  bool& StopMovie() override { return stopMovie; }
  void OpenFrame(const QString& f, bool with, int n, double d) override {
    log << QStringLiteral("open %1 %2 %3 %4").arg(f).arg(with).arg(n).arg(d);
  }
  void ShowOrNotShowAreas() override { log << "visibility"; }
  void StartUnloading() override { log << "unload"; }
  void ShowMenus() override {
    log << "showmenus";
    exitVisible = true;
  }
  void HideMenus() override { log << "hidemenus"; }
  bool MenuClicked() override { return menuClicked; }
  bool IsExitMenuVisible() override { return exitVisible; }
  void ShowFrameMessage(const QString& t, bool o) override { log << QStringLiteral("message %1 %2").arg(t).arg(o); }
  int FramesHistoryCount() override { return static_cast<int>(history.size()); }
  QString FramesHistoryLast() override { return history.last(); }
  void FramesHistoryRemoveLast() override { history.removeLast(); }
  int ExecuteVBScript(const QString& code, bool) override {
    log << "script " + code;
    if (script) return script(requests);
    return 0;
  }
  void StopChannelPlayer(int c) override { log << QStringLiteral("stop %1").arg(c); }
  void PlayChannelPlayer(int c, const QString& f, int count, int vol) override {
    log << QStringLiteral("play %1 %2 %3 %4").arg(c).arg(EditorAndGame::FileNameOf(f)).arg(count).arg(vol);
  }
  void PlaySoundChannels(FieldReader& f) override { log << "sounds " + f.readString(); }
  bool IsChannelPlayerPlaying(int c) override { return playing.contains(c); }
  void StopAnyWavOrMP3() override { log << "stop sounds"; }
  void StoreChannelEntry(int channel, const ChannelEntry& e) override {
    log << QStringLiteral("channel %1 volume %2").arg(channel).arg(e.Volume);
  }
  void PlayAudioChannels() override { log << "channels"; }
  void EnableTimerAudioFade() override {}
  void FinishFades() override {}
  void SetAudioFadeDuration(double) override {}
  void PlayMovieWithStop(const QString& f, bool s, int l, int t, int w, int h) override {
    log << QStringLiteral("movie %1 %2 %3 %4 %5 %6").arg(f).arg(s).arg(l).arg(t).arg(w).arg(h);
  }
  bool IsOneTimeVideoPlaying() override { return false; }
  bool PlayMovieBusy() override { return false; }
  void StopOneTimeVideoPlayer() override {}
  void RemovePickedObject(int i) override { log << QStringLiteral("remove item %1").arg(i); }
  QString PickedObjectTag(int i) override { return i == 1 ? QStringLiteral("Key") : QString(); }
  void TransitionStep1(int n) override { log << QStringLiteral("transition %1").arg(n); }
  void StartTimedEvents() override { log << "timed"; }
  void ShowLoadGameWindow(bool) override { log << "load window"; }
  void ShowSaveGameWindow() override { log << "save window"; }

  QStringList calls(const QString& prefix) const { return log.filter(QRegularExpression("^" + prefix)); }

  EditorAndGame& module_;
  ProjectVariables vars;
  VariablesCollection disappear;
  ScriptRequests requests;
  bool stopMovie = false, menuClicked = false, exitVisible = false;
  QList<int> playing;  // channels whose player plays
  QStringList history{"Start"};
  QStringList log;
  std::function<int(ScriptRequests&)> script;
};

struct Actions : ::testing::Test {
  test::TempProject project;
  std::unique_ptr<FakeGame> game;
  std::unique_ptr<HotspotActions> actions;
  void SetUp() override {
    project.writeGeneral();
    game = std::make_unique<FakeGame>(project.init());
    actions = std::make_unique<HotspotActions>(*game);
  }
  void writeActions(const std::vector<ActionLines>& records, const QString& frame = "Start") {
    QString text;
    for (const auto& r : records) text += r.text();
    project.write("FramesData/" + frame + ".fm3", text);
  }
  static ActionLines goTo(const QString& target, bool transition = false, int ms = 0) {
    ActionLines s;
    s.A = QStringLiteral(R"(0,"",0,0,0,0,"",0,"",0,0,%1,"%2")").arg(target.isEmpty() ? 0 : 1).arg(target);
    s.H = QStringLiteral("#FALSE#,%1,%2").arg(transition ? 1 : 0).arg(ms);
    s.I = "#FALSE#,\"\",4";
    return s;
  }
  static ActionLines withScript(ActionLines s, const QString& code = "Go") {
    s.I = QStringLiteral(R"(#TRUE#,"%1",4)").arg(code);
    return s;
  }
};

TEST_F(Actions, FrameChangeDecision) {
  struct Case {
    const char* name;
    ActionLines record;
    QStringList history;
    QString scriptFrame;
    double scriptDuration;
    QStringList expected;  // frame-related calls in order
  };
  ActionLines back = goTo("");
  back.D = "0,0,0,1";
  ActionLines backWithTransition = goTo("", true, 500);
  backWithTransition.D = "0,0,0,1";
  const std::vector<Case> cases = {
      {"record, no transition", goTo("Hall"), {"Start"}, {}, 0, {"open Hall 0 0 0"}},
      {"record, 1500 ms", goTo("Hall", true, 1500), {"Start"}, {}, 0, {"transition 4", "open Hall 1 4 1.5"}},
      {"script without duration wins", withScript(goTo("Hall")), {"Start"}, "Cellar", 0, {"open Cellar 0 0 0"}},
      {"script with duration in seconds",
       withScript(goTo("Hall", true, 1500)),
       {"Start"},
       "Cellar",
       2,
       {"transition 7", "open Cellar 1 7 2"}},
      {"go back", back, {"Shore", "Start"}, {}, 0, {"open Shore 0 0 0"}},
      {"go back with transition",
       backWithTransition,
       {"Shore", "Start"},
       {},
       0,
       {"transition 4", "open Shore 1 4 0.5"}},
      {"go back with short history", back, {"Start"}, {}, 0, {"channels", "timed"}},
      {"last visited frame, any case",
       withScript(goTo("")),
       {"Shore", "Start"},
       "LAST Visited FRAME",
       0,
       {"open Shore 0 0 0"}},
      {"last visited frame with short history falls to the record",
       withScript(goTo("Hall")),
       {"Start"},
       "last visited frame",
       0,
       {"open Hall 0 0 0"}},
      {"last visited frame with short history and nothing else",
       withScript(goTo("")),
       {"Start"},
       "last visited frame",
       0,
       {"channels", "timed"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    writeActions({c.record});
    game->log.clear();
    game->history = c.history;
    game->script = [&](ScriptRequests& r) {
      r.sFrameToLoad = c.scriptFrame;
      r.dTransDuration = c.scriptDuration;
      r.iTransitionNumber = 7;
      return 0;
    };
    const qint16 result = actions->MakeAction(1);
    const QStringList frameCalls = game->log.filter(QRegularExpression("^(open|transition|channels|timed)"));
    EXPECT_EQ(frameCalls, c.expected) << game->log.join(" | ").toStdString();
    EXPECT_EQ(result, c.expected.last() == "timed" ? 0 : 2);
  }
  // "last visited frame" took the current frame off the history.
  game->history = {"A", "B", "Start"};
  writeActions({withScript(goTo(""))});
  game->script = [](ScriptRequests& r) {
    r.sFrameToLoad = "last visited frame";
    return 0;
  };
  actions->MakeAction(1);
  EXPECT_EQ(game->history, (QStringList{"A", "B"}));
}

TEST_F(Actions, OrderOfTheStepsAfterTheRecord) {
  ActionLines s;
  s.A = R"(1,"Lamp",0,1,0,1,"The lamp is lit",0,"",1,0,0,"")";
  s.B = R"(0,0,1,"intro.avi",#FALSE#,#TRUE#,5,6,7,8)";
  s.M = R"(0,1,"theme.mid",1,"wave.mp3")";
  s.E = "0,0,0,1";
  s.H = "#TRUE#,0,0";
  s = withScript(s, "Say |hi|");
  writeActions({ActionLines(), s});
  project.write("FramesData/Start.fm5", "\"s\",2,0,0,0,0,0,0,0,0\r\n\"bell\"\r\n" + test::kSepText());
  game->vars.Variables.Add("Lamp", 0);
  actions->MakeAction(2);
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  ASSERT_EQ(game->disappear.Count(), 1);
  EXPECT_EQ(game->disappear.Item(1)->Name, "Start");
  EXPECT_EQ(game->disappear.Item(1)->Value, 2);
  EXPECT_EQ(game->requests.iHotspotNumber, 2);
  EXPECT_EQ(game->log, (QStringList{"script Say \"hi\"", "stop 6", "play 6 theme.mid 0 -1200", "stop 7",
                                    "play 7 wave.mp3 1 -800", "sounds bell", "channels", "hidemenus",
                                    "movie intro.avi 0 0 0 0 0", "visibility", "message The lamp is lit 1", "timed"}));
}

TEST_F(Actions, QuitEndsBeforeAnythingElse) {
  ActionLines s = withScript(goTo("Hall"));
  s.A = R"(1,"Lamp",0,1,0,1,"bye",0,"",0,1,1,"Hall")";
  s.B = R"(1,0,1,"x.avi",#FALSE#,#FALSE#,0,0,0,0)";
  writeActions({s});
  game->vars.Variables.Add("Lamp", 0);
  actions->MakeActionAndConsequences(1);
  EXPECT_EQ(game->log, QStringList{"unload"});
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1) << "effects before the quit stay done";

  // A script that quits ends the action after the script.
  writeActions({withScript(goTo("Hall"))});
  game->log.clear();
  game->script = [](ScriptRequests& r) {
    r.bStopGame = true;
    return 0;
  };
  EXPECT_EQ(actions->MakeAction(1), 1);
  EXPECT_EQ(game->log, QStringList{"script Go"});
}

TEST_F(Actions, PopupsAfterAHotspotAndAfterAScript) {
  const auto popup = [](ScriptRequests& r) {
    r.bPopupSaveGame = true;
    r.sFrameToLoad = "Hall";
    return 0;
  };
  writeActions({withScript(goTo(""))});
  game->script = popup;
  actions->MakeAction(1);
  EXPECT_TRUE(game->calls("save window").isEmpty());
  EXPECT_EQ(game->calls("open"), QStringList{"open Hall 0 0 0"});

  game->log.clear();
  EXPECT_EQ(actions->ExecuteVBScriptAndConsequences("Go", true), 0);
  EXPECT_EQ(game->log, (QStringList{"script Go", "visibility", "open Hall 0 0 0", "save window"}));

  game->log.clear();
  game->script = [](ScriptRequests& r) {
    r.bPopupLoadGame = true;
    r.bPopupSaveGame = true;
    return -1;
  };
  EXPECT_EQ(actions->ExecuteVBScriptAndConsequences("Bad", false), -1);
  EXPECT_EQ(game->log, QStringList{"script Bad"});
}

TEST_F(Actions, DamagedRecordsReportTheHotspotAndTheGameGoesOn) {
  ActionLines bad;
  bad.A = R"(1,"Lamp",0,1,0,0,"",0,"",0,0,0,"")";
  bad.B = R"(0,"loud",0,"",#FALSE#,#FALSE#,0,0,0,0)";
  ActionLines eight;
  eight.K = "0,0,8";
  writeActions({ActionLines(), bad, eight});
  game->vars.Variables.Add("Lamp", 0);
  EXPECT_EQ(actions->MakeAction(2), 0);
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
  EXPECT_EQ(actions->MakeAction(3), 0);
  EXPECT_EQ(actions->MakeAction(9), 0);  // past the end: nothing at all
  ASSERT_EQ(project.log.size(), 2);
  EXPECT_TRUE(project.log[0].contains(" Unable to make the action associated with the hotspot #2. Type mismatch"));
  EXPECT_TRUE(
      project.log[1].contains(" Unable to make the action associated with the hotspot #3. Subscript out of range"));
  EXPECT_TRUE(game->log.filter("visibility").isEmpty());

  // Arbitrary bytes: each action either does nothing or ends with the report of its
  // hotspot; the game then goes on with the next click.
  QByteArray junk;
  for (int k = 0; k < 4000; ++k) junk.append(static_cast<char>((k * 7919) % 256));
  project.writeBytes("FramesData/Start.fm3", junk);
  for (int i = 1; i <= 5; ++i) {
    project.log.clear();
    EXPECT_NE(actions->MakeAction(i), 1) << "junk never quits the game";
    for (const QString& line : project.log)
      EXPECT_TRUE(line.contains(QStringLiteral(" Unable to make the action associated with the hotspot #%1. ").arg(i)))
          << line.toStdString();
  }
  writeActions({goTo("Hall")});
  game->log.clear();
  EXPECT_EQ(actions->MakeAction(1), 2);
  EXPECT_EQ(game->calls("open"), QStringList{"open Hall 0 0 0"});
}

TEST_F(Actions, SoundsAndMusicOfTheRecord) {
  // StopWavMp3 stops every sound and keeps the hotspot's channel sounds silent.
  project.write("FramesData/Start.fm5", "\"s\",1,0,0,0,0,0,0,0,0\r\n\"bell\"\r\n" + test::kSepText());
  ActionLines quiet;
  quiet.B = R"(0,1,0,"",#FALSE#,#FALSE#,0,0,0,0)";
  writeActions({quiet});
  actions->MakeAction(1);
  EXPECT_EQ(game->calls("stop sounds"), QStringList{"stop sounds"});
  EXPECT_TRUE(game->calls("sounds").isEmpty()) << game->log.join(" | ").toStdString();
  ActionLines plain;
  writeActions({plain});
  game->log.clear();
  actions->MakeAction(1);
  EXPECT_EQ(game->calls("sounds"), QStringList{"sounds bell"});

  // Music on channel 6 is not restarted while it plays, unless the record stops it first.
  ActionLines music;
  music.M = R"(0,1,"theme.mid",0,"")";
  writeActions({music});
  game->playing = {6};
  game->log.clear();
  actions->MakeAction(1);
  EXPECT_TRUE(game->log.filter(QRegularExpression("^(stop|play) 6")).isEmpty()) << game->log.join(" | ").toStdString();
  music.B = R"(1,0,0,"",#FALSE#,#FALSE#,0,0,0,0)";
  writeActions({music});
  game->log.clear();
  actions->MakeAction(1);
  EXPECT_EQ(game->log.filter(QRegularExpression("^(stop|play) 6")),
            (QStringList{"stop 6", "stop 6", "play 6 theme.mid 1 -1200"}));

  // Channel volumes keep their fractions: 7.5 is -1000 for the player, not -800.
  ActionLines channels;
  channels.K = R"(0,5,2,1,#FALSE#,#FALSE#,7.5,"a.wav",1,#FALSE#,#FALSE#,10,"b.wav")";
  writeActions({channels});
  game->log.clear();
  actions->MakeAction(1);
  EXPECT_EQ(game->calls("channel \\d"), (QStringList{"channel 1 volume 7.5", "channel 2 volume 10"}));
  EXPECT_EQ(ChannelLevels::VolumeToPlayer(7.5), -1000);
  EXPECT_EQ(ChannelLevels::VolumeToPlayer(0), -4000);
}

TEST_F(Actions, UseTransitionMustBeTheNumberOne) {
  ActionLines s = goTo("Hall", true, 1500);
  s.H = "#FALSE#,#TRUE#,1500";  // True is -1, not 1: no transition
  writeActions({s});
  actions->MakeAction(1);
  EXPECT_EQ(game->calls("(open|transition)"), QStringList{"open Hall 0 0 0"});
}

TEST_F(Actions, StoppingEverythingDuringTheScriptEndsTheAction) {
  ActionLines s = withScript(goTo("Hall"));
  s.A = R"(0,"",0,0,0,1,"never",0,"",0,0,1,"Hall")";
  s.M = R"(0,1,"theme.mid",1,"wave.mp3")";
  writeActions({s});
  project.write("FramesData/Start.fm5", "\"s\",1,0,0,0,0,0,0,0,0\r\n\"bell\"\r\n" + test::kSepText());
  game->script = [&](ScriptRequests&) {
    project.module->EverythingStopped = true;
    return 0;
  };
  EXPECT_EQ(actions->MakeAction(1), 0);
  EXPECT_EQ(game->log, QStringList{"script Go"}) << "no music, sound, message or frame change follows";
}

TEST_F(Actions, TheActionObjectIsResetBeforeEachScriptButKeepsTheHotspot) {
  ScriptRequests r;
  r.sFrameToLoad = "Hall";
  r.dTransDuration = 2;
  r.iTransitionNumber = 9;
  r.bStopGame = r.bPopupLoadGame = r.bPopupSaveGame = true;
  r.iHotspotNumber = 3;
  r.ResetModule();
  EXPECT_EQ(r.sFrameToLoad, "");
  EXPECT_EQ(r.dTransDuration, 0);
  EXPECT_EQ(r.iTransitionNumber, 1);
  EXPECT_FALSE(r.bStopGame || r.bPopupLoadGame || r.bPopupSaveGame);
  EXPECT_EQ(r.iHotspotNumber, 3);

  // A script run later (a timed event, the debug console) still reads the hotspot of the
  // last action.
  writeActions({ActionLines(), withScript(ActionLines())});
  actions->MakeAction(2);
  qint16 seen = 0, transition = 0;
  game->script = [&](ScriptRequests& requests) {
    seen = requests.iHotspotNumber;
    transition = requests.iTransitionNumber;
    return 0;
  };
  actions->ExecuteVBScriptAndConsequences("Look", false);
  EXPECT_EQ(seen, 2);
  EXPECT_EQ(transition, 1);
}

TEST_F(Actions, ClicksAndDroppedItems) {
  ActionLines hide;
  hide.A = R"(0,"",0,0,0,0,"",0,"",1,0,0,"")";
  writeActions({hide});
  ActionLines onItem = hide;
  onItem.header = R"("i","1_key.drg",0,0,0,0,0,0,0,0)";
  project.write("FramesData/Start.fm0", onItem.text());

  // Right button: menus only, never the action.
  actions->AreaClick(1, 2);
  EXPECT_EQ(game->log, QStringList{"showmenus"});
  EXPECT_EQ(game->disappear.Count(), 0);
  game->log.clear();
  actions->AreaClick(1, 2);
  EXPECT_EQ(game->log, QStringList{"hidemenus"});

  // A left click while a menu title was just clicked only hides the menus.
  game->menuClicked = true;
  game->log.clear();
  actions->AreaClick(1, 1);
  EXPECT_EQ(game->log, QStringList{"hidemenus"});
  game->menuClicked = false;

  actions->AreaClick(1, 1);
  EXPECT_EQ(game->disappear.Count(), 1);

  // The key dropped on hotspot 1 leaves the inventory; no marker is added.
  game->log.clear();
  actions->Area_DragDrop(1, 1, 100, 100);
  EXPECT_EQ(game->calls("remove item"), QStringList{"remove item 1"});
  EXPECT_EQ(game->disappear.Count(), 1);
  actions->Area_DragDrop(1, 0, 100, 100);  // not an item
  EXPECT_EQ(game->calls("remove item").size(), 1);

  project.module->EverythingStopped = true;
  game->log.clear();
  actions->AreaClick(1, 1);
  EXPECT_TRUE(game->log.isEmpty());
}

}  // namespace
}  // namespace storyloom
