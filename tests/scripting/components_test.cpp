#include "support/wave_file.h"
#include "scripting/components.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QGraphicsProxyWidget>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSlider>

#include "game/game.h"
#include "game/game_fixture.h"
#include "platform/vbscript/engine.h"
#include "scripting/script_host.h"

namespace storyloom {
namespace {

const char* kFrame = "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n";

// A game whose procedures hold event handlers for components named btn, box and other;
// scripts run as the game runs them.
struct Components : ::testing::Test {
  test::GameFixture fx;
  Game* game = nullptr;

  void SetUp() override {
    fx.frame("Start", kFrame);
    fx.project.write("Config/Procedures",
                     "header 1\r\nheader 2\r\nheader 3\r\n"
                     "Dim clicks\r\n"
                     "Sub Btn_Click(params)\r\n"
                     "  clicks = clicks + 1\r\n"
                     "  Component(\"note\").Caption = \"clicked \" & clicks & \" with \" & params.Count\r\n"
                     "End Sub\r\n"
                     "Sub Box_KeyPress(params)\r\n"
                     "  Component(\"note\").Caption = params.Item(0).Name & \"=\" & params(\"KeyAscii\").Value\r\n"
                     "End Sub\r\n"
                     "Sub Box_Change(params)\r\n"
                     "  Err.Raise 1001, , \"the box broke\"\r\n"
                     "End Sub\r\n"
                     "Sub Tune_PlayStateChange(params)\r\n"
                     "  Component(\"note\").Caption = Component(\"note\").Caption & params(\"NewState\").Value\r\n"
                     "End Sub\r\n"
                     "Sub Leave_Click(params)\r\n"
                     "  RemoveComponent \"leave\"\r\n"
                     "End Sub\r\n"
                     "Sub Other_(params)\r\n"
                     "End Sub\r\n");
    game = &fx.start();
  }
  void run(const QString& code) {
    ASSERT_TRUE(game->scripts().ExecuteVBScript(code, false)) << shown().join('\n').toStdString();
  }
  QString text(const QString& expression) {
    return QString::fromStdU16String(game->scripts().Evaluate(expression).toString());
  }
  QStringList shown() { return fx.project.messages.takeShown(); }
  AdditionalComponents& components() { return game->components(); }
  template <class W>
  W* widget(const QString& name) {
    ComponentControl* c = components().find(name);
    return c ? qobject_cast<W*>(c->widget()) : nullptr;
  }
  QString note() { return text("Component(\"note\").Caption"); }
};

TEST_F(Components, NamesIgnoreCaseAndNumbersAreNeverGivenTwice) {
  run("AddComponent \"Forms.Label.1\", \"Clock\"");
  run("AddComponent \"Forms.Label.1\", \"clock\"");
  QStringList messages = shown();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(" A component named \"clock\" already exists. Please use a different name."));
  EXPECT_EQ(text("TypeName(Component(\"CLOCK\"))"), "Label");
  EXPECT_EQ(text("DoesComponentExist(\"cLoCk\")"), "True");

  run("AddComponent \"Forms.Label.1\", \"two words\"");
  messages = shown();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(" The component name must not contain spaces or other special characters."));

  // A (2), B (3), remove A, C (4), remove C: B is still there and the next number is 5.
  run("AddComponent \"Forms.Label.1\", \"A\" : AddComponent \"Forms.Label.1\", \"B\"");
  run("Component(\"B\").Caption = \"bee\"");
  run("RemoveComponent \"a\" : AddComponent \"Forms.Label.1\", \"C\" : RemoveComponent \"C\"");
  EXPECT_EQ(components().ComponentsCount, 4);
  EXPECT_EQ(text("Component(\"b\").Caption"), "bee");
  EXPECT_EQ(text("DoesComponentExist(\"A\") & DoesComponentExist(\"C\")"), "FalseFalse");
  run("AddComponent \"Forms.Label.1\", \"D\"");
  EXPECT_EQ(components().ComponentsCount, 5);
  EXPECT_EQ(components().names(), QStringList({"Clock", "B", "D"}));
  EXPECT_TRUE(shown().isEmpty());

  // Names not in the list.
  EXPECT_EQ(text("TypeName(Component(\"A\"))"), "Nothing");
  run("RemoveComponent \"A\"");
  run("InterceptComponentEvents \"A\"");
  messages = shown();
  ASSERT_EQ(messages.size(), 3);
  EXPECT_TRUE(messages[0].contains(" The component named \"A\" could not be found."));
  EXPECT_TRUE(messages[1].contains(" The component named \"A\" could not be removed because it could not be found."));
  EXPECT_TRUE(messages[2].contains(" Error intercepting events. The component named \"A\" could not be found."));

