#pragma once
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QString>
#include <QTimer>
#include <functional>

#include "game/picture_items.h"

class QGraphicsScene;

// The in-frame message bar across the bottom of the picture (FrameMessageBox with its
// label LabelMessageBox), hidden again by TimerMessageBox or by a click on it.
namespace storyloom {

class EditorAndGame;

// How long a message stays, in milliseconds: 70 per character plus one second.
inline int MessageDisplayMilliseconds(const QString& text) { return static_cast<int>(text.size()) * 70 + 1000; }

class MessageBar : public QGraphicsRectItem {
 public:
  MessageBar(QGraphicsScene& scene, const PictureInput& input);
  ~MessageBar() override;

  // Shows the text on the bar over a picture of the given size (twips), restarting the
  // display time.
  void showText(const QString& text, double pictureWidthTwips, double pictureHeightTwips);
  // Hides the bar: TimerMessageBox_Timer, a click on the bar or its label, "[hide]".
  void hideBar();
  void TimerMessageBox_Timer() { hideBar(); }

  bool isShowing() const { return isVisible(); }
  QString text() const { return text_; }
  QGraphicsSimpleTextItem* LabelMessageBox() const { return label_; }
  QTimer& TimerMessageBox() { return timer_; }
  // Bar geometry in twips.
  double twipsLeft() const, twipsTop() const, twipsWidth() const, twipsHeight() const;
  double labelTwipsHeight() const;
  // What scripts change: the bar's place and size (twips) and the label's text.
  void setTwipsGeometry(double left, double top, double width, double height);
  void setCaption(const QString& text);

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;

 private:
  class Label;
  const PictureInput& input_;
  QGraphicsSimpleTextItem* label_ = nullptr;
  QTimer timer_;
  QString text_;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
};

// ShowFrameMessage: with InFrame false an information box titled GameTitle; with InFrame
// true "[hide]" (any case) hides the bar, any other text is shown on it.
class FrameMessages {
 public:
  FrameMessages(EditorAndGame& module, MessageBar& bar, std::function<QSizeF()> pictureSizeTwips);
  void ShowFrameMessage(const QString& MessageText, bool InFrame);
  // Told of each text the bar shows (walkthrough log).
  std::function<void(const QString&)> shown;

 private:
  EditorAndGame& module_;
  MessageBar& bar_;
  std::function<QSizeF()> pictureSize_;
};

}  // namespace storyloom
