#include "dialogue/dialogue.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QImage>
#include <QTest>
#include <QTimer>

#include "game/game.h"
#include "game/game_fixture.h"
#include "game/message_bar.h"
#include "hotspots/frame_areas.h"
#include "hotspots/records.h"
#include "scripting/script_host.h"
#include "shell/field_reader.h"

namespace storyloom {
namespace {

using test::quoted;

// One question record as the dialogue wizard writes it; scripts are given with their
// double quotes and stored with "|".
struct QuestionSpec {
  explicit QuestionSpec(QString questionText) : text(std::move(questionText)) {}
  QuestionSpec& withId(int n) { return id = n, *this; }
  QuestionSpec& reply(QString t) { return answer = std::move(t), *this; }
  QuestionSpec& script(int n, QString code) { return (n == 1 ? script1 : n == 2 ? script2 : script3) = code, *this; }
  QuestionSpec& hidden() { return shown = false, *this; }

  QString text, answer, script1, script2, script3;
  int id = 1;
  bool shown = true, ends = false;
  int hotspot1 = 0, hotspot2 = 0, hotspot3 = 0;
  std::vector<int> showAfter, hideAfter;
};
QString idList(const std::vector<int>& ids) {
  QString s = QString::number(ids.size());
  for (int id : ids) s += ',' + QString::number(id);
  return s;
}

QString stored(QString script) { return quoted(script.replace('"', '|')); }

QString dialogueText(const std::vector<QuestionSpec>& questions) {
  QString s = QStringLiteral("1,0,2,\"The keeper\",\"keeper.bmp\",0,0,#TRUE#,\"a, b\",3,4\r\n");
  s += QString::number(questions.size()) + "\r\n";
  for (const QuestionSpec& q : questions) {
    s += quoted(q.text) + ',' + quoted(q.answer) + "\r\n";
    s += stored(q.script1) + ',' + stored(q.script2) + ',' + stored(q.script3) + "\r\n";
    s += QStringLiteral("%1,%2,%3,%4,%5,%6\r\n")
             .arg(q.id)
             .arg(q.shown ? "#TRUE#" : "#FALSE#", q.ends ? "#TRUE#" : "#FALSE#")
             .arg(q.hotspot1)
             .arg(q.hotspot2)
             .arg(q.hotspot3);
    s += idList(q.showAfter) + "\r\n" + idList(q.hideAfter) + "\r\n";
    s += QStringLiteral("0,#FALSE#,\"x, y\",12,0,\"\"\r\n");
  }
  return s;
}

TEST(DialogueFile, ReadsEveryQuestionWithItsListsAndSkipsTheIgnoredFields) {
  QuestionSpec who = QuestionSpec("Who are you?").reply("The keeper.").script(1, "Note = \"met\"");
  who.id = 10;
  who.hotspot2 = 3;
  who.showAfter = {20, 30};
  who.hideAfter = {10};
  QuestionSpec bye = QuestionSpec("Goodbye.").script(3, "x = \"a\" & \"b\"");
  bye.id = 40;
  bye.shown = false;
  bye.ends = true;
  bye.hotspot1 = 1;
  bye.hotspot3 = 2;
  FieldReader file(dialogueText({who, bye}).toLatin1());
  const std::vector<DialogueQuestion> q = ReadDialogueFile(file);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].QuestionText, "Who are you?");
  EXPECT_EQ(q[0].AnswerText, "The keeper.");
  EXPECT_EQ(q[0].QuestionScript1, "Note = \"met\"");
  EXPECT_EQ(q[0].QuestionId, 10);
  EXPECT_TRUE(q[0].InitiallyShown && q[0].QuestionShown);
  EXPECT_FALSE(q[0].EndsDialogue || q[0].QuestionAsked);
  EXPECT_EQ(q[0].QuestionHotspot2, 3);
  EXPECT_EQ(q[0].ShowAfter, (std::vector<qint16>{20, 30}));
  EXPECT_EQ(q[0].HideAfter, (std::vector<qint16>{10}));
  // The second record starts where the first one's trailer ends.
  EXPECT_EQ(q[1].QuestionText, "Goodbye.");
  EXPECT_EQ(q[1].QuestionScript3, "x = \"a\" & \"b\"");
  EXPECT_EQ(q[1].QuestionId, 40);
  EXPECT_FALSE(q[1].InitiallyShown || q[1].QuestionShown);
  EXPECT_TRUE(q[1].EndsDialogue);
  EXPECT_EQ(q[1].QuestionHotspot1, 1);
  EXPECT_EQ(q[1].QuestionHotspot3, 2);
  EXPECT_TRUE(q[1].ShowAfter.empty() && q[1].HideAfter.empty());
}

