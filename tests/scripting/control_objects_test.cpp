#include <gtest/gtest.h>

#include <QBuffer>
#include <QClipboard>
#include <QGuiApplication>
#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QScreen>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/game_fixture.h"
#include "scripting/action_module.h"
#include "scripting/timed_events.h"
#include "game/message_bar.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"
#include "platform/vbscript/engine.h"
#include "scripting/control_element.h"
#include "scripting/control_objects.h"

namespace storyloom {
namespace {

using test::HotspotSpec;

constexpr const char* kFrame = "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n";

QString textRecord(int own, const QString& caption, int leftTwips, int topTwips) {
  return QStringLiteral("\"x\",%1,,,,,,,,,\"%2\",%3,%4,#FALSE#,#FALSE#,\"Arial\",10,#FALSE#,#FALSE#,0,\"\"\r\n")
      .arg(own)
      .arg(caption)
      .arg(leftTwips)
      .arg(topTwips);
}

// A game with two frames of hotspots and texts, and a script engine given the objects the
// way the script host gives them (each with its members global).
struct ScriptObjects : ::testing::Test {
  test::GameFixture fx{QStringLiteral("Room")};
  vbs::Engine engine;

  void SetUp() override {
    fx.frame("Room", kFrame);
    fx.frame("Hall", kFrame);
    picture("red.png", Qt::red);
    HotspotSpec red;
    red.showPicture = true;
    red.picture = "red.png";
    red.stretch = 1;
    HotspotSpec plain;
    plain.x = 60;
    HotspotSpec third;
    third.x = 120;
    spots("Room", {red, plain, third});
    spots("Hall", {plain});
    fx.project.write("FramesData/Room.fm1", textRecord(1, "one", 300, 3000) + textRecord(2, "two", 3000, 3000));
    fx.project.write("FramesData/Hall.fm1", textRecord(1, "hall", 300, 300));
    Game& g = fx.start();
    g.OpenFrame("Room", false, 0, 0);
    const std::pair<const char16_t*, vbs::Ref<vbs::Object>> objects[] = {
        {u"Hotspot", makeHotspotArray(g)},
        {u"Text", makeTextArray(g)},
        {u"LoopingVideo", makeLoopingVideoArray(g)},
        {u"ScreenObject", makeScreenObject(g)},
        {u"AppObject", makeAppObject(g)},
        {u"PrintersObject", makePrintersObject(g)},
        {u"ClipboardObject", makeClipboardObject(g)},
        {u"MessageObject", makeMessageObject(g)},
        {u"FrameMessageObject", makeFrameMessageObject(g)},
        {u"WindowObject", makeWindowObject(g)},
    };
    for (const auto& [name, object] : objects) engine.addObject(name, object, true);
    engine.addObject(u"Action", vbs::Ref<vbs::Object>(&g.actionModule()), true);
  }

