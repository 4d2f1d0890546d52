#include "game/frame_texts.h"

#include <QBrush>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <cmath>

#include "platform/twips.h"
#include "shell/editor_and_game.h"

namespace storyloom {

TextLabel::TextLabel(const PictureInput& input) : input_(input) {
  setAcceptHoverEvents(true);
  setZValue(layer::Texts);
}

void TextLabel::setTwipsPosition(double left, double top) {
  left_ = left;
  top_ = top;
  setPos(left / kTwipsPerPixel, top / kTwipsPerPixel);
}

void TextLabel::setCaption(const QString& caption) {
  caption_ = caption;
  QString shown = caption;
  shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
  shown.replace('\r', '\n');
  setText(shown);
}

void TextLabel::setColourNumber(qint64 number) { setBrush(colorFromNumber(number)); }

void TextLabel::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  if (input_.mouseDown) input_.mouseDown(e->button());
  e->accept();
}

void TextLabel::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  if (input_.mouseMove) input_.mouseMove();
}

QString hostFontFamily(const QString& windowsName) {
  const QString name = windowsName.trimmed();
  const QString lower = name.toLower();
  if (lower.isEmpty() || lower == QLatin1String("arial") || lower == QLatin1String("helvetica") ||
      lower == QLatin1String("ms sans serif") || lower == QLatin1String("microsoft sans serif"))
    return QStringLiteral("Liberation Sans");
  if (lower == QLatin1String("arial narrow")) return QStringLiteral("Liberation Sans Narrow");
  if (lower == QLatin1String("times new roman") || lower == QLatin1String("times") ||
      lower == QLatin1String("ms serif"))
    return QStringLiteral("Liberation Serif");
  if (lower == QLatin1String("courier new") || lower == QLatin1String("courier"))
    return QStringLiteral("Liberation Mono");
  return name;
}

QFont gameFont(const QString& windowsName, double points) {
  QFont font(hostFontFamily(windowsName));
  // Windows sizes fonts in whole pixels at 96 dots per inch.
  font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
  return font;
}

FrameTexts::FrameTexts(EditorAndGame& module, QGraphicsScene& scene, const PictureInput& input)
    : module_(module), scene_(scene), input_(input) {}

FrameTexts::~FrameTexts() { ResetFrameTexts(); }

void FrameTexts::ResetFrameTexts() {
  for (TextLabel* label : labels_) {
    scene_.removeItem(label);
    delete label;
  }
  labels_.clear();
}

void FrameTexts::LoadTexts(const QString& frameName) {
  const QString fileName =
      module_.MergedOrOwnFrameFile(frameName, QStringLiteral(".mr1"), QStringLiteral(".fm1"));
  if (fileName.isEmpty()) return;
  MergedTextIndex = 1;
  FieldReader f;
  try {
    f = module_.OpenFieldFile(fileName);
  } catch (const PlatformError& e) {
    if (!module_.EverythingStopped) module_.ReportError(QStringLiteral(" Error loading TextBoxes. "), e);
    return;
  }
  // Each value is one statement: a value that fails is skipped and the record goes on.
  auto attempt = [](auto&& statement) {
    try {
      statement();
    } catch (const PlatformError&) {
    }
  };
  int record = 0;
  qint16 ownNumber = 0;
  while (!f.atEnd()) {
    if (module_.EverythingStopped) return;
    ++record;
    const int newIndex = highestIndex() + 1;
    attempt([&] { f.skip(1); });
    attempt([&] { ownNumber = f.readInteger(); });
    if (ownNumber == 1 && record != 1 && MergedTextIndex == 1) MergedTextIndex = newIndex;
    for (int i = 0; i < 8; ++i) attempt([&] { f.skip(1); });

    auto* label = new TextLabel(input_);
    label->setVisible(false);
    label->setCursor(pointer_);
    scene_.addItem(label);
    labels_.push_back(label);

    QFont font = gameFont(QString(), 8.25);
    attempt([&] {
      const QString caption = f.readString();
      label->setCaption(caption.compare(QLatin1String("[empty]"), Qt::CaseInsensitive) == 0 ? QString() : caption);
    });
    double left = 0, top = 0;
    attempt([&] { left = f.readSingle(); });
    attempt([&] { top = f.readSingle(); });
    label->setTwipsPosition(left, top);
    attempt([&] { font.setBold(f.readBoolean()); });
    attempt([&] { font.setItalic(f.readBoolean()); });
    attempt([&] { font.setFamily(hostFontFamily(f.readString())); });
    attempt([&] {
      const float points = f.readSingle();
      font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * 96.0 / 72.0))));
    });
    attempt([&] { font.setStrikeOut(f.readBoolean()); });
    attempt([&] { font.setUnderline(f.readBoolean()); });
    label->setFont(font);
    attempt([&] { label->setColourNumber(f.readLong()); });
    label->setVisible(true);
    attempt([&] { f.skip(1); });
  }
}

}  // namespace storyloom
