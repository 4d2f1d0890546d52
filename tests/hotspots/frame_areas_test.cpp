#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QCoreApplication>
#include <QGraphicsVideoItem>
#include <QImage>
#include <QMouseEvent>
#include <QPainter>
#include <QRegularExpression>
#include <QTest>
#include <random>

#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"
#include "media/animated_pictures.h"
#include "platform/media_player.h"
#include "shell/editor_and_game.h"
#include "support/test_support.h"

namespace storyloom {
namespace {

using test::ActionLines;
using test::HotspotSpec;

struct GameAreas : ::testing::Test {
  test::TempProject project;
  std::unique_ptr<Game> game;

  void SetUp() override {
    project.writeGeneral("Room");
    project.write("Config/Variables", "\"v\",\"Lamp\",\"Door\",\"***\",\"Note\"\r\n");
    for (const char* f : {"Room", "Hall"})
      project.write(QStringLiteral("Frames/%1.fme").arg(f),
                    "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
  }
  Game& start() {
    project.init();
    game = std::make_unique<Game>(*project.module);
    game->Form_Load();
    game->ResetAll();
    game->vars.LoadVariables(*project.module);
    project.log.clear();
    return *game;
  }
  void spots(const std::vector<HotspotSpec>& specs, const QString& frame = "Room", const char* ext = "fm2") {
    QString text;
    for (const auto& s : specs) text += s.text();
    project.write(QStringLiteral("FramesData/%1.%2").arg(frame, ext), text);
  }
  void actions(const std::vector<ActionLines>& specs, const QString& frame = "Room") {
    QString text;
    for (const auto& s : specs) text += s.text();
    project.write("FramesData/" + frame + ".fm3", text);
  }
  void open(const QString& frame = "Room") { game->OpenFrame(frame, false, 0, 0); }
  void picture(const QString& name, QColor colour, QSize size = {8, 8}) {
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    project.writeBytes("Areas/" + name, bytes);
  }
  FrameAreas& areas() { return game->areas(); }
  QImage render() {
    QImage image(game->scene().sceneRect().size().toSize(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter p(&image);
    game->scene().render(&p, QRectF(), game->scene().sceneRect());
    return image;
  }
  void clickPicture(QPointF scenePoint, Qt::MouseButton button = Qt::LeftButton) {
    QWidget* viewport = game->PictureBox->viewport();
    const QPointF at(game->PictureBox->mapFromScene(scenePoint));
    QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), button, button, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), button, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
  }
  static ActionLines setting(const QString& variable, bool hide = false, const QString& target = {}) {
    ActionLines s;
    s.A = QStringLiteral(R"(1,"%1",0,1,0,0,"",0,"",%2,0,%3,"%4")")
              .arg(variable)
              .arg(hide ? 1 : 0)
              .arg(target.isEmpty() ? 0 : 1)
              .arg(target);
    return s;
  }
};

TEST_F(GameAreas, GeometryPicturesAndPointers) {
  picture("red.png", Qt::red, {8, 6});
  HotspotSpec inset;  // 10,10 40x30 pixels drawn: 12,12 36x26 pixels live
  HotspotSpec narrow;
  narrow.w = 3;  // 45 twips: the width would be negative
  narrow.h = 4;
  HotspotSpec own;
  own.x = 100, own.y = 100, own.w = 50, own.h = 50;
  own.showPicture = true;
  own.picture = "RED.PNG";  // names match in any case
  HotspotSpec stretched = own;
  stretched.x = 200;
  stretched.stretch = 1;
  stretched.cursor = "DEFAULT";
  spots({inset, narrow, own, stretched});
  start();
  open();
  ASSERT_EQ(areas().AreaCount(), 4);
  EXPECT_TRUE(project.log.isEmpty()) << "LOG:" << project.log.join('\n').toStdString();
  const HotspotItem* a = areas().Area(1);
  EXPECT_EQ(a->Left(), 180);
  EXPECT_EQ(a->Top(), 180);
  EXPECT_EQ(a->Width(), 540);
  EXPECT_EQ(a->Height(), 390);
  EXPECT_EQ(areas().Area(2)->Width(), 1);
  EXPECT_EQ(areas().Area(2)->Height(), 1);
  EXPECT_EQ(areas().Area(3)->Width(), 8 * 15) << "an unstretched picture gives its own size";
  EXPECT_EQ(areas().Area(4)->Width(), 690);
  EXPECT_TRUE(areas().Area(4)->usesDefaultPointer());
  EXPECT_FALSE(areas().Area(5));
  EXPECT_FALSE(areas().Area(0));

  const QImage shown = render();
  EXPECT_EQ(shown.pixelColor(103, 103), QColor(Qt::red));
  EXPECT_EQ(shown.pixelColor(113, 103), QColor(Qt::black)) << "drawn at its own size";
  EXPECT_EQ(shown.pixelColor(240, 140), QColor(Qt::red)) << "stretched over the hotspot";
  for (int i = 1; i <= 4; ++i) EXPECT_TRUE(areas().Area(i)->isVisible());
}

TEST_F(GameAreas, MergedFileIndexAndMissingFiles) {
  HotspotSpec one;
  HotspotSpec two;
  two.ownIndex = 2;
  HotspotSpec three;
  three.ownIndex = 3;
  spots({one, two, three}, "Room", "fm2");
  spots({one, two, three, one, two, one}, "Room", "mr2");
  start();
  open();
  EXPECT_EQ(areas().AreaCount(), 6) << "the merged file is read instead";
  EXPECT_EQ(game->MergedHotspotIndex, 4);

  spots({one, two}, "Hall", "fm2");
  open("Hall");
  EXPECT_EQ(areas().AreaCount(), 2);
  EXPECT_EQ(game->MergedHotspotIndex, 1);

  project.write("Frames/Empty.fme", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
  open("Empty");
  EXPECT_EQ(areas().AreaCount(), 0);
  EXPECT_TRUE(project.log.isEmpty());
}

TEST_F(GameAreas, MarkersByIndexSurviveAReopenAndAResetEndsThem) {
  HotspotSpec spot;
  HotspotSpec lampLit;  // hidden once Lamp is set
  lampLit.conditions = 1;
  lampLit.hideIfAny = {"Lamp"};
  spots({spot, spot, spot, lampLit});
  actions({setting("Lamp"), ActionLines(), setting("Door", true, "Hall")});
  spots({spot}, "Hall");
  start();
  open();
  EXPECT_TRUE(areas().Area(4)->isVisible());
  areas().MakeActionAndConsequences(1);
  EXPECT_FALSE(areas().Area(4)->isVisible()) << "visibility is decided again after an action";
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);

  areas().MakeActionAndConsequences(3);
  EXPECT_EQ(game->frame.CurrentFrameName, "Hall");
  ASSERT_EQ(game->Disappear.Count(), 1);
  EXPECT_EQ(game->Disappear.Item(1)->Name, "Room");

  // Back in the room, whose file now has another third record: hotspot 3 stays hidden.
  HotspotSpec other;
  other.x = 300;
  spots({spot, spot, other, lampLit});
  open();
  EXPECT_FALSE(areas().Area(3)->isVisible());
  EXPECT_TRUE(areas().Area(1)->isVisible());
  EXPECT_FALSE(areas().Area(4)->isVisible());

  game->ResetAll();
  EXPECT_EQ(game->Disappear.Count(), 0);
  EXPECT_EQ(game->vars.Variables.Count(), 0);
  game->vars.LoadVariables(*project.module);
  open();
  EXPECT_TRUE(areas().Area(3)->isVisible());
  EXPECT_TRUE(areas().Area(4)->isVisible());
}

TEST_F(GameAreas, ClicksThroughThePicture) {
  HotspotSpec door;  // 12..48 x 12..38 pixels
  HotspotSpec hidden;
  hidden.x = 100;
  hidden.conditions = 1;
  hidden.hideUnlessAll = {"Door"};
  spots({door, hidden});
  actions({setting("Door"), setting("Lamp")});
  start();
  game->show();
  open();
  ASSERT_FALSE(areas().Area(2)->isVisible());
  clickPicture({130, 25});  // over the hidden one: nothing happens
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 0);
  clickPicture({30, 25}, Qt::RightButton);
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 0) << "a right click only shows the menus";
  clickPicture({30, 25});
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 1);
  EXPECT_EQ(game->LastClickPosition, QPoint(30, 25));
  EXPECT_TRUE(areas().Area(2)->isVisible());
  clickPicture({130, 25});
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
}

