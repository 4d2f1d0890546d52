#pragma once
#include <QImage>
#include <QObject>
#include <QRect>
#include <QString>
#include <QTimer>
#include <functional>

// Rippling water: a rectangle of a picture frame in which the picture ripples, limited by a
// black-and-white mask. The frame's ".rwe" file places the rectangle and sets the waves; its
// ".rwm" file is the mask (black marks the water, white keeps the picture as it is).
//
// Four surfaces, each the size of the rectangle: PicOriginal (the frame picture under the
// rectangle), PicMasked (that picture with every black pixel of the mask turned white),
// PicMask (the mask) and PicRipplingWater (the result, shown by an item of the game picture
// at layer::Water, so it scales with the picture and transitions capture it). A 30 ms timer
// draws each step: the waves of PicOriginal, then PicMasked copied through the mask.
namespace storyloom {

class FieldReader;
class Game;
class WaterItem;

// The ".rwe" file: six values that are not used, the rectangle in pixels of the frame, the
// wave size and speed, and (in newer files) whether the waves run backwards.
struct WaterFile {
  qint16 Left = 0;
  qint16 Top = 0;
  qint16 Width = 0;
  qint16 Height = 0;
  qint16 WaterWaveSize = 0;
  qint16 WaterSpeed = 0;
  bool WaterReverse = false;

  // Reads the file in its order; throws PlatformError for a missing or wrong value (the
  // last one may be absent).
  void read(FieldReader& file);
};

// --- The drawing routines ---

// A time count in milliseconds from a steady clock (32 bits, wrapping).
qint32 WaterTimeCount();
// The phase of the waves at `timeCount`: timeCount x ((speed + 2) / 10)^4 / 300 radians,
// negated when `reverse`. Speed 8 moves the waves by one radian every 300 ms; -2 freezes them.
double WavePhase(qint32 timeCount, qint16 speed, bool reverse);
// Draws `source` into `into` (both of the same size) displaced by two sine waves: rows move
// sideways and columns up and down by at most `amplitude` pixels, `waves` periods over the
// height and over the width, the vertical wave `angle` degrees ahead of the horizontal one.
// The displacement fades out towards the rectangle's edges, so its border stays as the
// source has it and joins the picture around it without a seam. Each sample is blended from
// the four pixels nearest to it, so the picture bends without tearing.
void DrawWave(QImage& into, const QImage& source, int amplitude, int waves, float phase, double angle);
// Copies `source` into `into` through `mask` (all of the same size): where the mask is
// white the source's pixel, where it is black `into` keeps its own, bit by bit.
void DrawThroughMask(QImage& into, const QImage& source, const QImage& mask);
// `picture` OR NOT `mask`: every black pixel of the mask becomes white in the picture.
void MergeMask(QImage& picture, const QImage& mask);

class Water : public QObject {
 public:
  static constexpr int kTickMilliseconds = 30;

  explicit Water(Game& game);
  ~Water() override;

  bool WaterActive = false;
  qint16 WaterWaveSize = 0;
  qint16 WaterSpeed = 0;
  bool WaterReverse = false;
  // False only while a step is being drawn.
  bool WaterTickIdle = true;
  QTimer TimerRipplingWater;
  // The surfaces (PicRipplingWater is shown by the water item).
  QImage PicOriginal;
  QImage PicMasked;
  QImage PicMask;

  // The routines the steps draw with; tests may replace them.
  struct Routines {
    std::function<qint32()> timeCount = WaterTimeCount;
    std::function<void(QImage&, const QImage&, int, int, float, double)> wave = DrawWave;
    std::function<void(QImage&, const QImage&, const QImage&)> mask = DrawThroughMask;
  };
  Routines routines;

  // Whether the current frame may have water: a picture frame that is not tiled.
  bool FrameTakesWater() const;
  // Looks for the frame's ".rwe" and ".rwm" files and prepares the water (shown, the timer
  // not yet running); nothing when either is missing or the mask cannot be loaded.
  void LoadWaveEffectIfAny(const QString& FrameName);
  // Starts the steps of prepared water.
  void StartRipplingWater();
  // Stops the timer and hides the water; a step being drawn stops when it ends.
  void StopWaterEffect();
  // Follows the "Disable Real-Time Effects" check mark: stops the water, or looks for the
  // current frame's water and starts it.
  void ApplyEffectsSetting();
  // One step of the timer.
  void TimerRipplingWater_Timer();

  // What the player sees of the water: whether it is shown, where, and its picture.
  bool surfaceShown() const;
  QRect surfaceRect() const;
  const QImage& PicRipplingWater() const;

 private:
  void drawStep();
  QImage frameAreaPixels(const QRect& area) const;

  Game& game_;
  WaterItem* item_ = nullptr;
};

}  // namespace storyloom
