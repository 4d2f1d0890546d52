#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QFile>
#include <QMouseEvent>
#include <QPixmap>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>

#include "game/game.h"
#include "game/game_fixture.h"
#include "hotspots/frame_areas.h"
#include "platform/vbscript/engine.h"
#include "scripting/action_module.h"
#include "scripting/control_objects.h"
#include "shell/display.h"
#include "shell/pointer_scaling.h"
#include "hotspots/hotspot_item.h"
#include "../hotspots/records.h"

namespace storyloom {
namespace {

QSize realScreen() { return QGuiApplication::primaryScreen()->geometry().size(); }

TEST(Display, GameModesSwitchTheVirtualDisplayAndTheEndOfAGameRestoresIt) {
  test::TempProject project;
  project.writeGeneral();
  Display& d = project.init().display();
  const QSize real = realScreen();
  ASSERT_EQ(real.width(), 800) << "the offscreen screen these cases are written for";
  ASSERT_NE(real.height(), 600);
  EXPECT_EQ(QSize(d.DesktopWidth(), d.DesktopHeight()), real);
  EXPECT_EQ(QSize(d.StartupDisplayWidth, d.StartupDisplayHeight), real);
  QSignalSpy changed(&d, &Display::modeChanged);

  // Already 800 wide (whatever the height): mode 2 changes nothing.
  d.ChangeResolutionToMode(2);
  EXPECT_EQ(changed.count(), 0);
  d.ChangeResolutionToMode(1);
  EXPECT_EQ(QSize(d.DesktopWidth(), d.DesktopHeight()), QSize(640, 480));
  EXPECT_EQ(changed.count(), 1);
  d.ChangeResolutionToMode(3);
  EXPECT_EQ(d.size(), QSize(1024, 768));
  // Numbers outside 1-3 do nothing.
  for (int mode : {0, 4, -1}) d.ChangeResolutionToMode(mode);
  EXPECT_EQ(d.size(), QSize(1024, 768));
  EXPECT_EQ(changed.count(), 2);
  EXPECT_TRUE(project.log.isEmpty());
  // The real screen is untouched all along.
  EXPECT_EQ(realScreen(), real);

  d.RestoreDisplayModeIfChanged();
  EXPECT_EQ(d.size(), real);

  // A size the display does not offer is reported and changes nothing.
  d.ChangeResolutionToMode(1);
  d.ChangeDisplayMode(1280, 1024, false);
  ASSERT_EQ(project.log.size(), 1);
  EXPECT_TRUE(project.log[0].contains(" Unable to change display resolution. Mode not supported."))
      << project.log[0].toStdString();
  EXPECT_EQ(d.size(), QSize(640, 480));
}

TEST(Display, TheProjectsResolutionIsComparedWithTheScreenAtStart) {
  test::TempProject project;
  project.writeGeneral();
  Display& d = project.init().display();
  // 800 wide but not 600 high: no mode matches.
  ASSERT_NE(d.StartupDisplayHeight, 600);
  for (int mode : {0, 1, 2, 7}) EXPECT_FALSE(d.ResolutionMatchesProject(mode)) << mode;
  d.StartupDisplayWidth = 1024;
  d.StartupDisplayHeight = 768;
  EXPECT_TRUE(d.ResolutionMatchesProject(2));
  EXPECT_FALSE(d.ResolutionMatchesProject(1));
  // A game's switch does not change what the program was started on.
  d.ChangeResolutionToMode(1);
  EXPECT_TRUE(d.ResolutionMatchesProject(2));
  EXPECT_FALSE(d.ResolutionMatchesProject(0));
}

TEST(Display, TheDefaultFontPassesTheSmallFontsCheckAndALargeOneFailsIt) {
  const QFont before = QGuiApplication::font();
  EXPECT_TRUE(SmallFontsCheck());
  QFont large = before;
  large.setPixelSize(40);
  QGuiApplication::setFont(large);
  EXPECT_FALSE(SmallFontsCheck());
  QGuiApplication::setFont(before);
}

TEST(DisplayScaleChoice, WholeFactorsWhenTheyFitElseSmooth) {
  const struct {
    QSize area;
    double ratio;
    double factor;
    bool whole;
    QRect shown;
  } cases[] = {
      {{640, 480}, 1, 1, true, {0, 0, 640, 480}},
      {{1300, 980}, 1, 2, true, {10, 10, 1280, 960}},
      // 1.5 times would fit: the sharp 1 is taken, with borders.
      {{1000, 720}, 1, 1, true, {180, 120, 640, 480}},
      // Too small for 1: scaled down smoothly, aspect kept, borders above and below.
      {{320, 300}, 1, 0.5, false, {0, 30, 320, 240}},
      {{480, 480}, 1, 0.75, false, {0, 60, 480, 360}},
      // On a screen of 1.5 device pixels per pixel: one device pixel per game pixel.
      {{640, 480}, 1.5, 1 / 1.5, true, {106, 80, 427, 320}},
      {{640, 480}, 2, 1, true, {0, 0, 640, 480}},
      {{1280, 960}, 2, 2, true, {0, 0, 1280, 960}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(QStringLiteral("%1x%2 at %3").arg(c.area.width()).arg(c.area.height()).arg(c.ratio).toStdString());
    const DisplayScale s = ChooseDisplayScale({640, 480}, c.area, c.ratio);
    EXPECT_NEAR(s.factor, c.factor, 1e-9);
    EXPECT_EQ(s.whole, c.whole);
    EXPECT_EQ(s.shown, c.shown);
  }
  // Nothing to show, or nowhere to show it: full size.
  EXPECT_EQ(ChooseDisplayScale({0, 0}, {640, 480}).factor, 1);
  EXPECT_EQ(ChooseDisplayScale({640, 480}, {0, 0}).factor, 1);
}

// A game in a window, with one hotspot over the whole picture.
struct ScaledGame : ::testing::Test {
  test::GameFixture fx{QStringLiteral("Room")};
  Game* g = nullptr;

  void SetUp() override {
    fx.frame("Room", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
    test::HotspotSpec all;
    all.x = 0;
    all.y = 0;
    all.w = 640;
    all.h = 480;
    fx.project.write("FramesData/Room.fm2", all.text());
    fx.project.write("FramesData/Room.fm3", test::ActionLines().text());
    fx.project.userSettings->set("TestProject", "FullScreen", "False");
    g = &fx.start();
    g->StartNewGame();
    g->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(g));
    fx.project.log.clear();
  }
  void resizeInner(QSize inner) {
    g->resize(g->size() + inner - g->screenArea().size());
    QTRY_COMPARE(g->screenArea().size(), inner);
  }
  // A press and release at a point of the picture's viewport, as the mouse gives it.
  void pressAt(QPoint at) {
    QWidget* viewport = g->PictureBox->viewport();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &release);
  }
};

TEST_F(ScaledGame, ClicksGivePicturePixelsAtEveryScale) {
  ASSERT_EQ(g->areas().AreaCount(), 1);
  ASSERT_EQ(fx.module().settings.ScreenWidth, 640);
  const struct {
    QSize inner;
    double factor;
  } sizes[] = {{{640, 480}, 1}, {{1280, 960}, 2}, {{480, 360}, 0.75}};
  for (const auto& size : sizes) {
    SCOPED_TRACE(size.factor);
    resizeInner(size.inner);
    EXPECT_NEAR(g->screenArea().scale().factor, size.factor, 1e-9);
    EXPECT_EQ(g->PictureBox->size(), size.inner) << "the picture fills the window";
    // The hotspot's live area leaves out 2 pixels at each edge.
    for (const QPoint pixel : {QPoint(2, 2), QPoint(3, 5), QPoint(137, 251), QPoint(637, 477)}) {
      g->LastClickPosition = QPoint(-1, -1);
      pressAt(ViewPointOfPicturePixel(*g->PictureBox, pixel));
      const QPoint expected =
          size.factor < 1 ? PicturePixelAt(g->PictureBox->mapToScene(ViewPointOfPicturePixel(*g->PictureBox, pixel)))
                          : pixel;
      EXPECT_EQ(g->LastClickPosition, expected) << pixel.x() << "," << pixel.y();
      if (size.factor >= 1)
        EXPECT_EQ(expected, pixel);
      else
        EXPECT_LE((expected - pixel).manhattanLength(), 2);
    }
  }
  // At twice the size the second screen pixel of a picture pixel still belongs to it.
  resizeInner({1280, 960});
  for (const QPoint pixel : {QPoint(3, 3), QPoint(4, 4), QPoint(101, 57)}) {
    pressAt(pixel * 2 + QPoint(1, 1));
    EXPECT_EQ(g->LastClickPosition, pixel);
  }
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join(" | ").toStdString();
}

// Custom pointers grow with the picture (sharp, hot spot moved with them), never shrink
// below their own size, and change back when the window does.
TEST_F(ScaledGame, CustomPointersAreDrawnAtThePicturesScale) {
  QPixmap arrow(32, 32);
  arrow.fill(Qt::red);
  const QCursor own(arrow, 3, 5);
  const QCursor twice = PointerAtScale(own, 2);
  EXPECT_EQ(twice.pixmap().size(), QSize(64, 64));
  EXPECT_EQ(twice.hotSpot(), QPoint(6, 10));
  EXPECT_EQ(PointerAtScale(own, 0.75).pixmap().size(), QSize(32, 32));
  EXPECT_EQ(PointerAtScale(QCursor(Qt::ArrowCursor), 2).shape(), Qt::ArrowCursor);

  // The game's own pointer (one of the demo's).
  QFile cur(QStringLiteral(STORYLOOM_DEMO_DIR "/Icons/Hand.cur"));
  ASSERT_TRUE(cur.open(QIODevice::ReadOnly));
  fx.project.writeBytes("Icons/Hand.cur", cur.readAll());
  fx.module().settings.DefaultPointer = "Hand.cur";
  g->ResetDefaultPointer();
  const QCursor game = g->defaultPointer().cursor();
  ASSERT_EQ(game.shape(), Qt::BitmapCursor);
  const QSize gameSize = game.pixmap().size();
  const QPoint gameHot = game.hotSpot();

  QWidget* viewport = g->PictureBox->viewport();
  auto shownSize = [viewport] { return viewport->cursor().pixmap().size(); };
  resizeInner({1280, 960});
  EXPECT_EQ(shownSize(), gameSize * 2);
  EXPECT_EQ(viewport->cursor().hotSpot(), gameHot * 2);
  resizeInner({640, 480});
  EXPECT_EQ(shownSize(), gameSize);
  EXPECT_EQ(viewport->cursor().hotSpot(), gameHot);
  resizeInner({480, 360});
  EXPECT_EQ(shownSize(), gameSize);
  resizeInner({1280, 960});
  EXPECT_EQ(shownSize(), gameSize * 2);

  // A hotspot's own pointer, shown while the mouse is over it.
  QPixmap hand(16, 16);
  hand.fill(Qt::blue);
  g->areas().Area(1)->setCursor(QCursor(hand, 1, 1));
  const QPoint at(640, 480);
  QMouseEvent move(QEvent::MouseMove, QPointF(at), QPointF(viewport->mapToGlobal(at)), Qt::NoButton, Qt::NoButton,
                   Qt::NoModifier);
  QApplication::sendEvent(viewport, &move);
  EXPECT_EQ(shownSize(), QSize(32, 32));
  EXPECT_EQ(viewport->cursor().hotSpot(), QPoint(2, 2));
}

TEST_F(ScaledGame, ScriptsSeeAndMoveThePictureInGamePixelsAtAnyScale) {
  resizeInner({1280, 960});
  vbs::Engine engine;
  engine.addObject(u"WindowObject", makeWindowObject(*g), true);
  auto eval = [&](const char16_t* e) { return QString::fromStdU16String(engine.eval(e).toString()); };
  EXPECT_EQ(eval(u"WindowObject.PictureBox.Width & \" \" & WindowObject.PictureBox.Height"), "9600 7200");
  engine.executeStatement(u"WindowObject.PictureBox.Move 1500, 750, 4800, 3600");
  EXPECT_EQ(eval(u"WindowObject.PictureBox.Left & \" \" & WindowObject.PictureBox.Width"), "1500 4800");
  // On the screen at twice the size, in the middle of the window.
  EXPECT_EQ(g->PictureBox->geometry(), QRect(200, 100, 640, 480));
}

TEST_F(ScaledGame, TheWindowIsCentredWithBlackBordersWhenItsShapeDiffers) {
  resizeInner({900, 300});
  // 640x480 does not fit 300 high: 0.625, centred across.
  const DisplayScale& s = g->screenArea().scale();
  EXPECT_FALSE(s.whole);
  EXPECT_EQ(g->PictureBox->geometry(), QRect(250, 0, 400, 300));
  const QImage shown = g->screenArea().grab().toImage();
  EXPECT_EQ(shown.pixelColor(10, 150), QColor(Qt::black));
  EXPECT_EQ(shown.pixelColor(890, 150), QColor(Qt::black));
}

TEST_F(ScaledGame, FullScreenOrWindowIsToggledByKeysAndRememberedWithTheSize) {
  UserSettings& store = *fx.project.userSettings;
  EXPECT_FALSE(g->FullScreenChosen());
  resizeInner({700, 500});
  EXPECT_EQ(store.get("TestProject", "WindowWidth"), "700");
  EXPECT_EQ(store.get("TestProject", "WindowHeight"), "500");

  QTest::keyClick(g, Qt::Key_Return, Qt::AltModifier);
  EXPECT_TRUE(g->FullScreenChosen());
  QTRY_VERIFY(g->isFullScreen());
  EXPECT_EQ(store.get("TestProject", "FullScreen"), "True");
  // The whole screen shows the 640x480 game at its one sharp size.
  QTRY_COMPARE(g->screenArea().size(), realScreen());
  EXPECT_EQ(g->screenArea().scale().factor, 1);
  QTest::keyClick(g, Qt::Key_F11);
  EXPECT_FALSE(g->FullScreenChosen());
  QTRY_VERIFY(!g->isFullScreen());
  EXPECT_EQ(store.get("TestProject", "FullScreen"), "False");
  QTRY_COMPARE(g->screenArea().size(), QSize(700, 500));

  // F11 after F9 and F10 goes on to the Debug menu and leaves the window as it is.
  for (Qt::Key k : {Qt::Key_F9, Qt::Key_F10, Qt::Key_F11, Qt::Key_F12}) QTest::keyClick(g, k);
  EXPECT_FALSE(g->FullScreenChosen());
  EXPECT_TRUE(g->mnuDebug->menuAction()->isVisible());

  // The next game of the project opens as the player left it.
  g->close();
  Game next(fx.module());
  next.Form_Load();
  next.ResetAll();
  next.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&next));
  EXPECT_FALSE(next.FullScreenChosen());
  QTRY_COMPARE(next.screenArea().size(), QSize(700, 500));
}

