#include "dialogue/dialogue.h"

#include <QBrush>
#include <QCoreApplication>
#include <QGraphicsScene>
#include <QGraphicsSceneMouseEvent>
#include <QPen>
#include <QTimer>
#include <algorithm>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "hotspots/frame_areas.h"
#include "platform/message_boxes.h"
#include "platform/platform_error.h"
#include "platform/twips.h"
#include "shell/editor_and_game.h"
#include "shell/field_reader.h"

namespace storyloom {
namespace {

// The list's layout, in twips.
constexpr double kFirstTop = 300;
constexpr double kLabelLeft = 360;
constexpr double kLabelGap = 90;
constexpr double kBottomMargin = 300;

const QColor kAskedColour(170, 170, 170);

QFont questionFont() {
  QFont font = gameFont(QStringLiteral("Arial"), 10);
  font.setBold(true);
  return font;
}

// fmeDialogue: a plain box; a press on it between the questions reaches nothing below.
class DialogueBox : public QGraphicsRectItem {
 public:
  explicit DialogueBox(const PictureInput& input) : input_(input) {
    setBrush(Qt::black);
    setPen(Qt::NoPen);
    setAcceptHoverEvents(true);
  }

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override { e->accept(); }
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override { e->accept(); }
  void hoverMoveEvent(QGraphicsSceneHoverEvent*) override {
    if (input_.mouseMove) input_.mouseMove();
  }

 private:
  const PictureInput& input_;
};

}  // namespace

QuestionLabel::QuestionLabel(Dialogue& dialogue, int index, QGraphicsItem* parent)
    : QGraphicsSimpleTextItem(parent), dialogue_(dialogue), index_(index) {
  setAcceptHoverEvents(true);
  setFont(questionFont());
}

void QuestionLabel::mousePressEvent(QGraphicsSceneMouseEvent* e) {
  e->accept();
  if (e->button() == Qt::LeftButton) dialogue_.clickLater(index_);
}

void QuestionLabel::mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) { e->accept(); }

void QuestionLabel::hoverMoveEvent(QGraphicsSceneHoverEvent*) {
  const PictureInput& input = dialogue_.game_.pictureInput();
  if (input.mouseMove) input.mouseMove();
}

Dialogue::Dialogue(Game& game) : game_(game) {
  box_ = new DialogueBox(game_.pictureInput());
  box_->setZValue(layer::Dialogue);
  box_->setVisible(false);
  game_.scene().addItem(box_);
}

Dialogue::~Dialogue() {
  removeLabels();
  delete box_;
}

DialogueQuestion* Dialogue::DialogueQuestions(int index) {
  if (index < 1 || index > questionCount()) return nullptr;
  return &questions_[static_cast<size_t>(index - 1)];
}

QuestionLabel* Dialogue::lblDialogue(int index) const {
  if (index < 1 || index > lblDialogueCount()) return nullptr;
  return labels_[static_cast<size_t>(index - 1)];
}

bool Dialogue::loadFile(const QString& frameName) {
  EditorAndGame& module = game_.module();
  const QString path = module.paths.FramesDataPath + frameName + QStringLiteral(".dlg");
  ++generation_;
  questions_.clear();
  if (!module.FileExists(path)) return false;
  try {
    FieldReader file = module.OpenFieldFile(path);
    questions_ = ReadDialogueFile(file);
  } catch (...) {
    const PlatformError error = PlatformError::current();
    questions_.clear();
    module.MessageBox(QStringLiteral("Error loading the dialogue.\r\n\r\n") + error.text(), msg::Critical,
                      QStringLiteral("Error"));
    return false;
  }
  DialogueActive = true;
  DialogueFrame = frameName;
  return true;
}

void Dialogue::LoadDialogue() { loadFile(game_.frame.CurrentFrameName); }

void Dialogue::LoadFrameDialogueIfAny() {
  EditorAndGame& module = game_.module();
  if (DialogueActive ||
      !module.FileExists(module.paths.FramesDataPath + game_.frame.CurrentFrameName + QStringLiteral(".dlg")))
    return;
  LoadDialogue();
  // A dialogue that could not be read shows nothing.
  if (DialogueActive) RuntimeDisplayQuestions();
}

void Dialogue::removeLabels() {
  for (QuestionLabel* label : labels_) delete label;
  labels_.clear();
}

void Dialogue::RuntimeDisplayQuestions() {
  try {
    removeLabels();
    double y = kFirstTop;
    for (int i = 1; i <= questionCount(); ++i) {
      const DialogueQuestion& q = questions_[static_cast<size_t>(i - 1)];
      if (!q.QuestionShown) continue;
      auto* label = new QuestionLabel(*this, lblDialogueCount() + 1, box_);
      labels_.push_back(label);
      label->setText(q.QuestionText);
      label->Tag = QString::number(i);
      label->setPos(kLabelLeft / kTwipsPerPixel, y / kTwipsPerPixel);
      label->setBrush(q.QuestionAsked ? kAskedColour : QColor(Qt::white));
      label->setVisible(true);
      y += label->boundingRect().height() * kTwipsPerPixel + kLabelGap;
    }
    if (labels_.empty()) {
      EndDialogue();
      return;
    }
    const Placement picture = game_.placement();
    height_ = y + kBottomMargin;
    width_ = picture.pictureWidth;
    left_ = 0;
    top_ = picture.pictureHeight - height_;
    box_->setRect(0, 0, width_ / kTwipsPerPixel, height_ / kTwipsPerPixel);
    box_->setPos(left_ / kTwipsPerPixel, top_ / kTwipsPerPixel);
    box_->setVisible(true);
    box_->setZValue(layer::Dialogue);
  } catch (...) {
    game_.module().ReportError(QStringLiteral(" Error in RuntimeDisplayQuestions. "), PlatformError::current());
  }
}

