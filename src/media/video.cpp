#include "media/video.h"

#include <algorithm>

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QGraphicsScene>
#include <QAudioOutput>
#include <QEvent>
#include <QGraphicsVideoItem>
#include <QMediaPlayer>
#include <QThread>
#include <QTimer>
#include <QVideoSink>

#include "effects/transitions.h"
#include "game/game.h"
#include "game/picture_items.h"
#include "media/channel_levels.h"
#include "platform/media_player.h"
#include "platform/skipped_steps.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

constexpr double kSettlingSeconds = 0.3;
constexpr double kOneTimeVideoLevel = 7;  // the volume level of one-time videos

// Set once this process has loaded the media framework, or has begun to.
bool mediaFrameworkLoading = false;

}  // namespace

Video::Video(Game& game) : game_(game) { game_.installEventFilter(this); }

Video::~Video() {
  game_.removeEventFilter(this);
  putAsideOneTime();
  for (Element& e : videoPlayers_)
    if (e.player) removed_.push_back(takeOff(e));
  for (Element& e : ready_) removed_.push_back(Resting{e.player, e.item, true});
  ready_.clear();
  deleteRemoved(true);
  waitForWarmUp();
}

Video::Element Video::makeElement(const QString& name, double z) {
  // The media framework is not loaded on two threads at once.
  waitForWarmUp();
  mediaFrameworkLoading = true;
  Element e;
  e.item = new QGraphicsVideoItem;
  e.item->setObjectName(name);
  e.item->setZValue(z);
  e.item->setVisible(false);
  e.item->setAcceptedMouseButtons(Qt::NoButton);  // clicks reach what lies below
  game_.scene().addItem(e.item);
  e.player = new MediaPlayer(this);
  e.player->setVideoOutput(e.item);
  // A one-time video shown in its own size takes the size of its pictures.
  QGraphicsVideoItem* item = e.item;
  connect(item, &QGraphicsVideoItem::nativeSizeChanged, this, [this, item](const QSizeF& size) {
    if (item == oneTime_.item && oneTimeOwnSize_ && !size.isEmpty()) item->setSize(size);
  });
  return e;
}

Video::Element Video::readyElement(const QString& name, double z) {
  // Players for the next videos, made a while after this one has started.
  if (shownOnce_) QTimer::singleShot(kRefillMs, this, [this] { makeReady(); });
  if (ready_.empty()) return makeElement(name, z);
  Element e = ready_.front();
  ready_.erase(ready_.begin());
  e.item->setObjectName(name);
  e.item->setZValue(z);
  game_.scene().addItem(e.item);
  return e;
}

// One element at a time, so that making them never holds the game for long.
void Video::makeReady() {
  if (ready_.size() >= kReady || game_.module().EverythingStopped) return;
  Element e = makeElement(QString(), 0);
  game_.scene().removeItem(e.item);
  ready_.push_back(e);
  if (ready_.size() < kReady) QTimer::singleShot(0, this, [this] { makeReady(); });
}

bool Video::ProjectHasVideos() const {
  static const char* const kVideoExtensions[] = {"avi", "mpg", "mpe", "m1v", "wmv", "asf"};
  EditorAndGame& m = game_.module();
  const QDir dir(m.hostPathOf(m.paths.FramesPath));
  for (const QFileInfo& f : dir.entryInfoList(QDir::Files)) {
    const QString ext = f.suffix().toLower();
    for (const char* v : kVideoExtensions) {
      if (ext == QLatin1String(v)) return true;
      // The stored form of a long name, whose extension is a number made from the name.
      if (ext.size() == 3 && ext[0].isDigit() &&
          EditorAndGame::AlternateFileName(f.completeBaseName() + '.' + QLatin1String(v)).endsWith(ext))
        return true;
    }
  }
  return false;
}

// Stopping only pauses the pipeline. Unloading or deleting it right away would wait up to
// 0.3 s for the picture its streaming thread hands to this thread; once events have run,
// both are quick.
Video::Resting Video::takeOff(Element& e) {
  Resting r{e.player, e.item, false};
  if (e.player) {
    e.player->disconnect(this);
    e.player->Stop();
    QTimer::singleShot(kQuietMs, this, [this, p = QPointer<MediaPlayer>(e.player)] {
      for (Resting& rest : removed_)
        if (rest.player == p) rest.quiet = true;
    });
  }
  if (e.item) {
    if (e.item->scene()) e.item->scene()->removeItem(e.item);
    e.item->setVisible(false);
  }
  e = Element{};
  return r;
}

