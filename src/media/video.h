#pragma once
#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QSizeF>
#include <QString>
#include <functional>
#include <vector>

class QGraphicsVideoItem;

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

 private:
  struct Element {
    MediaPlayer* player = nullptr;
    QGraphicsVideoItem* item = nullptr;
  };
  Element makeElement(const QString& name, double z);
  void takeOff(Element& e);
  void deleteRemoved();
  bool pictureCovered() const;
  void reportFailure(const QString& FileName, const QString& description);

  Game& game_;
  Element oneTime_;
  // Counts the one-time videos started, so that a start that another one replaced during
  // its settling pause stops quietly.
  quint64 oneTimeGeneration_ = 0;
  bool oneTimeReported_ = false;
  std::vector<Element> videoPlayers_{Element{}};
  // Elements taken off the picture; deleted at the next reset, as a handler of theirs may
  // still be on the stack.
  std::vector<QPointer<QObject>> removed_;
};

}  // namespace storyloom
