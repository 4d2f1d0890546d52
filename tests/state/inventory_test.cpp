#include "state/inventory.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QFile>
#include <QImage>
#include <QMouseEvent>
#include <QTest>

#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"
#include "media/animated_pictures.h"
#include "shell/editor_and_game.h"
#include "support/test_support.h"
#include "game/game_fixture.h"

namespace storyloom {
namespace {

using test::ActionLines;
using test::HotspotSpec;

struct InventoryTest : ::testing::Test {
  test::TempProject project;
  std::unique_ptr<Game> game;

  void SetUp() override {
    project.writeGeneral("Room");
    project.write("Frames/Room.fme", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    for (const char* name : {"Key", "Rope", "Hook", "Gem", "Grapnel"}) item(name);
  }
  // An item file and its icon (a real icon file) in the Areas folder.
  void item(const QString& name) {
    project.write("Areas/" + name + ".obj", "\"" + name + ".ico\"\r\n");
    QImage icon(32, 32, QImage::Format_ARGB32);
    icon.fill(QColor::fromHsv(static_cast<int>(qHash(name) % 360), 200, 200));
    ASSERT_TRUE(icon.save(project.root() + "/Areas/" + name + ".ico", "ICO"));
  }
  ProjectSettings& settings() { return project.module->settings; }
  Game& start(const std::function<void(ProjectSettings&)>& adjust = {}) {
    project.init();
    settings().ScreenWidth = 640;
    settings().ScreenHeight = 480;
    settings().InventoryEnabled = true;
    settings().InventorySpacingX = 8;
    settings().InventorySpacingY = 8;
    settings().PopUpInventoryOnPickUp = false;
    settings().HideInventoryButtonWhenEmpty = true;
    if (adjust) adjust(settings());
    game = std::make_unique<Game>(*project.module);
    game->Form_Load();
    game->ResetAll();
    project.log.clear();
    return *game;
  }
  Inventory& inv() { return game->inventory(); }
  QStringList items() { return inv().itemNames(); }
  QPointF slotPos(int i) { return inv().PickedObject(i)->pos(); }
};

TEST_F(InventoryTest, GridOfSixteenPerRowAndTheBarGrowsByARow) {
  start();
  // 640 pixels with gaps of 8: cells of 600 twips, 16 to a row.
  EXPECT_EQ(inv().BarHeightNow(), 8 * 2 * 15 + 480);
  EXPECT_EQ(inv().BarTop(), -(8 * 2 * 15 + 480));
  EXPECT_FALSE(inv().Inventory2().isVisible());
  for (int k = 1; k <= 16; ++k) inv().AddPickedObject("Key", true);
  EXPECT_EQ(slotPos(1), QPointF(8, 8));
  EXPECT_EQ(slotPos(16), QPointF((600 * 15 + 120) / 15.0, 8));
  EXPECT_EQ(inv().BarHeightNow(), 600 + 120);
  inv().AddPickedObject("Rope", true);
  EXPECT_EQ(slotPos(17), QPointF(8, (600 + 120) / 15.0));
  EXPECT_EQ(inv().BarHeightNow(), 600 * 2 + 120);
  EXPECT_EQ(inv().count(), 17);
  EXPECT_TRUE(inv().Inventory2().isVisible());
  EXPECT_EQ(inv().PickedObjectTag(17), "Rope");
  EXPECT_EQ(inv().PickedObject(17)->toolTip(), "Rope");
  EXPECT_EQ(inv().PickedObject(18), nullptr);
}

TEST_F(InventoryTest, RemovalShiftsTheContentsAndTheSlotsStay) {
  start();
  for (const char* n : {"Key", "Rope", "Key", "Hook"}) inv().AddPickedObject(n, true);
  const QPointF second = slotPos(2);
  const QImage hookIcon = inv().PickedObject(4)->Picture().toImage();
  inv().RemovePickedObject(1);
  EXPECT_EQ(items(), (QStringList{"Rope", "Key", "Hook"}));
  EXPECT_EQ(slotPos(2), second);
  EXPECT_EQ(inv().PickedObject(3)->Picture().toImage(), hookIcon);
  EXPECT_EQ(inv().PickedObject(3)->toolTip(), "Hook");
  EXPECT_EQ(inv().PickedObject(4), nullptr);

  inv().RemovePickedObject(9);
  EXPECT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log.value(0).contains(" Unable to remove the item from the inventory."));
  EXPECT_EQ(items().size(), 3);