void Video::deleteRemoved(bool all) {
  const auto destroy = [](Resting& r) {
    if (r.player) r.player->setVideoOutput(nullptr);
    delete r.player.data();
    delete r.item.data();
  };
  if (all) {
    for (Resting& r : removed_) destroy(r);
    removed_.clear();
    return;
  }
  // Freeing a pipeline takes a few milliseconds, so a frame that had several videos has them
  // freed one at a time, with the game's events handled in between.
  const auto quiet = [](const Resting& r) { return r.quiet; };
  const auto next = std::find_if(removed_.begin(), removed_.end(), quiet);
  if (next == removed_.end()) return;
  Resting r = *next;
  removed_.erase(next);
  destroy(r);
  if (std::any_of(removed_.begin(), removed_.end(), quiet)) QTimer::singleShot(0, this, [this] { deleteRemoved(); });
}

// A player that has played is not used again: the backend does not report the failure of
// a file loaded after another.
void Video::putAsideOneTime() {
  if (oneTime_.player) removed_.push_back(takeOff(oneTime_));
}

bool Video::eventFilter(QObject* watched, QEvent* event) {
  if (watched == &game_ && event->type() == QEvent::Show && !shownOnce_) {
    shownOnce_ = true;
    QTimer::singleShot(0, this, [this] { prepareAhead(); });
  }
  return false;
}

// The first video of a process loads the media framework and its plugins, which takes a
// good part of a second; the game window's first showing has that done on another thread.
// A game with video files then has its first players made, a while later and one at a time,
// so that no video waits for its player (making one opens the sound output, which a game
// without videos never does).
void Video::prepareAhead() {
  const bool videos = ProjectHasVideos();
  const auto makeReadySoon = [this] { QTimer::singleShot(kRefillMs, this, [this] { makeReady(); }); };
  if (mediaFrameworkLoading) {
    if (videos) makeReadySoon();
    return;
  }
  mediaFrameworkLoading = true;
  warmUp_ = QThread::create([] {
    QVideoSink sink;
    QMediaPlayer player;
    if (!SilentAudioChosen()) {
      QAudioOutput output;  // looks up the sound devices once
    }
  });
  connect(warmUp_, &QThread::finished, warmUp_, &QObject::deleteLater);
  if (videos) connect(warmUp_, &QThread::finished, this, makeReadySoon);
  warmUp_->start(QThread::LowPriority);
}

void Video::waitForWarmUp() {
  if (warmUp_) warmUp_->wait();
}

bool Video::pictureCovered() const { return game_.transitions().pictureShown(); }

void Video::reportFailure(const QString& FileName, const QString& description) {
  if (oneTimeReported_ || game_.module().EverythingStopped) return;
  oneTimeReported_ = true;
  game_.module().ReportError(QStringLiteral(" Error while attempting to play the following video file: \"") + FileName +
                                 QStringLiteral("\". "),
                             description);
}

// --- the one-time video ---

void Video::PlayMovieWithStop(const QString& FileName, bool bStretched, qint32 lLeft, qint32 lTop, qint32 lWidth,
                              qint32 lheight) {
  EditorAndGame& m = game_.module();
  const quint64 generation = ++oneTimeGeneration_;
  const auto replaced = [&] { return generation != oneTimeGeneration_; };
  // Every step goes on after an error; the first error is the one reported.
  std::optional<PlatformError> failure;
  bool missing = false;
  const auto step = [&](const char* what, const auto& f) {
    auto e = runSkippingErrors(QStringLiteral("video \"%1\": %2").arg(FileName, QLatin1String(what)), f);
    if (e && !failure) failure = e;
  };
  step("window", [&] {
    if (!game_.isVisible() && !m.EverythingStopped) game_.show();
  });
  step("element", [&] {
    putAsideOneTime();
    oneTimeReported_ = false;
    oneTime_ = readyElement(QStringLiteral("OneTimeVideoPlayer1"), layer::OneTimeVideo);
  });
  MediaPlayer* player = oneTime_.player;
  QGraphicsVideoItem* item = oneTime_.item;
  if (!player) return;
  step("placement", [&] {
    item->setPos(lLeft, lTop);
    oneTimeOwnSize_ = !bStretched;
    item->setAspectRatioMode(Qt::IgnoreAspectRatio);
    if (!bStretched) {
      player->setAutoSize(true);
    } else {
      player->setAutoSize(false);
      item->setAspectRatioMode(Qt::IgnoreAspectRatio);
      item->setSize(QSizeF(lWidth, lheight));
    }
  });
  QString resolved;
  step("file", [&] {
    resolved = m.ResolveProjectFile(m.paths.FramesPath + FileName);
    // A missing file has had its warning from the lookup.
    missing = !m.FileExists(resolved);
    player->setFileName(resolved, m.hostPathOf(resolved));
    player->setVolume(ChannelLevels::VolumeToPlayer(kOneTimeVideoLevel));
  });
  step("position", [&] {
    item->setVisible(true);
    player->setCurrentPosition(0);
  });
  // A failure the backend finds later (a codec it lacks) ends the video with the report.
  connect(player, &MediaPlayer::finished, this, [this, player, FileName] {
    if (player == oneTime_.player && !player->failure().isEmpty()) reportFailure(FileName, player->failure());
  });
  VideoStarting = true;
  EditorAndGame::WaitSeconds(kSettlingSeconds);
  VideoStarting = false;
  // A handler run during the pause may have stopped this video or started another.
  if (replaced() || player != oneTime_.player) return;
  step("play", [&] {
    player->Play();
    if (started && player->isPlaying()) started(FileName);
  });
  QCoreApplication::processEvents();
  if (replaced() || player != oneTime_.player) return;
  game_.StopMovie = false;
  if (!failure && !missing && !player->failure().isEmpty()) failure = PlatformError(51, player->failure());
  if (failure) reportFailure(FileName, failure->text());
}

