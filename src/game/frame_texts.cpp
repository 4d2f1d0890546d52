#include "game/frame_texts.h"

#include <QBrush>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <cmath>

#include "platform/platform_error.h"
#include "platform/skipped_steps.h"
#include "platform/twips.h"
#include "shell/field_reader.h"
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
    : module_(module), scene_(scene), input_(input), template_(input) {
  template_.setVisible(false);
  template_.setFont(gameFont(QString(), TextRecord().fontSize));
}

FrameTexts::~FrameTexts() { ResetFrameTexts(); }

void FrameTexts::ResetFrameTexts() {
  for (TextLabel* label : labels_) {
    if (!label) continue;
    scene_.removeItem(label);
    delete label;
  }
  labels_.clear();
  followingPointer_ = 0;
}

void FrameTexts::setTemplatePointer(const QCursor& cursor) {
  pointer_ = cursor;
  followingPointer_ = 0;
}

void FrameTexts::templatePointerStepped(const QCursor& cursor) {
  pointer_ = cursor;
  for (size_t i = labels_.size() - followingPointer_; i < labels_.size(); ++i)
    if (labels_[i]) labels_[i]->setCursor(cursor);
}

void FrameTexts::LoadElement(int index) {
  if (index < 1 || Text(index)) throw PlatformError(360, QStringLiteral("Object already loaded"));
  auto* label = new TextLabel(input_);
  label->setVisible(false);
  label->setCursor(template_.cursor());
  label->setFont(template_.font());
  label->setBrush(template_.brush());
  label->setCaption(template_.caption());
  label->setTwipsPosition(template_.twipsLeft(), template_.twipsTop());
  scene_.addItem(label);
  const size_t before = labels_.size();
  if (before < static_cast<size_t>(index)) {
    labels_.resize(static_cast<size_t>(index), nullptr);
    // It follows the template's animated pointer, as the labels before it do.
    followingPointer_ += static_cast<size_t>(index) - before;
  }
  labels_[static_cast<size_t>(index - 1)] = label;
}

void FrameTexts::UnloadElement(int index) {
  TextLabel* label = Text(index);
  if (!label) throw PlatformError::controlArrayElementMissing(index);
  labels_[static_cast<size_t>(index - 1)] = nullptr;
  while (!labels_.empty() && !labels_.back()) labels_.pop_back();
  followingPointer_ = std::min(followingPointer_, labels_.size());
  scene_.removeItem(label);
  delete label;
}

std::vector<TextRecord> ReadTextRecords(FieldReader& f) {
  std::vector<TextRecord> records;
  // Each value is one statement: a value that fails is skipped and the record goes on.
  auto value = [](const char* what, auto&& statement) {
    runSkippingErrors(QLatin1String("text record: ") + QLatin1String(what), statement);
  };
  qint16 ownNumber = 0;
  while (!f.atEnd()) {
    TextRecord r;
    value("value 1", [&] { f.skip(1); });
    value("own number", [&] { ownNumber = f.readInteger(); });
    r.ownNumber = ownNumber;
    for (int i = 0; i < 8; ++i) value("ignored value", [&] { f.skip(1); });
    value("caption", [&] {
      const QString caption = f.readString();
      r.caption = caption.compare(QLatin1String("[empty]"), Qt::CaseInsensitive) == 0 ? QString() : caption;
    });
    value("left", [&] { r.left = f.readSingle(); });
    value("top", [&] { r.top = f.readSingle(); });
    value("bold", [&] { r.bold = f.readBoolean(); });
    value("italic", [&] { r.italic = f.readBoolean(); });
    value("font name", [&] { r.fontName = f.readString(); });
    value("font size", [&] { r.fontSize = f.readSingle(); });
    value("strikethrough", [&] { r.strikeOut = f.readBoolean(); });
    value("underline", [&] { r.underline = f.readBoolean(); });
    value("colour", [&] { r.colour = f.readLong(); });
    value("value 21", [&] { f.skip(1); });
    records.push_back(std::move(r));
  }
  return records;
}

void FrameTexts::LoadTexts(const QString& frameName) {
  const QString fileName = module_.MergedOrOwnFrameFile(frameName, QStringLiteral(".mr1"), QStringLiteral(".fm1"));
  if (fileName.isEmpty()) return;
  MergedTextIndex = 1;
  std::vector<TextRecord> records;
  try {
    FieldReader f = module_.OpenFieldFile(fileName);
    records = ReadTextRecords(f);
  } catch (const PlatformError& e) {
    if (!module_.EverythingStopped) module_.ReportError(QStringLiteral(" Error loading TextBoxes. "), e);
    return;
  }
  for (size_t i = 0; i < records.size(); ++i) {
    if (module_.EverythingStopped) return;
    const TextRecord& r = records[i];
    const int newIndex = highestIndex() + 1;
    if (r.ownNumber == 1 && i != 0 && MergedTextIndex == 1) MergedTextIndex = newIndex;

    auto* label = new TextLabel(input_);
    label->setVisible(false);
    label->setCursor(pointer_);
    scene_.addItem(label);
    labels_.push_back(label);
    ++followingPointer_;

    label->setCaption(r.caption);
    label->setTwipsPosition(r.left, r.top);
    QFont font = gameFont(r.fontName, r.fontSize);
    font.setBold(r.bold);
    font.setItalic(r.italic);
    font.setStrikeOut(r.strikeOut);
    font.setUnderline(r.underline);
    label->setFont(font);
    if (r.colour) label->setColourNumber(*r.colour);
    label->setVisible(true);
  }
}

}  // namespace storyloom