  // A reset removes them all and numbering starts again.
  QPointer<QWidget> b = components().find("B")->widget();
  game->ResetAll();
  EXPECT_EQ(components().ComponentsCount, 0);
  EXPECT_TRUE(components().names().isEmpty());
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(b.isNull());
  run("AddComponent \"Forms.Label.1\", \"Clock\"");
  EXPECT_EQ(components().ComponentsCount, 1);
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(Components, AnUnknownClassUsesUpItsNumberAndName) {
  run("AddComponent \"Acme.Gadget.1\", \"gadget\"");
  QStringList messages = shown();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(
      " Error in Game.AddAdditionalComponent. The component is probably not installed properly.  Invalid class string"))
      << messages[0].toStdString();
  EXPECT_EQ(components().ComponentsCount, 1);
  // The name is taken, points to nothing, and is not "not found".
  EXPECT_EQ(text("TypeName(Component(\"Gadget\"))"), "Nothing");
  run("AddComponent \"Forms.Label.1\", \"GADGET\"");
  messages = shown();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains("already exists"));
  run("RemoveComponent \"gadget\"");
  EXPECT_TRUE(shown().isEmpty());

  EXPECT_EQ(text("IsComponentInstalled(\"Acme.Gadget.1\")"), "False");
  messages = shown();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].contains(" Error in Game.DoesProgIdExist. Invalid class string"))
      << messages[0].toStdString();
  for (const char* id :
       {"Forms.TextBox.1", "forms.commandbutton.1", "Forms.Label.1", "Forms.CheckBox.1", "Forms.ListBox.1",
        "Forms.ComboBox.1", "MSComctlLib.ProgCtrl.2", "MSComctlLib.Slider.2", "WMPlayer.OCX"})
    EXPECT_EQ(text(QStringLiteral("IsComponentInstalled(\"%1\")").arg(id)), "True") << id;
  EXPECT_TRUE(shown().isEmpty());
  // The test creations leave nothing behind.
  EXPECT_EQ(components().ComponentsCount, 1);
  EXPECT_TRUE(components().names().isEmpty());
}

TEST_F(Components, EventsReachTheHandlersOfTheOneInterceptedComponent) {
  run("AddComponent \"Forms.Label.1\", \"note\" : AddComponent \"Forms.CommandButton.1\", \"Btn\"");
  run("AddComponent \"Forms.TextBox.1\", \"box\" : AddComponent \"Forms.CommandButton.1\", \"other\"");
  auto* btn = widget<QPushButton>("btn");
  auto* box = widget<QLineEdit>("box");
  ASSERT_TRUE(btn && box);

  // Not intercepted: the click reaches no handler.
  btn->click();
  EXPECT_EQ(note(), "Label1");

  run("InterceptComponentEvents \"BTN\"");
  EXPECT_EQ(components().ComponentWithEventsName, "BTN");
  EXPECT_EQ(components().EventsList, QStringList({"click"}));
  btn->click();
  btn->click();
  EXPECT_EQ(note(), "clicked 2 with 0");
  box->setText("x");  // not intercepted
  EXPECT_TRUE(shown().isEmpty());

  // Intercepting another ends the first; an event without a handler is ignored.
  run("InterceptComponentEvents \"box\"");
  btn->click();
  EXPECT_EQ(note(), "clicked 2 with 0");
  QMetaObject::invokeMethod(box, "returnPressed");
  EXPECT_EQ(note(), "KeyAscii=13");
  // A failing handler: the report has the error's description and no context sentence.
  box->setText("y");
  QStringList messages = shown();
  ASSERT_EQ(messages.size(), 1);
  EXPECT_TRUE(messages[0].endsWith("the box broke")) << messages[0].toStdString();

  // "Other_" has nothing after the underscore: no handler, and no interception at all.
  run("InterceptComponentEvents \"other\"");
  EXPECT_EQ(components().ComponentWithEventsName, "");
  EXPECT_TRUE(components().EventsList.isEmpty());
  box->setText("z");
  EXPECT_TRUE(shown().isEmpty());
  // An empty name keeps what is intercepted.
  run("InterceptComponentEvents \"btn\" : InterceptComponentEvents \"\"");
  EXPECT_EQ(components().ComponentWithEventsName, "btn");
  // Removing the intercepted component ends the interception.
  run("RemoveComponent \"Btn\"");
  EXPECT_EQ(components().ComponentWithEventsName, "");

  // A button whose own click removes it: gone at once, deleted once the click is over.
  run("AddComponent \"Forms.CommandButton.1\", \"leave\" : InterceptComponentEvents \"leave\"");
  QPointer<QPushButton> leave = widget<QPushButton>("leave");
  ASSERT_TRUE(leave);
  leave->click();
  EXPECT_FALSE(components().DoesComponentExist("leave"));
  EXPECT_EQ(components().ComponentWithEventsName, "");
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(leave.isNull());
  EXPECT_TRUE(shown().isEmpty());
}

