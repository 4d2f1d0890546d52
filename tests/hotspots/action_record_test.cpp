#include <gtest/gtest.h>

#include "hotspots/action_record.h"
#include "hotspots/records.h"
#include "platform/text_codec.h"
#include "shell/editor_and_game.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

using test::ActionLines;

struct RecordingEffects : ActionNowEffects {
  QStringList log;
  void ChangeVariableValue(const QString& name, qint16 value) override {
    log << QStringLiteral("var %1=%2").arg(name).arg(value);
  }
  void HideHotspot() override { log << "hide"; }
  void StopMidi() override { log << "stopmidi"; }
  void StopAnyWavOrMP3() override { log << "stopall"; }
  void SetAudioFadeDuration(double s) override { log << QStringLiteral("fade %1").arg(s); }
  void StoreChannelEntry(int channel, const ChannelEntry& e) override {
    log << QStringLiteral("channel %1: %2 %3 %4 %5 %6")
               .arg(channel)
               .arg(e.Mode)
               .arg(e.Flag1)
               .arg(e.Flag2)
               .arg(e.Volume)
               .arg(e.SoundFile);
  }
  void AddPickedObject(const QString& item) override { log << "pick " + item; }
};

ActionLines fullRecord() {
  ActionLines s;
  s.A = R"(1,"V",0,1,0,1,"Hello",0,"",1,0,1,"Next")";
  s.B = R"(1,1,1,"m.avi",#TRUE#,#TRUE#,1,2,3,4)";
  s.M = R"(1,1,"music.mid",1,"song.mp3")";
  s.D = "0,0,0,1";
  s.E = "0,0,0,#TRUE#";
  s.F = R"(0,0,0,1,1,"F0",2,"F1","",1,"F2")";
  s.H = "#TRUE#,1,1500";
  s.I = R"(#TRUE#,"MsgBox |hi|",3)";
  s.J = "0,0,0,0,0,0,2500";
  s.K = R"(0,5,2,1,#TRUE#,#FALSE#,8,"a.wav",2,#FALSE#,#TRUE#,4,"b.wav")";
  s.L = R"(#TRUE#,"Key")";
  return s;
}

ActionRecord read(const ActionLines& lines, RecordingEffects& effects) {
  FieldReader file(encodeWindows1252(lines.text()));
  file.skip(10);
  return ReadActionRecord(file, effects);
}

TEST(ActionRecord, FullRecordPerformsNowEffectsInFileOrder) {
  RecordingEffects fx;
  const ActionRecord r = read(fullRecord(), fx);
  EXPECT_EQ(fx.log, (QStringList{"var V=1", "hide", "stopmidi", "stopall", "var F0=0", "var F1=1", "var F2=-1",
                                 "fade 2.5", "channel 1: 1 1 0 8 a.wav", "channel 2: 2 0 1 4 b.wav", "pick Key"}));
  EXPECT_TRUE(r.ShowMessage);
  EXPECT_EQ(r.MessageText, "Hello");
  EXPECT_EQ(r.GoToAnotherFrame, 1);
  EXPECT_EQ(r.TargetFrame, "Next");
  EXPECT_EQ(r.MovieFile, "m.avi");
  EXPECT_TRUE(r.MovieStretch && r.MoviePlacementFlag);
  EXPECT_EQ(r.MovieHeight, 4);
  EXPECT_TRUE(r.StopMp3 && r.PlayMidi && r.PlayMp3);
  EXPECT_EQ(r.Mp3File, "song.mp3");
  EXPECT_TRUE(r.GoBack);
  EXPECT_TRUE(r.MessageOption);
  EXPECT_TRUE(r.LoopMidi);
  EXPECT_TRUE(r.UseTransitionIsOne);
  EXPECT_EQ(r.TransitionDuration, 1500);
  EXPECT_TRUE(r.RunScript);
  EXPECT_EQ(r.ScriptText, "MsgBox \"hi\"");
  EXPECT_EQ(r.TransitionNumber, 3);
  EXPECT_EQ(r.ItemName, "Key");
}

