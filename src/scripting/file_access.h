#pragma once
#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

class QTemporaryDir;

// Where a game's scripts may reach on this machine. A game is a folder someone
// downloaded; its scripts read and write in their own places without a question: the
// game's folder (writing where the folder itself can be written), the game's saved-games
// folder in the user's data folder, and a temporary folder made for the game on first use.
// Anything else is asked of the player once per run and place: Allow once, Always allow
// for this game (kept in the user's settings per project), or Deny. Starting a program or
// handing a file to the desktop outside those places is asked separately.
//
// Every answer is about a host path with "..", links and "." resolved, so no spelling of a
// path (a link inside the game's folder, a climb through parent folders) leads out
// without the question. Under a walkthrough the question is a logged box answered by
// `answer`; unanswered, it is Deny.
namespace storyloom {

class EditorAndGame;

class FileAccessRule {
 public:
  enum class Kind { Read, Write, Run, Open };
  // The answers to the question, in the order of its buttons.
  enum class Answer { AllowOnce, AlwaysAllow, Deny };

  explicit FileAccessRule(EditorAndGame& module);
  ~FileAccessRule();
  FileAccessRule(const FileAccessRule&) = delete;
  FileAccessRule& operator=(const FileAccessRule&) = delete;

  // Whether the game may touch the host path in that way; asks the player when needed.
  bool allows(const QString& hostPath, Kind kind);
  // The same, raising "Permission denied" (70) when refused.
  void require(const QString& hostPath, Kind kind);

  // A trusted game reaches everything, as it would on the system it was made for (the
  // player's own choice, for this run only).
  void setTrusted(bool trusted) { trusted_ = trusted; }
  bool trusted() const { return trusted_; }

  // The places reached without a question (host paths).
  QString gameFolder() const;
  QString savedGamesFolder() const;
  QString temporaryFolder();  // made on the first call, removed with the rule

  // The host path with "..", "." and links resolved; for a path that does not exist yet,
  // its deepest existing folder is resolved and the rest appended.
  static QString resolved(const QString& hostPath);

  // The question's labels, as buttons and as walkthrough answers.
  static const QStringList& answerLabels();

 private:
  bool insideOwnPlaces(const QString& path, Kind kind);
  bool storedAlways(const QString& place, Kind kind) const;
  void storeAlways(const QString& place, Kind kind);
  QString question(const QString& place, Kind kind) const;

  EditorAndGame& module_;
  bool trusted_ = false;
  std::unique_ptr<QTemporaryDir> temporary_;
  struct Answered {
    Kind kind;
    QString place;
    bool allowed;
  };
  std::vector<Answered> answeredThisRun_;
};

}  // namespace storyloom
