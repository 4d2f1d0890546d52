#include "platform/media_player.h"

#include <QAudioDevice>
#include <QAudioOutput>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsVideoItem>
#include <QMediaDevices>
#include <QMediaPlayer>
#include <algorithm>
#include <vector>
#include <QUrl>
#include <cmath>

namespace storyloom {

namespace {
// How far into a file the first MPEG audio frame is looked for.
constexpr qsizetype kMpegSearchBytes = 64 * 1024;
}  // namespace

double waveFileDuration(const QString& hostPath) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QByteArray head = f.read(12);
  if (head.size() < 12 || !head.startsWith("RIFF") || head.mid(8, 4) != "WAVE") return 0;
  auto le32 = [](const QByteArray& b, int at) {
    return static_cast<quint32>(static_cast<unsigned char>(b[at])) |
           static_cast<quint32>(static_cast<unsigned char>(b[at + 1])) << 8 |
           static_cast<quint32>(static_cast<unsigned char>(b[at + 2])) << 16 |
           static_cast<quint32>(static_cast<unsigned char>(b[at + 3])) << 24;
  };
  quint32 byteRate = 0;
  // Chunks follow one another; "fmt " gives the byte rate, "data" the length.
  for (int guard = 0; guard < 64; ++guard) {
    const QByteArray chunk = f.read(8);
    if (chunk.size() < 8) return 0;
    const quint32 size = le32(chunk, 4);
    if (chunk.startsWith("fmt ")) {
      const QByteArray fmt = f.read(size);
      if (fmt.size() < 12) return 0;
      byteRate = le32(fmt, 8);
      if (size % 2) f.read(1);
    } else if (chunk.startsWith("data")) {
      if (byteRate == 0) return 0;
      // A data size larger than the file (a stream cut short) counts what is there.
      const qint64 available = f.size() - f.pos();
      return static_cast<double>(std::min<qint64>(size, available)) / byteRate;
    } else {
      if (!f.seek(f.pos() + size + (size % 2))) return 0;
    }
  }
  return 0;
}