TEST_F(GameAreas, DamagedRecordsAreReportedAndLoadingGoesOn) {
  picture("ok.png", Qt::green);
  project.writeBytes("Areas/broken.png", "not a picture at all");
  HotspotSpec good;
  QString bad = HotspotSpec().text();
  bad.replace("150,150,600", "150,\"tall\",600");
  HotspotSpec brokenPicture;
  brokenPicture.showPicture = true;
  brokenPicture.picture = "broken.png";
  HotspotSpec missingPicture;
  missingPicture.showPicture = true;
  missingPicture.picture = "gone.png";
  HotspotSpec last;
  last.x = 300;
  project.write("FramesData/Room.fm2",
                good.text() + bad + brokenPicture.text() + missingPicture.text() + last.text() + "\"cut\",1,0,0");
  start();
  open();
  ASSERT_EQ(areas().AreaCount(), 6);
  EXPECT_EQ(areas().Area(5)->Left(), 300 * 15 + 30);
  // In the order the player meets them: each damaged hotspot once, the missing picture by
  // its own warning only, the cut record, then the visibility that stops at the cut.
  QStringList seen;
  for (const QString& line : project.log) {
    const int unable = line.indexOf(" Unable");
    seen << (unable >= 0 ? line.mid(unable).chopped(7) : line.contains("gone.png") ? "missing gone.png" : line);
  }
  EXPECT_EQ(seen,
            (QStringList{" Unable to load hotspot #2. Type mismatch", " Unable to load hotspot #3. Invalid picture",
                         "missing gone.png", " Unable to load hotspot #6. Input past end of file",
                         " Unable to set hotspots visibility. Input past end of file"}))
      << project.log.join('\n').toStdString();
  EXPECT_TRUE(areas().Area(5)->isVisible()) << "the records before the damage are decided";
}

