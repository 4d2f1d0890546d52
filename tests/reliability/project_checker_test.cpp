// The project checker: the demo checks clean but for the link it keeps broken on purpose,
// and each kind of damage an author can make is found in the file and record it is in.
#include <gtest/gtest.h>

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>

#include "checker/project_checker.h"
#include "reliability/damaged_project.h"

namespace storyloom {
namespace {

QString replaced(const QString& relative, const QString& from, const QString& to) {
  QString text = QString::fromLatin1(test::demoBytes(relative));
  EXPECT_TRUE(text.contains(from)) << relative.toStdString() << " has no " << from.toStdString();
  return text.replace(from, to);
}

TEST(ProjectChecker, TheDemoHasOnlyTheBrokenLinkItKeepsOnPurpose) {
  const CheckReport report = CheckProject(QStringLiteral(STORYLOOM_DEMO_DIR));
  ASSERT_TRUE(report.isProject);
  EXPECT_EQ(report.lines(), QStringList{"FramesData/Boathouse.fm3: record 5: broken link: no frame \"Cellar\""});
  EXPECT_EQ(report.exitCode(), 1);
}

TEST(ProjectChecker, EachDamageIsFoundWithItsFileAndRecord) {
  test::TempProject p;
  test::copyDemo(p);
  // A hotspot action leading nowhere, and a script that does not compile.
  p.write("FramesData/Quay.fm3", replaced("FramesData/Quay.fm3", "\"Stairs\"", "\"Nowhere\""));
  p.write("Areas/Rope_on_Hook.drg", replaced("Areas/Rope_on_Hook.drg", "Action.Message |You tie the rope to the hook.|",
                                             "If Then GoToFrame |Ghost|"));
  // A variable a hotspot condition names is gone.
  p.write("Config/Variables", replaced("Config/Variables", "\"DoorOpen\"\r\n", ""));
  // An item's icon is missing, a record is cut short, a file belongs to no frame.
  QFile::remove(p.root() + "/Areas/Rope.ico");
  const QByteArray stairs = test::demoBytes("FramesData/Stairs.fm3");
  p.writeBytes("FramesData/Stairs.fm3", stairs.left(stairs.size() / 2));
  p.write("FramesData/Attic.fm1", "\"T\",1\r\n");

  const QStringList lines = CheckProject(p.root()).lines();
  auto has = [&lines](const QString& text) { return lines.filter(text).size() == 1; };
  const std::string all = lines.join('\n').toStdString();
  EXPECT_TRUE(has("FramesData/Quay.fm3: record 1: broken link: no frame \"Nowhere\"")) << all;
  EXPECT_TRUE(has("Areas/Rope_on_Hook.drg: record 1: script error: line 1:")) << all;
  EXPECT_TRUE(has("Areas/Rope_on_Hook.drg: record 1: broken link: no frame \"Ghost\"")) << all;
  EXPECT_TRUE(has("FramesData/Quay.fm2: record 4: unknown variable: \"DoorOpen\"")) << all;
  EXPECT_TRUE(has("Areas/Rope.obj: record 1: missing file: Areas/Rope.ico")) << all;
  EXPECT_EQ(lines.filter("FramesData/Stairs.fm3").filter("cut short").size(), 1) << all;
  EXPECT_TRUE(has("FramesData/Attic.fm1: never read: no frame \"Attic\" uses it")) << all;
}

TEST(ProjectChecker, DialoguesChannelListsAndPickUpsAreReadAsThePlayerReadsThem) {
  test::TempProject p;
  test::copyDemo(p);
  // A question names a hotspot the frame does not have, another's script does not compile.
  p.write("FramesData/Keeper.dlg",
          replaced("FramesData/Keeper.dlg", "3,#FALSE#,#FALSE#,2,0,0", "3,#FALSE#,#FALSE#,2,0,7")
              .replace("\"Note = |met the keeper|\"", "\"If Then\""));
  // Sounds of a frame's and a hotspot's channel list, and an item a hotspot gives, are gone.
  p.write("Frames/Pier.chn", replaced("Frames/Pier.chn", "Horn.wav", "Foghorn.wav"));
  p.write("FramesData/Pier.fm5", "\"s\",1,0,0,0,0,0,0,0,0\r\n\"chn\"" + QString(",0").repeated(21) +
                                     "\r\n0,#FALSE#,#TRUE#,\"Ghost.wav\",0\r\n\"----- SEPARATOR -----\"\r\n");
  p.write("FramesData/Boathouse.fm4", replaced("FramesData/Boathouse.fm4", "\"Rope\"", "\"Anchor\""));

  QStringList lines = CheckProject(p.root()).lines();
  lines.removeAll("FramesData/Boathouse.fm3: record 5: broken link: no frame \"Cellar\"");
  ASSERT_EQ(lines.size(), 5) << lines.join('\n').toStdString();
  EXPECT_EQ(lines[0], "Frames/Pier.chn: record 1: missing file: Areas/Foghorn.wav");
  EXPECT_EQ(lines[1], "FramesData/Boathouse.fm4: record 1: missing file: Areas/Anchor.obj");
  EXPECT_TRUE(lines[2].startsWith("FramesData/Keeper.dlg: record 1: script error: line 1:")) << lines[2].toStdString();
  EXPECT_EQ(lines[3], "FramesData/Keeper.dlg: record 3: broken link: no hotspot 7 in frame \"Keeper\" (it has 2)");
  EXPECT_EQ(lines[4], "FramesData/Pier.fm5: record 1: missing file: Areas/Ghost.wav");

  // The same files cut short.
  test::TempProject cut;
  test::copyDemo(cut);
  const QByteArray dialogue = test::demoBytes("FramesData/Keeper.dlg");
  cut.writeBytes("FramesData/Keeper.dlg", dialogue.left(dialogue.size() / 2));
  cut.writeBytes("Frames/Pier.chn", test::demoBytes("Frames/Pier.chn").left(60));
  const QByteArray pickUps = test::demoBytes("FramesData/Boathouse.fm4");
  cut.writeBytes("FramesData/Boathouse.fm4", pickUps.left(pickUps.indexOf("\"locker\",") + 9));
  const QStringList cutLines = CheckProject(cut.root()).lines().filter("cut short");
  const std::string all = cutLines.join('\n').toStdString();
  ASSERT_EQ(cutLines.size(), 3) << all;
  EXPECT_TRUE(cutLines[0].startsWith("Frames/Pier.chn: record 1: cut short: ")) << all;
  EXPECT_TRUE(cutLines[1].startsWith("FramesData/Boathouse.fm4: record 2: cut short: ")) << all;
  EXPECT_TRUE(cutLines[2].startsWith("FramesData/Keeper.dlg: cut short: ")) << all;
}

TEST(ProjectChecker, TheProgramSaysCleanFindingsOrNoProjectByItsExitCodeAndWritesJson) {
  test::TempProject p;
  test::copyDemo(p);
  auto run = [](const QStringList& args, QByteArray* out) {
    QProcess check;
    check.start(QStringLiteral(STORYLOOM_CHECK_PATH), args);
    EXPECT_TRUE(check.waitForFinished(60000));
    *out = check.readAllStandardOutput();
    return check.exitCode();
  };
  QByteArray out;
  EXPECT_EQ(run({p.root()}, &out), 1);
  EXPECT_TRUE(out.contains("broken link: no frame \"Cellar\""));

  EXPECT_EQ(run({p.root(), "--json"}, &out), 1);
  const QJsonObject json = QJsonDocument::fromJson(out).object();
  EXPECT_TRUE(json["project"].toBool());
  ASSERT_EQ(json["findings"].toArray().size(), 1);
  const QJsonObject finding = json["findings"].toArray()[0].toObject();
  EXPECT_EQ(finding["file"].toString(), "FramesData/Boathouse.fm3");
  EXPECT_EQ(finding["kind"].toString(), "broken link");

  p.write("FramesData/Boathouse.fm3", replaced("FramesData/Boathouse.fm3", "\"Cellar\"", "\"Shore\""));
  EXPECT_EQ(run({p.root()}, &out), 0);
  EXPECT_TRUE(out.isEmpty()) << out.toStdString();

  EXPECT_EQ(run({p.root() + "/Config"}, &out), 2);
}

}  // namespace
}  // namespace storyloom
