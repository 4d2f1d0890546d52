#pragma once
#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <optional>

class QWidget;

// Modal message boxes and the text input box, with the style and result numbers that
// scripts and project code use. In automatic mode (walkthroughs) nothing is shown: each
// box is written to the log and answered from the queued answers, else by its default
// button.
namespace storyloom {

namespace msg {
// Buttons
constexpr int OKOnly = 0, OKCancel = 1, AbortRetryIgnore = 2, YesNoCancel = 3, YesNo = 4, RetryCancel = 5;
// Icons
constexpr int Critical = 16, Question = 32, Exclamation = 48, Information = 64;
// Default button
constexpr int DefaultButton2 = 256, DefaultButton3 = 512;
// Results
constexpr int OK = 1, Cancel = 2, Abort = 3, Retry = 4, Ignore = 5, Yes = 6, No = 7;
}  // namespace msg

class MessageBoxes {
 public:
  using LogSink = std::function<void(const QString&)>;

  MessageBoxes() = default;
  virtual ~MessageBoxes() = default;

  // Shows a modal box; returns one of msg::Result.
  int show(const QString& text, int style, const QString& title);
  // Shows a modal question with the given button labels; returns the index of the button
  // pressed, the default when it is closed without one. In automatic mode it is logged as
  // a box and answered by the next queued label, else by the default.
  int choose(const QString& text, const QString& title, const QStringList& labels, int defaultIndex);
  // Returns nothing when the player cancels.
  std::optional<QString> inputBox(const QString& prompt, const QString& title, const QString& defaultText);

  void setAutomatic(LogSink log) { log_ = std::move(log); }
  bool isAutomatic() const { return static_cast<bool>(log_); }
  void queueAnswer(int result) { answers_.push_back(result); }
  // A question with buttons of its own (`choose`) is answered by a button's label.
  void queueAnswer(const QString& label) { labels_.push_back(label); }
  void clearAnswers() { answers_.clear(); }
  void queueInput(const QString& text) { inputs_.push_back(text); }

  // Texts of the boxes shown since the last call (automatic mode), oldest first.
  QStringList takeShown();

  static QString resultName(int result);
  static int resultFromName(const QString& name);  // 0 when unknown
  static QString iconName(int style);
  // The buttons a style offers, in order.
  static QList<int> buttonsOf(int style);
  static int defaultButtonOf(int style);

 protected:
  virtual int showInteractive(const QString& text, int style, const QString& title);
  virtual int chooseInteractive(const QString& text, const QString& title, const QStringList& labels, int defaultIndex);
  virtual std::optional<QString> inputInteractive(const QString& prompt, const QString& title,
                                                  const QString& defaultText);

 private:
  LogSink log_;
  std::deque<int> answers_;
  std::deque<QString> inputs_;
  std::deque<QString> labels_;
  QStringList shown_;
};

}  // namespace storyloom