TEST_F(GameAreas, EachFailingStepOfAHotspotIsReportedAndOnlyUsedFieldsCount) {
  picture("ok.png", Qt::green);
  // A plain hotspot with junk where a GIF speed and video fields stand: they are not used.
  QString unused = HotspotSpec().text();
  unused.replace("\r\n5\r\n", "\r\n\"fast\"\r\n");
  unused.replace("#FALSE#,\"\",1,10,0,0,0,1,0,0", "#FALSE#,\"\",\"big\",\"loud\",0,0,\"x\",\"y\",0,0");
  // Three failing steps of one hotspot, each reported; the picture after them still loads.
  HotspotSpec threeBad;
  threeBad.showPicture = true;
  threeBad.picture = "ok.png";
  threeBad.stretch = 1;
  QString three = threeBad.text();
  three.replace("150,150,600,450,0,#TRUE#,\"ok.png\",1", "\"left\",150,\"wide\",450,0,#TRUE#,\"ok.png\",\"yes\"");
  // An animated picture takes its speed as a number.
  HotspotSpec gif;
  gif.animated = 1;
  gif.showPicture = true;
  gif.picture = "ok.png";
  QString badGif = gif.text();
  badGif.replace("\r\n5\r\n", "\r\n\"fast\"\r\n");
  project.write("FramesData/Room.fm2", unused + three + badGif);
  start();
  open();
  ASSERT_EQ(areas().AreaCount(), 3);
  QStringList reports;
  for (const QString& line : project.log) reports << line.mid(line.indexOf(" Unable"));
  EXPECT_EQ(reports, (QStringList{" Unable to load hotspot #2. Type mismatch\" -> OK",
                                  " Unable to load hotspot #2. Type mismatch\" -> OK",
                                  " Unable to load hotspot #2. Type mismatch\" -> OK",
                                  " Unable to load hotspot #3. Type mismatch\" -> OK"}))
      << project.log.join('\n').toStdString();
  EXPECT_TRUE(areas().Area(1)->isVisible());
  EXPECT_EQ(areas().Area(2)->Top(), 180) << "the step after the failing one was done";
  EXPECT_FALSE(areas().Area(2)->Picture().isNull()) << "the picture step still ran";
}

