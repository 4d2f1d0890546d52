#pragma once
#include <QImage>
#include <QObject>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QStringList>
#include <functional>
#include <optional>

// Transitions between frames: the old frame is captured before the new one is built
// (TransitionStep1), the new frame is drawn from its parts once it is built, and the change
// is animated over the picture (TransitionStep2): a cross-fade or one of four slides, driven
// by the wall clock and cut short by a click or a key.
//
// Both pictures are shown by one item of the game picture at layer::Transition (picWhere),
// so they scale and move with the picture on any window system.
namespace storyloom {

class Game;
class TransitionItem;

// How far an animation of `duration` seconds has come after `elapsed` seconds: 0 to 1, and
// 1 once the elapsed time exceeds the duration.
double TransitionProgress(double elapsed, double duration);
// The constant alpha of a cross-fade step: progress x 255, a half going to the even number.
int CrossFadeAlpha(double progress);
// Where the old and the new frame lie during slide `number` (2 to 5) at `progress`, in
// pixels of a picture of `size`.
struct SlidePositions {
  QPoint oldFrame;
  QPoint newFrame;
};
SlidePositions SlideOffsets(int number, double progress, QSize size);
// The part of the picture that a capture of the screen keeps when it is clipped to the
// desktop work area: `picture` is the picture's place on the screen; the answer is in
// pixels of the picture (empty when nothing of it lies inside the work area).
QRect CaptureClip(const QRect& picture, const QRect& workArea);
// One cross-fade step: `into` receives the old frame with the new one laid over it at the
// constant alpha (0 to 255). The three pictures have the same size.
void BlendFrames(QImage& into, const QImage& oldFrame, const QImage& newFrame, int alpha);

class Transitions : public QObject {
 public:
  static constexpr int TransitionCount = 5;

  explicit Transitions(Game& game);
  ~Transitions() override;

  // Names of the transitions 0 to TransitionCount (0 has none).
  QStringList TransitionNames;
  // True while an animation runs.
  bool TransitionRunning = false;
  // The screen's work area (left, top, right, bottom), read at each game reset.
  QRect DesktopWorkArea;
  // The old frame (what the player saw) and the new frame drawn from its parts.
  QImage picStart;
  QImage picEnd;

  void LoadTransitionNames();
  void ReadDesktopWorkArea();
  void TransitionStep1(int iTransNumber);
  void TransitionStep2(int iTransNumber, double dTransitionDuration);
  // The picture as the player sees it, without the inventory.
  QImage CaptureActualFrame();
  // The current frame drawn from its parts: background, water, texts, hotspot pictures.
  QImage CaptureCurrentFrame();
  // The animation from picStart to picEnd; no animation for a duration of 0 or less or a
  // number outside 0 to TransitionCount.
  void RunTransition(int Number, double Duration);
  // Shows one step of an animation (what RunTransition draws at `progress`).
  void DrawStep(int number, double progress);
  // The audio fades of the sound channels, in step with the animation (0 to 1). Not yet
  // joined to the sound channels: it does nothing.
  void AudioFadeStep(double progress);

  // One animation that ran: its number, its duration in seconds, the steps drawn, and
  // whether a click or a key ended it early.
  struct Run {
    int number = 0;
    double seconds = 0;
    int steps = 0;
    bool interrupted = false;
  };
  // The animation of the last frame change; none when it had no animation.
  const std::optional<Run>& lastRun() const { return lastRun_; }
  // Told of each animation when it ends (walkthrough log).
  std::function<void(const Run&)> finished;

  // Whether picWhere shows anything, and what: the old frame, a blend or a slide.
  bool pictureShown() const;

  // Held by OpenFrame while it builds a frame: a frame change starts with no animation
  // yet, and an old frame captured for it is released when the frame change ends without
  // reaching TransitionStep2 (a missing frame, a stop), so it does not stay over the picture.
  class FrameChange {
   public:
    FrameChange(Transitions& transitions, bool withTransition);
    ~FrameChange();
    FrameChange(const FrameChange&) = delete;
    FrameChange& operator=(const FrameChange&) = delete;

   private:
    Transitions& transitions_;
    bool withTransition_;
  };

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  bool skipped() const;
  // Renders the picture with only the top-level items that `keep` accepts.
  QImage renderPicture(const std::function<bool(double z)>& keep);
  void release();

  Game& game_;
  TransitionItem* picWhere_ = nullptr;
  QImage blend_;
  bool captured_ = false;
  std::optional<Run> lastRun_;
};

}  // namespace storyloom