  Game& game() { return *fx.game; }
  void picture(const QString& name, QColor colour) {
    QImage image(8, 8, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    fx.project.writeBytes("Areas/" + name, bytes);
  }
  void spots(const QString& frame, const std::vector<HotspotSpec>& specs) {
    QString text;
    for (const auto& s : specs) text += s.text();
    fx.project.write("FramesData/" + frame + ".fm2", text);
  }
  void run(const QString& code) { engine.addCode(code.toStdU16String()); }
  // The error number the code stops with, 0 when it runs through.
  int errorOf(const QString& code) {
    try {
      run(code);
      return 0;
    } catch (const vbs::ScriptError& e) {
      return e.number;
    }
  }
  QString eval(const QString& expression) {
    return QString::fromStdU16String(engine.eval(expression.toStdU16String()).toString());
  }
  ScriptControlElement& element(const QString& expression) {
    vbs::Value v = engine.eval(expression.toStdU16String());
    elements_.push_back(v);
    auto* e = dynamic_cast<ScriptControlElement*>(v.asObject());
    if (!e) throw std::logic_error("no control element");
    return *e;
  }

 private:
  std::vector<vbs::Value> elements_;
};

TEST_F(ScriptObjects, AHotspotMovedByAScriptIsDrawnAtItsNewPlace) {
  EXPECT_EQ(fx.render().pixelColor(15, 15), QColor(Qt::red));
  run("Hotspot(1).Move 1500, 750");
  EXPECT_EQ(eval("Hotspot(1).Left & \",\" & Hotspot(1).Top"), "1500,750");
  run("Hotspot(1).Width = 150 : Hotspot(1).Height = 150");
  const QImage shown = fx.render();
  EXPECT_EQ(shown.pixelColor(105, 55), QColor(Qt::red));
  EXPECT_NE(shown.pixelColor(111, 61), QColor(Qt::red)) << "10 pixels square";
  EXPECT_NE(shown.pixelColor(15, 15), QColor(Qt::red)) << "gone from its old place";
  EXPECT_EQ(game().areas().Area(1)->pos(), QPointF(100, 50));

  // A picture given from another control, and Nothing clearing it.
  run("Set Hotspot(2).Picture = Hotspot(1).Picture : Hotspot(2).Stretch = True");
  EXPECT_EQ(fx.render().pixelColor(65, 15), QColor(Qt::red));
  run("Set Hotspot(1).Picture = Nothing");
  EXPECT_NE(fx.render().pixelColor(105, 55), QColor(Qt::red));
  EXPECT_EQ(eval("Hotspot(1).Picture.Handle"), "0");

  run("Hotspot(2).Visible = \"False\"");
  EXPECT_FALSE(game().areas().Area(2)->isVisible());
}

TEST_F(ScriptObjects, ValuesFollowThePlatformsRules) {
  EXPECT_EQ(errorOf("Hotspot(1).Left = \"abc\""), 13);
  EXPECT_EQ(errorOf("Hotspot(1).Left = 1E+40"), 6);
  EXPECT_EQ(errorOf("Hotspot(1).Width = -15"), 380);
  EXPECT_EQ(errorOf("Hotspot(1).Visible = Null"), 94);
  EXPECT_EQ(errorOf("Hotspot(1).MousePointer = 42"), 380);
  EXPECT_EQ(errorOf("Text(1).ForeColor = -5"), 380);
  EXPECT_EQ(errorOf("Text(1).FontSize = 0"), 380);
  EXPECT_EQ(errorOf("Hotspot(1).Index = 4"), 383);
  EXPECT_EQ(game().areas().Area(1)->Left(), 10 * 15 + 30) << "a refused value changes nothing";
  run("Hotspot(1).Left = \"600\"");
  EXPECT_EQ(game().areas().Area(1)->Left(), 600);
}

TEST_F(ScriptObjects, EachKindOfControlHasItsOwnMembers) {
  EXPECT_EQ(errorOf("x = Hotspot(1).Caption"), 438) << "an image has no caption";
  EXPECT_EQ(errorOf("Hotspot(1).FontBold = True"), 438);
  EXPECT_EQ(errorOf("x = Text(1).Picture"), 438) << "a label has no picture";
  EXPECT_EQ(errorOf("Text(1).Stretch = True"), 438);
  EXPECT_EQ(errorOf("LoopingVideo(0).Caption = \"x\""), 438);
  EXPECT_EQ(eval("LoopingVideo.Count & LoopingVideo.UBound & LoopingVideo(0).Visible"), "10False")
      << "no hotspot of the frame has a video; the template is there";
  EXPECT_EQ(errorOf("FrameMessageObject.Caption = \"x\""), 438);
  EXPECT_EQ(errorOf("x = ScreenObject.Nothing"), 438);
  EXPECT_EQ(errorOf("Hotspot(1).Tag = \"door\" : Text(1).Tag = \"sign\""), 0);
  EXPECT_EQ(eval("Hotspot(1).Tag & Text(1).Tag & Hotspot(1).Index"), "doorsign1");
}

TEST_F(ScriptObjects, ATextChangedByAScriptShowsTheChange) {
  run("Text(1).Caption = \"x\"");
  EXPECT_EQ(game().shownTexts(), QStringList({"x", "two"}));
  run("Text(2) = \"default member\"");
  EXPECT_EQ(game().texts().Text(2)->caption(), "default member");

  run("Text(1).ForeColor = 255 : Text(1).FontBold = True : Text(1).FontSize = 24 : Text(1).FontName = \"Courier New\"");
  TextLabel* label = game().texts().Text(1);
  EXPECT_EQ(label->brush().color(), QColor(255, 0, 0));
  EXPECT_TRUE(label->font().bold());
  EXPECT_EQ(label->font().pixelSize(), 32);
  EXPECT_EQ(label->font().family(), "Liberation Mono");
  EXPECT_EQ(eval("Text(1).FontName & \" \" & Text(1).FontSize & \" \" & Text(1).ForeColor"), "Courier New 24 255");
  EXPECT_TRUE(label->font().bold()) << "a new font name keeps the style";

  run("Text(2).Left = 1500 : Text(2).Visible = False");
  EXPECT_EQ(label->pos(), QPointF(20, 200));
  EXPECT_EQ(game().texts().Text(2)->pos(), QPointF(100, 200));
  EXPECT_EQ(game().shownTexts(), QStringList({"x"}));
}

TEST_F(ScriptObjects, AnElementKeptOverAFrameChangeRaisesInsteadOfReachingTheNewFrame) {
  run("Set h = Hotspot(1) : Set t = Text(1) : Set v = Hotspot(3)");
  EXPECT_EQ(eval("h.Left"), "180");
  game().OpenFrame("Hall", false, 0, 0);
  ASSERT_EQ(game().areas().AreaCount(), 1);
  EXPECT_EQ(errorOf("x = h.Left"), 340);
  EXPECT_EQ(errorOf("h.Visible = True"), 340);
  EXPECT_EQ(errorOf("x = t.Caption"), 340);
  EXPECT_EQ(errorOf("x = v.Left"), 340) << "an index the new frame does not have";
  EXPECT_EQ(errorOf("x = Hotspot(3).Left"), 340);
  EXPECT_EQ(eval("Hotspot(1).Left & Text(1).Caption"), "930hall") << "the array itself reaches the new frame";
  run("On Error Resume Next : x = h.Left : n = Err.Number : d = Err.Description");
  EXPECT_EQ(eval("n & \": \" & d"), "340: Control array element '1' doesn't exist");
}

TEST_F(ScriptObjects, ArraysWithGapsCountAndEnumerateTheirLoadedElements) {
  EXPECT_EQ(eval("Hotspot.Count & \" \" & Hotspot.UBound & \" \" & Hotspot.LBound"), "4 3 0");
  element("Hotspot(2)").deleteElement();
  EXPECT_EQ(eval("Hotspot.Count & \" \" & Hotspot.UBound"), "3 3");
  run("s = \"\" : For Each h In Hotspot : s = s & h.Index & \",\" : Next");
  EXPECT_EQ(eval("s"), "0,1,3,");
  EXPECT_EQ(errorOf("x = Hotspot(2).Left"), 340);

  // Visibility goes on over the gap; the record of the gap shows nothing.
  game().areas().ShowOrNotShowAreas();
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
  EXPECT_TRUE(game().areas().Area(3)->isVisible());

  element("Hotspot(6)").createElement();
  EXPECT_EQ(eval("Hotspot.Count & \" \" & Hotspot.UBound & \" \" & Hotspot(6).Visible"), "4 6 False");
  run("Hotspot(6).Move 0, 0, 300, 300 : Hotspot(6).Visible = True");
  EXPECT_TRUE(game().areas().Area(6)->isVisible());
  EXPECT_THROW(element("Hotspot(6)").createElement(), vbs::ScriptError);
  try {
    element("Hotspot(0)").deleteElement();
    ADD_FAILURE() << "the template was unloaded";
  } catch (const vbs::ScriptError& e) {
    EXPECT_EQ(e.number, 362);
  }

  // The highest element unloaded: the bound comes down to the next loaded one.
  element("Hotspot(6)").deleteElement();
  element("Hotspot(3)").deleteElement();
  EXPECT_EQ(eval("Hotspot.UBound"), "1");
  game().OpenFrame("Room", false, 0, 0);
  EXPECT_EQ(eval("Hotspot.Count"), "4") << "a new frame loads over the gaps";

  element("Text(1)").deleteElement();
  EXPECT_EQ(eval("Text.Count & \" \" & Text.UBound"), "2 2");
  EXPECT_EQ(game().shownTexts(), QStringList({"two"}));
  element("Text(4)").createElement();
  run("Text(4).Caption = \"four\" : Text(4).Visible = True");
  EXPECT_EQ(game().shownTexts(), QStringList({"two", "four"}));
  game().OpenFrame("Hall", false, 0, 0);
  EXPECT_EQ(game().shownTexts(), QStringList({"hall"}));
}

TEST_F(ScriptObjects, AHotspotUnloadedByItsOwnClickIsGoneAndTheClickEnds) {
  HotspotItem* area = game().areas().Area(1);
  bool handled = false;
  area->mouseDown = [&](int, int, float, float) {
    element("Hotspot(1)").deleteElement();
    handled = true;
  };
  QWidget* viewport = game().PictureBox->viewport();
  const QPointF at(game().PictureBox->mapFromScene(QPointF(15, 15)));
  QMouseEvent press(QEvent::MouseButtonPress, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::LeftButton,
                    Qt::NoModifier);
  QApplication::sendEvent(viewport, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, at, viewport->mapToGlobal(at), Qt::LeftButton, Qt::NoButton,
                      Qt::NoModifier);
  QApplication::sendEvent(viewport, &release);
  ASSERT_TRUE(handled);
  EXPECT_FALSE(game().areas().Area(1));
  EXPECT_NE(fx.render().pixelColor(15, 15), QColor(Qt::red));
  EXPECT_EQ(eval("Hotspot.Count"), "3");
  game().OpenFrame("Hall", false, 0, 0);
  EXPECT_EQ(eval("Hotspot.Count"), "2");
}

TEST_F(ScriptObjects, ZOrderBringsAHotspotInFrontOfTheOthers) {
  run("Hotspot(1).Move 0, 0, 1500, 1500 : Hotspot(2).Move 750, 750, 1500, 1500");
  const QPointF overlap(75, 75);
  const auto top = [&]() -> QGraphicsItem* {
    QCoreApplication::processEvents();
    return game().scene().items(overlap).value(0);
  };
  EXPECT_EQ(top(), game().areas().Area(2));
  run("Hotspot(1).ZOrder");
  EXPECT_EQ(top(), game().areas().Area(1));
  run("Hotspot(1).ZOrder 1");
  EXPECT_EQ(top(), game().areas().Area(2));
}

TEST_F(ScriptObjects, TheMessageBarAndTheWindow) {
  game().ShowFrameMessage("hello", true);
  run("MessageObject.Caption = \"changed\"");
  EXPECT_TRUE(game().shownTexts().contains("changed"));
  run("FrameMessageObject.Top = 0 : FrameMessageObject.BackColor = 65280");
  EXPECT_EQ(game().messageBar().pos().y(), 0);
  EXPECT_EQ(game().messageBar().brush().color().green(), 255);
  run("FrameMessageObject.Visible = False");
  EXPECT_FALSE(game().shownTexts().contains("changed"));

  run("WindowObject.Caption = \"My game\"");
  EXPECT_EQ(game().windowTitle(), "My game");
  EXPECT_EQ(eval("WindowObject.Area(1).Left & WindowObject.Text(2).Caption & WindowObject.PictureBox.Width"),
            QStringLiteral("180two9600"));  // 640 pixels of the game, whatever the window's size
  EXPECT_EQ(errorOf("x = WindowObject.Nothing"), 438);

  run("WindowObject.TimerObject(0).Interval = 50 : WindowObject.TimerObject(0).Enabled = True");
  EXPECT_TRUE(game().timedEvents().AnyTimerObjectRunning());
  EXPECT_EQ(game().timedEvents().TimerObject(0).Interval(), 50);
  EXPECT_EQ(errorOf("WindowObject.TimerObject(0).Interval = 70000"), 380);
  run("WindowObject.TimerObject(0).Enabled = False");
  EXPECT_FALSE(game().timedEvents().AnyTimerObjectRunning());
  EXPECT_EQ(errorOf("WindowObject.TimerObject(1).Interval = 5"), 340);
  run("Action.CreateObject WindowObject.TimerObject(1)");
  EXPECT_EQ(eval("WindowObject.TimerObject.UBound"), "1");
}

TEST_F(ScriptObjects, PlatformObjects) {
  const QSize screen = QGuiApplication::primaryScreen()->geometry().size();
  EXPECT_EQ(eval("ScreenObject.Width & \" \" & ScreenObject.Height & \" \" & ScreenObject.TwipsPerPixelX"),
            QStringLiteral("%1 %2 15").arg(screen.width() * 15).arg(screen.height() * 15));
  run("ScreenObject.MousePointer = 11");
  EXPECT_EQ(eval("ScreenObject.MousePointer"), "11");
  ASSERT_TRUE(QGuiApplication::overrideCursor());
  EXPECT_EQ(QGuiApplication::overrideCursor()->shape(), Qt::WaitCursor);
  run("ScreenObject.MousePointer = 0");
  EXPECT_FALSE(QGuiApplication::overrideCursor());

  QString folder = fx.module().paths.ProjectPath;
  folder.chop(1);
  EXPECT_EQ(eval("AppObject.Path"), folder);
  EXPECT_FALSE(eval("AppObject.Path").endsWith('\\'));
  EXPECT_EQ(eval("AppObject.Title & \" \" & AppObject.PrevInstance"), "Test Game False");
  EXPECT_EQ(eval("PrintersObject.Count"), "0");
  EXPECT_EQ(errorOf("Set p = PrintersObject(0)"), 9);

  run("ClipboardObject.SetText \"from a script\"");
  EXPECT_EQ(QGuiApplication::clipboard()->text(), "from a script");
  QGuiApplication::clipboard()->setText("from the player");
  EXPECT_EQ(eval("ClipboardObject.GetText()"), "from the player");
  run("ClipboardObject.Clear");
  EXPECT_EQ(eval("ClipboardObject.GetText()"), "");
}

}  // namespace
}  // namespace storyloom
