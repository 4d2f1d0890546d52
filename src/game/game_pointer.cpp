// The game window's placement, its pointers and the clicks on the plain picture.
#include <QApplication>
#include <QMenuBar>
#include <QResizeEvent>
#include <QScreen>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "media/video.h"
#include "hotspots/frame_areas.h"
#include "platform/twips.h"
#include "state/inventory.h"
#include "shell/display.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

const QString kFullScreenKey = QStringLiteral("FullScreen");
const QString kWindowWidthKey = QStringLiteral("WindowWidth");
const QString kWindowHeightKey = QStringLiteral("WindowHeight");

}  // namespace

void Game::CenterWindowAndPictureBox() {
  const ProjectSettings& s = module_.settings;
  // The window is laid out on the game's display; the real window shows that scaled.
  const Display& display = module_.display();
  PlacementInput in;
  in.menuAlwaysVisible = s.MenuAlwaysVisible;
  in.desktopWidth = display.DesktopWidth() * kTwipsPerPixel;
  in.desktopHeight = display.DesktopHeight() * kTwipsPerPixel;
  in.screenWidth = s.ScreenWidth;
  in.screenHeight = s.ScreenHeight;
  if (!s.MenuAlwaysVisible) {
    setWindowTitle(QString());
    HideMenus();
  } else {
    ShowMenus();
    setWindowTitle(s.GameTitle + ' ');
  }
  const bool bar = menuBar()->isVisibleTo(this) && !menuBar()->isHidden();
  in.chromeHeight = bar ? menuBar()->sizeHint().height() * kTwipsPerPixel : 0;
  placement_ = ComputePlacement(in);
  scene_.setSceneRect(0, 0, s.ScreenWidth, s.ScreenHeight);
  // Without a menu bar always shown the window covered the desktop: full screen unless the
  // player chose a window.
  const QString stored = module_.userSettings().get(s.ProjectName, kFullScreenKey);
  fullScreen_ =
      stored.isEmpty() ? !s.MenuAlwaysVisible : stored.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
  applyWindowMode();
}

void Game::ToggleFullScreen() { SetFullScreen(!fullScreen_); }

void Game::SetFullScreen(bool fullScreen) {
  fullScreen_ = fullScreen;
  module_.userSettings().set(module_.settings.ProjectName, kFullScreenKey,
                             fullScreen ? QStringLiteral("True") : QStringLiteral("False"));
  applyWindowMode();
}

void Game::applyWindowMode() {
  // Full screen shows the window's inner area on the game's display (for a window that
  // covered the desktop, the whole display); a window shows the picture alone.
  const Placement& p = placement_;
  const QSize picture(twipsToPixels(p.pictureWidth), twipsToPixels(p.pictureHeight));
  if (fullScreen_)
    container_->setVirtualArea(QSize(twipsToPixels(p.innerWidth), twipsToPixels(p.innerHeight)),
                               QRect(QPoint(twipsToPixels(p.pictureLeft), twipsToPixels(p.pictureTop)), picture));
  else
    container_->setVirtualArea(picture, QRect(QPoint(0, 0), picture));
  const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  if (fullScreen_) {
    if (isVisible()) {
      showFullScreen();
    } else {
      // At the screen's size already, so that showing the window changes no layout.
      if (screen) setGeometry(screen->geometry());
      setWindowState(windowState() | Qt::WindowFullScreen);
    }
    return;
  }
  if (isVisible() && isFullScreen())
    showNormal();
  else
    setWindowState(windowState() & ~Qt::WindowFullScreen);
  const QRect work = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
  // The remembered inner size, else the game's display at the largest whole size that
  // fits the screen.
  const QString& section = module_.settings.ProjectName;
  QSize inner(module_.userSettings().get(section, kWindowWidthKey).toInt(),
              module_.userSettings().get(section, kWindowHeightKey).toInt());
  if (inner.width() < 1 || inner.height() < 1)
    inner = ChooseDisplayScale(container_->virtualArea(), work.size(), devicePixelRatioF()).shown.size();
  const bool bar = module_.settings.MenuAlwaysVisible && !menuBar()->isHidden();
  const QSize outer(inner.width(), inner.height() + (bar ? menuBar()->sizeHint().height() : 0));
  setGeometry(QRect(work.center() - QPoint(outer.width() / 2, outer.height() / 2), outer));
}

void Game::resizeEvent(QResizeEvent* e) {
  QMainWindow::resizeEvent(e);
  // The player's window size is remembered for the next game of the project.
  if (!isVisible() || isFullScreen() || fullScreen_ || closing_) return;
  const QString& section = module_.settings.ProjectName;
  module_.userSettings().set(section, kWindowWidthKey, QString::number(container_->width()));
  module_.userSettings().set(section, kWindowHeightKey, QString::number(container_->height()));
}

void Game::SetScreenPointerArrow() {
  const QCursor cursor = IsSystemPointerName(module_.settings.DefaultPointer) || !pointer_.isCustom()
                             ? QCursor(Qt::ArrowCursor)
                             : pointer_.cursor();
  if (overrideCursor_)
    QApplication::changeOverrideCursor(cursor);
  else
    QApplication::setOverrideCursor(cursor);
  overrideCursor_ = true;
}

void Game::SetScreenPointerDefault() {
  if (!overrideCursor_) return;
  QApplication::restoreOverrideCursor();
  overrideCursor_ = false;
}

void Game::ResetDefaultPointer() {
  const QString setting = module_.settings.DefaultPointer;
  QString host;
  if (!IsSystemPointerName(setting))
    host = module_.hostPathOf(module_.ResolveProjectFile(module_.paths.IconsPath + setting));
  pointer_.load(setting, host);
  applyPointer();
  SetScreenPointerDefault();
}

void Game::applyPointer(bool animationStep) {
  const QCursor cursor = pointer_.cursor();
  PictureBox->viewport()->setCursor(cursor);
  BackImage->setCursor(cursor);
  areas_->SetTemplatePointer(cursor);
  // The fixed controls and the templates take the pointer; texts already shown keep theirs,
  // except that those made from the template follow its animation.
  if (animationStep)
    texts_->templatePointerStepped(cursor);
  else
    texts_->setTemplatePointer(cursor);
  messageBar_->setCursor(cursor);
  messageBar_->LabelMessageBox()->setCursor(cursor);
  container_->setCursor(cursor);
}

void Game::SaveClickPos(float sglLeft, float sglTop) { LastClickPosition = ClickPositionFromTwips(sglLeft, sglTop); }

void Game::menuRule(Qt::MouseButton button) {
  if (button != Qt::RightButton) {
    HideMenus();
  } else if (!mnuExit->isVisible()) {
    ShowMenus();
  } else if (!MenuClicked) {
    HideMenus();
  }
}

void Game::PictureMouseDown(Qt::MouseButton button) {
  StopMovie = true;
  module_.UserInterrupt = true;
  if (video().IsOneTimeVideoPlaying()) return;
  menuRule(button);
}

void Game::picWhere_MouseDown(Qt::MouseButton button) { menuRule(button); }

void Game::PictureMouseMove() { inventory().PointerOverFrame(); }

}  // namespace storyloom