double mpegAudioFileDuration(const QString& hostPath) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly)) return 0;
  // The tag's length, then as much as the first frame is looked for in; the rest only once
  // a frame is found (a file with none near its start is something else).
  QByteArray d = f.read(10);
  const auto* b = reinterpret_cast<const unsigned char*>(d.constData());
  qsizetype at = 0;
  if (d.size() >= 10 && d.startsWith("ID3"))
    at = 10 + ((b[6] & 0x7f) << 21 | (b[7] & 0x7f) << 14 | (b[8] & 0x7f) << 7 | (b[9] & 0x7f));
  const qsizetype searchEnd = at + kMpegSearchBytes;
  d += f.read(searchEnd + 4 - d.size());
  bool whole = f.atEnd();
  b = reinterpret_cast<const unsigned char*>(d.constData());
  qsizetype n = d.size();
  static const int kBitrates[2][3][16] = {{{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
                                           {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
                                           {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
                                          {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
                                           {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
                                           {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};
  static const int kRates[4] = {44100, 48000, 32000, 0};
  double seconds = 0;
  int frames = 0;
  while (at + 4 <= n) {
    if (frames == 0 && at >= searchEnd) return 0;
    if (b[at] != 0xff || (b[at + 1] & 0xe0) != 0xe0) {
      ++at;  // not a frame start: look further (tags, junk)
      continue;
    }
    const int version = (b[at + 1] >> 3) & 3;  // 0 MPEG 2.5, 2 MPEG 2, 3 MPEG 1
    const int layer = 4 - ((b[at + 1] >> 1) & 3);
    const int bitrateIndex = b[at + 2] >> 4;
    const int rateIndex = (b[at + 2] >> 2) & 3;
    const int padding = (b[at + 2] >> 1) & 1;
    if (version == 1 || layer == 4 || kRates[rateIndex] == 0 || bitrateIndex == 0 || bitrateIndex == 15) {
      ++at;
      continue;
    }
    const bool mpeg1 = version == 3;
    const int rate = kRates[rateIndex] >> (version == 3 ? 0 : version == 2 ? 1 : 2);
    const int kbps = kBitrates[mpeg1 ? 0 : 1][layer - 1][bitrateIndex];
    int length, samples;
    if (layer == 1) {
      length = (12 * kbps * 1000 / rate + padding) * 4;
      samples = 384;
    } else {
      samples = (layer == 3 && !mpeg1) ? 576 : 1152;
      length = samples / 8 * kbps * 1000 / rate + padding;
    }
    if (length <= 4) {
      ++at;
      continue;
    }
    seconds += static_cast<double>(samples) / rate;
    ++frames;
    at += length;
    if (!whole) {
      d += f.readAll();
      whole = true;
      b = reinterpret_cast<const unsigned char*>(d.constData());
      n = d.size();
    }
  }
  return frames >= 2 ? seconds : 0;
}

double sunAudioFileDuration(const QString& hostPath) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly)) return 0;
  const QByteArray h = f.read(24);
  if (h.size() < 24 || !h.startsWith(".snd")) return 0;
  auto be32 = [&](int at) {
    return static_cast<quint32>(static_cast<unsigned char>(h[at])) << 24 |
           static_cast<quint32>(static_cast<unsigned char>(h[at + 1])) << 16 |
           static_cast<quint32>(static_cast<unsigned char>(h[at + 2])) << 8 |
           static_cast<quint32>(static_cast<unsigned char>(h[at + 3]));
  };
  const quint32 offset = be32(4), encoding = be32(12), rate = be32(16), channels = be32(20);
  // Bytes per sample of the encodings: mu-law and A-law 1, linear 8, 16, 24 and 32 bits.
  const int bytes = encoding == 1 || encoding == 2 || encoding == 27 ? 1
                    : encoding == 3                                  ? 2
                    : encoding == 4                                  ? 3
                    : encoding == 5                                  ? 4
                                                                     : 0;
  if (bytes == 0 || rate == 0 || channels == 0 || f.size() <= offset) return 0;
  quint64 size = be32(8);
  const quint64 available = static_cast<quint64>(f.size()) - offset;
  if (size == 0xffffffffu || size > available) size = available;
  return static_cast<double>(size) / (static_cast<double>(rate) * channels * bytes);
}

double midiFileDuration(const QString& hostPath) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly) || f.size() > (16 << 20)) return 0;
  const QByteArray signature = f.peek(4);
  if (signature != "MThd" && signature != "RIFF") return 0;
  const QByteArray d = f.readAll();
  // A standard MIDI file, or one wrapped in a RIFF RMID file.
  const qsizetype start = d.startsWith("MThd") ? 0 : d.startsWith("RIFF") ? d.indexOf("MThd") : -1;
  if (start < 0 || d.size() - start < 14) return 0;
  auto byte = [&d](qsizetype at) { return static_cast<quint32>(static_cast<unsigned char>(d[at])); };
  auto be = [&](qsizetype at, int n) {
    quint32 v = 0;
    for (int i = 0; i < n; ++i) v = v << 8 | byte(at + i);
    return v;
  };
  if (be(start + 4, 4) < 6) return 0;
  const quint32 tracks = be(start + 10, 2), division = be(start + 12, 2);
  if (division == 0) return 0;
  // Tempo changes of every track (tick, microseconds per quarter note) and the last tick.
  std::vector<std::pair<quint64, quint32>> tempos;
  quint64 lastTick = 0;
  qsizetype at = start + 8 + be(start + 4, 4);
  for (quint32 t = 0; t < tracks && at + 8 <= d.size(); ++t) {
    const quint32 length = be(at + 4, 4);
    const bool isTrack = d.mid(at, 4) == "MTrk";
    const qsizetype end = std::min<qsizetype>(d.size(), at + 8 + static_cast<qsizetype>(length));
    qsizetype p = at + 8;
    at = end;
    if (!isTrack) continue;
    quint64 tick = 0;
    quint32 running = 0;
    auto number = [&]() {  // a variable-length quantity
      quint32 v = 0;
      for (int i = 0; i < 4 && p < end; ++i) {
        const quint32 b = byte(p++);
        v = v << 7 | (b & 0x7f);
        if (!(b & 0x80)) break;
      }
      return v;
    };
    while (p < end) {
      tick += number();
      if (p >= end) break;
      quint32 status = byte(p);
      if (status & 0x80)
        ++p;
      else
        status = running;
      if (status == 0xff) {
        if (p >= end) break;
        const quint32 type = byte(p++);
        const quint32 n = number();
        if (type == 0x51 && n == 3 && p + 3 <= end) tempos.emplace_back(tick, be(p, 3));
        if (type == 0x2f) break;  // end of track
        p += n;
      } else if (status == 0xf0 || status == 0xf7) {
        p += number();
      } else if (status >= 0x80) {
        running = status;
        const quint32 kind = status & 0xf0;
        p += kind == 0xc0 || kind == 0xd0 ? 1 : 2;
      } else {
        break;  // data with no status before it: not a track this reader understands
      }
    }
    lastTick = std::max(lastTick, tick);
  }
  if (division & 0x8000) {  // frames per second and ticks per frame
    const int fps = -static_cast<qint8>(division >> 8);
    const quint32 perFrame = division & 0xff;
    return fps > 0 && perFrame > 0 ? static_cast<double>(lastTick) / (fps * perFrame) : 0;
  }
  std::stable_sort(tempos.begin(), tempos.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
  double seconds = 0;
  quint64 tick = 0;
  quint32 tempo = 500000;  // 120 beats a minute until told otherwise
  for (const auto& [when, microseconds] : tempos) {
    if (when >= lastTick) break;
    seconds += static_cast<double>(when - tick) * tempo / (1e6 * division);
    tick = when;
    tempo = microseconds;
  }
  seconds += static_cast<double>(lastTick - tick) * tempo / (1e6 * division);
  return seconds;
}

double oggVorbisFileDuration(const QString& hostPath) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly) || f.peek(4) != "OggS") return 0;
  const QByteArray d = f.readAll();
  // The first page carries the identification header with the sample rate.
  const qsizetype id = d.indexOf("\x01vorbis");
  if (!d.startsWith("OggS") || id < 0 || id + 16 > d.size()) return 0;
  auto le = [&](qsizetype at, int bytes) {
    quint64 v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(d[at + i]);
    return v;
  };
  const quint64 rate = le(id + 12, 4);
  // The last page's granule position is the number of samples.
  const qsizetype last = d.lastIndexOf("OggS");
  if (rate == 0 || last < 0 || last + 14 > d.size()) return 0;
  const quint64 samples = le(last + 6, 8);
  if (samples == ~quint64(0)) return 0;
  return static_cast<double>(samples) / static_cast<double>(rate);
}

