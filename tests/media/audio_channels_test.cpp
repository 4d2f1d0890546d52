#include "support/wave_file.h"
#include "media/audio_channels.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <set>

#include "effects/transitions.h"
#include "game/game_fixture.h"
#include "shell/field_reader.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

QByteArray waveBytes(int milliseconds) { return test::silentWave(milliseconds); }

// A project whose Areas folder holds the named sounds (waves of one second, whatever the
// name's extension, so that they time out alike here and on a machine with sound).
struct Channels {
  test::TempProject project;
  std::unique_ptr<AudioChannels> audio;
  QStringList started;  // "channel file" of each start

  explicit Channels(const QStringList& sounds = {}) {
    project.writeGeneral();
    for (const QString& s : sounds) project.writeBytes("Areas/" + s, waveBytes(1000));
    project.init();
    project.log.clear();
    audio = std::make_unique<AudioChannels>(*project.module);
    audio->soundStarted = [this](int ch, const QString& file) {
      started << QStringLiteral("%1 %2").arg(ch).arg(EditorAndGame::FileNameOf(file));
    };
  }
  QString area(const QString& name) const { return project.module->paths.AreasPath + name; }
  AudioChannel& operator[](int k) { return (*audio)[k]; }
  // Fills a channel as an action does.
  void ask(int k, qint16 action, const QString& file, bool fade, bool loop, double volume, bool keep = false) {
    AudioChannel& c = (*audio)[k];
    c.ChannelAction = action;
    c.FadeChange = fade;
    c.LoopSound = loop;
    c.SoundFile = file;
    c.PreviousVolume = c.ChannelVolume;
    c.ChannelVolume = volume;
    c.KeepIfPlaying = keep;
  }
  // Starts a looping sound on channel k at once.
  void play(int k, const QString& file, double volume = 10) {
    ask(k, 0, file, false, true, volume);
    audio->PlayAudioChannels();
  }
  QString playing(int player) {
    MediaPlayer& p = audio->MPlayer(player);
    return p.isPlaying() ? EditorAndGame::FileNameOf(p.fileName()) : QString();
  }
  std::set<int> players() {
    std::set<int> s;
    for (int k = 1; k <= 7; ++k) s.insert((*audio)[k].PlayerIndex);
    return s;
  }
  bool audioProblemShown() const { return project.log.filter("AUDIO PROBLEM").size() == 1; }
};

const std::set<int> kAllPlayers{1, 2, 3, 4, 5, 6, 7};

TEST(AudioChannels, ImmediateChangesStartStopAndSetTheVolume) {
  Channels t({"Sea.wav", "Bell.wav"});
  t.ask(1, 0, "Sea.wav", false, true, 7);
  t.ask(2, 0, "Bell.wav", false, false, 10);
  t.audio->PlayAudioChannels();
  MediaPlayer& sea = t.audio->playerOfChannel(1);
  EXPECT_EQ(sea.fileName(), t.area("Sea.wav"));
  EXPECT_TRUE(sea.isPlaying());
  EXPECT_EQ(sea.playCount(), 0);
  EXPECT_EQ(sea.volume(), -1200);
  EXPECT_EQ(t.audio->playerOfChannel(2).playCount(), 1);
  EXPECT_EQ(t.audio->playerOfChannel(2).volume(), 0);
  EXPECT_EQ(t.started, QStringList({"1 Sea.wav", "2 Bell.wav"}));
  // The change is done: nothing is pending.
  EXPECT_TRUE(t[1].SoundFile.isEmpty());
  EXPECT_EQ(t[1].ChannelAction, 0);

  t.ask(1, 4, "", false, false, 3);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(sea.volume(), -2800);
  EXPECT_TRUE(sea.isPlaying());

  t.ask(1, 3, "", false, false, 3);
  t.audio->PlayAudioChannels();
  EXPECT_FALSE(sea.isPlaying());
  EXPECT_TRUE(t.audio->playerOfChannel(2).isPlaying());

  // A missing file is skipped: the missing-file warning, no audio problem, nothing plays.
  t.started.clear();
  t.ask(3, 0, "None.wav", false, false, 5);
  t.audio->PlayAudioChannels();
  EXPECT_TRUE(t.started.isEmpty());
  EXPECT_FALSE(t.audio->playerOfChannel(3).isPlaying());
  EXPECT_TRUE(t[3].SoundFile.isEmpty());
  EXPECT_FALSE(t.audioProblemShown());
}

