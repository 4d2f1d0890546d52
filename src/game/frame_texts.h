#pragma once
#include <QCursor>
#include <QFont>
#include <QGraphicsSimpleTextItem>
#include <QString>
#include <optional>
#include <vector>

#include "game/picture_items.h"

class QGraphicsScene;

// The texts of a frame: one label per record of the frame's .mr1 (merged) or .fm1 file,
// placed on the picture with its own font and colour.
namespace storyloom {

class EditorAndGame;
class FieldReader;

// One record of a texts file as read. A value that failed to read leaves its field at the
// default here, which is also what the label shows for it.
struct TextRecord {
  // The text's number within the frame it was defined in (1 = first). A number that fails
  // to read keeps the previous record's number.
  qint16 ownNumber = 0;
  QString caption;          // "[empty]" (any case) already read as an empty caption
  float left = 0, top = 0;  // twips
  bool bold = false, italic = false, strikeOut = false, underline = false;
  QString fontName;  // empty: Arial
  float fontSize = 8.25f;
  std::optional<qint32> colour;  // a Windows colour number; none keeps the label's own
};

// Reads every record of a texts file up to its end, 21 values each. A value that fails is
// skipped and the record goes on; a file that ends inside a record gives that record with
// the values it had.
std::vector<TextRecord> ReadTextRecords(FieldReader& file);

// One element of the Text array: an auto-sized label on the picture.
class TextLabel : public QGraphicsSimpleTextItem {
 public:
  TextLabel(const PictureInput& input);
  // Position in twips, relative to the picture.
  void setTwipsPosition(double left, double top);
  double twipsLeft() const { return left_; }
  double twipsTop() const { return top_; }
  void setCaption(const QString& caption);
  QString caption() const { return caption_; }
  void setColourNumber(qint64 number);

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;

 private:
  const PictureInput& input_;
  double left_ = 0, top_ = 0;
  QString caption_;
};

// The host font that stands for a Windows font name: the metric-compatible Liberation
// fonts for Arial, Times New Roman and Courier New; other names as written; Arial for an
// empty name.
QString hostFontFamily(const QString& windowsName);
// A font of the given point size as the game's 96 dots-per-inch screen shows it.
QFont gameFont(const QString& windowsName, double points);

class FrameTexts {
 public:
  FrameTexts(EditorAndGame& module, QGraphicsScene& scene, const PictureInput& input);
  ~FrameTexts();

  // Creates the labels of the frame's texts file; the frame has none when neither file
  // exists. A failing value is skipped and the record goes on.
  void LoadTexts(const QString& frameName);
  // Removes every label (element 0, the template, stays).
  void ResetFrameTexts();

  // Highest index of the Text array (0 when there are no texts).
  int highestIndex() const { return static_cast<int>(labels_.size()); }
  // Element i, 1 to highestIndex(); nullptr for an element unloaded by a script and for
  // any other index.
  TextLabel* Text(int index) const {
    return index >= 1 && index <= highestIndex() ? labels_[static_cast<size_t>(index - 1)] : nullptr;
  }
  // Element 0: the template, never on the picture.
  TextLabel& TextTemplate() { return template_; }
  // Loads element i (i >= 1) from the template, invisible; the array may get gaps. Raises
  // 360 when the element is already loaded.
  void LoadElement(int index);
  // Removes element i; raises 340 when it is not loaded.
  void UnloadElement(int index);

  int MergedTextIndex = 1;
  // The pointer of the template element, taken by every label created from now on; the
  // labels already shown keep theirs.
  void setTemplatePointer(const QCursor& cursor);
  // The next picture of the same animated pointer: the template and the labels that took
  // their pointer from it since it was last set follow.
  void templatePointerStepped(const QCursor& cursor);

 private:
  EditorAndGame& module_;
  QGraphicsScene& scene_;
  const PictureInput& input_;
  std::vector<TextLabel*> labels_;  // elements 1 and up; unloaded ones are nullptr
  TextLabel template_;
  QCursor pointer_;
  // How many labels at the end of labels_ carry the template's current pointer.
  size_t followingPointer_ = 0;
};

}  // namespace storyloom