bool SilentAudioChosen() {
  static const bool chosen = qEnvironmentVariableIntValue("STORYLOOM_SILENT_AUDIO") == 1;
  return chosen;
}

MediaPlayer::MediaPlayer(QObject* parent) : QObject(parent) {
  silentEnd_.setSingleShot(true);
  silentEnd_.setTimerType(Qt::PreciseTimer);
  connect(&silentEnd_, &QTimer::timeout, this, [this] { endOfOnePass(); });
  startWatch_.setSingleShot(true);
  connect(&startWatch_, &QTimer::timeout, this, [this] { onStartLimit(); });
  endWatch_.setSingleShot(true);
  connect(&endWatch_, &QTimer::timeout, this, [this] { onEndOfPassLimit(); });
}

namespace {
// The backend has not yet got the file going (nor said that it cannot).
bool notGoing(QMediaPlayer::MediaStatus s) {
  return s == QMediaPlayer::NoMedia || s == QMediaPlayer::LoadingMedia || s == QMediaPlayer::StalledMedia;
}
}  // namespace

MediaPlayer::~MediaPlayer() {
  if (player_) player_->disconnect(this);
  for (Backend& b : retired_) emptyBackend(b);
}

float MediaPlayer::linearVolume(qint32 v) {
  if (v >= 0) return 1.0f;
  return static_cast<float>(std::pow(10.0, v / 2000.0));
}

