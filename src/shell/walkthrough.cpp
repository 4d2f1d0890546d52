#include "shell/walkthrough.h"

#include <QDateTime>
#include <QFile>
#include <QApplication>
#include <cstdio>

namespace storyloom {

WalkthroughRunner::WalkthroughRunner() {
  timer_.setInterval(10);
  connect(&timer_, &QTimer::timeout, this, &WalkthroughRunner::tick);
  // Qt never fires a timer again while its own timeout is handled, so a modal dialog that a
  // line opened would stop the walkthrough: while one is open, these ticks go on with the
  // following lines.
  auto* modalTicks = new QTimer(this);
  modalTicks->setInterval(10);
  connect(modalTicks, &QTimer::timeout, this, [this] {
    if (QApplication::activeModalWidget()) tick();
  });
  modalTicks->start();
  addCommand(QStringLiteral("wait"), 1, 1, [this](const QStringList& a) {
    waitUntil_ = QDateTime::currentMSecsSinceEpoch() + a[0].toLongLong();
    return Step::done();
  });
  addCommand(QStringLiteral("quit"), 0, 0, [this](const QStringList&) {
    finish(0);
    return Step::done();
  });
}

QStringList WalkthroughRunner::splitArguments(const QString& line, int limit) {
  QStringList out;
  qsizetype i = 0;
  const qsizetype n = line.size();
  while (i < n) {
    while (i < n && line[i].isSpace()) ++i;
    if (i >= n) break;
    if (limit > 0 && out.size() == limit - 1) {
      // The last argument: one quoted argument, or the rest of the line as written.
      const QString rest = line.mid(i).trimmed();
      const QStringList quoted = splitArguments(rest);
      out.append(quoted.size() == 1 && rest.startsWith('"') ? quoted[0] : rest);
      break;
    }
    QString arg;
    if (line[i] == '"') {
      ++i;
      while (i < n) {
        if (line[i] == '"') {
          if (i + 1 < n && line[i + 1] == '"') {
            arg += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        arg += line[i++];
      }
    } else {
      while (i < n && !line[i].isSpace()) arg += line[i++];
    }
    out.append(arg);
  }
  return out;
}

void WalkthroughRunner::addCommand(const QString& name, int minArgs, int maxArgs, Handler handler) {
  commands_.insert(name, Command{minArgs, maxArgs, std::move(handler)});
}

bool WalkthroughRunner::load(const QString& hostPath, QString* error) {
  QFile f(hostPath);
  if (!f.open(QIODevice::ReadOnly | QIODevice::Text)) {
    *error = QStringLiteral("cannot read walkthrough file %1").arg(hostPath);
    return false;
  }
  const QStringList raw = QString::fromUtf8(f.readAll()).split('\n');
  lines_.clear();
  for (int i = 0; i < raw.size(); ++i) {
    const QString t = raw[i].trimmed();
    if (t.isEmpty() || t.startsWith('#')) continue;
    const QString command = splitArguments(t).value(0);
    const auto it = commands_.constFind(command);
    if (it == commands_.constEnd()) {
      *error = QStringLiteral("line %1: unknown command \"%2\"").arg(i + 1).arg(command);
      return false;
    }
    // Arguments after the command, the last of them taking the rest of the line.
    QStringList parts = splitArguments(t, it->maxArgs >= 0 ? it->maxArgs + 1 : -1);
    parts.removeFirst();
    Line line{i + 1, command, parts, t};
    if (line.args.size() < it->minArgs || (it->maxArgs >= 0 && line.args.size() > it->maxArgs)) {
      *error = QStringLiteral("line %1: wrong number of arguments for \"%2\"").arg(line.number).arg(line.command);
      return false;
    }
    lines_.push_back(std::move(line));
  }
  return true;
}

void WalkthroughRunner::start() {
  next_ = 0;
  timer_.start();
}

void WalkthroughRunner::log(const QString& line) {
  logLines_.append(line);
  std::fprintf(stdout, "%s\n", line.toUtf8().constData());
  std::fflush(stdout);
}

void WalkthroughRunner::finish(int code, const QString& failure) {
  if (finished_) return;
  finished_ = true;
  exitCode_ = code;
  failureText_ = failure;
  timer_.stop();
  if (!failure.isEmpty()) {
    std::fprintf(stderr, "%s\n", failure.toUtf8().constData());
    std::fflush(stderr);
  }
  Q_EMIT ended(code);
}

// "FAIL line 3: expect-var DoorOpen 5: found 0": the line as written and what was found.
QString WalkthroughRunner::failure(const Line& line, const QString& found) {
  return QStringLiteral("FAIL line %1: %2: %3").arg(line.number).arg(line.text, found);
}

void WalkthroughRunner::tick() {
  // A handler may open a modal dialog; the ticks inside its event loop go on with the
  // following lines.
  if (finished_) return;
  const qint64 now = QDateTime::currentMSecsSinceEpoch();
  if (now < waitUntil_) return;
  if (next_ >= lines_.size()) {
    finish(0);
    return;
  }
  const Line& line = lines_[next_];
  const size_t index = next_;
  if (againSinceMs_ < 0) againStarted_ = now;
  ++next_;  // moved on before running, so that a modal handler lets later lines run
  const size_t before = next_;
  const Step step = commands_[line.command].handler(line.args);
  const bool reentered = next_ != before;
  if (finished_) return;
  switch (step.kind) {
    case Step::Done: againSinceMs_ = -1; break;
    case Step::Again:
      if (reentered) {
        finish(1, failure(line, step.message));
        return;
      }
      next_ = index;  // try the same line again
      againSinceMs_ = 1;
      if (now - againStarted_ > patienceMs_)
        finish(1, failure(line, step.message.isEmpty() ? QStringLiteral("timed out") : step.message));
      break;
    case Step::More:
      next_ = index;
      againSinceMs_ = -1;
      break;
    case Step::Fail: finish(1, failure(line, step.message)); break;
  }
}

}  // namespace storyloom
