#include "support/test_support.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/text_codec.h"

namespace storyloom::test {

TempProject::TempProject() {
  messages.setAutomatic([this](const QString& line) { log.append(line); });
  userSettings = std::make_unique<UserSettings>(dir_.path() + QStringLiteral("/.user-settings.ini"));
  module = std::make_unique<EditorAndGame>(messages, *userSettings);
}

void TempProject::writeBytes(const QString& relative, const QByteArray& bytes) {
  const QString path = dir_.path() + '/' + relative;
  QDir().mkpath(QFileInfo(path).path());
  QFile f(path);
  if (f.open(QIODevice::WriteOnly | QIODevice::Truncate)) f.write(bytes);
}

void TempProject::write(const QString& relative, const QString& text) { writeBytes(relative, encodeWindows1252(text)); }

void TempProject::writeGeneral(const QString& initialFrame) {
  write(QStringLiteral("Config/General"),
        QStringLiteral(
            "\"TestProject\",\"\",\"Test Game\",0,\"%1\",\"1.0\",640,480,\"Author\",\"a@b.c\",\"http://x\"\r\n")
            .arg(initialFrame));
}

EditorAndGame& TempProject::init() {
  module->InitProject(dir_.path());
  return *module;
}

}  // namespace storyloom::test