void MediaPlayer::setFileName(const QString& name) { setFileName(name, name); }

void MediaPlayer::setFileName(const QString& name, const QString& hostPath) {
  if (state_ == kPlaying) Stop();
  // A sound's backend with a file going is not given another one (see loadIntoBackend).
  if (player_ && !showsPictures_ && player_->playbackState() != QMediaPlayer::StoppedState) retireBackend();
  if (undecodable_ && hostPath == hostPath_) {
    // The same file again: the backend would not load it anew, and it cannot be decoded.
    fileName_ = name;
    return;
  }
  fileName_ = name;
  hostPath_ = hostPath;
  loadFailed_ = hostPath.isEmpty() || !QFileInfo(hostPath).isFile();
  failure_.clear();
  knownDuration_ = 0;
  // A video's length comes from the backend: its file is not read through here (a cut
  // scene may be tens of megabytes).
  if (!loadFailed_ && !showsPictures_) {
    knownDuration_ = waveFileDuration(hostPath);
    if (knownDuration_ <= 0) knownDuration_ = mpegAudioFileDuration(hostPath);
    if (knownDuration_ <= 0) knownDuration_ = oggVorbisFileDuration(hostPath);
    if (knownDuration_ <= 0) knownDuration_ = sunAudioFileDuration(hostPath);
    if (knownDuration_ <= 0) knownDuration_ = midiFileDuration(hostPath);
  }
  silentStartAt_ = 0;
  // Without an audio device a sound is only timed; the backend is needed for what the
  // header does not tell (compressed formats) and for pictures.
  // Without an audio device a sound is only timed. The header gives the length of waves
  // and MPEG audio; for other formats the backend loads the file to tell it (and whether
  // it can be decoded at all) but does not play it.
  // Silent sound chosen for the run: the sound system is not asked for its devices.
  silent_ = !showsPictures_ && (SilentAudioChosen() || QMediaDevices::audioOutputs().isEmpty());
  lengthFromHeader_ = knownDuration_ > 0;
  undecodable_ = false;
  if ((silent_ && lengthFromHeader_) || loadFailed_) {
    if (player_) player_->setSource(QUrl());
    sourceFile_.reset();
    return;
  }
  ensureBackend();
  loadIntoBackend(hostPath);
}

// A file named by its address starts to be decoded while the backend is still loading it,
// and the backend's own rewind at the end of loading can then wait for ever on a decoding
// thread that connects its outputs (seen under load, for videos and for sounds). Every file
// is handed over open instead: its data flows only once this thread's events run again,
// after the loading is done.
//
// The price: a backend that has a file going waits for data from this thread whenever it
// is told to stop, and it is told so first thing when it gets a new file. That wait would
// last the backend's whole time-out (a second), since this thread is the one waiting. So a
// sound's backend that is playing, paused or starting is never given another file: it is
// retired, and a spare takes the file (see retireBackend).
void MediaPlayer::loadIntoBackend(const QString& hostPath) {
  const QUrl address = QUrl::fromLocalFile(hostPath);
  auto file = std::make_unique<QFile>(hostPath);
  if (file->open(QIODevice::ReadOnly)) {
    player_->setSourceDevice(file.get(), address);
  } else {
    file.reset();
    player_->setSource(address);
  }
  // The file loaded before is let go only now that the backend has left it.
  sourceFile_ = std::move(file);
}

