#include "state/saved_game_windows.h"

#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "shell/editor_and_game.h"
#include "state/saved_games.h"

namespace storyloom {
namespace {

const QString kForbidden = QStringLiteral("\" \\ / : * ? < > | ,");

QPushButton* button(QWidget* parent, const char* name, const QString& caption) {
  auto* b = new QPushButton(caption, parent);
  b->setObjectName(QLatin1String(name));
  b->setAutoDefault(false);
  return b;
}

QListWidget* savedGamesList(QWidget* parent) {
  auto* list = new QListWidget(parent);
  list->setObjectName(QStringLiteral("List1"));
  list->setSelectionMode(QAbstractItemView::SingleSelection);
  return list;
}

void fill(QListWidget* list, const SavedGames& saved) {
  list->clear();
  for (const SavedGameFile& f : saved.listSavedGames()) list->addItem(f.name);
}

QString selectedEntry(const QListWidget* list) {
  const auto chosen = list->selectedItems();
  return chosen.isEmpty() ? QString() : chosen.first()->text();
}

void centreOnScreen(QWidget* w) {
  if (const QScreen* screen = QGuiApplication::primaryScreen())
    w->move(screen->geometry().center() - w->rect().center());
}

}  // namespace

bool HasForbiddenCharacters(const QString& name) {
  for (const QChar c : kForbidden)
    if (c != ' ' && name.contains(c)) return true;
  return false;
}

frmSaveGame::frmSaveGame(SavedGames& saved, EditorAndGame& module, QWidget* parent)
    : QDialog(parent), saved_(saved), module_(module) {
  const UITexts& t = module.texts;
  setObjectName(QStringLiteral("frmSaveGame"));
  setWindowTitle(t(21));
  setModal(true);
  List1 = savedGamesList(this);
  Label2 = new QLabel(t(23), this);
  Label2->setObjectName(QStringLiteral("Label2"));
  Text1 = new QLineEdit(this);
  Text1->setObjectName(QStringLiteral("Text1"));
  Command2 = button(this, "Command2", t(25));
  Command3 = button(this, "Command3", t(22));
  Command1 = button(this, "Command1", t(11));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Command2);
  buttons->addWidget(Command3);
  buttons->addWidget(Command1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(List1);
  layout->addWidget(Label2);
  layout->addWidget(Text1);
  layout->addLayout(buttons);

  connect(List1, &QListWidget::itemClicked, this, [this](QListWidgetItem* item) { Text1->setText(item->text()); });
  connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem* item) {
    Text1->setText(item->text());
    Command2_Click();
  });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { reject(); });
  connect(Text1, &QLineEdit::returnPressed, this, [this] { Command2_Click(); });
}

void frmSaveGame::LoadSaveGames() { fill(List1, saved_); }

void frmSaveGame::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  centreOnScreen(this);
  Text1->setFocus();
}

void frmSaveGame::Command2_Click() {
  const UITexts& t = module_.texts;
  const QString name = Text1->text();
  if (HasForbiddenCharacters(name)) {
    module_.MessageBox(t(35) + QStringLiteral("\r\n") + kForbidden, msg::Information, module_.settings.GameTitle);
    return;
  }
  if (name.isEmpty()) {
    module_.MessageBox(t(23), msg::Information, t(21));
    return;
  }
  if (!saved_.savedGameFile(name).isEmpty()) {
    const int answer = module_.MessageBox(QStringLiteral("'") + name + QStringLiteral("' ") + t(24),
                                          msg::OKCancel | msg::Question, t(21));
    if (answer == msg::Cancel) return;
  }
  if (saved_.SaveGame(name)) accept();
}

void frmSaveGame::Command3_Click() {
  const UITexts& t = module_.texts;
  const QString entry = selectedEntry(List1);
  if (entry.isEmpty()) {
    module_.MessageBox(t(9), msg::Information, t(26));
    return;
  }
  const QString path = module_.paths.ProjectPath + entry + QStringLiteral(".sav");
  const int answer = module_.MessageBox(t(27) + QStringLiteral(" '") + path + QStringLiteral("'?"),
                                        msg::OKCancel | msg::Question, t(26));
  if (answer != msg::OK) return;
  const QString file = saved_.savedGameFile(entry);
  if (file.isEmpty() || !QFile::remove(file)) {
    module_.ReportError(QStringLiteral(" Unable to remove '") + path + QStringLiteral("'."));
    return;
  }
  LoadSaveGames();
}

frmLoadGame::frmLoadGame(SavedGames& saved, EditorAndGame& module, QWidget* parent)
    : QDialog(parent), saved_(saved), module_(module) {
  const UITexts& t = module.texts;
  setObjectName(QStringLiteral("frmLoadGame"));
  setWindowTitle(t(17));
  setModal(true);
  Label1 = new QLabel(t(18), this);
  Label1->setObjectName(QStringLiteral("Label1"));
  List1 = savedGamesList(this);
  Command2 = button(this, "Command2", t(19));
  Command1 = button(this, "Command1", t(11));
  auto* buttons = new QHBoxLayout;
  buttons->addWidget(Command2);
  buttons->addWidget(Command1);
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(Label1);
  layout->addWidget(List1);
  layout->addLayout(buttons);

  connect(List1, &QListWidget::itemDoubleClicked, this, [this](QListWidgetItem*) { Command2_Click(); });
  connect(Command2, &QPushButton::clicked, this, [this] { Command2_Click(); });
  connect(Command1, &QPushButton::clicked, this, [this] { reject(); });
}

void frmLoadGame::LoadSaveGames() { fill(List1, saved_); }

void frmLoadGame::showEvent(QShowEvent* e) {
  QDialog::showEvent(e);
  centreOnScreen(this);
}

void frmLoadGame::Command2_Click() {
  const UITexts& t = module_.texts;
  const QString entry = selectedEntry(List1);
  if (entry.isEmpty()) {
    module_.MessageBox(t(9), msg::Information, t(17));
    return;
  }
  saved_.LoadGame(entry);
}

void frmLoadGame::reject() {
  saved_.LoadCancelled = true;
  QDialog::reject();
}

}  // namespace storyloom
