#pragma once
#include <QCheckBox>
#include <QLabel>
#include <QPixmap>
#include <QWidget>
#include <array>
#include <functional>

#include "platform/clickable_label.h"

// The welcome window: a small borderless window that stays on top, shows the game's
// title and credits, and offers Start, Load and Exit.
namespace storyloom {

class EditorAndGame;

class frmWelcome : public QWidget {
  Q_OBJECT
 public:
  // What the buttons hand over to: a new game, or the load-game dialog.
  struct Launcher {
    std::function<void()> startGame;  // load the game window, ResetAll, StartNewGame, show it
    std::function<void()> showLoadDialog;
    std::function<void(int mode)> changeResolution;  // display mode 1-3
    std::function<bool()> resolutionMatchesProject;
    std::function<void(const QString& url)> openUrl;
  };

  frmWelcome(EditorAndGame& module, Launcher launcher);

  enum class LoadResult { Shown, Skipped, EndProgram };
  // The window's loading: the project start-up, the texts and the scheme.
  LoadResult Form_Load(const QString& hostProjectFolder);

  void UseScheme(const QString& schemeName);
  void ClickButton(int index);

  // Controls, named as the project's texts and the walkthroughs know them.
  std::array<ClickableLabel*, 4> Img{};
  std::array<ClickableLabel*, 3> lblButton{};
  ClickableLabel* txtAdventureName = nullptr;
  ClickableLabel* txtVersion = nullptr;
  ClickableLabel* lblAuthor = nullptr;
  ClickableLabel* txtAuthor = nullptr;
  ClickableLabel* lblEmail = nullptr;
  ClickableLabel* txtEmail = nullptr;
  ClickableLabel* lblHomepage = nullptr;
  ClickableLabel* txtHomepage = nullptr;
  QCheckBox* chkResolution = nullptr;
  ClickableLabel* lblResolution = nullptr;
  ClickableLabel* imgLogo = nullptr;
  std::array<QPixmap, 4> imgLogos;

  int schemeLogoNumber() const { return logoNumber_; }
  bool schemeLogoFlag() const { return logoFlag_; }
  // The scheme's background picture, painted as tiles behind all controls.
  const QPixmap& backgroundPicture() const { return background_; }

  // Whether the window stands above the others: not while a question of its own or the
  // player's mail or web program has the front.
  void setTopmost(bool topmost);
  bool isTopmost() const { return topmost_; }

 protected:
  void closeEvent(QCloseEvent* e) override;
  void keyPressEvent(QKeyEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void paintEvent(QPaintEvent* e) override;
  void changeEvent(QEvent* e) override;

 private:
  bool topmost_ = true;
  void buildControls();
  void centre(bool changeWidth);
  void showButtonLabel(int i);
  void onEmailClicked();
  void onHomepageClicked();
  void onLogoClicked();
  void onResolutionLabelClicked();
  void setBackgroundPicture(const QPixmap& picture);

  EditorAndGame& module_;
  Launcher launcher_;
  int logoNumber_ = 0;
  bool logoFlag_ = false;
  QPixmap background_;
  QPoint dragGrab_;
};

}  // namespace storyloom