  // The last item leaves: the bar keeps its height, the button goes.
  const int height = inv().BarHeightNow();
  for (int i = 0; i < 3; ++i) inv().RemovePickedObject(1);
  EXPECT_EQ(inv().count(), 0);
  EXPECT_EQ(inv().BarHeightNow(), height);
  EXPECT_FALSE(inv().Inventory2().isVisible());
}

TEST_F(InventoryTest, MissingItemOrIconIsReportedAndChangesNothing) {
  start();
  inv().AddPickedObject("Nothing", true);
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(
      project.log[0].contains("Unable to pick up the item named 'Nothing'. The item may be unavailable, or "
                              "the icon '' associated to the item may be corrupt."))
      << project.log[0].toStdString();
  project.write("Areas/Lost.obj", "\"Lost.ico\"\r\n");
  project.write("Areas/Bad.obj", "Bad.ico\r\n");
  project.write("Areas/Bad.ico", "not an icon");
  project.log.clear();
  inv().AddPickedObject("Lost", true);
  ASSERT_EQ(project.log.size(), 2);
  EXPECT_TRUE(project.log[0].startsWith("msgbox exclamation")) << "the missing file comes first";
  EXPECT_TRUE(project.log[1].contains("the icon 'Lost.ico' associated to the item may be corrupt."));
  project.log.clear();
  inv().AddPickedObject("Bad", true);
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log[0].contains("the icon 'Bad.ico' associated"));
  EXPECT_EQ(inv().count(), 0);
  inv().AddPickedObject("Key", true);
  EXPECT_EQ(items(), QStringList{"Key"});
}

TEST_F(InventoryTest, CombinationsShiftTheTargetAndRunTheirCode) {
  start();
  project.write("Areas/Key_on_Rope.drg", "1,1,1,\"Grapnel\",0,0,0,#TRUE#,\"Action.AddItem |Gem|, True\"\r\n");
  project.write("Areas/Hook_on_Key.drg", "0,1,0,\"\"\r\n");
  for (const char* n : {"Key", "Hook", "Rope"}) inv().AddPickedObject(n, true);
  // Key (1) on Rope (3): Key leaves, so Rope is at 2 when it leaves in turn.
  inv().DraggedObjectIndex = 1;
  inv().Combine(3);
  EXPECT_EQ(items(), (QStringList{"Hook", "Grapnel", "Gem"}));
  EXPECT_TRUE(project.log.isEmpty()) << project.log.join('\n').toStdString();

  // Only the file of the other order exists, or the item is dropped on itself: nothing.
  inv().AddPickedObject("Key", true);
  inv().DraggedObjectIndex = 4;
  inv().Combine(1);
  inv().Combine(4);
  EXPECT_EQ(items().size(), 4);
  // Four fields and no code: the target leaves.
  inv().DraggedObjectIndex = 1;
  inv().Combine(4);
  EXPECT_EQ(items(), (QStringList{"Hook", "Grapnel", "Gem"}));

  project.write("Areas/Hook_on_Gem.drg", "1,\"no number\r\n");
  inv().Combine(3);
  ASSERT_FALSE(project.log.isEmpty());
  EXPECT_TRUE(project.log.last().contains(" Unable to combine items."));
}

TEST_F(InventoryTest, APickUpOpensTheBarForAWhile) {
  start([](ProjectSettings& s) { s.PopUpInventoryOnPickUp = true; });
  inv().TimerInventory.setInterval(50);
  inv().AddPickedObject("Key", false);
  EXPECT_EQ(inv().BarTop(), 0) << "the bar is open when the pick-up returns";
  EXPECT_TRUE(inv().TimerInventory.isActive());
  // The pointer over the frame cannot push a pop-up closed.
  inv().PointerOverFrame();
  EXPECT_EQ(inv().BarTop(), 0);
  test::runEventsFor(800);
  EXPECT_FALSE(inv().InventoryPopUp);
  EXPECT_EQ(inv().BarTop(), -inv().BarHeightNow());
  // Without the pop-up flag, or with DoNotPopup, the bar stays where it is.
  inv().AddPickedObject("Rope", true);
  EXPECT_EQ(inv().BarTop(), -inv().BarHeightNow());
  EXPECT_FALSE(inv().TimerInventory.isActive());
}

TEST_F(InventoryTest, WithoutSlidingUpAPopUpStaysOpenUntilThePointerLeaves) {
  start([](ProjectSettings& s) {
    s.PopUpInventoryOnPickUp = true;
    s.InventorySlideUp = false;
    s.InventorySlideDown = false;
  });
  inv().TimerInventory.setInterval(50);
  inv().AddPickedObject("Key", false);
  EXPECT_EQ(inv().BarTop(), 0);
  test::runEventsFor(300);
  EXPECT_FALSE(inv().InventoryPopUp);
  EXPECT_EQ(inv().BarTop(), 0);
  inv().PointerOverFrame();  // jumps
  EXPECT_EQ(inv().BarTop(), -inv().BarHeightNow());
}

TEST_F(InventoryTest, DisabledInventoryShowsTheIconsOnTheFrame) {
  start([](ProjectSettings& s) { s.InventoryEnabled = false; });
  inv().AddPickedObject("Key", true);
  inv().AddPickedObject("Rope", true);
  EXPECT_FALSE(inv().Inventory1().isVisible());
  EXPECT_FALSE(inv().Inventory2().isVisible());
  EXPECT_TRUE(inv().PickedObject(2)->isVisible());
  EXPECT_EQ(inv().PickedObject(2)->scenePos(), QPointF(8 + 40, 8));
  inv().PointerOverInventory();
  EXPECT_FALSE(inv().InventoryMoving);
  inv().RemovePickedObject(1);
  EXPECT_EQ(items(), QStringList{"Rope"});
}

TEST_F(InventoryTest, BackgroundPictureSitsOnTheBarsBottomEdge) {
  QImage back(640, 20, QImage::Format_RGB32);
  back.fill(Qt::darkBlue);
  project.write("Inventory/.keep", "");
  ASSERT_TRUE(back.save(project.root() + "/Inventory/Back.png"));
  start([](ProjectSettings& s) {
    s.UseInventoryGraphics = true;
    s.InventoryBackgroundPicture = "Back.png";
    s.InventoryButtonPicture = "Missing.png";
  });
  ASSERT_TRUE(inv().Inventory_Background().isVisible());
  EXPECT_EQ(inv().Inventory_Background().pos().y(), (8 * 2 * 15 + 480) / 15.0 - 20);
  for (int k = 0; k < 17; ++k) inv().AddPickedObject("Key", true);
  EXPECT_EQ(inv().Inventory_Background().pos().y(), (600 * 2 + 120) / 15.0 - 20);
  EXPECT_EQ(inv().Inventory2().Picture().size(), QSize(32, 32)) << "the built-in button stays";
}

struct InventoryOnTheScene : InventoryTest {
  void SetUp() override {
    InventoryTest::SetUp();
    HotspotSpec door;
    door.x = 200, door.y = 200, door.w = 80, door.h = 80;
    project.write("FramesData/Room.fm2", door.text());
    ActionLines hideDoor;
    hideDoor.A = R"(0,"",0,0,0,0,"",0,"",1,0,0,"")";
    project.write("FramesData/Room.fm3", hideDoor.text());
    ActionLines keyOnDoor;
    keyOnDoor.header = R"("i","1_Key.drg",0,0,0,0,0,0,0,0)";
    keyOnDoor.A = R"(0,"",0,0,0,0,"",0,"",1,0,0,"")";  // hides: the item used leaves
    project.write("FramesData/Room.fm0", keyOnDoor.text());
  }
  QPoint onView(QPointF scenePos) { return game->PictureBox->mapFromScene(scenePos); }
  void mouse(QEvent::Type type, QPointF scenePos, Qt::MouseButtons buttons) {
    QWidget* vp = game->PictureBox->viewport();
    const QPoint at = onView(scenePos);
    QMouseEvent e(type, QPointF(at), QPointF(vp->mapToGlobal(at)), Qt::LeftButton, buttons, Qt::NoModifier);
    QApplication::sendEvent(vp, &e);
  }
  void drag(QPointF from, QPointF to) {
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
  }
  QPointF centreOf(int slot) { return inv().PickedObject(slot)->sceneBoundingRect().center(); }
};

TEST_F(InventoryOnTheScene, DraggingAnItemOntoAHotspotRunsItsItemRecord) {
  start([](ProjectSettings& s) { s.InventorySlideDown = false; });
  game->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(game.get()));
  game->OpenFrame("Room", false, 0, 0);
  inv().AddPickedObject("Rope", true);
  inv().AddPickedObject("Key", true);
  inv().DraggedObjectIndex = 1;
  inv().PointerOverInventory();
  EXPECT_EQ(inv().BarTop(), 0);

