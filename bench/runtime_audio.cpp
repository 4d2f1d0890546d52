// Starting a sound on a channel: the time the user-interface thread is held by
// PlayAudioChannels, for a wave (timed from its header when no sound device is there) and
// a MIDI tune (always through the media backend), restarted at once or changed after a
// while. Target: at most 5 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>

#include "bench_project.h"
#include "media/audio_channels.h"
#include "support/midi_file.h"
#include "support/wave_file.h"

namespace {

using namespace storyloom;

QByteArray waveBytes(int milliseconds) { return test::silentWave(milliseconds); }

struct SoundProject : bench::BenchProject {
  SoundProject() {
    write("Config/General", "\"Bench\",\"\",\"Bench\",0,\"A\",\"1\",640,480,\"a\",\"b\",\"c\"\r\n");
    write("Config/Variables", "\"v\"\r\n\"***\"\r\n");
    write("Frames/A.fme", "0,\"255\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    QDir().mkpath(dir.path() + "/Areas");
    auto bytes = [&](const QString& name, const QByteArray& data) {
      QFile f(dir.path() + "/Areas/" + name);
      f.open(QIODevice::WriteOnly);
      f.write(data);
    };
    bytes("Sea.wav", waveBytes(3000));
    bytes("Tune.mid", test::shortMidi());
    bytes("Shore.wav", waveBytes(3000));
    bytes("Song.mid", test::shortMidi());
    openGame();
  }
};

// Each start replaces the sound before it on channel 1 (the same file again, or the other
// file when two are given). Between starts the event loop runs for restMs.
void startSounds(benchmark::State& state, const QString& file, bool fade, const QString& other = {},
                 int restMs = 5) {
  SoundProject project;
  AudioChannels& audio = project.game->audio();
  int n = 0;
  for (auto _ : state) {
    AudioChannel& c = audio[1];
    c.SoundFile = other.isEmpty() || n++ % 2 == 0 ? file : other;
    c.LoopSound = true;
    c.FadeChange = fade;
    c.ChannelVolume = 8;
    audio.PlayAudioChannels();
    state.PauseTiming();
    audio.FinishFades();
    // What the backend does afterwards runs from the event loop, not in the call.
    QElapsedTimer rest;
    rest.start();
    do QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    while (rest.elapsed() < restMs);
    state.ResumeTiming();
  }
}

void BM_StartWaveOnAChannel(benchmark::State& state) { startSounds(state, "Sea.wav", false); }
BENCHMARK(BM_StartWaveOnAChannel)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_CrossFadeToAWave(benchmark::State& state) { startSounds(state, "Sea.wav", true); }
BENCHMARK(BM_CrossFadeToAWave)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_StartMidiOnAChannel(benchmark::State& state) { startSounds(state, "Tune.mid", false); }
BENCHMARK(BM_StartMidiOnAChannel)->Unit(benchmark::kMillisecond)->Iterations(100);

// A channel whose sound is changed while it plays, with the game's events handled for a
// while in between (as when the player moves on): the usual change of music or ambience.
void BM_ChangeAPlayingWaveAfterAWhile(benchmark::State& state) {
  startSounds(state, "Sea.wav", false, "Shore.wav", 1500);
}
BENCHMARK(BM_ChangeAPlayingWaveAfterAWhile)->Unit(benchmark::kMillisecond)->Iterations(20);

void BM_ChangeAPlayingMidiAfterAWhile(benchmark::State& state) {
  startSounds(state, "Tune.mid", false, "Song.mid", 2000);
}
BENCHMARK(BM_ChangeAPlayingMidiAfterAWhile)->Unit(benchmark::kMillisecond)->Iterations(20);

}  // namespace
