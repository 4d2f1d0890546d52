// Every prefix of every demo file goes through the reader the player uses for it: a cut
// file must give the program's own message (or read as far as it goes), never a crash, a
// foreign exception or a hang.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPixmap>
#include <QRegularExpression>
#include <functional>

#include "game/frame_file.h"
#include "game/frame_history.h"
#include "game/frame_texts.h"
#include "dialogue/dialogue_file.h"
#include "effects/water.h"
#include "game/game.h"
#include "game/placement.h"
#include "hotspots/action_record.h"
#include "hotspots/hotspot_file.h"
#include "hotspots/record_fields.h"
#include "media/audio_channels.h"
#include "platform/ini_file.h"
#include "reliability/damaged_project.h"
#include "support/ignored_effects.h"
#include "scripting/procedures.h"
#include "shell/multi_cd.h"
#include "shell/project_settings.h"
#include "shell/scheme_file.h"
#include "shell/ui_texts.h"
#include "state/inventory.h"
#include "state/saved_games.h"
#include "state/variables.h"

namespace storyloom {
namespace {

// A reader loop that does not end within this many records is taken as a hang.
constexpr int kRecordLimit = 1000;

using test::IgnoredEffects;

// The demo in a temporary folder with a game window loaded, shared by every read.
struct Reading : test::LoadedDemo {
  EditorAndGame& module() { return *project.module; }
  QString host(const QString& relative) const { return project.root() + '/' + relative; }
  FieldReader open(const QString& relative) const { return FieldReader::fromFile(host(relative)); }
};

// Reads one file; returns false when the reader says the file could not be read.
// Readers that take a field stream or a picture read the bytes from memory; the others
// read the file, which the caller has written.
using ReadFile = std::function<bool(Reading&, const QString& relative, const QByteArray& bytes)>;

QString stem(const QString& relative) { return QFileInfo(relative).completeBaseName(); }

bool readActionRecords(Reading&, const QString& relative, const QByteArray& bytes) {
  FieldReader f(bytes);
  IgnoredEffects effects;
  for (int n = 0; !f.atEnd(); ++n) {
    if (n == kRecordLimit) ADD_FAILURE() << "no end to the records of " << relative.toStdString();
    if (n == kRecordLimit) return false;
    f.skip(10);
    ReadActionRecord(f, effects);
    SkipToSeparator(f);
  }
  return true;
}

bool readPicture(Reading&, const QString&, const QByteArray& bytes) {
  QPixmap picture;
  return picture.loadFromData(bytes);
}

// Which reader takes which file, by the file's path in the project.
struct ReaderRow {
  const char* pattern;  // matched against the whole relative path, any case
  bool readsTheFile;
  ReadFile read;
};

const std::vector<ReaderRow>& readers() {
  static const std::vector<ReaderRow> rows = {
      {R"(Config/General)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         ProjectSettings s;
         s.LoadGeneralSettings(f);
         return true;
       }},
      {R"(Config/Texts)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         UITexts t;
         return t.LoadUITexts(&f);
       }},
      {R"(Config/Variables)", true,
       [](Reading& r, const QString&, const QByteArray&) {
         ProjectVariables v;
         v.LoadVariables(r.module());
         return true;
       }},
      {R"(Config/Procedures)", true,
       [](Reading& r, const QString&, const QByteArray&) { return !LoadProcedures(r.module()).isNull(); }},
      {R"(Config/Resume)", true,
       [](Reading& r, const QString&, const QByteArray&) {
         r.game->savedGames().GetResumeLocation(QStringLiteral("Boathouse"));
         return true;
       }},
      {R"(Config/CDContents)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         readCDContents(f);
         return true;
       }},
      {R"(Config/More|.*\.ini)", true,
       [](Reading& r, const QString& p, const QByteArray&) {
         IniFile::read(r.host(p), QStringLiteral("General"), QStringLiteral("ProcEncr"));
         return true;
       }},
      {R"(Schemes/[^/]+/Scheme\.txt)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         readSchemeFile(f);
         return true;
       }},
      {R"(Frames/[^/]+\.fme)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         FrameFile().read(f);
         return true;
       }},
      {R"(Frames/[^/]+\.lks)", true,
       [](Reading& r, const QString& p, const QByteArray&) {
         ReadHotspotCount(r.module(), stem(p));
         return true;
       }},
      {R"(Frames/[^/]+\.rwe)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         WaterFile().read(f);
         return true;
       }},
      // The mask is read with the frame's water file, as the player reads it.
      {R"(Frames/[^/]+\.rwm)", true,
       [](Reading& r, const QString& p, const QByteArray&) {
         Water& water = r.game->water();
         water.LoadWaveEffectIfAny(stem(p));
         const bool shown = water.WaterActive;
         water.StopWaterEffect();
         return shown;
       }},
      {R"(Frames/[^/]+\.chn)", false,
       [](Reading& r, const QString&, const QByteArray& b) {
         FieldReader f(b);
         r.game->audio().PlaySoundChannels(f);
         r.game->audio().ResetAudioChannels();
         return true;
       }},
      {R"(FramesData/[^/]+\.dlg)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         ReadDialogueFile(f);
         return true;
       }},
      {R"(FramesData/[^/]+\.fm1)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         ReadTextRecords(f);
         return true;
       }},
      {R"(FramesData/[^/]+\.(fm2|mr2))", false,
       [](Reading&, const QString& p, const QByteArray& b) {
         HotspotFileReader reader{FieldReader(b)};
         bool clean = true;
         for (int n = 0; !reader.atEnd(); ++n) {
           if (n == kRecordLimit) ADD_FAILURE() << "no end to the hotspots of " << p.toStdString();
           if (n == kRecordLimit) return false;
           clean = reader.next().readErrors.empty() && clean;
         }
         return clean;
       }},
      {R"(FramesData/[^/]+\.(fm0|fm3|mr3))", false, readActionRecords},
      {R"(FramesData/[^/]+\.fm4)", true,
       [](Reading& r, const QString& p, const QByteArray&) {
         r.game->frame.CurrentFrameName = stem(p);
         r.game->inventory().EmptyInventory();
         for (int area = 1; area <= 4; ++area) r.game->inventory().PickOrNotPickObject(area);
         return true;
       }},
      {R"(Areas/[^/]+\.obj)", true,
       [](Reading& r, const QString& p, const QByteArray&) {
         r.game->inventory().EmptyInventory();
         r.game->inventory().AddPickedObject(stem(p), true);
         return r.game->inventory().count() == 1;
       }},
      {R"(Areas/[^/]+\.drg)", true,
       [](Reading& r, const QString& p, const QByteArray&) {
         const QStringList items = stem(p).split(QStringLiteral("_on_"));
         Inventory& inv = r.game->inventory();
         inv.EmptyInventory();
         inv.addWithoutPopup(items.value(0));
         inv.addWithoutPopup(items.value(1));
         inv.DraggedObjectIndex = 1;
         inv.Combine(2);
         return true;
       }},
      {R"([^/]+\.sav)", false,
       [](Reading&, const QString&, const QByteArray& b) {
         FieldReader f(b);
         SavedGame saved;
         readSavedGame(f, saved);
         return true;
       }},
      {R"(.*\.(ico|cur|ani))", true,
       [](Reading& r, const QString& p, const QByteArray& b) {
         const bool pointer = !LoadPointerFile(r.host(p)).isNull();
         return readPicture(r, p, b) && pointer;
       }},
      {R"(.*\.(bmp|jpg|gif))", false, readPicture},
  };
  return rows;
}

