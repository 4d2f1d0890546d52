#include "media/video.h"

#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsVideoItem>

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

}  // namespace

Video::Video(Game& game) : game_(game) {}

Video::~Video() {
  takeOff(oneTime_);
  for (Element& e : videoPlayers_) takeOff(e);
  deleteRemoved();
}

Video::Element Video::makeElement(const QString& name, double z) {
  Element e;
  e.item = new QGraphicsVideoItem;
  e.item->setObjectName(name);
  e.item->setZValue(z);
  e.item->setVisible(false);
  e.item->setAcceptedMouseButtons(Qt::NoButton);  // clicks reach what lies below
  game_.scene().addItem(e.item);
  e.player = new MediaPlayer(this);
  e.player->setVideoOutput(e.item);
  return e;
}

void Video::takeOff(Element& e) {
  if (e.player) {
    e.player->disconnect(this);
    e.player->Stop();
    e.player->setVideoOutput(nullptr);
    removed_.emplace_back(e.player);
  }
  if (e.item) {
    if (e.item->scene()) e.item->scene()->removeItem(e.item);
    e.item->setVisible(false);
    removed_.emplace_back(e.item);
  }
  e = Element{};
}

void Video::deleteRemoved() {
  for (const QPointer<QObject>& o : removed_) delete o.data();
  removed_.clear();
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
    takeOff(oneTime_);
    oneTimeReported_ = false;
    oneTime_ = makeElement(QStringLiteral("OneTimeVideoPlayer1"), layer::OneTimeVideo);
  });
  MediaPlayer* player = oneTime_.player;
  QGraphicsVideoItem* item = oneTime_.item;
  if (!player) return;
  step("placement", [&] {
    item->setPos(lLeft, lTop);
    if (!bStretched) {
      player->setAutoSize(true);
      item->setAspectRatioMode(Qt::IgnoreAspectRatio);
      connect(item, &QGraphicsVideoItem::nativeSizeChanged, item, [item](const QSizeF& size) {
        if (!size.isEmpty()) item->setSize(size);
      });
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

void Video::StopOneTimeVideoPlayer() {
  if (!oneTime_.player) return;
  takeOff(oneTime_);
}

bool Video::IsOneTimeVideoPlaying() const { return oneTime_.player && oneTime_.player->isPlaying(); }

// --- looping videos ---

MediaPlayer& Video::LoadVideoPlayer(int index, QPointF pos) {
  if (index < 1) throw PlatformError(360, QStringLiteral("Object already loaded"));
  if (videoPlayers_.size() <= static_cast<size_t>(index)) videoPlayers_.resize(static_cast<size_t>(index) + 1);
  Element& e = videoPlayers_[static_cast<size_t>(index)];
  takeOff(e);
  // Below the hotspots, which take the clicks.
  e = makeElement(QStringLiteral("VideoPlayer%1").arg(index), layer::Videos);
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
  takeOff(videoPlayers_[static_cast<size_t>(index)]);
}

void Video::ResetVideoPlayers() {
  // Players of the frame before the last one are surely done with.
  deleteRemoved();
  for (size_t i = 1; i < videoPlayers_.size(); ++i) takeOff(videoPlayers_[i]);
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