TEST_F(GameAreas, MutatedFilesNeverBringTheGameDown) {
  HotspotSpec a;
  a.conditions = 1;
  a.hideIfAny = {"Lamp", "Door"};
  a.hideUnlessAll = {"Door"};
  HotspotSpec b;
  b.withVideo = false;
  HotspotSpec c;
  c.withGifSpeed = false;
  const QString spotsText = a.text() + b.text() + c.text() + a.text();
  ActionLines full;
  full.F = R"(0,0,0,1,1,"Lamp",1,"Door",1,"Lamp")";
  full.K = R"(0,5,2,1,#TRUE#,#FALSE#,8,"a.wav",2,#FALSE#,#TRUE#,4,"b.wav")";
  const QString actionsText = setting("Lamp", true).text() + full.text() + setting("Door").text();
  start();
  std::mt19937 random(20261206);
  const QString alphabet = QStringLiteral("\",\r\n#0123456789-.E|aZ ");
  auto mutate = [&](QString text) {
    const int edits = 1 + static_cast<int>(random() % 6);
    for (int k = 0; k < edits && !text.isEmpty(); ++k) {
      const int at = static_cast<int>(random() % static_cast<unsigned>(text.size()));
      switch (random() % 4) {
        case 0: text.remove(at, 1 + static_cast<int>(random() % 12)); break;
        case 1: text.insert(at, alphabet[static_cast<int>(random() % alphabet.size())]); break;
        case 2: text[at] = alphabet[static_cast<int>(random() % alphabet.size())]; break;
        default: text.insert(at, text.mid(at, static_cast<int>(random() % 40))); break;
      }
    }
    return text;
  };
  // What a player may see of a damaged file: the standard report of the hotspot, its
  // action, its script, the visibility or the pick-up, or the warning of a missing file; nothing else.
  const QRegularExpression allowed(
      QStringLiteral("^msgbox critical \"Error\" \".*( Unable to load hotspot #\\d+\\. | Unable to make the "
                     "action associated with the hotspot #\\d+\\. | Unable to set hotspots visibility\\. | Unable to "
                     "pick up the item named | A "
                     "program link is broken|Error executing script\\. )|^msgbox exclamation \"Error\" \"The following "
                     "file is missing:"),
      QRegularExpression::DotMatchesEverythingOption);
  for (int round = 0; round < 150; ++round) {
    project.log.clear();
    project.write("FramesData/Room.fm2", mutate(spotsText));
    project.write("FramesData/Room.fm3", mutate(actionsText));
    open();
    const int count = std::min(areas().AreaCount(), 5);
    for (int i = 1; i <= count; ++i) {
      areas().MakeAction(i);
      if (game->frame.CurrentFrameName != "Room") open();
    }
    areas().ShowOrNotShowAreas();
    for (const QString& line : project.log)
      ASSERT_TRUE(allowed.match(line).hasMatch()) << "round " << round << ": " << line.toStdString();
  }
  // The game goes on: with sound files again, the first hotspot does its action.
  project.write("FramesData/Room.fm2", spotsText);
  project.write("FramesData/Room.fm3", actionsText);
  game->vars.LoadVariables(*project.module);
  open();
  areas().MakeAction(1);
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
}

