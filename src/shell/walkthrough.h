#pragma once
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QWidget>
#include <QString>
#include <QStringList>
#include <QTimer>
#include <functional>
#include <vector>

// Plays a walkthrough file: one command per line, run from inside the program's own event
// loop, so that it goes on inside modal dialogs, waits, videos and transitions. Blank lines
// and lines starting with "#" are ignored. Arguments are separated by blanks; an argument
// in double quotes may hold blanks ("" stands for one quote inside it). The last argument
// of a command may also be written without quotes: it is then the rest of the line
// ("expect-text The door opens").
//
// Each command handler returns a Step: Done moves on, Again asks to be called again on the
// next tick (a condition not yet met; it fails after the command's time limit), and Fail
// ends the walkthrough with "FAIL line N: <the line>: <what was found>" on standard error
// and exit code 1.
// The end of the file, or "quit", ends the program with exit code 0.
namespace storyloom {

class WalkthroughRunner : public QObject {
  Q_OBJECT
 public:
  struct Step {
    enum Kind { Done, Again, More, Fail } kind = Done;
    QString message;
    static Step done() { return {Done, {}}; }
    static Step again(const QString& whyNotYet = {}) { return {Again, whyNotYet}; }
    static Step fail(const QString& message) { return {Fail, message}; }
    // A long command under way: the same line runs again at the next tick, with no time limit.
    static Step more() { return {More, {}}; }
  };
  using Handler = std::function<Step(const QStringList& args)>;

  WalkthroughRunner();

  // Reads the file; returns false (with the reason in error) when it cannot be read or a
  // line names an unknown command.
  bool load(const QString& hostPath, QString* error);
  void addCommand(const QString& name, int minArgs, int maxArgs, Handler handler);
  bool hasCommand(const QString& name) const { return commands_.contains(name); }
  void start();
  bool finished() const { return finished_; }
  int exitCode() const { return exitCode_; }
  // The "FAIL line N: ..." text of a walkthrough that failed; empty otherwise.
  const QString& failureText() const { return failureText_; }
  // Lines written to standard output (message boxes, frames, messages); kept for tests too.
  void log(const QString& line);
  const QStringList& logLines() const { return logLines_; }
  // How long a command answering Again may wait, in milliseconds.
  void setPatience(int ms) { patienceMs_ = ms; }

  // The arguments of a line; with a limit, the argument at the limit takes the rest of the
  // line as written unless it is one quoted argument.
  static QStringList splitArguments(const QString& line, int limit = -1);

 Q_SIGNALS:
  void ended(int exitCode);

 private:
  struct Line {
    int number;
    QString command;
    QStringList args;
    QString text;  // as written, for the failure message
  };
  struct Command {
    int minArgs, maxArgs;
    Handler handler;
  };
  void tick();
  void finish(int code, const QString& failure = {});
  static QString failure(const Line& line, const QString& found);

  QHash<QString, Command> commands_;
  std::vector<Line> lines_;
  size_t next_ = 0;
  int againSinceMs_ = -1;
  qint64 againStarted_ = 0;
  qint64 waitUntil_ = 0;
  int patienceMs_ = 10000;
  bool finished_ = false;
  int exitCode_ = 0;
  QString failureText_;
  QTimer timer_;
  QStringList logLines_;
};

// A press and release of the mouse button at a point of the widget, as a real click sends them.
void sendWalkthroughClick(QWidget* widget, QPoint at, Qt::MouseButton button);

}  // namespace storyloom
