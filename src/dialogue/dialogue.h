#pragma once
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QString>
#include <QStringList>
#include <vector>

#include "dialogue/dialogue_file.h"

// The conversation of a frame: its questions offered in a box across the bottom of the
// picture (fmeDialogue, one label lblDialogue(i) per shown question), the reply shown in
// the message bar, the scripts and hotspot actions of each question, and the questions
// offered next. A dialogue starts when a frame with a .dlg file opens while none runs, and
// keeps running over frame changes until a question ends it or none is left to offer.
//
// Positions are in twips, 15 to the pixel; the box is an item of the game picture at
// layer::Dialogue, so it scales with the picture.
namespace storyloom {

class Game;
class Dialogue;

// One element of lblDialogue: a question's text; Tag is the question's index. A press of
// the left button asks the question once the press has been handled; a double-click is
// one click.
class QuestionLabel : public QGraphicsSimpleTextItem {
 public:
  QuestionLabel(Dialogue& dialogue, int index, QGraphicsItem* parent);
  int index() const { return index_; }
  QString Tag;

 protected:
  void mousePressEvent(QGraphicsSceneMouseEvent* e) override;
  void mouseDoubleClickEvent(QGraphicsSceneMouseEvent* e) override;
  void hoverMoveEvent(QGraphicsSceneHoverEvent* e) override;

 private:
  Dialogue& dialogue_;
  int index_;
};

class Dialogue {
 public:
  explicit Dialogue(Game& game);
  ~Dialogue();
  Dialogue(const Dialogue&) = delete;
  Dialogue& operator=(const Dialogue&) = delete;

  // --- state ---
  bool DialogueActive = false;
  QString DialogueFrame;  // the frame whose dialogue runs; empty when none
  // DialogueQuestions(1..count); nullptr for any other index.
  DialogueQuestion* DialogueQuestions(int index);
  int questionCount() const { return static_cast<int>(questions_.size()); }

  // --- operations ---
  // Reads the current frame's .dlg file; without one the question table is emptied and
  // nothing else changes. A failure is reported ("Error loading the dialogue.") and leaves
  // no dialogue.
  void LoadDialogue();
  // OpenFrame's step: the frame's dialogue is loaded and its questions shown when the
  // frame has a .dlg file and no dialogue runs.
  void LoadFrameDialogueIfAny();
  // Rebuilds the list of shown questions; with none left the dialogue ends.
  void RuntimeDisplayQuestions();
  // A click on lblDialogue(Index).
  void RuntimeQuestionClick(int Index);
  // The index of the first question with that identifier; 0 when none has it.
  int FindDialogueQuestion(qint16 QuestionId) const;
  // The box hidden, no dialogue running.
  void EndDialogue();
  // The game reset: the dialogue ends and its questions and labels go.
  void ResetDialogue();

  // --- controls ---
  QGraphicsRectItem& fmeDialogue() { return *box_; }
  // Highest element of lblDialogue (0 when only the template exists).
  int lblDialogueCount() const { return static_cast<int>(labels_.size()); }
  // lblDialogue(1..lblDialogueCount()); nullptr for any other index.
  QuestionLabel* lblDialogue(int index) const;
  // The shown questions' texts, top to bottom, while the box is on the picture.
  QStringList offeredQuestions() const;
  // Box geometry in twips.
  double boxTwipsLeft() const { return left_; }
  double boxTwipsTop() const { return top_; }
  double boxTwipsWidth() const { return width_; }
  double boxTwipsHeight() const { return height_; }
  // Whether a question's click is being carried out (its box hidden meanwhile).
  bool clickRunning() const { return clickDepth_ > 0; }

  // --- for saved games ---
  // The frame a saved game resumes at: the dialogue's frame while one runs, else the
  // current frame.
  QString ResumeFrame() const;
  // The project path of the running dialogue's file; empty when none runs.
  QString DialogueFile() const;
  struct QuestionState {
    bool shown = false;
    bool asked = false;
  };
  // Each question's state in index order (empty when none runs).
  std::vector<QuestionState> questionStates() const;
  // Starts the dialogue of frameName with the given question states (as many as both
  // have) and shows its questions; false when that frame has no dialogue or it cannot be
  // read.
  bool restoreDialogue(const QString& frameName, const std::vector<QuestionState>& states);

 private:
  friend class QuestionLabel;
  void clickLater(int index);
  void removeLabels();
  bool loadFile(const QString& frameName);
  void runScriptAndHotspot(const QString& script, qint16 hotspot);
  void waitForAnswer(unsigned generation);

  Game& game_;
  std::vector<DialogueQuestion> questions_;
  QGraphicsRectItem* box_ = nullptr;
  std::vector<QuestionLabel*> labels_;
  double left_ = 0, top_ = 0, width_ = 0, height_ = 0;
  // Changes whenever the question table is replaced or emptied, so that a click still
  // running learns that its dialogue is gone.
  unsigned generation_ = 0;
  int clickDepth_ = 0;
};

}  // namespace storyloom