MediaPlayer::Backend MediaPlayer::makeBackend() {
  Backend b;
  b.player = std::make_unique<QMediaPlayer>(this);
  // Without an output the backend decodes no sound: videos play their pictures only. On a
  // machine with no sound device an output would only have the sound system try each of
  // its outputs in turn, at every player made.
  if (!SilentAudioChosen() && !QMediaDevices::audioOutputs().isEmpty()) {
    b.output = std::make_unique<QAudioOutput>();
    b.output->setVolume(linearVolume(volume_));
    b.player->setAudioOutput(b.output.get());
  }
  return b;
}

void MediaPlayer::makeBackendAhead(int delayMs) {
  if (SilentAudioChosen() || QMediaDevices::audioOutputs().isEmpty()) return;
  QTimer::singleShot(delayMs, this, [this] {
    if (!player_ && !spare_.player) spare_ = makeBackend();
  });
}

void MediaPlayer::ensureBackend() {
  if (player_) return;
  Backend b = spare_.player ? std::move(spare_) : makeBackend();
  spare_ = Backend{};
  player_ = std::move(b.player);
  output_ = std::move(b.output);
  if (output_) output_->setVolume(linearVolume(volume_));
  player_->setPlaybackRate(rate_);
  connect(player_.get(), &QMediaPlayer::mediaStatusChanged, this,
          [this](QMediaPlayer::MediaStatus s) { onMediaStatus(static_cast<int>(s)); });
  connect(player_.get(), &QMediaPlayer::errorOccurred, this, [this] { onError(); });
  connect(player_.get(), &QMediaPlayer::durationChanged, this, [this](qint64 ms) {
    if (ms <= 0 || lengthFromHeader_) return;
    // The backend may correct its estimate as it reads on; a silent sound keeps its position.
    const double reached = silent_ && state_ == kPlaying ? currentPosition() : silentStartAt_;
    knownDuration_ = ms / 1000.0;
    if (silent_ && state_ == kPlaying) {
      silentStartAt_ = reached;
      startSilent();
    } else if (state_ == kPlaying) {
      watchEndOfPass();
    }
  });
}

// A retired backend is emptied once its pause has taken hold: half a second after it was
// retired, or later while it is still loading its file (a MIDI tune loads its sound font
// first, which takes about a second). One that is still loading after the start limit is
// emptied all the same.
constexpr int kRetiredRestMs = 500;
constexpr int kRetiredLookAgainMs = 100;

// The backend is silenced at once and paused without waiting; it is emptied once its pause
// has had time to take hold, when emptying it no longer waits for this thread.
void MediaPlayer::retireBackend() {
  Backend old{std::move(sourceFile_), std::move(player_), std::move(output_), {}};
  old.retiredFor.start();
  old.player->disconnect(this);
  if (old.output) old.output->setMuted(true);
  old.player->pause();
  retired_.push_back(std::move(old));
  QTimer::singleShot(kRetiredRestMs, this, [this] { restOneRetired(); });
}

void MediaPlayer::restOneRetired() {
  if (retired_.empty()) return;
  if (retired_.front().player->mediaStatus() == QMediaPlayer::LoadingMedia &&
      retired_.front().retiredFor.elapsed() < startLimitMs_) {
    QTimer::singleShot(kRetiredLookAgainMs, this, [this] { restOneRetired(); });
    return;
  }
  Backend b = std::move(retired_.front());
  retired_.erase(retired_.begin());
  emptyBackend(b);
  if (b.output) b.output->setMuted(false);
  // Emptied, it is as good as new: it becomes the spare, or is freed (its output first, as
  // the member order has it) when there is one.
  if (!spare_.player) spare_ = std::move(b);
}

// The backend is left with no file. A backend destroyed while its file's decoding is still
// set up calls back into itself while it is being destroyed, and crashes.
void MediaPlayer::emptyBackend(Backend& b) {
  b.player->setSource(QUrl());
  b.file.reset();
}