TEST(AudioChannels, KeepIfPlayingLeavesAPlayingFileAlone) {
  Channels t({"Music.wav"});
  t.play(6, "Music.wav", 7);
  ASSERT_EQ(t.started, QStringList({"6 Music.wav"}));
  // A frame that names the same music: not restarted, on any channel.
  t.ask(6, 0, "Music.wav", false, true, 7, true);
  t.ask(2, 0, "Music.wav", false, true, 7, true);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t.started.size(), 1);
  EXPECT_FALSE(t.audio->playerOfChannel(2).isPlaying());
  EXPECT_TRUE(t.audio->IsSoundPlaying(t.area("Music.wav")));
  // The name is compared exactly.
  EXPECT_FALSE(t.audio->IsSoundPlaying(t.area("MUSIC.wav")));
  // An action's sound (KeepIfPlaying false) starts it again.
  t.ask(6, 0, "Music.wav", false, true, 7, false);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t.started, QStringList({"6 Music.wav", "6 Music.wav"}));
  // Once it has stopped, the frame's sound starts it.
  t.audio->playerOfChannel(6).Stop();
  EXPECT_FALSE(t.audio->IsSoundPlaying(t.area("Music.wav")));
  t.ask(6, 0, "Music.wav", false, true, 7, true);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t.started.size(), 3);
}

TEST(AudioChannels, ACrossFadeMovesTheChannelToAFreePlayerAndSwapsPlayers) {
  Channels t({"Wind.wav", "Gulls.wav", "Rain.wav"});
  t.play(1, "Wind.wav", 8);
  t.play(2, "Rain.wav", 5);
  // Channel 1 cross-fades to the gulls: player 3 is the first free one.
  t.ask(1, 1, "Gulls.wav", true, true, 6);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t[1].PlayerIndex, 3);
  EXPECT_EQ(t[1].FadingOutPlayer, 1);
  EXPECT_EQ(t[3].PlayerIndex, 1);  // channel 3 took channel 1's old player
  EXPECT_EQ(t.players(), kAllPlayers);
  EXPECT_EQ(t.playing(3), "Gulls.wav");
  EXPECT_EQ(t.playing(1), "Wind.wav");
  EXPECT_EQ(t.audio->MPlayer(3).volume(), -4000);
  EXPECT_EQ(t.audio->MPlayer(3).playCount(), 0);

  t.audio->AudioFadeStep(0.25);
  EXPECT_EQ(t.audio->MPlayer(3).volume(), AudioChannels::VolumeToPlayer(1.5));  // the gulls rise
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(6));    // the wind falls from 8
  EXPECT_EQ(t.audio->MPlayer(2).volume(), AudioChannels::VolumeToPlayer(5));    // the rain is left alone
  t.audio->AudioFadeStep(0.75);
  EXPECT_EQ(t.audio->MPlayer(3).volume(), AudioChannels::VolumeToPlayer(4.5));
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(2));

  t.audio->FinishFades();
  EXPECT_EQ(t.audio->MPlayer(3).volume(), AudioChannels::VolumeToPlayer(6));
  EXPECT_EQ(t.playing(1), "");
  EXPECT_EQ(t.playing(3), "Gulls.wav");
  EXPECT_FALSE(t[1].FadeChange);
  EXPECT_EQ(t[1].FadingOutPlayer, 0);
  EXPECT_TRUE(t[1].SoundFile.isEmpty());

  // Channel 1 now plays on player 3: its stop reaches the gulls, not the rain.
  t.ask(1, 3, "", false, false, 0);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t.playing(3), "");
  EXPECT_EQ(t.playing(2), "Rain.wav");

  // The reset gives every channel its own player again and stops them all; a change left
  // pending and a running fade end with the old game.
  t.ask(4, 1, "Wind.wav", true, true, 5);
  t.audio->PlayAudioChannels();
  t.audio->EnableTimerAudioFade();
  t.ask(5, 0, "Rain.wav", false, true, 5);
  t.audio->ResetAudioChannels();
  for (int k = 1; k <= 7; ++k) EXPECT_EQ(t[k].PlayerIndex, k);
  for (int i = 1; i <= 7; ++i) EXPECT_EQ(t.playing(i), "");
  EXPECT_FALSE(t.audio->TimerAudioFade.isActive());
  t.started.clear();
  t.audio->PlayAudioChannels();
  t.audio->FinishFades();
  EXPECT_TRUE(t.started.isEmpty());
}

