#pragma once
#include <QString>
#include <memory>

class QSettings;

// The per-user settings store: text values addressed by application, section and key.
// Application "Software" lives in the user's configuration folder
// (~/.config/storyloom-player/Software.ini); tests give a file of their own.
namespace storyloom {

class UserSettings {
 public:
  UserSettings();                                 // the user's own store
  explicit UserSettings(const QString& iniFile);  // a store in the given file
  ~UserSettings();

  QString get(const QString& section, const QString& key, const QString& defaultValue = {}) const;
  void set(const QString& section, const QString& key, const QString& value);
  void remove(const QString& section, const QString& key);
  QString fileName() const;

 private:
  QString storedKey(const QString& section, const QString& key) const;
  std::unique_ptr<QSettings> settings_;
};

}  // namespace storyloom
