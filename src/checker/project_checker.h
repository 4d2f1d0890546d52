#pragma once
#include <QString>
#include <QStringList>
#include <vector>

// Reads a project with the player's own readers and lists what an author should mend:
// broken frame links, missing media, scripts that do not compile, conditions naming
// unknown variables, records cut short, and files the player never reads.
namespace storyloom {

struct CheckFinding {
  enum class Kind { BrokenLink, MissingMedia, ScriptError, UnknownVariable, CutShort, Unread };
  Kind kind;
  QString file;    // relative to the project, "/" separators
  int record = 0;  // 1-based record in the file; 0 for the file as a whole
  QString message;
};

QString checkKindName(CheckFinding::Kind kind);

struct CheckReport {
  bool isProject = false;
  std::vector<CheckFinding> findings;
  // 0 clean, 1 findings, 2 not a project.
  int exitCode() const { return !isProject ? 2 : findings.empty() ? 0 : 1; }
  // One line each: "file: record N: kind: message".
  QStringList lines() const;
  QByteArray json() const;
};

CheckReport CheckProject(const QString& hostFolder);

}  // namespace storyloom
