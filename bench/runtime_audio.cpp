// Starting a sound on a channel: the time the user-interface thread is held by
// PlayAudioChannels, for a wave (timed from its header when no sound device is there) and
// a MIDI tune (always through the media backend). Target: at most 5 ms.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QFile>

#include "bench_project.h"
#include "media/audio_channels.h"
#include "support/wave_file.h"

namespace {

using namespace storyloom;

QByteArray waveBytes(int milliseconds) { return test::silentWave(milliseconds); }

// A type 0 MIDI file of eight notes.
QByteArray midiBytes() {
  QByteArray track = QByteArray::fromHex(
      "00ff510307a120"
      "00c047");
  for (int k = 0; k < 8; ++k) {
    track += QByteArray::fromHex("0090");
    track += char(60 + k), track += char(90);
    track += QByteArray::fromHex("6080");
    track += char(60 + k), track += char(0);
  }
  track += QByteArray::fromHex("00ff2f00");
  QByteArray b = QByteArray::fromHex("4d546864000000060000000100604d54726b");
  const quint32 n = static_cast<quint32>(track.size());
  for (int i = 3; i >= 0; --i) b += char(n >> (8 * i));
  return b + track;
}

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
    bytes("Tune.mid", midiBytes());
    openGame();
  }
};

void startSounds(benchmark::State& state, const QString& file, bool fade) {
  SoundProject project;
  AudioChannels& audio = project.game->audio();
  for (auto _ : state) {
    AudioChannel& c = audio[1];
    c.SoundFile = file;
    c.LoopSound = true;
    c.FadeChange = fade;
    c.ChannelVolume = 8;
    audio.PlayAudioChannels();
    state.PauseTiming();
    audio.FinishFades();
    // What the backend does afterwards runs from the event loop, not in the call.
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
    state.ResumeTiming();
  }
}

void BM_StartWaveOnAChannel(benchmark::State& state) { startSounds(state, "Sea.wav", false); }
BENCHMARK(BM_StartWaveOnAChannel)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_CrossFadeToAWave(benchmark::State& state) { startSounds(state, "Sea.wav", true); }
BENCHMARK(BM_CrossFadeToAWave)->Unit(benchmark::kMillisecond)->Iterations(200);

void BM_StartMidiOnAChannel(benchmark::State& state) { startSounds(state, "Tune.mid", false); }
BENCHMARK(BM_StartMidiOnAChannel)->Unit(benchmark::kMillisecond)->Iterations(100);

}  // namespace