// Under the sanitizers every read is several times slower: there every 5th length is read
// (all of them for small files), so the test keeps to its time.
#if defined(__SANITIZE_ADDRESS__)
constexpr int kSanitizerStride = 5;
#else
constexpr int kSanitizerStride = 1;
#endif

// Files the player never reads itself: folder markers, and sounds, music and videos, which
// go whole to the media back end.
bool notReadByThePlayer(const QString& relative) {
  static const QRegularExpression unread(QStringLiteral(R"((\.keep|\.wav|\.mid|\.avi|\.wmv|\.mp3)$)"),
                                         QRegularExpression::CaseInsensitiveOption);
  return unread.match(relative).hasMatch();
}

const ReaderRow* readerFor(const QString& relative) {
  for (const ReaderRow& row : readers()) {
    const QRegularExpression re(QRegularExpression::anchoredPattern(QString::fromUtf8(row.pattern)),
                                QRegularExpression::CaseInsensitiveOption);
    if (re.match(relative).hasMatch()) return &row;
  }
  return nullptr;
}

enum class Outcome { Read, Refused, PlatformErrorRaised, ForeignException };

struct Result {
  Outcome outcome;
  QString error;
  qint64 milliseconds;
};

Result readOnce(Reading& r, const ReaderRow& row, const QString& relative, const QByteArray& bytes) {
  if (row.readsTheFile) r.project.writeBytes(relative, bytes);
  QElapsedTimer t;
  t.start();
  Result result{Outcome::Read, {}, 0};
  try {
    if (!row.read(r, relative, bytes)) result.outcome = Outcome::Refused;
  } catch (const PlatformError& e) {
    result = {Outcome::PlatformErrorRaised, e.text(), 0};
  } catch (const std::exception& e) {
    result = {Outcome::ForeignException, QString::fromUtf8(e.what()), 0};
  } catch (...) {
    result = {Outcome::ForeignException, QStringLiteral("unknown exception"), 0};
  }
  result.milliseconds = t.elapsed();
  return result;
}

