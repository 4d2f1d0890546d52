#include <gtest/gtest.h>

#include "game/frame_file.h"
#include "media/audio_channels.h"
#include "shell/field_reader.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

// A full frame file, one group per line; each line ends where the format allows the file
// to end.
const QStringList kGroups = {
    "1,\"Back.jpg\",#TRUE#,#TRUE#,\"Music.wav\",#TRUE#,\"2.5\",\"Next\",\"Film.avi\",\"x\"",
    "#TRUE#,#TRUE#,\"Ding.wav\"",
    "\"\",\"\",\"\",#TRUE#,#TRUE#,10,20,300,400",
    "#FALSE#",
    "#TRUE#,1500",
    "3",
    "#TRUE#,\"MsgBox |hi|\"",
    "\"\",\"\",\"\",\"\",\"\",\"\",\"2000\",0,5,2,3,#TRUE#,#FALSE#,7,\"a.wav\",2,#FALSE#,#TRUE#,4,\"b.wav\"",
    "#TRUE#",
};

FrameFile readGroups(int groups) {
  FieldReader r(kGroups.mid(0, groups).join("\r\n").append("\r\n").toLatin1());
  FrameFile f;
  f.read(r);
  return f;
}

TEST(FrameFile, EachEndOfFileRowLeavesTheLaterFieldsAtTheirDefaults) {
  const FrameFile full = readGroups(kGroups.size());
  EXPECT_EQ(full.FrameType, 1);
  EXPECT_EQ(full.FramePicture, "Back.jpg");
  EXPECT_TRUE(full.FrameTiled && full.RestartMusic && full.FrameTimerEnabled);
  EXPECT_EQ(full.FrameTimerSeconds.toString(), "2.5");
  EXPECT_EQ(full.FrameSound, "Ding.wav");
  EXPECT_TRUE(full.VideoAtOrigin && full.VideoOriginalSize);
  EXPECT_EQ(full.VideoHeight, 400);
  EXPECT_FALSE(full.LoopMusic);
  EXPECT_EQ(full.FrameTimerTransitionDuration, 1500);
  EXPECT_EQ(full.FrameTimerTransitionNumber, 3);
  EXPECT_EQ(full.OnLoadScript, "MsgBox \"hi\"");
  ASSERT_EQ(full.ChannelRecords.size(), 2u);
  EXPECT_EQ(full.ChannelRecords[1][4].toString(), "b.wav");
  EXPECT_TRUE(full.VideoBeforeTransition);

  // Cut after each group: what follows keeps its default, LoopMusic stays true.
  for (int groups = 1; groups < kGroups.size(); ++groups) {
    SCOPED_TRACE(groups);
    const FrameFile f = readGroups(groups);
    EXPECT_EQ(f.VideoFile, "Film.avi");
    EXPECT_EQ(f.FrameSound.isEmpty(), groups < 2);
    EXPECT_EQ(f.VideoWidth, groups < 3 ? 0 : 300);
    EXPECT_EQ(f.LoopMusic, groups < 4);
    EXPECT_EQ(f.FrameTimerTransition, groups >= 5);
    EXPECT_EQ(f.FrameTimerTransitionNumber, groups < 6 ? 0 : 3);
    EXPECT_EQ(f.OnLoadScriptEnabled, groups >= 7);
    EXPECT_EQ(f.ChannelRecords.size(), groups < 8 ? 0u : 2u);
    EXPECT_FALSE(f.VideoBeforeTransition);
  }
}

TEST(FrameFile, AnEndInsideAGroupFailsWithTheFieldsSoFarKept) {
  for (const QString& cut : {QString("1,\"P.bmp\",#FALSE#,#FALSE#,\"\",#FALSE#"), kGroups[0] + "\r\n#TRUE#,#TRUE#",
                             kGroups.mid(0, 2).join("\r\n") + "\r\n\"\",\"\""}) {
    FieldReader r(cut.toLatin1());
    FrameFile f;
    try {
      f.read(r);
      ADD_FAILURE() << cut.toStdString();
    } catch (const PlatformError& e) {
      EXPECT_EQ(e.code(), 62);
    }
    EXPECT_EQ(f.FrameType, 1);
  }
}

TEST(FrameFile, MoreThanFiveValuesPerChannelStopsTheRead) {
  QStringList groups = kGroups;
  groups[7] = "\"\",\"\",\"\",\"\",\"\",\"\",\"2000\",0,6,1,1,2,3,4,5,6";
  FieldReader r(groups.join("\r\n").toLatin1());
  FrameFile f;
  f.read(r);
  EXPECT_EQ(f.ValuesPerChannel, 6);
  EXPECT_TRUE(f.ChannelRecords.empty());
  EXPECT_FALSE(f.VideoBeforeTransition);
}

