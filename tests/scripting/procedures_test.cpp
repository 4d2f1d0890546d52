#include "scripting/procedures.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace storyloom {
namespace {

constexpr char kKey[] = "qmhazpwylktrsvbnucxoi";

// What the editor writes: the offset character, then the text scrambled from the last
// character to the first.
QString Scramble(const QString& plain, qint32 K, QChar offsetChar = QChar('#')) {
  const qint64 offset = offsetChar.unicode() - 32;
  QString out(plain.size() + 1, QChar(' '));
  out[0] = offsetChar;
  for (qsizetype i = 0; i < plain.size(); ++i) {
    qint64 ch = plain[i].unicode();
    if (ch >= 32 && ch <= 126) {
      const qint64 shift = (i + offset) * (kKey[i % 21] - 32) + K;
      ch = ((ch - 32 + shift) % 94 + 94) % 94 + 32;
    }
    out[plain.size() - i] = QChar(static_cast<char16_t>(ch));
  }
  return out;
}

const QString kHeader = QStringLiteral("Procedures\r\nversion 2\r\n-----\r\n");

struct ProceduresProject {
  test::TempProject project;
  explicit ProceduresProject(const QString& name = QStringLiteral("TestProject")) {
    project.write("Config/General",
                  "\"" + name + "\",\"\",\"Test Game\",0,\"Start\",\"1.0\",640,480,\"A\",\"a@b.c\",\"x\"\r\n");
  }
  void scrambled(const QString& flag) { project.write("Config/More", "[General]\r\nProcEncr=" + flag + "\r\n"); }
  QString load() {
    EditorAndGame& module = project.init();
    project.log.clear();
    return LoadProcedures(module);
  }
};

TEST(Procedures, UnscramblingGivesBackWhatTheEditorScrambled) {
  const qint32 K = NameCodeSum("Castle");
  // Every printable character but the last ("~"): the arithmetic works modulo 94.
  QString plain;
  for (char16_t c = 32; c < 126; ++c) plain += QChar(c);
  for (const QChar offset : {QChar(' '), QChar('#'), QChar('~'), QChar(0xE9)})
    EXPECT_EQ(UnscrambleText(Scramble(plain, K, offset), K), plain) << int(offset.unicode());

  // Only the offset character: an empty line; nothing at all: nothing.
  EXPECT_EQ(UnscrambleText("Q", K), "");
  EXPECT_EQ(UnscrambleText("", K), "");

  // A tab is left as it is, at the mirrored place.
  const QString withTab = Scramble("ab\tcd", K);
  EXPECT_EQ(withTab[3], QChar('\t'));
  EXPECT_EQ(UnscrambleText(withTab, K), "ab\tcd");

  // The key: the Windows-1252 codes of the name, added.
  EXPECT_EQ(NameCodeSum(""), 0);
  EXPECT_EQ(NameCodeSum(QString::fromUtf8("Aé€")), 65 + 0xE9 + 0x80);
}

TEST(Procedures, PlainFilesSkipTheHeaderAndJoinTheLinesWithCrLf) {
  ProceduresProject p;
  p.project.write("Config/Procedures", kHeader + "Sub A()\r\n\tx = 1\r\n\r\nEnd Sub\r\n");
  EXPECT_EQ(p.load(), "Sub A()\r\n\tx = 1\r\n\r\nEnd Sub");
  EXPECT_TRUE(p.project.log.isEmpty());

  // Line feeds alone end lines too, and a last line without an end is kept.
  p.project.write("Config/Procedures", "h1\nh2\nh3\nSub B()\nEnd Sub");
  EXPECT_EQ(p.load(), "Sub B()\r\nEnd Sub");

  // Windows-1252 text stays what it was.
  p.project.write("Config/Procedures", kHeader + QString::fromUtf8("s = \"café €\"\r\n"));
  EXPECT_EQ(p.load(), QString::fromUtf8("s = \"café €\""));
}

TEST(Procedures, ScrambledFilesAreUnscrambledWithTheProjectNameOnlyWhenConfigMoreSaysSo) {
  const QStringList code = {"Sub A()", "\tMsgBox \"Hi\"", "End Sub"};
  const qint32 K = NameCodeSum("Castle");
  const QString file = kHeader + Scramble(code[0], K, QChar('x')) + "\r\n" + Scramble(code[1], K, QChar('!')) + "\r\n" +
                       Scramble(code[2], K) + "\r\n";
  const QString plain = code.join("\r\n");

  ProceduresProject castle("Castle");
  castle.project.write("Config/Procedures", file);
  // No ProcEncr key, or another value: the lines are used as they are.
  EXPECT_EQ(castle.load(), file.mid(kHeader.size()).chopped(2));
  castle.scrambled("0");
  EXPECT_EQ(castle.load(), file.mid(kHeader.size()).chopped(2));
  castle.scrambled("1");
  EXPECT_EQ(castle.load(), plain);
  castle.scrambled("\"1\"");
  EXPECT_EQ(castle.load(), plain);
  EXPECT_TRUE(castle.project.log.isEmpty());

  // The same letters in another order are the same key; another name is another text.
  ProceduresProject anagram("elCast");
  anagram.project.write("Config/Procedures", file);
  anagram.scrambled("1");
  EXPECT_EQ(anagram.load(), plain);

  ProceduresProject other("Castles");
  other.project.write("Config/Procedures", file);
  other.scrambled("1");
  const QString garbled = other.load();
  EXPECT_NE(garbled, plain);
  EXPECT_EQ(garbled.size(), plain.size());
}

TEST(Procedures, AFileWithoutCodeLinesIsReportedAndGivesNothing) {
  ProceduresProject p;
  // No file: nothing, and no message.
  EXPECT_EQ(p.load(), "");
  EXPECT_TRUE(p.project.log.isEmpty());

  const QString box = "msgbox critical \"Error\" \"Error loading projet procedures.\" -> OK";
  for (const QString& text : {QString(), QString("h1\r\nh2\r\n"), kHeader, QString("h1\r\nh2\r\nh3")}) {
    p.project.write("Config/Procedures", text);
    EXPECT_EQ(p.load(), "") << text.toStdString();
    EXPECT_EQ(p.project.log, QStringList{box}) << text.toStdString();
  }
}

TEST(Procedures, AProjectNameTooLongForTheKeyIsReported) {
  // A key near the 32-bit limit: its sum still fits, the first scrambled character's shift
  // does not.
  ProceduresProject p;
  p.project.write("Config/Procedures", kHeader + "~A\r\n");
  p.scrambled("1");
  EditorAndGame& module = p.project.init();
  p.project.log.clear();
  module.settings.ProjectName = QString(8421501, QChar(0xFF)) + QChar(0xF5);
  ASSERT_EQ(NameCodeSum(module.settings.ProjectName), 2147483000);
  EXPECT_EQ(LoadProcedures(module), "");
  EXPECT_EQ(p.project.log, QStringList{"msgbox critical \"Error\" \"Error loading projet procedures.\" -> OK"});
}

}  // namespace
}  // namespace storyloom
