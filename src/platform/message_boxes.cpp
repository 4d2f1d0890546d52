// The script engine's headers come before any Qt header: they use "slots" as a name.
#include "platform/vbscript/host.h"

#include "platform/message_boxes.h"

#include "platform/log_lines.h"

#include <QApplication>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>

namespace storyloom {
namespace {

QString oneLine(QString s) {
  s.replace(QLatin1String("\r\n"), QLatin1String("\\n"));
  s.replace(QLatin1Char('\n'), QLatin1String("\\n"));
  s.replace(QLatin1Char('\r'), QLatin1String("\\n"));
  return s;
}

QMessageBox::StandardButton standardOf(int result) {
  switch (result) {
    case msg::OK: return QMessageBox::Ok;
    case msg::Cancel: return QMessageBox::Cancel;
    case msg::Abort: return QMessageBox::Abort;
    case msg::Retry: return QMessageBox::Retry;
    case msg::Ignore: return QMessageBox::Ignore;
    case msg::Yes: return QMessageBox::Yes;
    case msg::No: return QMessageBox::No;
  }
  return QMessageBox::Ok;
}

}  // namespace

QList<int> MessageBoxes::buttonsOf(int style) {
  switch (style & 7) {
    case msg::OKCancel: return {msg::OK, msg::Cancel};
    case msg::AbortRetryIgnore: return {msg::Abort, msg::Retry, msg::Ignore};
    case msg::YesNoCancel: return {msg::Yes, msg::No, msg::Cancel};
    case msg::YesNo: return {msg::Yes, msg::No};
    case msg::RetryCancel: return {msg::Retry, msg::Cancel};
    default: return {msg::OK};
  }
}

int MessageBoxes::defaultButtonOf(int style) {
  // The same rule as a script's MsgBox, so that a box answers alike whoever asks it.
  return vbs::defaultMsgBoxButton(style);
}

QString MessageBoxes::resultName(int result) {
  switch (result) {
    case msg::OK: return QStringLiteral("OK");
    case msg::Cancel: return QStringLiteral("Cancel");
    case msg::Abort: return QStringLiteral("Abort");
    case msg::Retry: return QStringLiteral("Retry");
    case msg::Ignore: return QStringLiteral("Ignore");
    case msg::Yes: return QStringLiteral("Yes");
    case msg::No: return QStringLiteral("No");
  }
  return QString::number(result);
}

int MessageBoxes::resultFromName(const QString& name) {
  for (int r = msg::OK; r <= msg::No; ++r)
    if (resultName(r).compare(name, Qt::CaseInsensitive) == 0) return r;
  return 0;
}

QString MessageBoxes::iconName(int style) {
  switch (style & 0x70) {
    case msg::Critical: return QStringLiteral("critical");
    case msg::Question: return QStringLiteral("question");
    case msg::Exclamation: return QStringLiteral("exclamation");
    case msg::Information: return QStringLiteral("information");
  }
  return QStringLiteral("none");
}

int MessageBoxes::show(const QString& text, int style, const QString& title) {
  if (!isAutomatic()) return showInteractive(text, style, title);
  const QList<int> offered = buttonsOf(style);
  int result = defaultButtonOf(style);
  if (!answers_.empty()) {
    const int queued = answers_.front();
    answers_.pop_front();
    if (offered.contains(queued)) result = queued;
  }
  shown_.append(oneLine(text));
  log_(QStringLiteral("msgbox %1 %2 %3 -> %4")
           .arg(iconName(style), quotedForLog(title), quotedForLog(text), resultName(result)));
  return result;
}

int MessageBoxes::choose(const QString& text, const QString& title, const QStringList& labels, int defaultIndex) {
  if (!isAutomatic()) return chooseInteractive(text, title, labels, defaultIndex);
  int result = defaultIndex;
  if (!labels_.empty()) {
    for (int i = 0; i < labels.size(); ++i)
      if (labels[i].compare(labels_.front(), Qt::CaseInsensitive) == 0) result = i;
    labels_.pop_front();
  }
  shown_.append(oneLine(text));
  log_(QStringLiteral("msgbox question \"%1\" \"%2\" [%3] -> %4")
           .arg(oneLine(title), oneLine(text), labels.join('|'), labels.value(result)));
  return result;
}

std::optional<QString> MessageBoxes::inputBox(const QString& prompt, const QString& title, const QString& defaultText) {
  if (!isAutomatic()) return inputInteractive(prompt, title, defaultText);
  std::optional<QString> result = defaultText;
  if (!inputs_.empty()) {
    result = inputs_.front();
    inputs_.pop_front();
  }
  shown_.append(oneLine(prompt));
  log_(QStringLiteral("inputbox \"%1\" \"%2\" -> \"%3\"")
           .arg(oneLine(title), oneLine(prompt), oneLine(result.value_or(QString()))));
  return result;
}

QStringList MessageBoxes::takeShown() {
  QStringList out;
  out.swap(shown_);
  return out;
}

int MessageBoxes::showInteractive(const QString& text, int style, const QString& title) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(title);
  box.setText(text);
  switch (style & 0x70) {
    case msg::Critical: box.setIcon(QMessageBox::Critical); break;
    case msg::Question: box.setIcon(QMessageBox::Question); break;
    case msg::Exclamation: box.setIcon(QMessageBox::Warning); break;
    case msg::Information: box.setIcon(QMessageBox::Information); break;
    default: box.setIcon(QMessageBox::NoIcon);
  }
  const int def = defaultButtonOf(style);
  for (int r : buttonsOf(style)) {
    QPushButton* b = box.addButton(standardOf(r));
    if (r == def) box.setDefaultButton(b);
  }
  box.exec();
  QAbstractButton* clicked = box.clickedButton();
  for (int r : buttonsOf(style))
    if (clicked && box.standardButton(clicked) == standardOf(r)) return r;
  // Closed without a button: Cancel where offered, else the default.
  return buttonsOf(style).contains(msg::Cancel) ? msg::Cancel : def;
}

int MessageBoxes::chooseInteractive(const QString& text, const QString& title, const QStringList& labels,
                                    int defaultIndex) {
  QMessageBox box(QApplication::activeWindow());
  box.setWindowTitle(title);
  box.setText(text);
  box.setIcon(QMessageBox::Question);
  QList<QPushButton*> buttons;
  for (const QString& label : labels) buttons.append(box.addButton(label, QMessageBox::AcceptRole));
  if (defaultIndex >= 0 && defaultIndex < buttons.size()) {
    box.setDefaultButton(buttons[defaultIndex]);
    box.setEscapeButton(buttons[defaultIndex]);
  }
  box.exec();
  const int pressed = static_cast<int>(buttons.indexOf(static_cast<QPushButton*>(box.clickedButton())));
  return pressed >= 0 ? pressed : defaultIndex;
}

std::optional<QString> MessageBoxes::inputInteractive(const QString& prompt, const QString& title,
                                                      const QString& defaultText) {
  bool ok = false;
  const QString text =
      QInputDialog::getText(QApplication::activeWindow(), title, prompt, QLineEdit::Normal, defaultText, &ok);
  if (!ok) return std::nullopt;
  return text;
}

}  // namespace storyloom