  // Dropped elsewhere on the picture or on the bar: nothing.
  mouse(QEvent::MouseButtonPress, centreOf(2), Qt::LeftButton);
  ASSERT_NE(QGuiApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QGuiApplication::overrideCursor()->pixmap().toImage(), inv().PickedObject(2)->Picture().toImage())
      << "the dragged item's icon is the pointer";
  mouse(QEvent::MouseButtonRelease, centreOf(2), Qt::NoButton);
  EXPECT_EQ(QGuiApplication::overrideCursor(), nullptr);
  drag(centreOf(2), QPointF(400, 400));
  drag(centreOf(2), centreOf(2) + QPointF(0, 20));
  EXPECT_EQ(items(), (QStringList{"Rope", "Key"}));
  EXPECT_FALSE(inv().dragging());
  // The rope has no record for the door; the key's record hides it: it leaves.
  drag(centreOf(1), QPointF(240, 240));
  EXPECT_EQ(items(), (QStringList{"Rope", "Key"}));
  drag(centreOf(2), QPointF(240, 240));
  EXPECT_EQ(items(), QStringList{"Rope"});
  EXPECT_EQ(game->LastClickPosition, QPoint(240, 240));
  EXPECT_EQ(game->Disappear.Count(), 0) << "the door itself stays";
  EXPECT_TRUE(project.log.isEmpty()) << project.log.join('\n').toStdString();
}