TEST(DisplayInGame, ModesReachTheWindowTheScriptsAndTheEndOfTheGame) {
  test::GameFixture fx;
  fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  Game& g = fx.start();
  // Without a menu bar always shown the game covers the display, full screen by default.
  EXPECT_TRUE(g.FullScreenChosen());
  const QSize real = realScreen();
  EXPECT_EQ(g.screenArea().virtualArea(), real);
  EXPECT_EQ(g.screenArea().pictureRect(), QRect((real.width() - 640) / 2, (real.height() - 480) / 2, 640, 480));

  vbs::Engine engine;
  engine.addObject(u"Action", vbs::Ref<vbs::Object>(&g.actionModule()), true);
  engine.addObject(u"ScreenObject", makeScreenObject(g), true);
  auto eval = [&](const char16_t* e) { return QString::fromStdU16String(engine.eval(e).toString()); };
  EXPECT_EQ(eval(u"GetDisplayResolutionX & \"x\" & GetDisplayResolutionY"),
            QStringLiteral("%1x%2").arg(real.width()).arg(real.height()));

  engine.executeStatement(u"ChangeDisplayResolution 1");
  EXPECT_EQ(eval(u"GetDisplayResolutionX & \"x\" & GetDisplayResolutionY"), "640x480");
  EXPECT_EQ(eval(u"ScreenObject.Width & \" \" & ScreenObject.Height"), "9600 7200");
  // The window is laid out again on the new display: the picture fills it.
  EXPECT_EQ(g.screenArea().virtualArea(), QSize(640, 480));
  EXPECT_EQ(g.screenArea().pictureRect(), QRect(0, 0, 640, 480));
  EXPECT_EQ(g.placement().windowWidth, 640 * 15);
  EXPECT_TRUE(fx.project.log.isEmpty());

  // Quitting the game returns to the screen the program started on.
  g.show();
  g.close();
  EXPECT_EQ(fx.module().display().size(), realScreen());
}

}  // namespace
}  // namespace storyloom