void Video::StopOneTimeVideoPlayer() { putAsideOneTime(); }

bool Video::IsOneTimeVideoPlaying() const { return oneTime_.player && oneTime_.player->isPlaying(); }

// --- looping videos ---

MediaPlayer& Video::LoadVideoPlayer(int index, QPointF pos) {
  if (index < 1) throw PlatformError(360, QStringLiteral("Object already loaded"));
  if (videoPlayers_.size() <= static_cast<size_t>(index)) videoPlayers_.resize(static_cast<size_t>(index) + 1);
  Element& e = videoPlayers_[static_cast<size_t>(index)];
  if (e.player) removed_.push_back(takeOff(e));
  // Below the hotspots, which take the clicks.
  e = readyElement(QStringLiteral("VideoPlayer%1").arg(index), layer::Videos);
  e.item->setPos(pos);
  e.item->setAspectRatioMode(Qt::IgnoreAspectRatio);
  return *e.player;
}

void Video::SetVideoPlayerSize(int index, bool autoSize, QSizeF size) {
  MediaPlayer* player = VideoPlayer(index);
  QGraphicsVideoItem* item = VideoPlayerItem(index);
  if (!player || !item) throw PlatformError::controlArrayElementMissing(index);
  player->setAutoSize(autoSize);
  if (autoSize) {
    connect(item, &QGraphicsVideoItem::nativeSizeChanged, item, [item](const QSizeF& s) {
      if (!s.isEmpty()) item->setSize(s);
    });
  } else {
    item->setSize(size);
  }
}

void Video::StartVideoPlayer(int index) {
  MediaPlayer* player = VideoPlayer(index);
  QGraphicsVideoItem* item = VideoPlayerItem(index);
  if (!player || !item) throw PlatformError::controlArrayElementMissing(index);
  if (!pictureCovered()) player->Play();
}

void Video::ShowVideoPlayer(int index, bool visible) {
  MediaPlayer* player = VideoPlayer(index);
  QGraphicsVideoItem* item = VideoPlayerItem(index);
  if (!player || !item) return;
  if (!visible && item->isVisible()) {
    item->setVisible(false);
    player->Stop();
  } else if (visible && !item->isVisible()) {
    player->setCurrentPosition(0);
    if (!pictureCovered()) player->Play();
    item->setVisible(true);
  }
}

void Video::UnloadVideoPlayer(int index) {
  if (index < 1 || index >= static_cast<int>(videoPlayers_.size())) return;
  Element& e = videoPlayers_[static_cast<size_t>(index)];
  if (e.player) removed_.push_back(takeOff(e));
}

void Video::ResetVideoPlayers() {
  // Players taken off earlier are done with once their pipelines are quiet, after the frame
  // that is opening has been shown.
  QTimer::singleShot(0, this, [this] { deleteRemoved(); });
  for (size_t i = 1; i < videoPlayers_.size(); ++i)
    if (videoPlayers_[i].player) removed_.push_back(takeOff(videoPlayers_[i]));
  videoPlayers_.resize(1);
}

void Video::RestartLoopingVideos() {
  for (size_t i = 1; i < videoPlayers_.size(); ++i) {
    Element& e = videoPlayers_[i];
    if (e.player && e.item && e.item->isVisible()) e.player->Play();
  }
}

MediaPlayer* Video::VideoPlayer(int index) const {
  if (index < 1 || index >= static_cast<int>(videoPlayers_.size())) return nullptr;
  return videoPlayers_[static_cast<size_t>(index)].player;
}

QGraphicsVideoItem* Video::VideoPlayerItem(int index) const {
  if (index < 1 || index >= static_cast<int>(videoPlayers_.size())) return nullptr;
  return videoPlayers_[static_cast<size_t>(index)].item;
}

}  // namespace storyloom
