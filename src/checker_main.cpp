// storyloom-check DIR [--json]: lists what an author should mend in a project; exit code 0
// when clean, 1 with findings, 2 when DIR is not a project.
#include <QGuiApplication>
#include <cstdio>

#include "checker/project_checker.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  QString folder;
  bool json = false;
  for (int i = 1; i < argc; ++i) {
    const QString arg = QString::fromLocal8Bit(argv[i]);
    if (arg == QLatin1String("--json"))
      json = true;
    else if (folder.isEmpty())
      folder = arg;
  }
  if (folder.isEmpty()) {
    std::fprintf(stderr, "usage: storyloom-check DIR [--json]\n");
    return 2;
  }
  const storyloom::CheckReport report = storyloom::CheckProject(folder);
  if (json) {
    std::printf("%s\n", report.json().constData());
  } else if (!report.isProject) {
    std::fprintf(stderr, "storyloom-check: %s is not a project (no Config/General)\n",
                 folder.toLocal8Bit().constData());
  } else {
    for (const QString& line : report.lines()) std::printf("%s\n", line.toUtf8().constData());
  }
  return report.exitCode();
}