TEST(AudioChannels, WhenAllSevenPlayAFadedSoundRestartsOnItsOwnPlayer) {
  Channels t({"A.wav", "B.wav", "C.wav"});
  for (int k = 1; k <= 7; ++k) t.play(k, "A.wav", 9);
  ASSERT_EQ(t.audio->FindFreePlayer(), -1);
  t.ask(3, 1, "B.wav", true, false, 4);
  t.ask(5, 1, "C.wav", true, true, 6);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t[3].PlayerIndex, 3);
  EXPECT_EQ(t[5].PlayerIndex, 5);
  EXPECT_EQ(t[3].FadingOutPlayer, 0);
  EXPECT_EQ(t[5].FadingOutPlayer, 0);
  EXPECT_EQ(t.players(), kAllPlayers);
  EXPECT_EQ(t.playing(3), "B.wav");  // the old sound is cut
  EXPECT_EQ(t.playing(5), "C.wav");
  EXPECT_EQ(t.audio->MPlayer(3).volume(), -4000);
  t.audio->AudioFadeStep(0.5);
  EXPECT_EQ(t.audio->MPlayer(3).volume(), AudioChannels::VolumeToPlayer(2));
  EXPECT_EQ(t.audio->MPlayer(5).volume(), AudioChannels::VolumeToPlayer(3));
  EXPECT_EQ(t.audio->MPlayer(4).volume(), AudioChannels::VolumeToPlayer(9));

  // A freed player is found again.
  t.audio->MPlayer(6).Stop();
  EXPECT_EQ(t.audio->FindFreePlayer(), 6);
}

TEST(AudioChannels, FadedStopsAndVolumeChangesFollowTheProgress) {
  Channels t({"A.wav", "B.wav"});
  t.play(1, "A.wav", 10);
  t.play(2, "B.wav", 2);
  t.ask(1, 3, "", true, false, 10);  // fade out from 10
  t.ask(2, 4, "", true, false, 8);   // from 2 up to 8
  t.audio->PlayAudioChannels();
  // Nothing changes before the fade moves.
  EXPECT_EQ(t.audio->MPlayer(1).volume(), 0);
  EXPECT_EQ(t.audio->MPlayer(2).volume(), -3200);
  const struct {
    double progress;
    qint32 first, second;
  } steps[] = {{0, 0, -3200}, {0.25, -1000, -2600}, {0.5, -2000, -2000}, {0.9, -3600, -1040}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.progress);
    t.audio->AudioFadeStep(s.progress);
    EXPECT_EQ(t.audio->MPlayer(1).volume(), s.first);
    EXPECT_EQ(t.audio->MPlayer(2).volume(), s.second);
    EXPECT_TRUE(t.audio->MPlayer(1).isPlaying());
  }
  t.audio->EnableTimerAudioFade();
  t.audio->AudioFadeStep(1);
  EXPECT_FALSE(t.audio->MPlayer(1).isPlaying());
  EXPECT_EQ(t.audio->MPlayer(2).volume(), -800);
  EXPECT_FALSE(t.audio->TimerAudioFade.isActive());
  EXPECT_FALSE(t[1].FadeChange || t[2].FadeChange);
  // With nothing fading, a step ends the timer.
  t.audio->EnableTimerAudioFade();
  t.audio->AudioFadeStep(0.3);
  EXPECT_FALSE(t.audio->TimerAudioFade.isActive());
}