void Dialogue::clickLater(int index) {
  // Asked once the press has been handled: the click rebuilds the list, and with it the
  // label that was pressed.
  QTimer::singleShot(0, &game_, [this, index] {
    if (clickRunning() || !box_->isVisible() || !lblDialogue(index)) return;
    RuntimeQuestionClick(index);
  });
}

void Dialogue::runScriptAndHotspot(const QString& script, qint16 hotspot) {
  if (!script.isEmpty()) game_.areas().ExecuteVBScriptAndConsequences(script, true);
  if (hotspot > 0 && hotspot <= game_.frame.FrameHotspotCount) game_.areas().MakeActionAndConsequences(hotspot, 0);
}

void Dialogue::waitForAnswer(unsigned generation) {
  MessageBar& bar = game_.messageBar();
  // The bar goes by its timer or a click on it; a game window that closed stopped the
  // timer, and nothing would hide the bar any more.
  auto waiting = [&] {
    return bar.isShowing() && generation_ == generation && !game_.module().EverythingStopped &&
           (bar.TimerMessageBox().isActive() || game_.isVisible());
  };
  if (!waiting()) return;
  QTimer wake;
  wake.start(50);
  while (waiting()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void Dialogue::RuntimeQuestionClick(int Index) {
  struct Running {
    int& depth;
    explicit Running(int& d) : depth(d) { ++depth; }
    ~Running() { --depth; }
  } running(clickDepth_);
  try {
    const QuestionLabel* label = lblDialogue(Index);
    if (!label) throw PlatformError::controlArrayElementMissing(Index);
    DialogueQuestion* q = DialogueQuestions(label->Tag.toInt());
    if (!q) throw PlatformError::subscriptOutOfRange();
    // 1.
    q->QuestionAsked = true;
    box_->setVisible(false);
    // A copy: the scripts and actions below may end the dialogue or start another one, and
    // a click whose dialogue is gone stops there.
    const DialogueQuestion question = *q;
    const unsigned generation = generation_;
    auto gone = [&] { return generation_ != generation; };
    // 2-4.
    runScriptAndHotspot(question.QuestionScript1, question.QuestionHotspot1);
    if (gone()) return;
    runScriptAndHotspot(question.QuestionScript2, question.QuestionHotspot2);
    if (gone()) return;
    // 5.
    if (!question.AnswerText.isEmpty()) {
      game_.ShowFrameMessage(question.AnswerText, true);
      waitForAnswer(generation);
      if (gone()) return;
    }
    // 6-7.
    if (question.EndsDialogue) EndDialogue();
    runScriptAndHotspot(question.QuestionScript3, question.QuestionHotspot3);
    if (question.EndsDialogue || gone()) return;
    // 8.
    for (qint16 id : question.ShowAfter)
      if (DialogueQuestion* shown = DialogueQuestions(FindDialogueQuestion(id))) shown->QuestionShown = true;
    for (qint16 id : question.HideAfter)
      if (DialogueQuestion* hidden = DialogueQuestions(FindDialogueQuestion(id))) hidden->QuestionShown = false;
    RuntimeDisplayQuestions();
  } catch (...) {
    game_.module().ReportError(QStringLiteral(" Error in RuntimeQuestionClick. "), PlatformError::current());
  }
}

int Dialogue::FindDialogueQuestion(qint16 QuestionId) const {
  const auto it = std::find_if(questions_.begin(), questions_.end(),
                               [QuestionId](const DialogueQuestion& q) { return q.QuestionId == QuestionId; });
  return it == questions_.end() ? 0 : static_cast<int>(it - questions_.begin()) + 1;
}

void Dialogue::EndDialogue() {
  box_->setVisible(false);
  DialogueActive = false;
  DialogueFrame.clear();
}

void Dialogue::ResetDialogue() {
  EndDialogue();
  ++generation_;
  removeLabels();
  questions_.clear();
}

QString Dialogue::ResumeFrame() const {
  return DialogueActive && !DialogueFrame.isEmpty() ? DialogueFrame : game_.frame.CurrentFrameName;
}

QString Dialogue::DialogueFile() const {
  if (!DialogueActive) return {};
  return game_.module().paths.FramesDataPath + DialogueFrame + QStringLiteral(".dlg");
}

std::vector<Dialogue::QuestionState> Dialogue::questionStates() const {
  std::vector<QuestionState> states;
  if (!DialogueActive) return states;
  for (const DialogueQuestion& q : questions_) states.push_back({q.QuestionShown, q.QuestionAsked});
  return states;
}

bool Dialogue::restoreDialogue(const QString& frameName, const std::vector<QuestionState>& states) {
  ResetDialogue();
  if (!loadFile(frameName)) return false;
  const size_t n = std::min(states.size(), questions_.size());
  for (size_t i = 0; i < n; ++i) {
    questions_[i].QuestionShown = states[i].shown;
    questions_[i].QuestionAsked = states[i].asked;
  }
  RuntimeDisplayQuestions();
  return DialogueActive;
}

QStringList Dialogue::offeredQuestions() const {
  QStringList texts;
  if (!box_->isVisible()) return texts;
  for (const QuestionLabel* label : labels_) texts << label->text();
  return texts;
}

}  // namespace storyloom
