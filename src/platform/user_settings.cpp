#include "platform/user_settings.h"

#include <QSettings>

namespace storyloom {
namespace {
QString keyOf(const QString& section, const QString& key) {
  // QSettings takes "/" as a group separator; project names and keys never nest.
  QString s = section, k = key;
  s.replace('/', '_');
  k.replace('/', '_');
  return s + '/' + k;
}
}  // namespace

UserSettings::UserSettings()
    : settings_(std::make_unique<QSettings>(QSettings::IniFormat, QSettings::UserScope,
                                            QStringLiteral("storyloom-player"), QStringLiteral("Software"))) {}

UserSettings::UserSettings(const QString& iniFile)
    : settings_(std::make_unique<QSettings>(iniFile, QSettings::IniFormat)) {}

UserSettings::~UserSettings() = default;

QString UserSettings::get(const QString& section, const QString& key, const QString& defaultValue) const {
  return settings_->value(keyOf(section, key), defaultValue).toString();
}

void UserSettings::set(const QString& section, const QString& key, const QString& value) {
  settings_->setValue(keyOf(section, key), value);
  settings_->sync();
}

void UserSettings::remove(const QString& section, const QString& key) {
  settings_->remove(keyOf(section, key));
  settings_->sync();
}

QString UserSettings::fileName() const { return settings_->fileName(); }

}  // namespace storyloom