TEST(AudioChannels, TheFadeTimerBeginsOnItsFirstTickAndEndsByTheClock) {
  Channels t({"A.wav"});
  double now = 500;
  t.audio->clock = [&now] { return now; };
  t.ask(1, 1, "A.wav", true, true, 8);
  t.audio->AudioFadeDuration = 2;
  t.audio->PlayAudioChannels();
  t.audio->EnableTimerAudioFade();
  EXPECT_EQ(t.audio->TimerAudioFade.interval(), 100);
  t.audio->TimerAudioFade_Timer();  // records the start only
  EXPECT_EQ(t.audio->AudioFadeStart, 500);
  EXPECT_EQ(t.audio->MPlayer(1).volume(), -4000);
  now = 501;
  t.audio->TimerAudioFade_Timer();
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(4));
  EXPECT_TRUE(t.audio->TimerAudioFade.isActive());
  now = 503;
  t.audio->TimerAudioFade_Timer();
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(8));
  EXPECT_FALSE(t.audio->TimerAudioFade.isActive());
  EXPECT_FALSE(t[1].FadeChange);

  // A duration of 0: the first tick records the start, the second completes the change.
  t.ask(1, 4, "", true, false, 3);
  t.audio->AudioFadeDuration = 0;
  t.audio->PlayAudioChannels();
  t.audio->EnableTimerAudioFade();
  t.audio->TimerAudioFade_Timer();
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(8));
  t.audio->TimerAudioFade_Timer();
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(3));

  // A clock that went back completes the fade at once.
  t.ask(1, 4, "", true, false, 9);
  t.audio->AudioFadeDuration = 5;
  t.audio->PlayAudioChannels();
  t.audio->TimerAudioFade_Timer();
  now = 400;
  t.audio->TimerAudioFade_Timer();
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(9));

  // The real timer drives a short fade to its end.
  QElapsedTimer real;
  real.start();
  t.audio->clock = [&real] { return 1 + real.nsecsElapsed() / 1e9; };
  t.ask(1, 4, "", true, false, 1);
  t.audio->AudioFadeDuration = 0.3;
  t.audio->PlayAudioChannels();
  t.audio->EnableTimerAudioFade();
  QElapsedTimer wait;
  wait.start();
  while (t.audio->TimerAudioFade.isActive() && wait.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(t.audio->TimerAudioFade.isActive());
  EXPECT_EQ(t.audio->MPlayer(1).volume(), AudioChannels::VolumeToPlayer(1));
}

TEST(AudioChannels, MidiStopsOtherMidiAndStopAllSoundsStopsTheRest) {
  Channels t({"Tune.mid", "Song.MID", "Sea.wav", "Talk.mp3", "Rain.ogg", "Old.rmi", "Hum.au", "Clip.wm", "Loop.asf"});
  t.play(6, "Tune.mid");
  t.play(1, "Sea.wav");
  // A new MIDI file ends the other one; sampled sounds play on.
  t.play(2, "Song.MID");
  EXPECT_EQ(t.playing(6), "");
  EXPECT_EQ(t.playing(2), "Song.MID");
  EXPECT_EQ(t.playing(1), "Sea.wav");
  // A sampled sound leaves the MIDI playing.
  t.play(3, "Talk.mp3");
  EXPECT_EQ(t.playing(2), "Song.MID");

  // Stopping all sounds stops every sampled sound and leaves the MIDI playing.
  t.play(4, "Rain.ogg");
  t.play(5, "Old.rmi");
  t.play(6, "Hum.au");
  t.play(7, "Clip.wm");
  t.audio->StopAnyWavOrMP3();
  for (int i : {1, 3, 4, 5, 6, 7}) EXPECT_EQ(t.playing(i), "") << i;
  EXPECT_EQ(t.playing(2), "Song.MID");
  t.play(1, "Loop.asf");
  t.audio->StopAnyWavOrMP3();
  EXPECT_EQ(t.playing(1), "");

  // A faded MIDI stops the other MIDI too.
  t.ask(4, 1, "Tune.mid", true, false, 5);
  t.audio->PlayAudioChannels();
  EXPECT_EQ(t.playing(2), "");
  EXPECT_EQ(t.playing(4), "Tune.mid");
}

