#include "game/message_bar.h"

#include <QBrush>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPen>

#include "game/frame_texts.h"
#include "platform/twips.h"
#include "shell/editor_and_game.h"

namespace storyloom {

class MessageBar::Label : public QGraphicsSimpleTextItem {
 public:
  Label(MessageBar& bar) : QGraphicsSimpleTextItem(&bar), bar_(bar) { setAcceptHoverEvents(true); }

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override {
    bar_.hideBar();
    e->accept();
  }
  void hoverMoveEvent(QGraphicsSceneHoverEvent*) override {
    if (bar_.input_.mouseMove) bar_.input_.mouseMove();
  }

 private:
  MessageBar& bar_;
};

MessageBar::MessageBar(QGraphicsScene& scene, const PictureInput& input) : input_(input) {
  setZValue(layer::MessageBar);
  setBrush(QColor(0, 0, 0, 190));
  setPen(Qt::NoPen);
  setAcceptHoverEvents(true);
  label_ = new Label(*this);
  label_->setBrush(Qt::white);
  QFont font = gameFont(QStringLiteral("Arial"), 12);
  font.setBold(true);
  label_->setFont(font);
  timer_.setSingleShot(true);
  QObject::connect(&timer_, &QTimer::timeout, [this] { TimerMessageBox_Timer(); });
  scene.addItem(this);
  hideBar();
}

MessageBar::~MessageBar() = default;

double MessageBar::twipsLeft() const { return left_; }
double MessageBar::twipsTop() const { return top_; }
double MessageBar::twipsWidth() const { return width_; }
double MessageBar::twipsHeight() const { return height_; }
double MessageBar::labelTwipsHeight() const { return label_->boundingRect().height() * kTwipsPerPixel; }

void MessageBar::showText(const QString& text, double pictureWidth, double pictureHeight) {
  text_ = text;
  left_ = 0;
  width_ = pictureWidth;
  label_->setText(QString());
  label_->setText(text);
  const double labelWidth = label_->boundingRect().width() * kTwipsPerPixel;
  const double labelHeight = labelTwipsHeight();
  height_ = labelHeight + 525;
  top_ = pictureHeight - height_;
  setRect(0, 0, width_ / kTwipsPerPixel, height_ / kTwipsPerPixel);
  setPos(left_ / kTwipsPerPixel, top_ / kTwipsPerPixel);
  // The label is centred on the bar, so that a long text is not cut at the right edge.
  const double labelLeft = std::max(0.0, width_ / 2 - labelWidth / 2);
  label_->setPos(labelLeft / kTwipsPerPixel, 262.5 / kTwipsPerPixel);
  label_->setVisible(true);
  setVisible(true);
  setZValue(layer::MessageBar);
  timer_.stop();
  timer_.setInterval(MessageDisplayMilliseconds(text));
  timer_.start();
}

void MessageBar::setTwipsGeometry(double left, double top, double width, double height) {
  left_ = left;
  top_ = top;
  width_ = width;
  height_ = height;
  setRect(0, 0, width_ / kTwipsPerPixel, height_ / kTwipsPerPixel);
  setPos(left_ / kTwipsPerPixel, top_ / kTwipsPerPixel);
}

void MessageBar::setCaption(const QString& text) {
  text_ = text;
  label_->setText(text);
}

void MessageBar::hideBar() {
  setVisible(false);
  label_->setVisible(false);
  timer_.stop();
  timer_.setInterval(0);
}

void MessageBar::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  hideBar();
  e->accept();
}

void MessageBar::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  if (input_.mouseMove) input_.mouseMove();
}

FrameMessages::FrameMessages(EditorAndGame& module, MessageBar& bar, std::function<QSizeF()> pictureSize)
    : module_(module), bar_(bar), pictureSize_(std::move(pictureSize)) {}

void FrameMessages::ShowFrameMessage(const QString& text, bool inFrame) {
  try {
    if (!inFrame) {
      module_.MessageBox(text, msg::OKOnly | msg::Information, module_.settings.GameTitle);
      return;
    }
    if (text.toLower() == QLatin1String("[hide]")) {
      bar_.hideBar();
      return;
    }
    const QSizeF size = pictureSize_();
    bar_.showText(text, size.width(), size.height());
    if (shown) shown(text);
  } catch (const std::exception&) {
    module_.ReportError(QStringLiteral(" Unable to display text message."));
  }
}

}  // namespace storyloom
