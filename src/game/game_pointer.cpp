// The game window's placement, its pointers and the clicks on the plain picture.
#include <QApplication>
#include <QMenuBar>
#include <QScreen>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "media/video.h"
#include "hotspots/frame_areas.h"
#include "platform/twips.h"
#include "state/inventory.h"
#include "shell/editor_and_game.h"

namespace storyloom {

void Game::CenterWindowAndPictureBox() {
  const ProjectSettings& s = module_.settings;
  const QScreen* screen = this->screen() ? this->screen() : QApplication::primaryScreen();
  const QRect desktop = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  PlacementInput in;
  in.menuAlwaysVisible = s.MenuAlwaysVisible;
  in.desktopWidth = desktop.width() * kTwipsPerPixel;
  in.desktopHeight = desktop.height() * kTwipsPerPixel;
  in.screenWidth = s.ScreenWidth;
  in.screenHeight = s.ScreenHeight;
  if (!s.MenuAlwaysVisible) {
    setWindowTitle(QString());
    HideMenus();
  } else {
    ShowMenus();
    setWindowTitle(s.GameTitle + ' ');
  }
  // The window's geometry is its inner area plus the menu bar; decorations lie outside.
  const bool bar = menuBar()->isVisibleTo(this) && !menuBar()->isHidden();
  in.chromeHeight = bar ? menuBar()->sizeHint().height() * kTwipsPerPixel : 0;
  placement_ = ComputePlacement(in);
  const Placement& p = placement_;
  setGeometry(desktop.x() + twipsToPixels(p.windowLeft), desktop.y() + twipsToPixels(p.windowTop),
              twipsToPixels(p.windowWidth), twipsToPixels(p.windowHeight));
  PictureBox->setGeometry(twipsToPixels(p.pictureLeft), twipsToPixels(p.pictureTop), twipsToPixels(p.pictureWidth),
                          twipsToPixels(p.pictureHeight));
  scene_.setSceneRect(0, 0, s.ScreenWidth, s.ScreenHeight);
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