TEST(AudioChannels, OldFiveChannelListsPlayOnTheChannelsPlayers) {
  Channels t({"Horn.wav", "Bell.wav", "Never.wav", "Sea.wav"});
  t.play(1, "Sea.wav");
  // Channel 2 plays on player 5 after a swap.
  t[2].PlayerIndex = 5;
  t[5].PlayerIndex = 2;
  const QString head = "\"chn\"" + QString(",0").repeated(21) + "\r\n";
  t.project.write("Frames/Pier.chn", head +
                                         "0,#TRUE#,#FALSE#,\"\",0\r\n"          // 1: stop
                                         "0,#FALSE#,#TRUE#,\"Horn.wav\",0\r\n"  // 2: once
                                         "0,#FALSE#,#TRUE#,\"Bell.wav\",1\r\n"  // 3: loop
                                         "\"----- SEPARATOR -----\"\r\n"
                                         "0,#FALSE#,#TRUE#,\"Never.wav\",0\r\n"  // not read
                                         "0,#FALSE#,#TRUE#,\"Never.wav\",0\r\n");
  FieldReader list = t.project.module->OpenFieldFile(t.project.module->paths.FramesPath + "Pier.chn");
  t.audio->PlaySoundChannels(list);
  EXPECT_EQ(t.playing(1), "");
  EXPECT_EQ(t.playing(5), "Horn.wav");
  EXPECT_EQ(t.audio->MPlayer(5).playCount(), 1);
  EXPECT_EQ(t.audio->MPlayer(5).volume(), -800);
  EXPECT_EQ(t.playing(3), "Bell.wav");
  EXPECT_EQ(t.audio->MPlayer(3).playCount(), 0);
  EXPECT_EQ(t.playing(4), "");
  EXPECT_TRUE(list.nextIs("----- SEPARATOR -----"));
  EXPECT_TRUE(t.project.log.isEmpty()) << t.project.log.join('\n').toStdString();

  // A list that ends early plays what it has; a damaged value is reported and ends the reading.
  t.audio->ResetAudioChannels();
  t.project.write("Frames/Short.chn", head + "0,#FALSE#,#TRUE#,\"Horn.wav\",0\r\n");
  FieldReader shortList = t.project.module->OpenFieldFile(t.project.module->paths.FramesPath + "Short.chn");
  t.audio->PlaySoundChannels(shortList);
  EXPECT_EQ(t.playing(1), "Horn.wav");
  EXPECT_TRUE(t.project.log.isEmpty());
  t.project.write("Frames/Bad.chn", head +
                                        "0,#FALSE#,#TRUE#,\"Bell.wav\",\"often\"\r\n"
                                        "0,#FALSE#,#TRUE#,\"Sea.wav\",0\r\n");
  FieldReader bad = t.project.module->OpenFieldFile(t.project.module->paths.FramesPath + "Bad.chn");
  t.audio->PlaySoundChannels(bad);
  ASSERT_EQ(t.project.log.size(), 1);
  EXPECT_TRUE(t.project.log[0].contains("Unable to load old sound system information. Type mismatch"))
      << t.project.log[0].toStdString();
  EXPECT_FALSE(t.audio->IsSoundPlaying(t.area("Bell.wav")));
  EXPECT_FALSE(t.audio->IsSoundPlaying(t.area("Sea.wav")));
}