TEST_F(GameAreas, ADoubleClickIsOneClick) {
  HotspotSpec toggle;
  spots({toggle});
  ActionLines invert;
  invert.A = R"(1,"Lamp",0,0,1,0,"",0,"",0,0,0,"")";
  actions({invert});
  // The door opens Hall, whose hotspot at the same place counts clicks on Door.
  HotspotSpec door;
  door.x = 100;
  HotspotSpec behind;
  behind.x = 100;
  ActionLines toHall;
  toHall.A = R"(0,"",0,0,0,0,"",0,"",0,0,1,"Hall")";
  spots({toggle, door});
  actions({invert, toHall});
  spots({behind}, "Hall");
  ActionLines count;
  count.A = R"(1,"Door",0,0,1,0,"",0,"",0,0,0,"")";
  actions({count}, "Hall");
  start();
  game->show();
  open();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(game.get()));
  QWidget* viewport = game->PictureBox->viewport();
  const auto at = [&](QPointF scene) { return viewport->mapTo(game.get(), game->PictureBox->mapFromScene(scene)); };
  QTest::mouseDClick(game->windowHandle(), Qt::LeftButton, {}, at({30, 25}));
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1) << "a toggle does not undo itself";
  QTest::mouseDClick(game->windowHandle(), Qt::LeftButton, {}, at({120, 25}));
  EXPECT_EQ(game->frame.CurrentFrameName, "Hall");
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 0) << "the second press does not reach the next frame";
}

TEST_F(GameAreas, TheLaterOfOverlappingHotspotsTakesTheClick) {
  HotspotSpec under;  // 10,10 40x30
  HotspotSpec over;
  over.x = 30;  // overlaps the right half of the first
  spots({under, over});
  actions({setting("Lamp"), setting("Door")});
  start();
  game->show();
  open();
  clickPicture({40, 25});
  EXPECT_EQ(game->vars.GetVariableValue("Door"), 1);
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 0);
  clickPicture({20, 25});
  EXPECT_EQ(game->vars.GetVariableValue("Lamp"), 1);
}

TEST_F(GameAreas, LoopingVideoAndAnimatedPictureHotspots) {
  HotspotSpec video;
  video.hasVideo = true;
  video.video = "sea.avi";
  video.conditions = 1;
  video.hideIfAny = {"Lamp"};
  HotspotSpec gif;
  gif.x = 100, gif.y = 50;
  gif.animated = 1;
  gif.showPicture = true;
  gif.picture = "gull.gif";
  picture("gull.gif", Qt::white);
  project.writeBytes("Frames/sea.avi", QByteArray(64, '\0'));
  spots({video, gif});
  actions({setting("Lamp")});
  start();
  open();
  HotspotItem* v = areas().Area(1);
  EXPECT_EQ(v->HotspotMarker, -1);
  MediaPlayer* player = areas().VideoPlayer(1);
  ASSERT_TRUE(player);
  EXPECT_EQ(player->volume(), 0);
  EXPECT_EQ(player->rate(), 1.0);
  EXPECT_TRUE(player->fileName().endsWith("sea.avi"));
  const auto videoItems = game->scene().items();
  const QGraphicsVideoItem* videoItem = nullptr;
  for (QGraphicsItem* item : videoItems)
    if (auto* vi = dynamic_cast<QGraphicsVideoItem*>(item)) videoItem = vi;
  ASSERT_TRUE(videoItem);
  EXPECT_TRUE(videoItem->isVisible());
  EXPECT_LT(videoItem->zValue(), v->zValue()) << "the hotspot lies over its video";

  // The animated picture is element 2 of AniGifBox, at the hotspot's place, running.
  HotspotItem* g = areas().Area(2);
  EXPECT_EQ(g->HotspotMarker, 2);
  EXPECT_EQ(g->Left(), 0);
  EXPECT_EQ(g->Width(), 15);
  const AniGifBox* box = game->animatedPictures().Box(2);
  ASSERT_TRUE(box);
  EXPECT_TRUE(box->isVisible());
  EXPECT_EQ(box->pos(), QPointF(102, 52));
  EXPECT_EQ(box->speed(), 5);

  areas().MakeAction(1);
  EXPECT_FALSE(v->isVisible());
  EXPECT_FALSE(videoItem->isVisible());
  open("Hall");
  EXPECT_EQ(areas().VideoPlayer(1), nullptr);
}

TEST_F(GameAreas, VariablesStatusFromTheDebugMenu) {
  start();
  game->vars.ChangeVariableValue("Door", 1);
  game->mnuViewVariables->trigger();
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log[0].contains("\"Variables Status\""));
  EXPECT_TRUE(project.log[0].contains("Door = 1\\nLamp = 0") || project.log[0].contains("Lamp = 0\\nDoor = 1"));
}

}  // namespace
}  // namespace storyloom