TEST(DialogueFile, DamagedFilesRaiseThePlatformsErrors) {
  const QString one = dialogueText({QuestionSpec("Hello?")});
  auto errorOf = [](const QString& text) {
    FieldReader file(text.toLatin1());
    try {
      ReadDialogueFile(file);
    } catch (const PlatformError& e) {
      return e.code();
    }
    return 0;
  };
  EXPECT_EQ(errorOf(one), 0);
  EXPECT_EQ(errorOf(one.left(one.size() - 20)), 62);  // ends inside the trailer
  QString negative = one;
  negative.replace("\r\n1\r\n", "\r\n-1\r\n");
  EXPECT_EQ(errorOf(negative), 9);
  QString badId = one;
  badId.replace("\r\n1,#TRUE#", "\r\nten,#TRUE#");
  EXPECT_EQ(errorOf(badId), 13);
}

// A 640 x 480 game with the frames Room (two hotspots whose actions log their number) and
// Hall (one hotspot), and a variant variable Trail that the scripts append to.
struct DialogueGame : ::testing::Test {
  test::GameFixture fx{"Room"};
  Game* game = nullptr;

  void SetUp() override {
    fx.project.write("Config/Variables", "\"v\",\"Count\",\"***\",\"Trail\"\r\n");
    fx.frame("Room", "0,\"8421504\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    fx.frame("Hall", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"0\",\"\",\"\",\"\"\r\n");
    test::HotspotSpec one, two;
    two.ownIndex = 2;
    two.x = 100;
    fx.project.write("FramesData/Room.fm2", one.text() + two.text());
    fx.project.write("FramesData/Room.fm3", logAction("h1") + logAction("h2"));
    fx.project.write("FramesData/Hall.fm2", one.text());
    fx.project.write("FramesData/Hall.fm3", logAction("hall"));
    // The frames' hotspot counts, which the questions' hotspot numbers are checked against.
    fx.project.write("Frames/Room.lks", "2\r\n");
    fx.project.write("Frames/Hall.lks", "1\r\n");
  }
  static QString logAction(const QString& entry) {
    test::ActionLines a;
    a.I = "#TRUE#," + stored("Trail = Trail & \"" + entry + " \"") + ",0";
    return a.text();
  }
  void dialogue(const QString& frame, const std::vector<QuestionSpec>& questions) {
    fx.project.write("FramesData/" + frame + ".dlg", dialogueText(questions));
  }
  Game& open(const QString& frame = "Room") {
    if (!game) {
      game = &fx.start();
      game->vars.LoadVariables(fx.module());
      game->scripts().ExecuteVBScript("Trail = \"\"", false);
    }
    game->OpenFrame(frame, false, 0, 0);
    return *game;
  }
  Dialogue& d() { return game->dialogue(); }
  QString log() { return QString::fromStdU16String(game->scripts().Evaluate("Trail").toConcatString()); }
  // Clicks the offered question with that text and lets the click run; the reply's bar is
  // taken away as soon as it shows.
  void ask(const QString& text) {
    int index = 0;
    for (int i = 1; i <= d().lblDialogueCount(); ++i)
      if (d().lblDialogue(i)->text() == text) index = i;
    ASSERT_NE(index, 0) << "not offered: " << text.toStdString();
    closeRepliesAsTheyShow();
    d().RuntimeQuestionClick(index);
  }
  void closeRepliesAsTheyShow() {
    auto* closer = new QTimer(game);
    QObject::connect(closer, &QTimer::timeout, [this, closer] {
      if (!game->messageBar().isShowing()) return;
      replies << game->messageBar().text() + " after " + log();
      game->messageBar().hideBar();
      closer->deleteLater();
    });
    closer->start(5);
  }
  QStringList replies;
};