TEST(AudioChannels, AShortWaveEndsByItselfAndFreesItsPlayer) {
  Channels t;
  t.project.writeBytes("Areas/Click.wav", waveBytes(200));
  t.ask(1, 0, "Click.wav", false, false, 10);
  t.audio->PlayAudioChannels();
  const QString path = t.area("Click.wav");
  EXPECT_TRUE(t.audio->IsSoundPlaying(path));
  EXPECT_EQ(t.audio->FindFreePlayer(), 2);
  QElapsedTimer clock;
  clock.start();
  while (t.audio->IsSoundPlaying(path) && clock.elapsed() < 5000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_FALSE(t.audio->IsSoundPlaying(path));
  EXPECT_GE(clock.elapsed(), 150);
  EXPECT_EQ(t.audio->FindFreePlayer(), 1);
  EXPECT_FALSE(t.audioProblemShown());
}

TEST(AudioChannels, AnUndecodableFileIsSkippedWithOneWarningUntilTheReset) {
  Channels t({"Sea.wav"});
  t.project.writeBytes("Areas/Broken.ogg", QByteArray(6000, 'z'));
  t.project.writeBytes("Areas/Broken2.mp3", QByteArray(6000, 'y'));
  auto playUntilSilent = [&](int k, const QString& file) {
    t.ask(k, 0, file, false, false, 10);
    t.audio->PlayAudioChannels();
    QElapsedTimer clock;
    clock.start();
    while (t.audio->playerOfChannel(k).isPlaying() && clock.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    return !t.audio->playerOfChannel(k).isPlaying();
  };
  t.play(1, "Sea.wav");
  ASSERT_TRUE(playUntilSilent(2, "Broken.ogg"));
  test::runEventsFor(50);
  EXPECT_TRUE(t.audioProblemShown()) << t.project.log.join('\n').toStdString();
  EXPECT_TRUE(t.project.log.filter("AUDIO PROBLEM")[0].contains("This message will not reappear"));
  EXPECT_EQ(t.playing(1), "Sea.wav");  // the rest plays on
  ASSERT_TRUE(playUntilSilent(3, "Broken2.mp3"));
  test::runEventsFor(50);
  EXPECT_EQ(t.project.log.filter("AUDIO PROBLEM").size(), 1);
  // After a reset of the game the warning may come once more.
  t.audio->AudioProblemShown = false;
  ASSERT_TRUE(playUntilSilent(3, "Broken2.mp3"));
  test::runEventsFor(50);
  EXPECT_EQ(t.project.log.filter("AUDIO PROBLEM").size(), 2);
}

TEST(SoundFiles, SunAudioAndOggVorbisLengthsFromTheFiles) {
  QTemporaryDir dir;
  auto write = [&](const QString& name, const QByteArray& bytes) {
    QFile f(dir.path() + '/' + name);
    f.open(QIODevice::WriteOnly);
    f.write(bytes);
    return f.fileName();
  };
  // Sun audio: 16-bit linear, 8000 Hz, two channels, 16000 bytes of data = 0.5 s; a size
  // larger than the file counts what is there.
  QByteArray au = QByteArray::fromHex(
      "2e736e64"
      "00000018"
      "00003e80"
      "00000003"
      "00001f40"
      "00000002");
  EXPECT_NEAR(sunAudioFileDuration(write("a.au", au + QByteArray(16000, '\0'))), 0.5, 1e-9);
  EXPECT_NEAR(sunAudioFileDuration(write("b.snd", au + QByteArray(8000, '\0'))), 0.25, 1e-9);
  EXPECT_EQ(sunAudioFileDuration(write("c.au", QByteArray("RIFF....WAVE"))), 0);
  // Ogg Vorbis: the identification header gives 22050 Hz, the last page 33075 samples.
  QByteArray first("OggS");
  first += QByteArray(24, '\0') + QByteArray("\x01vorbis", 7) +
           QByteArray::fromHex(
               "00000000"
               "01"
               "22560000");
  QByteArray last("OggS");
  last += QByteArray(2, '\0') + QByteArray::fromHex("3381000000000000") + QByteArray(20, '\0');
  EXPECT_NEAR(oggVorbisFileDuration(write("t.ogg", first + QByteArray(100, 'x') + last)), 1.5, 1e-9);
  EXPECT_EQ(oggVorbisFileDuration(write("u.ogg", last)), 0);
}

TEST(AudioChannels, AFrameFadesItsSoundInByTheTimerOrByTheTransition) {
  test::GameFixture fx;
  fx.project.writeBytes("Areas/Wind.wav", waveBytes(1000));
  const QString plain = "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n";
  fx.frame("A", plain);
  fx.frame(
      "B",
      plain +
          "#FALSE#,#FALSE#,\"\"\r\n\"\",\"\",\"\",#FALSE#,#FALSE#,0,0,0,0\r\n#TRUE#\r\n#FALSE#,0\r\n0\r\n"
          "#FALSE#,\"\"\r\n\"\",\"\",\"\",\"\",\"\",\"\",\"400\",0,5,1,1,#TRUE#,#TRUE#,5,\"Wind.wav\"\r\n#FALSE#\r\n");
  Game& g = fx.start();
  g.OpenFrame("A", false, 0, 0);
  g.OpenFrame("B", false, 0, 0);
  AudioChannels& audio = g.audio();
  MediaPlayer& wind = audio.playerOfChannel(1);
  EXPECT_TRUE(wind.isPlaying());
  EXPECT_EQ(wind.volume(), -4000);
  EXPECT_DOUBLE_EQ(audio.AudioFadeDuration, 0.4);
  EXPECT_TRUE(audio.TimerAudioFade.isActive());
  // A transition's progress moves the same fade.
  g.transitions().AudioFadeStep(0.5);
  EXPECT_EQ(wind.volume(), AudioChannels::VolumeToPlayer(2.5));
  QElapsedTimer clock;
  clock.start();
  while (audio.TimerAudioFade.isActive() && clock.elapsed() < 3000)
    QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  EXPECT_GE(clock.elapsed(), 300);
  EXPECT_EQ(wind.volume(), AudioChannels::VolumeToPlayer(5));
  EXPECT_TRUE(wind.isPlaying());
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

}  // namespace
}  // namespace storyloom