TEST(DamagedFiles, EveryDemoFileHasAReaderOrIsKnownToBeUnread) {
  const QStringList files = test::demoFiles();
  ASSERT_GT(files.size(), 30);
  for (const QString& file : files)
    EXPECT_TRUE(notReadByThePlayer(file) || readerFor(file)) << "no reader for " << file.toStdString();
}

struct PrefixCount {
  int prefixes = 0;
  int failures = 0;
};

// Reads the whole file, then its prefixes, through its reader; the file is left whole.
void readEveryPrefix(Reading& r, const ReaderRow& row, const QString& file, const QByteArray& whole,
                     PrefixCount& count) {
  // The whole file reads cleanly: the reader in the table is the right one.
  Result full = readOnce(r, row, file, whole);
  EXPECT_EQ(full.outcome, Outcome::Read) << file.toStdString() << ": " << full.error.toStdString();
  EXPECT_TRUE(r.project.log.isEmpty()) << file.toStdString() << ": " << r.project.log.join('\n').toStdString();
  r.project.log.clear();

  const int step = whole.size() > 4096 ? 7 * kSanitizerStride : (whole.size() > 256 ? kSanitizerStride : 1);
  for (qsizetype length = 0; length < whole.size(); length += step) {
    const Result cut = readOnce(r, row, file, whole.left(length));
    ++count.prefixes;
    const std::string where = file.toStdString() + " cut to " + std::to_string(length);
    EXPECT_NE(cut.outcome, Outcome::ForeignException) << where << ": " << cut.error.toStdString();
    if (cut.outcome == Outcome::PlatformErrorRaised) {
      EXPECT_FALSE(cut.error.isEmpty()) << where;
    }
    EXPECT_LT(cut.milliseconds, 2000) << where;
    // Whatever the program showed is its own error report, with its title.
    for (const QString& line : r.project.log)
      EXPECT_TRUE(line.startsWith(QStringLiteral("msgbox critical")) ||
                  line.startsWith(QStringLiteral("msgbox exclamation")))
          << where << ": " << line.toStdString();
    if (cut.outcome != Outcome::Read || !r.project.log.isEmpty()) ++count.failures;
    r.project.log.clear();
    if (::testing::Test::HasFailure()) return;
  }
  if (row.readsTheFile) r.project.writeBytes(file, whole);
}

TEST(DamagedFiles, EveryPrefixOfEveryDemoFileGivesTheProgramsOwnMessageOrReadsAsFarAsItGoes) {
  Reading r;
  PrefixCount count;
  for (const QString& file : test::demoFiles()) {
    const ReaderRow* row = readerFor(file);
    if (!row) continue;
    readEveryPrefix(r, *row, file, test::demoBytes(file), count);
    if (HasFailure()) return;
  }
  EXPECT_GT(count.prefixes, 3000);
  // Cut files are noticed (pictures cut short often still decode, and INI files read as far
  // as they go, so not every cut is).
  EXPECT_GT(count.failures, count.prefixes / 10);
}

// Files the demo does not have: a saved game of it, made by the player, and a CD index.
TEST(DamagedFiles, EveryPrefixOfASavedGameAndACDIndexGivesTheProgramsOwnMessage) {
  Reading r;
  // A game with something of every group: variables, a hidden hotspot, items, the history.
  r.game->inventory().addWithoutPopup(QStringLiteral("Rope"));
  r.game->Disappear.Add(QStringLiteral("Boathouse"), 1);
  r.game->FramesHistory.FramesHistoryAdd(QStringLiteral("Boathouse"));
  ASSERT_TRUE(r.game->savedGames().SaveGame(QStringLiteral("Damaged")));
  QFile saved(r.host(QStringLiteral("Damaged.sav")));
  ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
  const QByteArray game = saved.readAll();
  ASSERT_GT(game.size(), 40);
  const QByteArray index("\"\",\"\",\"\",2,\"\",\"\"\r\n\"Shore.jpg\",2,1\r\n\"Rope.ico\",1,2\r\n");

  for (const auto& [file, whole] :
       {std::pair{QStringLiteral("Damaged.sav"), game}, std::pair{QStringLiteral("Config/CDContents"), index}}) {
    const ReaderRow* row = readerFor(file);
    ASSERT_TRUE(row) << file.toStdString();
    PrefixCount count;
    readEveryPrefix(r, *row, file, whole, count);
    // Most cuts fall inside a group and are noticed.
    EXPECT_GT(count.failures, count.prefixes / 2) << file.toStdString();
  }
}

}  // namespace
}  // namespace storyloom
