#pragma once
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

class QGraphicsVideoItem;
class QThread;

// The videos of a game: the one-time video (a cut scene shown over the frame, element 1 of
// OneTimeVideoPlayer, which a click or Esc asks to end) and the looping videos of hotspots
// (VideoPlayer, element i for hotspot i). Both are drawn by items of the game picture, so
// they scale and move with it; the one-time video lies above the frame's hotspots and
// animated pictures and below the inventory, a looping video just below its hotspot.
namespace storyloom {

class Game;
class MediaPlayer;

class Video : public QObject {
 public:
  // How long after a player was stopped its pipeline is surely at rest, so that loading,
  // unloading or deleting it does not wait on its last picture.
  static constexpr int kQuietMs = 60;
  // How long after a video started, or after the media framework was loaded, the players
  // for the next videos are made.
  static constexpr int kRefillMs = 500;
  // How many players are kept ready: two, for a video that replaces one that has just begun.
  static constexpr size_t kReady = 2;

  explicit Video(Game& game);
  ~Video() override;
  Video(const Video&) = delete;
  Video& operator=(const Video&) = delete;

  // True during the settling pause before a one-time video starts; hotspot clicks are
  // ignored meanwhile.
  bool VideoStarting = false;

  // --- the one-time video ---
  // Starts FileName (in the Frames folder) at (lLeft, lTop) pixels of the picture, in its
  // own size, or stretched to lWidth x lheight. Replaces a one-time video that is loaded.
  // Returns once the video plays; a failure of any step is reported once, at the end.
  void PlayMovieWithStop(const QString& FileName, bool bStretched, qint32 lLeft, qint32 lTop, qint32 lWidth,
                         qint32 lheight);
  // Stops and removes the one-time video.
  void StopOneTimeVideoPlayer();
  // True while a one-time video is loaded and plays.
  bool IsOneTimeVideoPlaying() const;
  // Element 1 of OneTimeVideoPlayer and the item that shows it; nullptr when none is loaded.
  MediaPlayer* OneTimeVideoPlayer() const { return oneTime_.player; }
  QGraphicsVideoItem* OneTimeVideoItem() const { return oneTime_.item; }
  // Told of each one-time video as it starts (walkthrough log).
  std::function<void(const QString& FileName)> started;

  // --- looping videos of hotspots ---
  // Makes element `index` at `pos` (pixels of the picture), hidden until it is shown.
  MediaPlayer& LoadVideoPlayer(int index, QPointF pos);
  // The video keeps its own size (autoSize) or takes `size` (pixels).
  void SetVideoPlayerSize(int index, bool autoSize, QSizeF size);
  // Starts element `index`; while a transition's picture covers the frame it waits for
  // RestartLoopingVideos.
  void StartVideoPlayer(int index);
  // Shows or hides element `index`; shown again, it starts from its beginning.
  void ShowVideoPlayer(int index, bool visible);
  void UnloadVideoPlayer(int index);
  // Removes every element (element 0, the template, is never on the picture).
  void ResetVideoPlayers();
  // Plays every visible element again (after a one-time video or a transition).
  void RestartLoopingVideos();
  MediaPlayer* VideoPlayer(int index) const;
  QGraphicsVideoItem* VideoPlayerItem(int index) const;

  // True when the project's Frames folder holds a video file (by its extension, or by the
  // numbered extension of a stored long name).
  bool ProjectHasVideos() const;
  // How many players are made ahead and not yet used.
  size_t ReadyPlayers() const { return ready_.size(); }

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct Element {
    MediaPlayer* player = nullptr;
    QGraphicsVideoItem* item = nullptr;
  };
  // A player off the picture, stopped; `quiet` once kQuietMs have passed with events running.
  struct Resting {
    QPointer<MediaPlayer> player;
    QPointer<QGraphicsVideoItem> item;
    bool quiet = false;
  };
  Element makeElement(const QString& name, double z);
  // Takes the element off the picture and stops it, without waiting on its pipeline.
  Resting takeOff(Element& e);
  // An element for a video about to start: one made ahead, else a new one.
  Element readyElement(const QString& name, double z);
  void makeReady();
  void putAsideOneTime();
  void deleteRemoved(bool all = false);
  void prepareAhead();
  void waitForWarmUp();
  bool pictureCovered() const;
  void reportFailure(const QString& FileName, const QString& description);

  Game& game_;
  Element oneTime_;
  bool oneTimeOwnSize_ = true;
  // Elements made ahead, off the picture, for the next videos (loading a file into a ready
  // player is quick; making one is not).
  std::vector<Element> ready_;
  // Counts the one-time videos started, so that a start that another one replaced during
  // its settling pause stops quietly.
  quint64 oneTimeGeneration_ = 0;
  bool oneTimeReported_ = false;
  std::vector<Element> videoPlayers_{Element{}};
  // Elements taken off the picture; deleted one at a time after a later reset, once quiet,
  // as a handler of theirs may still be on the stack.
  std::vector<Resting> removed_;
  bool shownOnce_ = false;
  QPointer<QThread> warmUp_;
};

}  // namespace storyloom