void MediaPlayer::setVolume(qint32 v) {
  volume_ = v;
  if (output_) output_->setVolume(linearVolume(v));
}

void MediaPlayer::setRate(double rate) {
  if (rate <= 0) rate = 1.0;
  if (silent_ && state_ == kPlaying) {
    silentStartAt_ = currentPosition();
    rate_ = rate;
    startSilent();
    return;
  }
  rate_ = rate;
  if (player_) player_->setPlaybackRate(rate);
  if (state_ == kPlaying) watchEndOfPass();
}

double MediaPlayer::duration() const {
  if (knownDuration_ > 0) return knownDuration_;
  return player_ ? player_->duration() / 1000.0 : 0;
}

void MediaPlayer::setCurrentPosition(double seconds) {
  if (seconds < 0) seconds = 0;
  if (silent_) {
    silentStartAt_ = seconds;
    if (state_ == kPlaying) startSilent();
    return;
  }
  if (player_) player_->setPosition(static_cast<qint64>(std::llround(seconds * 1000)));
  if (state_ == kPlaying) watchEndOfPass();
}

double MediaPlayer::currentPosition() const {
  if (silent_) {
    if (state_ != kPlaying) return silentStartAt_;
    const double pos = silentStartAt_ + silentClock_.elapsed() / 1000.0 * rate_;
    return knownDuration_ > 0 ? std::min(pos, knownDuration_) : pos;
  }
  return player_ ? player_->position() / 1000.0 : 0;
}

void MediaPlayer::setVideoOutput(QGraphicsVideoItem* item) {
  showsPictures_ = item != nullptr;
  ensureBackend();
  player_->setVideoOutput(item);
  // A file loaded for sound only is loaded again for its pictures.
  if (silent_ && showsPictures_ && !hostPath_.isEmpty()) setFileName(fileName_, hostPath_);
}

void MediaPlayer::Play() {
  // A file that cannot be loaded never plays, nor a video whose file the backend refused;
  // one that cannot be decoded says so.
  if (loadFailed_ || (showsPictures_ && !failure_.isEmpty())) {
    state_ = kStopped;
    if (undecodable_) QTimer::singleShot(0, this, [this] { Q_EMIT failed(); });
    return;
  }
  passesDone_ = 0;
  state_ = kPlaying;
  if (silent_) {
    startSilent();
    return;
  }
  player_->play();
  if (notGoing(player_->mediaStatus())) startWatch_.start(startLimitMs_);
  watchEndOfPass();
}

void MediaPlayer::onStartLimit() {
  if (state_ != kPlaying || silent_ || !player_ || !notGoing(player_->mediaStatus())) return;
  if (failure_.isEmpty()) failure_ = QStringLiteral("The file did not begin to play");
  undecodable_ = true;
  finish();
  Q_EMIT failed();
}

// How long after a pass should have ended its end is waited for before the backend is
// looked at again: its own report comes within milliseconds.
constexpr int kEndOfPassGraceMs = 500;

void MediaPlayer::watchEndOfPass() {
  endWatch_.stop();
  endWatchPosition_ = -1;
  const double length = duration();
  if (state_ != kPlaying || silent_ || !player_ || length <= 0) return;
  const double left = std::max(0.0, length - player_->position() / 1000.0) / rate_;
  endWatch_.start(static_cast<int>(std::ceil(left * 1000)) + kEndOfPassGraceMs);
}

// The pass has had its time. If the sound has not moved since the last look, the backend
// has stopped at the end without saying so, and the pass is over; otherwise (held up while
// loading, a length the backend corrected, a move by a script) it is looked at again once
// the time it has left is up.
void MediaPlayer::onEndOfPassLimit() {
  if (state_ != kPlaying || silent_ || !player_) return;
  const qint64 position = player_->position();
  if (position == endWatchPosition_) {
    // After the last pass the backend, still playing at the end, is put where a reported end
    // leaves it: at rest, to play from the start when it is played again (else every later
    // play would stand still at the end).
    if (playCount_ > 0 && passesDone_ + 1 >= playCount_ &&
        player_->playbackState() == QMediaPlayer::PlayingState) {
      player_->pause();
      player_->setPosition(0);
    }
    endOfOnePass();
    return;
  }
  watchEndOfPass();
  endWatchPosition_ = position;
}

