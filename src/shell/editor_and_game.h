#pragma once
#include <QString>
#include <functional>
#include <memory>
#include <optional>

#include "platform/host_paths.h"
#include "platform/message_boxes.h"
#include "platform/user_settings.h"
#include "shell/display.h"
#include "shell/field_reader.h"
#include "shell/project_paths.h"
#include "shell/project_settings.h"
#include "shell/ui_texts.h"

// The shared module of the runtime: the project's folders, settings and texts, the
// global stop flags, and the small helpers every part uses to reach project files and
// report errors. One object per run; tests create their own.
namespace storyloom {

class MultiCDModule;

class EditorAndGame {
 public:
  EditorAndGame(MessageBoxes& messages, UserSettings& userSettings);
  ~EditorAndGame();

  ProjectPaths paths;
  ProjectSettings settings;
  UITexts texts;
  bool EverythingStopped = false;
  bool UserInterrupt = false;

  HostPaths& hostPaths() { return hostPaths_; }
  MessageBoxes& messages() { return messages_; }
  UserSettings& userSettings() { return userSettings_; }
  // The display the game sees (DesktopWidth, ChangeResolutionToMode, ...).
  Display& display() { return *display_; }
  // Games spread over several CDs (set up by InitProject).
  MultiCDModule& multiCD() { return *multiCD_; }

  // Where a project file that is missing lies on a CD; the path itself when the game does
  // not run from CDs.
  std::function<QString(const QString&)> CDFilePath;
  // Whether the system uses small fonts (true when it cannot be asked).
  std::function<bool()> SmallFontsCheck = [] { return true; };

  enum class InitResult { Ready, EndProgram };
  // The start-up routine for the project in the given host folder.
  InitResult InitProject(const QString& hostProjectFolder);

  // Error report in the one form the player sees: title UITexts(29), text UITexts(30),
  // two line breaks, UITexts(31), the context sentence (which begins with a blank) and
  // the description.
  void ReportError(const QString& context, const QString& description = {});
  void ReportError(const QString& context, const PlatformError& error) { ReportError(context, error.text()); }
  // The program's own message box. Project paths inside the text are shown in this
  // machine's form ("/home/ann/Game/Config/General"); scripts and stored data keep the
  // Windows form.
  int MessageBox(const QString& text, int style, const QString& title);
  QString withHostPaths(const QString& text);

  QString ResolveProjectFile(const QString& path);
  static QString AlternateFileName(const QString& path);
  QString DirOrEmpty(const QString& path);
  static QString FileNameOf(const QString& path);
  void DeleteFileIfExists(const QString& path);
  static void WaitSeconds(double seconds, bool noEvents = false);
  static qint32 ClampNonNegative(qint32 value) { return value < 0 ? 0 : value; }

  bool FileExists(const QString& path) { return hostPaths_.isFile(path); }
  QString hostPathOf(const QString& path) { return hostPaths_.toHost(path); }
  // The per-frame data file that the editor wrote for a frame: the merged form (frame name
  // & mergedExt, written when other frames were merged into it) when it exists, else the
  // frame's own (frame name & ownExt); empty when neither exists. Extensions with the dot.
  QString MergedOrOwnFrameFile(const QString& frameName, const QString& mergedExt, const QString& ownExt);
  // Opens a project file (Windows form) as a field stream; throws "File not found".
  FieldReader OpenFieldFile(const QString& path);

  // Reads one key of an INI file in Windows form; the default when the file, section or key
  // is missing.
  QString ReadIniValue(const QString& path, const QString& section, const QString& key,
                       const QString& defaultValue = {});

 private:
  MessageBoxes& messages_;
  UserSettings& userSettings_;
  HostPaths hostPaths_;
  std::unique_ptr<Display> display_;
  std::unique_ptr<MultiCDModule> multiCD_;
};

// Seconds since midnight, with fractions, as the clock that waits run on.
double SecondsSinceMidnight();

}  // namespace storyloom