// The frame file with its channel group replaced by the given values.
FrameFile readWithChannels(const QString& channelGroup) {
  QStringList groups = kGroups;
  groups[7] = "\"\",\"\",\"\",\"\",\"\",\"\"," + channelGroup;
  FieldReader r(groups.join("\r\n").toLatin1());
  FrameFile f;
  f.read(r);
  return f;
}

TEST(FrameFile, ChannelRecordsChangeOnlyFreeChannelsAndOnlySevenReachTheTable) {
  test::TempProject p;
  p.writeGeneral();
  p.init();

  // Three values per record: action, fade, loop; the volume and the file stay empty.
  QString records;
  for (int i = 1; i <= 9; ++i) records += QString(",2,#TRUE#,#FALSE#");
  const FrameFile three = readWithChannels("\"2500\",0,3,9" + records);
  ASSERT_EQ(three.ChannelRecords.size(), 9u);
  AudioChannels channels(*p.module);
  channels[2].SoundFile = "busy.wav";
  channels[2].ChannelAction = 2;
  three.applyChannelRecords(channels);
  for (int k = 1; k <= 7; ++k) {
    SCOPED_TRACE(k);
    if (k == 2) {
      // action 2 on a busy channel with no new file: untouched
      EXPECT_EQ(channels[k].SoundFile, "busy.wav");
      EXPECT_FALSE(channels[k].KeepIfPlaying);
    } else {
      EXPECT_EQ(channels[k].ChannelAction, 2);
      EXPECT_TRUE(channels[k].FadeChange && channels[k].KeepIfPlaying);
      EXPECT_EQ(channels[k].ChannelVolume, 0);
      EXPECT_EQ(channels[k].SoundFile, "");
    }
  }
  EXPECT_DOUBLE_EQ(channels.AudioFadeDuration, 2.5);

  // Five values per record: a new sound on a silent channel, a record that asks for
  // nothing, a sound for a channel that already has one, and a stop without a fade.
  const FrameFile five = readWithChannels(
      "\"800\",0,5,4,3,#FALSE#,#TRUE#,6.5,\"x.wav\",0,#FALSE#,#FALSE#,9,\"\","
      "1,#FALSE#,#TRUE#,3,\"y.wav\",4,#FALSE#,#FALSE#,0,\"\"");
  AudioChannels table(*p.module);
  table[1].ChannelVolume = 4;
  table[3].SoundFile = "old.wav";
  table[3].ChannelAction = 1;
  table[3].ChannelVolume = 7;
  table.AudioFadeDuration = 1;
  five.applyChannelRecords(table);
  EXPECT_EQ(table[1].SoundFile, "x.wav");
  EXPECT_EQ(table[1].ChannelAction, 3);
  EXPECT_TRUE(table[1].LoopSound && table[1].KeepIfPlaying);
  EXPECT_DOUBLE_EQ(table[1].ChannelVolume, 6.5);
  EXPECT_DOUBLE_EQ(table[1].PreviousVolume, 4);
  EXPECT_EQ(table[2].SoundFile, "");
  EXPECT_EQ(table[2].ChannelAction, 0);
  EXPECT_DOUBLE_EQ(table[2].ChannelVolume, 0);
  EXPECT_EQ(table[3].SoundFile, "old.wav");
  EXPECT_DOUBLE_EQ(table[3].ChannelVolume, 7);
  EXPECT_EQ(table[4].ChannelAction, 4);
  EXPECT_FALSE(table[4].LoopSound);
  // No record faded: the fade time of the file is not taken.
  EXPECT_DOUBLE_EQ(table.AudioFadeDuration, 1);
}

TEST(FrameFile, TimerDurationInMillisecondsRejectsTextAndNegatives) {
  EXPECT_EQ(frameTimerMilliseconds(QVariant("2.5")), 2500);
  EXPECT_EQ(frameTimerMilliseconds(QVariant(" 0.25")), 250);
  EXPECT_EQ(frameTimerMilliseconds(QVariant()), 0);
  EXPECT_THROW(frameTimerMilliseconds(QVariant("soon")), PlatformError);
  EXPECT_THROW(frameTimerMilliseconds(QVariant(-1)), PlatformError);
}

}  // namespace
}  // namespace storyloom
