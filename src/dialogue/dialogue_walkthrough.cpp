// Walkthrough commands for the dialogue: the questions offered and clicking one of them.
#include "dialogue/dialogue_walkthrough.h"

#include "dialogue/dialogue.h"
#include "game/game.h"
#include "shell/application.h"
#include "shell/walkthrough.h"

namespace storyloom {

namespace {

using Step = WalkthroughRunner::Step;

QuestionLabel* offeredLabel(Dialogue& dialogue, const QString& text) {
  if (!dialogue.fmeDialogue().isVisible()) return nullptr;
  for (int i = 1; i <= dialogue.lblDialogueCount(); ++i)
    if (QuestionLabel* label = dialogue.lblDialogue(i); label->text() == text) return label;
  return nullptr;
}

Step offeredNow(Dialogue& dialogue) {
  const QStringList offered = dialogue.offeredQuestions();
  if (offered.isEmpty()) return Step::again(QStringLiteral("no question is offered"));
  return Step::again(QStringLiteral("offered: \"%1\"").arg(offered.join(QStringLiteral("\", \""))));
}

}  // namespace

void registerDialogueWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  auto playing = [&application]() -> Game* {
    Game* g = application.game();
    return g && g->isVisible() ? g : nullptr;
  };
  // click-question TEXT: a press of the left button on the offered question TEXT, through
  // the picture, as the player's mouse would.
  runner.addCommand(QStringLiteral("click-question"), 1, 1, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    QuestionLabel* label = offeredLabel(g->dialogue(), a[0]);
    if (!label) return offeredNow(g->dialogue());
    QGraphicsView* view = g->PictureBox;
    sendWalkthroughClick(view->viewport(), view->mapFromScene(label->sceneBoundingRect().center()), Qt::LeftButton);
    return Step::done();
  });
  // expect-question TEXT [asked|new]: the box offers TEXT (grey when asked before, white
  // when not).
  runner.addCommand(QStringLiteral("expect-question"), 1, 2, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    QuestionLabel* label = offeredLabel(g->dialogue(), a[0]);
    if (!label) return offeredNow(g->dialogue());
    if (a.size() > 1) {
      const QString state = a[1].toLower();
      if (state != QLatin1String("asked") && state != QLatin1String("new"))
        return Step::fail(QStringLiteral("the state is asked or new"));
      const bool grey = label->brush().color() != QColor(Qt::white);
      if (grey != (state == QLatin1String("asked")))
        return Step::again(QStringLiteral("\"%1\" is shown %2")
                               .arg(a[0])
                               .arg(grey ? QStringLiteral("grey") : QStringLiteral("white")));
    }
    return Step::done();
  });
  // expect-no-question TEXT: once no question's click is being carried out, TEXT is not
  // offered.
  runner.addCommand(QStringLiteral("expect-no-question"), 1, 1, [playing](const QStringList& a) {
    Game* g = playing();
    if (!g) return Step::again(QStringLiteral("no game window"));
    Dialogue& dialogue = g->dialogue();
    if (dialogue.clickRunning()) return Step::again(QStringLiteral("a question is being answered"));
    if (offeredLabel(dialogue, a[0])) return Step::again(QStringLiteral("\"%1\" is offered").arg(a[0]));
    return Step::done();
  });
}

}  // namespace storyloom