TEST_F(InventoryOnTheScene, AnItemDroppedOnAnAnimatedPictureIsUsedOnItsHotspot) {
  QFile gif(QStringLiteral(STORYLOOM_TEST_DATA "/animated/two_colours.gif"));
  ASSERT_TRUE(gif.open(QIODevice::ReadOnly));
  project.writeBytes("Areas/Door.gif", gif.readAll());
  HotspotSpec door;
  door.x = 200, door.y = 200;
  door.animated = 1;
  door.showPicture = true;
  door.picture = "Door.gif";
  project.write("FramesData/Room.fm2", door.text());
  start([](ProjectSettings& s) { s.InventorySlideDown = false; });
  game->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(game.get()));
  game->OpenFrame("Room", false, 0, 0);
  const AniGifBox* box = game->animatedPictures().Box(1);
  ASSERT_NE(box, nullptr);
  inv().AddPickedObject("Key", true);
  inv().PointerOverInventory();
  const QPointF onTheBox = box->sceneBoundingRect().center();
  drag(centreOf(1), onTheBox);
  EXPECT_EQ(items(), QStringList{}) << "the key's record for the door ran";
  EXPECT_EQ(game->LastClickPosition, onTheBox.toPoint());
  EXPECT_TRUE(project.log.isEmpty()) << project.log.join('\n').toStdString();
}

TEST_F(InventoryOnTheScene, TheBarSlidesByTheClockAndHotspotClicksWaitForIt) {
  start();
  game->OpenFrame("Room", false, 0, 0);
  int clicks = 0;
  HotspotItem* door = game->areas().Area(1);
  ASSERT_NE(door, nullptr);
  // A click on the door while the bar moves is ignored; the bar keeps going.
  QTimer::singleShot(30, [&] {
    EXPECT_TRUE(inv().InventoryMoving);
    game->areas().actions().AreaClick(1, 1);
    ++clicks;
  });
  QElapsedTimer t;
  t.start();
  inv().AddPickedObject("Key", true);
  inv().PointerOverInventory();
  const qint64 took = t.elapsed();
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(game->Disappear.Count(), 0);
  EXPECT_EQ(inv().BarTop(), 0);
  EXPECT_GE(took, 150);
  EXPECT_LE(took, 1500);
  EXPECT_FALSE(inv().InventoryMoving);

  // A pointer over the frame while it slides turns it back.
  QTimer::singleShot(40, [&] { inv().PointerOverFrame(); });
  inv().Inventory_Hide();
  EXPECT_EQ(inv().BarTop(), -inv().BarHeightNow());
  inv().PointerOverInventory();
  EXPECT_EQ(inv().BarTop(), -inv().BarHeightNow());
  EXPECT_EQ(inv().InventoryDirection, 2);
  game->areas().actions().AreaClick(1, 1);
  EXPECT_EQ(game->Disappear.Count(), 1) << "at rest the bar lets clicks through";
}

TEST_F(InventoryOnTheScene, HotspotPickUpFromTheFm4Record) {
  start();
  project.write("FramesData/Room.fm4",
                "\"x\",2,0,0,0,0,0,0,0,0,1,\"Rope\",\"----- SEPARATOR -----\"\r\n"
                "\"x\",1,0,0,0,0,0,0,0,0,1,\"Key\",\"more\",\"----- SEPARATOR -----\"\r\n");
  game->OpenFrame("Room", false, 0, 0);
  inv().PickOrNotPickObject(1);
  inv().PickOrNotPickObject(3);
  EXPECT_EQ(items(), QStringList{"Key"});
  project.write("FramesData/Room.fm4", "\"x\",\"one\"\r\n");
  inv().PickOrNotPickObject(1);
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log[0].contains(R"(Error description: Error in the \"PickOrNotPickObject\" procedure.)"));
  EXPECT_TRUE(project.log[0].endsWith(R"(procedure.\n\nType mismatch" -> OK)")) << project.log[0].toStdString();
}

}  // namespace
}  // namespace storyloom
