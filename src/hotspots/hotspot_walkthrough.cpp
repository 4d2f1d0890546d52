// Walkthrough commands for the hotspots and variables of the current frame.
#include "hotspots/hotspot_walkthrough.h"

#include <QApplication>
#include <QMouseEvent>

#include "game/game.h"
#include "hotspots/frame_areas.h"
#include "shell/application.h"
#include "shell/walkthrough.h"
#include "shell/display.h"

namespace storyloom {

using Step = WalkthroughRunner::Step;

void registerHotspotWalkthroughCommands(WalkthroughRunner& runner, Application& application) {
  auto playing = [&application]() -> Game* {
    Game* g = application.game();
    return g && g->isVisible() ? g : nullptr;
  };
  auto hotspot = [playing](const QString& number, Game** game, HotspotItem** area) -> Step {
    *game = playing();
    if (!*game) return Step::again(QStringLiteral("no game window"));
    bool ok = false;
    const int n = number.toInt(&ok);
    if (!ok) return Step::fail(QStringLiteral("\"%1\" is no hotspot number").arg(number));
    *area = (*game)->areas().Area(n);
    if (!*area)
      return Step::again(QStringLiteral("frame \"%1\" has %2 hotspots")
                             .arg((*game)->frame.CurrentFrameName)
                             .arg((*game)->areas().AreaCount()));
    return Step::done();
  };

  // click-hotspot N [left|right]: a press at the centre of hotspot N of the current frame,
  // through the picture, as the player's mouse would.
  runner.addCommand(QStringLiteral("click-hotspot"), 1, 2, [hotspot](const QStringList& a) {
    Game* game = nullptr;
    HotspotItem* area = nullptr;
    if (Step s = hotspot(a[0], &game, &area); s.kind != Step::Done) return s;
    if (!area->isVisible()) return Step::again(QStringLiteral("hotspot %1 is hidden").arg(a[0]));
    const QString which = a.size() > 1 ? a[1].toLower() : QStringLiteral("left");
    if (which != QLatin1String("left") && which != QLatin1String("right"))
      return Step::fail(QStringLiteral("the button is left or right"));
    QGraphicsView* view = game->PictureBox;
    const QPoint at = ViewPointOfPicturePixel(*view, PicturePixelAt(area->sceneBoundingRect().center()));
    sendWalkthroughClick(view->viewport(), at, which == QLatin1String("right") ? Qt::RightButton : Qt::LeftButton);
    return Step::done();
  });

  // expect-var NAME VALUE: the first integer variable NAME (else the first variant one)
  // holds VALUE.
  runner.addCommand(QStringLiteral("expect-var"), 2, 2, [playing](const QStringList& a) {
    Game* game = playing();
    if (!game) return Step::again(QStringLiteral("no game window"));
    QString value;
    bool found = false;
    for (const auto& v : game->vars.Variables) {
      if (v->Name == a[0]) {
        value = QString::number(v->Value);
        found = true;
        break;
      }
    }
    if (!found) {
      for (const auto& v : game->vars.VariablesVariant) {
        if (v->Name == a[0]) {
          try {
            value = QString::fromStdU16String(v->Value.toConcatString());
          } catch (const std::exception&) {
            value = QStringLiteral("(no text)");
          }
          found = true;
          break;
        }
      }
    }
    if (!found) return Step::fail(QStringLiteral("no variable \"%1\"").arg(a[0]));
    if (value != a[1]) return Step::again(QStringLiteral("found %1").arg(value));
    return Step::done();
  });

  const auto visibility = [hotspot](bool wanted) {
    return [hotspot, wanted](const QStringList& a) {
      Game* game = nullptr;
      HotspotItem* area = nullptr;
      if (Step s = hotspot(a[0], &game, &area); s.kind != Step::Done) return s;
      if (area->isVisible() != wanted)
        return Step::again(QStringLiteral("hotspot %1 is %2").arg(a[0], area->isVisible() ? "visible" : "hidden"));
      return Step::done();
    };
  };
  runner.addCommand(QStringLiteral("expect-visible"), 1, 1, visibility(true));
  runner.addCommand(QStringLiteral("expect-hidden"), 1, 1, visibility(false));
}

}  // namespace storyloom