TEST_F(Components, ComponentsArePlacedInThePictureByTheirScripts) {
  run("AddComponent \"Forms.CommandButton.1\", \"Go\"");
  ComponentControl* go = components().find("go");
  ASSERT_TRUE(go);
  QPointer<QGraphicsProxyWidget> proxy = go->proxy();
  ASSERT_TRUE(proxy);
  EXPECT_EQ(proxy->scene(), &game->scene());
  EXPECT_EQ(go->widget()->objectName(), "go");
  // Hidden at the top left until the script says otherwise.
  EXPECT_FALSE(proxy->isVisible());
  run("With Component(\"go\") : .Move 1500, 750, 1800, 450 : .Visible = True : .Caption = \"Go on\" : End With");
  EXPECT_TRUE(proxy->isVisible());
  EXPECT_EQ(proxy->pos(), QPointF(100, 50));
  EXPECT_EQ(go->widget()->size(), QSize(120, 30));
  EXPECT_EQ(qobject_cast<QPushButton*>(go->widget())->text(), "Go on");
  EXPECT_EQ(text("Component(\"go\").Left & \",\" & Component(\"go\").Width"), "1500,1800");
  run("Component(\"go\").Top = 1500");
  EXPECT_EQ(proxy->pos(), QPointF(100, 100));

  // A reference kept by a script after removal raises instead of reaching a deleted control.
  EXPECT_FALSE(game->scripts().ExecuteVBScript(
      "Set kept = Component(\"go\")\r\nRemoveComponent \"go\"\r\nkept.Caption = 1", false));
  EXPECT_TRUE(shown().join('\n').contains("Object variable or With block variable not set"));
  EXPECT_TRUE(!proxy || !proxy->scene());
}

TEST_F(Components, ClassMembersFollowTheirControls) {
  run("AddComponent \"Forms.ListBox.1\", \"list\" : AddComponent \"MSComctlLib.Slider.2\", \"slide\"");
  run("AddComponent \"Forms.ComboBox.1\", \"combo\" : AddComponent \"MSComctlLib.ProgCtrl.2\", \"bar\"");
  run("AddComponent \"Forms.CheckBox.1\", \"tick\" : AddComponent \"WMPlayer.OCX\", \"player\"");
  run("With Component(\"list\") : .AddItem \"north\" : .AddItem \"south\" : .AddItem \"east\", 1 : .ListIndex = 2 : "
      "End "
      "With");
  EXPECT_EQ(text("Component(\"list\").ListCount & Component(\"list\").List(1) & Component(\"list\").Text"),
            "3eastsouth");
  EXPECT_EQ(widget<QListWidget>("list")->currentItem()->text(), "south");
  run("Component(\"list\").RemoveItem 0");
  EXPECT_EQ(text("Component(\"list\").List(0)"), "east");

  run("With Component(\"combo\") : .AddItem \"red\" : .Text = \"blue\" : End With");
  EXPECT_EQ(text("Component(\"combo\").Text & Component(\"combo\").ListCount"), "blue1");

  run("With Component(\"slide\") : .Min = 0 : .Max = 20 : .Value = 15 : End With");
  EXPECT_EQ(widget<QSlider>("slide")->value(), 15);
  EXPECT_FALSE(game->scripts().ExecuteVBScript("Component(\"slide\").Value = 21", false));
  EXPECT_TRUE(shown().join('\n').contains("Invalid property value"));
  run("Component(\"bar\").Value = 40");
  EXPECT_EQ(text("Component(\"bar\").Value & \"/\" & Component(\"bar\").Max"), "40/100");

  run("Component(\"tick\").Value = True");
  EXPECT_EQ(text("Component(\"tick\").Value"), "True");

  // The media player: nothing plays until a URL is given; volume 0 to 100.
  EXPECT_EQ(text("Component(\"player\").playState"), "1");
  run("Component(\"player\").settings.volume = 140");
  EXPECT_EQ(text("Component(\"player\").settings.volume"), "100");
  run("Component(\"player\").controls.stop");
  EXPECT_EQ(text("Component(\"player\").playState"), "1");
  EXPECT_FALSE(game->scripts().ExecuteVBScript("Component(\"player\").controls.rewind", false));
  EXPECT_TRUE(shown().join('\n').contains("doesn't support this property or method"));
}

using test::silentWave;

TEST_F(Components, TheMediaPlayerPlaysAndTellsItsHandlerOfEachChange) {
  fx.project.writeBytes("Areas/tune.wav", silentWave(300));
  run("AddComponent \"Forms.Label.1\", \"note\" : Component(\"note\").Caption = \"\"");
  run("AddComponent \"WMPlayer.OCX\", \"tune\" : InterceptComponentEvents \"tune\"");
  EXPECT_EQ(text("Component(\"tune\").playState"), "1");
  run("Component(\"tune\").URL = \"Areas\\tune.wav\"");
  EXPECT_EQ(text("Component(\"tune\").playState"), "3");
  EXPECT_EQ(note(), "3");
  run("Component(\"tune\").controls.pause");
  EXPECT_EQ(text("Component(\"tune\").playState"), "2");
  run("Component(\"tune\").controls.play");
  EXPECT_EQ(note(), "323");
  // It ends by itself.
  QElapsedTimer clock;
  clock.start();
  while (text("Component(\"tune\").playState") != "1" && clock.elapsed() < 5000) test::runEventsFor(20);
  EXPECT_EQ(note(), "3231");
  run("Component(\"tune\").controls.stop");
  EXPECT_EQ(note(), "3231");  // already stopped: no change to tell
  EXPECT_TRUE(shown().isEmpty());
}

}  // namespace
}  // namespace storyloom
