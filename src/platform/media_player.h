#pragma once
#include <QElapsedTimer>
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <vector>

class QMediaPlayer;
class QAudioOutput;
class QVideoSink;
class QGraphicsVideoItem;
class QFile;

// The one media player that every sound and video of the game uses. The members keep the
// numbers the game code relies on: play count 1 = once, 0 = endless, n = n times; volume in
// hundredths of a decibel (0 full, -4000 quiet); play state 2 while playing.
//
// The play state is kept here, not read from the backend: it is 2 from the moment Play is
// called until the media ends, Stop is called or the file fails. When the backend cannot
// produce sound (no audio device), playback goes on silently in real time for the length
// of the media, so that waits and busy tests behave as with sound.
namespace storyloom {

class MediaPlayer : public QObject {
  Q_OBJECT
 public:
  static constexpr int kPlaying = 2;
  static constexpr int kStopped = 0;

  explicit MediaPlayer(QObject* parent = nullptr);
  ~MediaPlayer() override;

  // Setting the file name loads it; reading it gives back the same text. Windows-form
  // names are given here already turned into host paths by the caller's resolver.
  void setFileName(const QString& name);
  QString fileName() const { return fileName_; }
  // Host path actually loaded (normally the file name itself).
  void setFileName(const QString& name, const QString& hostPath);

  void setPlayCount(qint32 count) { playCount_ = count; }
  qint32 playCount() const { return playCount_; }

  void setVolume(qint32 hundredthsOfDecibel);
  qint32 volume() const { return volume_; }
  // The linear output volume 10^(v/2000), 0..1.
  static float linearVolume(qint32 hundredthsOfDecibel);

  void setCurrentPosition(double seconds);
  double currentPosition() const;

  void setRate(double rate);
  double rate() const { return rate_; }

  void setAutoSize(bool autoSize) { autoSize_ = autoSize; }
  bool autoSize() const { return autoSize_; }

  int playState() const { return state_; }
  // The backend's description of why the loaded file cannot be played; empty while none
  // is known (a missing file is not described here).
  QString failure() const { return failure_; }
  bool isPlaying() const { return state_ == kPlaying; }

  void Play();
  void Stop();

  // When sound can be produced: a backend is made at a quiet moment after delayMs, so that
  // the first sound does not wait for it.
  void makeBackendAhead(int delayMs);

  // For videos: the item of the game picture that shows the pictures.
  void setVideoOutput(QGraphicsVideoItem* item);

  // Length of the loaded media in seconds, 0 while unknown.
  double duration() const;

  // A file that the backend has neither begun to play nor refused this long after Play is
  // given up as undecodable, so that no wait of the game hangs on it.
  static constexpr int kStartLimitMs = 8000;
  void setStartLimit(int milliseconds) { startLimitMs_ = milliseconds; }

 Q_SIGNALS:
  // The play state left 2 by itself (end of media or failure).
  void finished();
  // The file could not be decoded; the play state has left 2 (finished came first).
  void failed();

 private:
  void onMediaStatus(int status);
  void onError();
  void endOfOnePass();
  void startSilent();
  // A backend with its sound output and the file it reads (declared first: it outlives the
  // backend that reads it; the output goes before the backend it is attached to).
  struct Backend {
    std::unique_ptr<QFile> file;
    std::unique_ptr<QMediaPlayer> player;
    std::unique_ptr<QAudioOutput> output;
    QElapsedTimer retiredFor;
  };
  Backend makeBackend();
  void ensureBackend();
  void loadIntoBackend(const QString& hostPath);
  void retireBackend();
  void restOneRetired();
  static void emptyBackend(Backend& b);
  void finish();
  void onStartLimit();
  void watchEndOfPass();
  void onEndOfPassLimit();

  // A video's file, read by the backend through this device (declared first: it outlives
  // the backend that reads it).
  std::unique_ptr<QFile> sourceFile_;
  std::unique_ptr<QMediaPlayer> player_;
  std::unique_ptr<QAudioOutput> output_;
  QString fileName_;
  QString hostPath_;
  qint32 playCount_ = 1;
  qint32 volume_ = 0;
  double rate_ = 1.0;
  bool autoSize_ = true;
  int state_ = kStopped;
  int passesDone_ = 0;
  bool loadFailed_ = false;
  QString failure_;
  bool showsPictures_ = false;
  // Silent real-time playback when no sound can be produced.
  bool silent_ = false;
  bool lengthFromHeader_ = false;
  bool undecodable_ = false;
  double knownDuration_ = 0;  // seconds, from the file header when the backend has none
  double silentStartAt_ = 0;
  QElapsedTimer silentClock_;
  QTimer silentEnd_;
  int startLimitMs_ = kStartLimitMs;
  QTimer startWatch_;
  // A pass that has had its time: the backend sometimes reaches the end of a file played
  // again without reporting it, and the file would then "play" for ever.
  QTimer endWatch_;
  qint64 endWatchPosition_ = -1;
  // A sound's backend that has a file going is not given the next file: it is silenced and
  // retired, and the spare (an earlier retired backend, emptied once it came to rest) or a
  // new backend takes the file.
  Backend spare_;
  std::vector<Backend> retired_;
};

// STORYLOOM_SILENT_AUDIO=1 chooses silent sound for the whole run (the tests do): no sound
// output is opened and the sound system is never asked for its devices, so a run behaves
// the same on every machine, whatever sound system it has or lacks.
bool SilentAudioChosen();

// Length in seconds of a RIFF WAVE file, 0 when it is not one.
double waveFileDuration(const QString& hostPath);
// Length in seconds of an MPEG audio file (MP3, MP2) by its frames, 0 when it is not one.
double mpegAudioFileDuration(const QString& hostPath);
// Length in seconds of a Sun audio file (AU, SND), 0 when it is not one.
double sunAudioFileDuration(const QString& hostPath);
// Length in seconds of an Ogg Vorbis file by its last page, 0 when it is not one.
double oggVorbisFileDuration(const QString& hostPath);
// Length in seconds of a MIDI file (or RMI) by its events and tempo changes, 0 when it is not one.
double midiFileDuration(const QString& hostPath);

}  // namespace storyloom
