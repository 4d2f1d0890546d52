#pragma once
#include <QString>

// Private-profile (INI) files: "[Section]" and "key=value" lines, names compared without
// regard to case, blanks around keys and values ignored, a quoted value returned without
// its quotes. Writing creates the file, section or key as needed and keeps the rest.
namespace storyloom {

class IniFile {
 public:
  static QString read(const QString& hostPath, const QString& section, const QString& key,
                      const QString& defaultValue = {});
  // Returns false when the file cannot be written.
  static bool write(const QString& hostPath, const QString& section, const QString& key, const QString& value);
};

}  // namespace storyloom
