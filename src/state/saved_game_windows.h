#pragma once
#include <QDialog>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

// The save and load windows: a list of the saved games from the oldest to the newest, and
// the buttons that save, remove or load one. Captions come from the project's texts.
namespace storyloom {

class EditorAndGame;
class SavedGames;

class frmSaveGame : public QDialog {
  Q_OBJECT
 public:
  frmSaveGame(SavedGames& saved, EditorAndGame& module, QWidget* parent);

  // Fills List1 afresh.
  void LoadSaveGames();
  void Command2_Click();  // Save
  void Command3_Click();  // Remove

  QListWidget* List1 = nullptr;
  QLineEdit* Text1 = nullptr;
  QLabel* Label2 = nullptr;
  QPushButton* Command1 = nullptr;  // Cancel
  QPushButton* Command2 = nullptr;  // Save
  QPushButton* Command3 = nullptr;  // Remove

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  SavedGames& saved_;
  EditorAndGame& module_;
};

class frmLoadGame : public QDialog {
  Q_OBJECT
 public:
  frmLoadGame(SavedGames& saved, EditorAndGame& module, QWidget* parent);

  void LoadSaveGames();
  void Command2_Click();  // Load
  // Cancel, Esc or closing the window.
  void reject() override;

  QListWidget* List1 = nullptr;
  QLabel* Label1 = nullptr;
  QPushButton* Command1 = nullptr;  // Cancel
  QPushButton* Command2 = nullptr;  // Load

 protected:
  void showEvent(QShowEvent* e) override;

 private:
  SavedGames& saved_;
  EditorAndGame& module_;
};

// Whether a saved game's name holds a character that a file name cannot hold (a quote,
// \ / : * ? < > | or a comma).
bool HasForbiddenCharacters(const QString& name);

}  // namespace storyloom