TEST(ActionRecord, RecordsCutAfterEachGroupKeepTheRestEmpty) {
  struct Cut {
    const char* after;
    int groups;            // groups kept, A = 1 ... L = 11 (J and K go together)
    QString lastH, lastI;  // a group cut inside itself
    int effects;           // "now" effects that happen
  };
  const std::vector<Cut> cuts = {
      {"A", 1, {}, {}, 2},        {"B", 2, {}, {}, 4},   {"M", 3, {}, {}, 4},
      {"D", 4, {}, {}, 4},        {"E", 5, {}, {}, 4},   {"F", 6, {}, {}, 7},
      {"H1", 7, "#TRUE#", {}, 7}, {"H", 7, {}, {}, 7},   {"I2", 8, {}, "#TRUE#,\"x\"", 7},
      {"I", 8, {}, {}, 7},        {"K", 10, {}, {}, 10},
  };
  for (const Cut& cut : cuts) {
    SCOPED_TRACE(cut.after);
    ActionLines s = fullRecord();
    QString* groups[] = {&s.A, &s.B, &s.M, &s.D, &s.E, &s.F, &s.H, &s.I, &s.J, &s.K, &s.L};
    for (int g = cut.groups; g < 11; ++g) groups[g]->clear();
    if (!cut.lastH.isEmpty()) s.H = cut.lastH;
    if (!cut.lastI.isEmpty()) s.I = cut.lastI;
    RecordingEffects fx;
    ActionRecord r;
    ASSERT_NO_THROW(r = read(s, fx));
    EXPECT_EQ(fx.log.size(), cut.effects) << fx.log.join(" | ").toStdString();
    EXPECT_EQ(r.TargetFrame, "Next");
    EXPECT_EQ(r.PlayMovie != 0, cut.groups >= 2);
    EXPECT_EQ(r.PlayMp3, cut.groups >= 3);
    EXPECT_EQ(r.GoBack, cut.groups >= 4);
    EXPECT_EQ(r.MessageOption, cut.groups >= 5);
    EXPECT_EQ(r.LoopMidi, cut.groups >= 7);
    EXPECT_EQ(r.UseTransitionIsOne, cut.groups >= 7 && cut.lastH.isEmpty());
    EXPECT_EQ(r.RunScript, cut.groups >= 8);
    EXPECT_EQ(r.TransitionNumber, (cut.groups >= 8 && cut.lastI.isEmpty()) ? 3 : 0);
    EXPECT_FALSE(r.PickUpItem);
  }
}

TEST(ActionRecord, ChannelEntries) {
  // More than five values per entry: no entries and no pick-up.
  ActionLines six = fullRecord();
  six.K = R"(0,6,1,1,#TRUE#,#FALSE#,8,"a.wav",0)";
  RecordingEffects fx;
  ActionRecord r = read(six, fx);
  EXPECT_FALSE(fx.log.contains("pick Key"));
  EXPECT_FALSE(fx.log.join(' ').contains("channel"));
  EXPECT_FALSE(r.PickUpItem);

  // Fewer values: the rest count as empty.
  ActionLines two = fullRecord();
  two.K = "0,2,2,3,#TRUE#,1,0";
  RecordingEffects fx2;
  read(two, fx2);
  EXPECT_TRUE(fx2.log.contains("channel 1: 3 1 0 0 "));
  EXPECT_TRUE(fx2.log.contains("channel 2: 1 0 0 0 "));
  EXPECT_TRUE(fx2.log.contains("pick Key"));

  // An eighth entry has no channel: the first seven are stored, then the read fails.
  ActionLines eight = fullRecord();
  eight.K = "0,1,8,1,1,1,1,1,1,1,1";
  RecordingEffects fx3;
  try {
    read(eight, fx3);
    FAIL() << "an eighth channel entry must fail";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.text(), "Subscript out of range");
  }
  EXPECT_TRUE(fx3.log.contains("channel 7: 1 0 0 0 "));
  EXPECT_FALSE(fx3.log.contains("pick Key"));
}

struct ActionFiles : ::testing::Test {
  test::TempProject project;
  EditorAndGame* module = nullptr;
  bool stopped = false;
  void SetUp() override {
    project.writeGeneral();
    module = &project.init();
  }
  static ActionLines withMessage(const QString& text, const QString& header = {}) {
    ActionLines s;
    s.A = QStringLiteral(R"(0,"",0,0,0,1,"%1",0,"",0,0,0,"")").arg(text);
    if (!header.isEmpty()) s.header = header;
    return s;
  }
  static QString messageOf(std::optional<FieldReader>& file) {
    RecordingEffects fx;
    return ReadActionRecord(*file, fx).MessageText;
  }
};

TEST_F(ActionFiles, HotspotRecordsByIndexMergedFileFirst) {
  project.write("FramesData/Room.fm3", withMessage("own 1").text() + withMessage("own 2").text());
  auto second = OpenHotspotAction(*module, "Room", 2);
  ASSERT_TRUE(second);
  EXPECT_EQ(messageOf(second), "own 2");
  EXPECT_FALSE(OpenHotspotAction(*module, "Room", 3));
  EXPECT_FALSE(OpenHotspotAction(*module, "Elsewhere", 1));

  project.write("FramesData/Room.mr3",
                withMessage("merged 1").text() + withMessage("merged 2").text() + withMessage("merged 3").text());
  auto third = OpenHotspotAction(*module, "Room", 3);
  ASSERT_TRUE(third);
  EXPECT_EQ(messageOf(third), "merged 3");
}

TEST_F(ActionFiles, ItemRecordsByKeyInAnyCase) {
  project.write("FramesData/Room.fm0", withMessage("lamp on 3", R"("i","3_lamp.drg",0,0,0,0,0,0,0,0)").text() +
                                           withMessage("key on 2", R"("i","2_key.drg",0,0,0,0,0,0,0,0)").text() +
                                           withMessage("key on 3", R"("i","3_KEY.DRG",0,0,0,0,0,0,0,0)").text());
  auto found = OpenItemAction(*module, "Room", 3, "Key", stopped);
  ASSERT_TRUE(found);
  EXPECT_EQ(messageOf(found), "key on 3");
  EXPECT_FALSE(OpenItemAction(*module, "Room", 4, "Key", stopped));
  stopped = true;
  EXPECT_FALSE(OpenItemAction(*module, "Room", 3, "Key", stopped));
}

}  // namespace
}  // namespace storyloom