TEST_F(DialogueGame, AListOfOnlyHiddenQuestionsEndsAtOnceAndTheNextFramesDialogueCanStart) {
  dialogue("Room", {QuestionSpec("Hidden").hidden(), QuestionSpec("Also hidden").hidden()});
  dialogue("Hall", {QuestionSpec("Anyone here?")});
  open();
  EXPECT_FALSE(d().DialogueActive);
  EXPECT_TRUE(d().DialogueFrame.isEmpty());
  EXPECT_FALSE(d().fmeDialogue().isVisible());
  EXPECT_TRUE(d().offeredQuestions().isEmpty());
  EXPECT_EQ(d().ResumeFrame(), "Room");
  open("Hall");
  EXPECT_TRUE(d().DialogueActive);
  EXPECT_EQ(d().offeredQuestions(), QStringList{"Anyone here?"});
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(DialogueGame, ShownQuestionsAreLaidOutDownTheBoxAcrossTheBottomOfThePicture) {
  QuestionSpec a = QuestionSpec("First");
  QuestionSpec hidden = QuestionSpec("Not yet").hidden();
  QuestionSpec c = QuestionSpec("Third");
  dialogue("Room", {a, hidden, c});
  open();
  ASSERT_TRUE(d().DialogueActive);
  EXPECT_EQ(d().DialogueFrame, "Room");
  ASSERT_EQ(d().lblDialogueCount(), 2);
  QuestionLabel* first = d().lblDialogue(1);
  QuestionLabel* third = d().lblDialogue(2);
  EXPECT_EQ(first->Tag, "1");
  EXPECT_EQ(third->Tag, "3");
  const double h1 = first->boundingRect().height() * 15, h2 = third->boundingRect().height() * 15;
  ASSERT_GT(h1, 100);
  EXPECT_EQ(first->pos() * 15, QPointF(360, 300));
  EXPECT_DOUBLE_EQ(third->pos().y() * 15, 300 + h1 + 90);
  EXPECT_DOUBLE_EQ(d().boxTwipsHeight(), 300 + h1 + 90 + h2 + 90 + 300);
  EXPECT_EQ(d().boxTwipsLeft(), 0);
  EXPECT_EQ(d().boxTwipsWidth(), 640 * 15);
  EXPECT_DOUBLE_EQ(d().boxTwipsTop() + d().boxTwipsHeight(), 480 * 15);
  EXPECT_EQ(first->brush().color(), QColor(Qt::white));

  // On the picture: the black box at the bottom with white question text in it, the
  // frame's grey above it.
  const QImage picture = fx.render();
  const int boxTop = static_cast<int>(d().boxTwipsTop() / 15);
  EXPECT_EQ(picture.pixelColor(600, boxTop - 2), QColor(128, 128, 128));
  EXPECT_EQ(picture.pixelColor(600, boxTop + 2), QColor(Qt::black));
  const QRect text = first->sceneBoundingRect().toRect();
  bool white = false;
  for (int x = text.left(); x <= text.right(); ++x)
    for (int y = text.top(); y <= text.bottom(); ++y) white = white || picture.pixelColor(x, y) == QColor(Qt::white);
  EXPECT_TRUE(white);
}

TEST_F(DialogueGame, AClickRunsItsStepsInOrderAndChangesTheQuestionsOffered) {
  QuestionSpec ask = QuestionSpec("Tell me")
                         .reply("Listen.")
                         .script(1, "Trail = Trail & \"s1 \"")
                         .script(2, "Trail = Trail & \"s2 \"")
                         .script(3, "Trail = Trail & \"s3 \"");
  ask.id = 1;
  ask.hotspot1 = 1;
  ask.hotspot2 = 2;
  ask.hotspot3 = 1;
  ask.showAfter = {2, 99};  // 99 is no question's
  ask.hideAfter = {1, 77};  // the question hides itself
  QuestionSpec later = QuestionSpec("And then?").hidden();
  later.id = 2;
  QuestionSpec stay = QuestionSpec("Bye");
  stay.id = 3;
  dialogue("Room", {ask, later, stay});
  open();
  this->ask("Tell me");
  EXPECT_EQ(replies, QStringList{"Listen. after s1 h1 s2 h2 "});
  EXPECT_EQ(log(), "s1 h1 s2 h2 s3 h1 ");
  EXPECT_TRUE(d().DialogueActive);
  EXPECT_TRUE(d().fmeDialogue().isVisible());
  EXPECT_EQ(d().offeredQuestions(), (QStringList{"And then?", "Bye"}));
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

TEST_F(DialogueGame, AnEndingQuestionEndsBeforeItsThirdScriptAndHotspotAndChangesNothingMore) {
  QuestionSpec bye =
      QuestionSpec("Goodbye").reply("Farewell.").script(3, "Trail = Trail & \"s3 \" : Action.GoToFrame \"Hall\"");
  bye.ends = true;
  bye.hotspot3 = 1;
  bye.showAfter = {2};
  dialogue("Room", {bye});
  dialogue("Hall", {QuestionSpec("Anyone here?"), QuestionSpec("Hello?").withId(2).hidden()});
  open();
  ask("Goodbye");
  EXPECT_EQ(replies, QStringList{"Farewell. after "});
  // The third script found no dialogue running, so the hall's own started; the hotspot is
  // the hall's, and the ended question's list touched nothing.
  EXPECT_EQ(log(), "s3 hall ");
  EXPECT_EQ(game->frame.CurrentFrameName, "Hall");
  EXPECT_EQ(d().DialogueFrame, "Hall");
  EXPECT_EQ(d().offeredQuestions(), QStringList{"Anyone here?"});
}

TEST_F(DialogueGame, AQuestionAskedAgainIsGreyAndRunsItsReplyAndActionsAgain) {
  QuestionSpec again = QuestionSpec("Again?").reply("Yes.");
  again.hotspot1 = 1;
  dialogue("Room", {again, QuestionSpec("Other").withId(2)});
  open();
  ask("Again?");
  EXPECT_EQ(d().lblDialogue(1)->brush().color(), QColor(170, 170, 170));
  EXPECT_EQ(d().lblDialogue(2)->brush().color(), QColor(Qt::white));
  ask("Again?");
  EXPECT_EQ(replies, (QStringList{"Yes. after h1 ", "Yes. after h1 h1 "}));
  EXPECT_EQ(d().lblDialogue(1)->brush().color(), QColor(170, 170, 170));
}

TEST_F(DialogueGame, HotspotNumbersPastTheFramesHotspotsAreSkippedSilently) {
  QuestionSpec far = QuestionSpec("Far").script(2, "Trail = Trail & \"s2 \"");
  far.hotspot1 = 3;
  far.hotspot2 = -1;
  far.hotspot3 = 2;
  dialogue("Room", {far});
  open();
  ask("Far");
  EXPECT_EQ(log(), "s2 h2 ");
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
  EXPECT_EQ(d().offeredQuestions(), QStringList{"Far"});
}

TEST_F(DialogueGame, TheDialogueKeepsRunningOverAFrameChangeAndTheNewFramesOwnIsIgnored) {
  QuestionSpec leave = QuestionSpec("Show me the hall").script(1, "Action.GoToFrame \"Hall\"");
  leave.hotspot2 = 1;  // the hall's hotspot by then
  dialogue("Room", {leave, QuestionSpec("Stay").withId(2)});
  dialogue("Hall", {QuestionSpec("Anyone here?")});
  open();
  ask("Show me the hall");
  EXPECT_EQ(game->frame.CurrentFrameName, "Hall");
  EXPECT_EQ(log(), "hall ");
  EXPECT_EQ(d().DialogueFrame, "Room");
  EXPECT_EQ(d().offeredQuestions(), (QStringList{"Show me the hall", "Stay"}));
  EXPECT_EQ(d().ResumeFrame(), "Room");
  EXPECT_EQ(d().DialogueFile(), fx.module().paths.FramesDataPath + "Room.dlg");
  // A new game ends it.
  game->ResetAll();
  EXPECT_FALSE(d().DialogueActive);
  EXPECT_FALSE(d().fmeDialogue().isVisible());
  EXPECT_EQ(d().questionCount(), 0);
  EXPECT_TRUE(d().DialogueFile().isEmpty());
}

TEST_F(DialogueGame, ErrorsAreReportedWithTheirRoutineAndTheGameGoesOn) {
  fx.project.write("FramesData/Room.dlg", "1,0,2,\"t\",\"p\",0,0,0,0,0,0\r\n2\r\n\"Cut short\",\"\"\r\n");
  open();
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_EQ(fx.project.log[0].toStdString(),
            "msgbox critical \"Error\" \"Error loading the dialogue.\\n\\nInput past end of file\" -> OK");
  EXPECT_FALSE(d().DialogueActive);
  EXPECT_FALSE(d().fmeDialogue().isVisible());
  EXPECT_EQ(d().questionCount(), 0);
  EXPECT_EQ(game->areas().AreaCount(), 2);  // the frame was built

  fx.project.log.clear();
  dialogue("Room", {QuestionSpec("Hello")});
  open();
  ASSERT_TRUE(d().DialogueActive);
  d().RuntimeQuestionClick(5);
  ASSERT_EQ(fx.project.log.size(), 1);
  EXPECT_TRUE(fx.project.log[0].contains(" Error in RuntimeQuestionClick. Control array element '5' doesn't exist"))
      << fx.project.log[0].toStdString();
  EXPECT_TRUE(d().fmeDialogue().isVisible());
}

TEST_F(DialogueGame, AClickWhoseDialogueWentWhileItsReplyShowedStopsThere) {
  QuestionSpec ask = QuestionSpec("Tell me").reply("Well...").script(3, "Trail = Trail & \"s3 \"");
  ask.showAfter = {2};
  dialogue("Room", {ask});
  QuestionSpec hallFirst = QuestionSpec("Anyone here?");
  QuestionSpec hallSecond = QuestionSpec("Hello?").hidden();
  hallSecond.id = 2;
  dialogue("Hall", {hallFirst, hallSecond});
  open();
  // The player starts again elsewhere while the reply shows.
  QTimer::singleShot(20, game, [this] {
    game->ResetAll();
    game->OpenFrame("Hall", false, 0, 0);
  });
  d().RuntimeQuestionClick(1);
  EXPECT_EQ(log(), "");
  EXPECT_EQ(d().DialogueFrame, "Hall");
  EXPECT_EQ(d().offeredQuestions(), QStringList{"Anyone here?"});
  EXPECT_FALSE(d().DialogueQuestions(2)->QuestionShown);
}

TEST_F(DialogueGame, TheWaitForAReplyEndsWhenTheGameWindowCloses) {
  dialogue("Room", {QuestionSpec("Tell me").reply("A long, long story that takes its time.")});
  open();
  game->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(game));
  QTimer::singleShot(20, game, [this] { game->close(); });
  QElapsedTimer clock;
  clock.start();
  d().RuntimeQuestionClick(1);
  EXPECT_LT(clock.elapsed(), 2000);
  EXPECT_FALSE(game->isVisible());
}

TEST_F(DialogueGame, AMouseClickOnAQuestionAsksItOnceEvenWhenDoubled) {
  QuestionSpec count = QuestionSpec("Count").script(1, "Count = Count + 1");
  dialogue("Room", {count});
  open();
  game->show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(game));
  QWidget* viewport = game->PictureBox->viewport();
  const QPoint at =
      viewport->mapTo(game, game->PictureBox->mapFromScene(d().lblDialogue(1)->sceneBoundingRect().center()));
  QTest::mouseDClick(game->windowHandle(), Qt::LeftButton, {}, at);
  test::runEventsFor(100);

  EXPECT_EQ(game->vars.GetVariableValue("Count"), 1);
  EXPECT_EQ(d().lblDialogue(1)->brush().color(), QColor(170, 170, 170));
  // A right button asks nothing.
  QTest::mouseClick(game->windowHandle(), Qt::RightButton, {}, at);
  test::runEventsFor(50);
  EXPECT_EQ(game->vars.GetVariableValue("Count"), 1);
  game->hide();
}

TEST_F(DialogueGame, ASavedGameCanPutTheDialogueBackAsItWas) {
  QuestionSpec a = QuestionSpec("A");
  QuestionSpec b = QuestionSpec("B").hidden();
  a.showAfter = {2};
  b.id = 2;
  dialogue("Room", {a, b});
  open();
  ask("A");
  const std::vector<Dialogue::QuestionState> states = d().questionStates();
  ASSERT_EQ(states.size(), 2u);
  EXPECT_TRUE(states[0].asked && states[1].shown && !states[1].asked);
  game->ResetAll();
  EXPECT_TRUE(d().questionStates().empty());
  ASSERT_TRUE(d().restoreDialogue("Room", states));
  EXPECT_EQ(d().DialogueFrame, "Room");
  EXPECT_EQ(d().offeredQuestions(), (QStringList{"A", "B"}));
  EXPECT_EQ(d().lblDialogue(1)->brush().color(), QColor(170, 170, 170));
  EXPECT_FALSE(d().restoreDialogue("Hall", states));
  EXPECT_FALSE(d().DialogueActive);
}

}  // namespace
}  // namespace storyloom