void MediaPlayer::startSilent() {
  silentClock_.start();
  silentEnd_.stop();
  if (knownDuration_ <= 0) return;  // the length is not known yet: durationChanged restarts it
  const double left = std::max(0.0, knownDuration_ - silentStartAt_) / rate_;
  silentEnd_.start(static_cast<int>(std::ceil(left * 1000)));
}

void MediaPlayer::Stop() {
  silentEnd_.stop();
  startWatch_.stop();
  endWatch_.stop();
  if (silent_ && state_ == kPlaying) silentStartAt_ = currentPosition();
  state_ = kStopped;
  if (player_ && !silent_) player_->pause();
}

void MediaPlayer::endOfOnePass() {
  if (state_ != kPlaying) return;
  ++passesDone_;
  if (playCount_ <= 0 || passesDone_ < playCount_) {
    if (silent_) {
      silentStartAt_ = 0;
      startSilent();
    } else {
      player_->setPosition(0);
      player_->play();
      watchEndOfPass();
    }
    return;
  }
  finish();
}

void MediaPlayer::finish() {
  silentEnd_.stop();
  startWatch_.stop();
  endWatch_.stop();
  state_ = kStopped;
  if (silent_) silentStartAt_ = 0;
  Q_EMIT finished();
}

void MediaPlayer::onMediaStatus(int status) {
  if (silent_) {
    if (static_cast<QMediaPlayer::MediaStatus>(status) == QMediaPlayer::InvalidMedia) onError();
    return;
  }
  if (!notGoing(static_cast<QMediaPlayer::MediaStatus>(status))) startWatch_.stop();
  switch (static_cast<QMediaPlayer::MediaStatus>(status)) {
    case QMediaPlayer::EndOfMedia: endOfOnePass(); break;
    case QMediaPlayer::InvalidMedia:
      if (failure_.isEmpty())
        failure_ = player_->errorString().isEmpty() ? QStringLiteral("Invalid media") : player_->errorString();
      onError();
      break;
    default: break;
  }
}

void MediaPlayer::onError() {
  if (silent_) {
    // Only loaded to learn its length: a file the backend cannot take is undecodable.
    if (lengthFromHeader_ || loadFailed_) return;
    loadFailed_ = true;
    undecodable_ = true;
    if (state_ == kPlaying) {
      finish();
      Q_EMIT failed();
    }
    return;
  }
  if (player_ && player_->error() != QMediaPlayer::NoError && failure_.isEmpty()) failure_ = player_->errorString();
  // No sound can be made: go on silently in real time when the length is known (the
  // position reached so far counts as played).
  const double reached = player_ ? player_->position() / 1000.0 : 0;
  // A file of which nothing could be learnt, not even its length, cannot be decoded.
  const bool undecodable = player_ && (player_->error() == QMediaPlayer::FormatError ||
                                       player_->mediaStatus() == QMediaPlayer::InvalidMedia || duration() <= 0);
  // A sound refused while it was being loaded, before any Play: the backend would take the
  // Play and never tell anything more, so it is marked as a file that cannot be decoded.
  if (state_ != kPlaying && undecodable && !showsPictures_) {
    loadFailed_ = true;
    undecodable_ = true;
    return;
  }
  if (state_ == kPlaying && !undecodable && duration() > 0 && player_->videoOutput() == nullptr) {
    knownDuration_ = duration();
    silent_ = true;
    silentStartAt_ = reached;
    startSilent();
    return;
  }
  if (state_ == kPlaying) {
    finish();
    if (undecodable) Q_EMIT failed();
  }
}

}  // namespace storyloom
