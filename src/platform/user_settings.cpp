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

// Sections and keys are found without regard to case, as the store of the original
// platform finds them; a new one is written as given.
QString UserSettings::storedKey(const QString& section, const QString& key) const {
  const QString wanted = keyOf(section, key);
  const QStringList all = settings_->allKeys();
  for (const QString& k : all)
    if (k.compare(wanted, Qt::CaseInsensitive) == 0) return k;
  return wanted;
}

QString UserSettings::get(const QString& section, const QString& key, const QString& defaultValue) const {
  return settings_->value(storedKey(section, key), defaultValue).toString();
}

void UserSettings::set(const QString& section, const QString& key, const QString& value) {
  settings_->setValue(storedKey(section, key), value);
  settings_->sync();
}

void UserSettings::remove(const QString& section, const QString& key) {
  settings_->remove(storedKey(section, key));
  settings_->sync();
}

QString UserSettings::fileName() const { return settings_->fileName(); }

}  // namespace storyloom
