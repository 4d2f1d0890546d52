#include "shell/frm_welcome.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPainter>
#include <QScreen>
#include <stdexcept>

#include "platform/conversions.h"
#include "platform/skipped_steps.h"
#include "platform/twips.h"
#include "shell/editor_and_game.h"
#include "shell/scheme_file.h"

namespace storyloom {
namespace {

const char kProductAddress[] = "https://www.storyloom.org";
constexpr int kDesignHeight = 3900;  // twips, before the rows are laid out

ClickableLabel* makeLabel(QWidget* parent, const char* name, double left, double top, double width, double height) {
  auto* l = new ClickableLabel(parent);
  l->setObjectName(QLatin1String(name));
  setTwipsGeometry(l, left, top, width, height);
  return l;
}

QPixmap makeLogo(bool inverted, bool large) {
  QPixmap p(large ? 72 : 64, 96);
  p.fill(inverted ? QColor(20, 20, 60) : QColor(235, 225, 200));
  QPainter g(&p);
  g.setPen(inverted ? QColor(235, 225, 200) : QColor(20, 20, 60));
  QFont f(QStringLiteral("Liberation Serif"), large ? 11 : 9, QFont::Bold);
  g.setFont(f);
  g.drawText(QRect(0, 48, p.width(), 48), Qt::AlignCenter, QStringLiteral("Story\nloom"));
  return p;
}

}  // namespace

frmWelcome::frmWelcome(EditorAndGame& module, Launcher launcher)
    : QWidget(nullptr, Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      module_(module),
      launcher_(std::move(launcher)) {
  setObjectName(QStringLiteral("frmWelcome"));
  buildControls();
}

void frmWelcome::buildControls() {
  resize(twipsToPixels(4800), twipsToPixels(kDesignHeight));
  setAutoFillBackground(true);
  QFont serif(QStringLiteral("Liberation Serif"), 12, QFont::Bold);
  QFont sans(QStringLiteral("Liberation Sans"), 8);

  const char* imgNames[] = {"Img0", "Img1", "Img2", "Img3"};
  const char* buttonNames[] = {"lblButton0", "lblButton1", "lblButton2"};
  const char* designCaptions[] = {"Start", "Load", "Exit"};
  for (int i = 0; i < 3; ++i) {
    const double top = 1080 + 480 * i;
    Img[i] = makeLabel(this, imgNames[i], 1440, top, 1920, 420);
    Img[i]->setScaledContents(false);
    Img[i]->hide();
    lblButton[i] = makeLabel(this, buttonNames[i], 1440, top, 1920, 420);
    lblButton[i]->setText(QLatin1String(designCaptions[i]));
    lblButton[i]->setFont(serif);
    lblButton[i]->setCursor(Qt::PointingHandCursor);
    connect(Img[i], &ClickableLabel::clicked, this, [this, i] { ClickButton(i); });
    connect(lblButton[i], &ClickableLabel::clicked, this, [this, i] { ClickButton(i); });
  }
  Img[3] = makeLabel(this, imgNames[3], 0, 0, 4800, kDesignHeight);
  Img[3]->hide();
  Img[3]->lower();  // the background lies behind every button and label

  txtAdventureName = makeLabel(this, "txtAdventureName", 240, 240, 4320, 600);
  txtAdventureName->setFont(QFont(QStringLiteral("Liberation Serif"), 16, QFont::Bold));
  txtAdventureName->setAlignment(Qt::AlignCenter);
  txtAdventureName->setWordWrap(true);
  txtVersion = makeLabel(this, "txtVersion", 240, 3000, 4320, 255);
  lblAuthor = makeLabel(this, "lblAuthor", 240, 3000, 1260, 255);
  txtAuthor = makeLabel(this, "txtAuthor", 1500, 3000, 3060, 255);
  lblEmail = makeLabel(this, "lblEmail", 240, 3000, 1260, 255);
  txtEmail = makeLabel(this, "txtEmail", 1500, 3000, 3060, 255);
  lblHomepage = makeLabel(this, "lblHomepage", 240, 3000, 1260, 255);
  txtHomepage = makeLabel(this, "txtHomepage", 1500, 3000, 3060, 255);
  for (ClickableLabel* l : {txtVersion, lblAuthor, txtAuthor, lblEmail, txtEmail, lblHomepage, txtHomepage}) {
    l->setFont(sans);
    l->hide();
  }
  txtEmail->setCursor(Qt::PointingHandCursor);
  txtHomepage->setCursor(Qt::PointingHandCursor);
  chkResolution = new QCheckBox(this);
  chkResolution->setObjectName(QStringLiteral("chkResolution"));
  setTwipsGeometry(chkResolution, 240, 3000, 255, 210);
  lblResolution = makeLabel(this, "lblResolution", 540, 3000, 4020, 255);
  lblResolution->setFont(sans);
  imgLogo = makeLabel(this, "imgLogo", 4560, -720, 1080, 1440);
  imgLogos = {makeLogo(false, false), makeLogo(true, false), makeLogo(false, true), makeLogo(true, true)};
  imgLogo->setPixmap(imgLogos[0]);
  imgLogo->setCursor(Qt::PointingHandCursor);

  for (ClickableLabel* l : {txtAdventureName, txtVersion, txtAuthor, txtEmail, txtHomepage}) l->setDragsWindow(true);
  connect(txtEmail, &ClickableLabel::clicked, this, &frmWelcome::onEmailClicked);
  connect(txtHomepage, &ClickableLabel::clicked, this, &frmWelcome::onHomepageClicked);
  connect(imgLogo, &ClickableLabel::clicked, this, &frmWelcome::onLogoClicked);
  connect(lblResolution, &ClickableLabel::clicked, this, &frmWelcome::onResolutionLabelClicked);
}

void frmWelcome::centre(bool changeWidth) {
  const QScreen* screen = QApplication::primaryScreen();
  const QRect s = screen ? screen->geometry() : QRect(0, 0, 1024, 768);
  move(s.width() / 2 - width() / 2, s.height() / 2 - height() / 2);
  if (changeWidth) resize(twipsToPixels(4800), height());
}

frmWelcome::LoadResult frmWelcome::Form_Load(const QString& hostProjectFolder) {
  // A step that fails is skipped; one report follows at the end.
  bool failed = false;
  auto step = [&failed](const char* what, auto&& f) {
    if (runSkippingErrors(QStringLiteral("welcome window: ") + QLatin1String(what), f)) failed = true;
  };
  ProjectSettings& s = module_.settings;
  step("centring", [&] { centre(true); });
  if (module_.InitProject(hostProjectFolder) == EditorAndGame::InitResult::EndProgram) return LoadResult::EndProgram;
  step("storing the project path",
       [&] { module_.userSettings().set(s.ProjectName, QStringLiteral("Path"), module_.paths.ProjectPath); });
  if (s.SkipWelcomeWindow) {
    hide();
    ClickButton(0);
    if (failed) module_.ReportError(QStringLiteral(" Error loading project information."));
    return LoadResult::Skipped;
  }
  step("the stored resolution choice", [&] {
    if (!s.ProjectName.isEmpty()) {
      const QString stored =
          module_.userSettings().get(s.ProjectName, QStringLiteral("ChangeResolution"), QStringLiteral("1"));
      chkResolution->setChecked(stored.trimmed().toInt() != 0);
    }
  });
  const int border = 0;  // the window has no border: its height is its inner height
  int y = 3000;
  step("the title", [&] { txtAdventureName->setText(s.GameTitle); });
  step("the credit rows", [&] {
    if (!s.VersionText.isEmpty()) {
      txtVersion->setText(s.VersionText);
      setTwipsTop(txtVersion, y);
      txtVersion->show();
      y += 255;
    } else {
      txtVersion->setText(QString());
      txtVersion->hide();
    }
    const struct {
      const QString& value;
      ClickableLabel* text;
      ClickableLabel* caption;
    } rows[] = {{s.AuthorName, txtAuthor, lblAuthor},
                {s.AuthorEmail, txtEmail, lblEmail},
                {s.WebSite, txtHomepage, lblHomepage}};
    for (const auto& row : rows) {
      if (row.value.isEmpty()) continue;
      row.text->setText(row.value);
      setTwipsTop(row.text, y);
      setTwipsTop(row.caption, y);
      row.text->show();
      row.caption->show();
      y += 255;
    }
  });
  step("the resolution row", [&] {
    const bool matches = launcher_.resolutionMatchesProject ? launcher_.resolutionMatchesProject() : false;
    if (matches || s.ChangeResolutionOption != 1) {
      chkResolution->hide();
      lblResolution->hide();
    } else {
      setTwipsTop(chkResolution, y + 45);
      setTwipsTop(lblResolution, y);
      y += 255;
      chkResolution->show();
      lblResolution->show();
    }
  });
  step("the height", [&] {
    resize(width(), twipsToPixels(border + y + 150));
    Img[3]->resize(size());
    centre(false);
  });
  step("the scheme", [&] { UseScheme(s.SchemeName); });
  step("the credit captions", [&] {
    lblAuthor->setText(module_.texts(4));
    lblEmail->setText(module_.texts(5));
    lblHomepage->setText(module_.texts(6));
  });
  step("the resolution caption", [&] {
    QString suffix;
    switch (s.ResolutionMode) {
      case 0: suffix = QStringLiteral(" 640x480."); break;
      case 1: suffix = QStringLiteral(" 800x600."); break;
      case 2: suffix = QStringLiteral(" 1024x768."); break;
    }
    QString t = module_.texts(7);
    if (t.size() > 1 && t.endsWith('.')) t.chop(1);
    if (t.size() > 7) {
      const QString last = t.right(7);
      if (last.toLower() == QLatin1String("640x480") || last == QLatin1String("640*480")) t.chop(7);
    }
    if (t.size() > 9) {
      const QString last = t.right(9);
      if (last.toLower() == QLatin1String("640 x 480") || last == QLatin1String("640 * 480")) t.chop(9);
    }
    while (t.endsWith(' ')) t.chop(1);
    lblResolution->setText(t + suffix);
  });
  step("the Load button", [&] {
    if (s.DisableLoad) {
      Img[1]->hide();
      lblButton[1]->hide();
      setTwipsTop(lblButton[2], 1560);
    }
    if (lblButton[1]->text().isEmpty()) {
      lblButton[1]->hide();
      setTwipsTop(lblButton[2], 1560);
    }
  });
  step("the logo", [&] {
    if (!s.HideProductLogo) {
      imgLogo->show();
      imgLogo->raise();
    } else {
      imgLogo->hide();
    }
    imgLogo->move(twipsToPixels(logoFlag_ ? 4440 : 4560), twipsToPixels(-720));
    if (logoNumber_ == 0 || logoNumber_ == 1)
      imgLogo->setPixmap(imgLogos[static_cast<size_t>(logoNumber_ + (logoFlag_ ? 2 : 0))]);
  });
  show();
  if (failed) module_.ReportError(QStringLiteral(" Error loading project information."));
  return LoadResult::Shown;
}

void frmWelcome::showButtonLabel(int i) {
  lblButton[i]->setText(module_.texts(i + 1));
  lblButton[i]->adjustSize();
  lblButton[i]->show();
}

void frmWelcome::UseScheme(const QString& schemeName) {
  // A button picture stands for its caption (assistive tools and walkthroughs name it so).
  for (int i = 0; i < 3; ++i) Img[i]->setAccessibleName(module_.texts(i + 1));
  const QString folder = module_.paths.SchemesPath + schemeName + '\\';
  const QString file = folder + QStringLiteral("Scheme.txt");
  if (!module_.FileExists(file)) {
    for (int i = 0; i < 3; ++i) {
      Img[i]->hide();
      showButtonLabel(i);
    }
    return;
  }
  SchemeFile scheme;
  const auto failed = runSkippingErrors(QStringLiteral("opening the scheme ") + file, [&] {
    FieldReader f = module_.OpenFieldFile(file);
    scheme = readSchemeFile(f);
  });
  if (failed || scheme.endsBeforePictures) return;  // the buttons keep their designer state
  for (int i = 0; i < kSchemePictures && i < scheme.pictures.size(); ++i) {
    const QString& name = scheme.pictures[i];
    if (!SchemeFile::namesPicture(name)) {
      Img[i]->setPixmap(QPixmap());
      Img[i]->hide();
      continue;
    }
    const QPixmap picture(module_.hostPathOf(folder + name));
    // A picture that cannot be loaded leaves the plain button rather than an invisible one.
    Img[i]->setPixmap(picture);
    if (picture.isNull()) {
      Img[i]->hide();
    } else if (i < 3) {
      Img[i]->resize(picture.size());
      Img[i]->show();
    }
  }
  for (int i = 0; i < 3; ++i) {
    if (Img[i]->isHidden())
      showButtonLabel(i);
    else
      lblButton[i]->hide();
  }
  // The background picture is painted by the window itself, behind every control.
  setBackgroundPicture(Img[3]->pixmap());
  if (scheme.backgroundColour && background_.isNull()) {
    QPalette pal = palette();
    pal.setColor(QPalette::Window, colorFromNumber(*scheme.backgroundColour));
    setPalette(pal);
  }
  auto colour = [](QLabel* l, qint32 number) {
    QPalette pal = l->palette();
    pal.setColor(QPalette::WindowText, colorFromNumber(number));
    l->setPalette(pal);
  };
  if (scheme.titleColour) colour(txtAdventureName, *scheme.titleColour);
  if (scheme.textColour) {
    for (QLabel* l :
         {static_cast<QLabel*>(lblResolution), static_cast<QLabel*>(txtVersion), static_cast<QLabel*>(lblAuthor),
          static_cast<QLabel*>(lblEmail), static_cast<QLabel*>(lblHomepage), static_cast<QLabel*>(txtAuthor),
          static_cast<QLabel*>(txtEmail), static_cast<QLabel*>(txtHomepage)})
      colour(l, *scheme.textColour);
  }
  if (scheme.buttonColour) {
    for (int i = 0; i < 3; ++i) colour(lblButton[i], *scheme.buttonColour);
  }
  if (scheme.hideTitle) txtAdventureName->setVisible(!*scheme.hideTitle);
  if (scheme.logoNumber) logoNumber_ = *scheme.logoNumber;
  if (scheme.logoFlag) logoFlag_ = *scheme.logoFlag;
}

void frmWelcome::setBackgroundPicture(const QPixmap& picture) {
  Img[3]->hide();
  background_ = picture;
  update();
}

void frmWelcome::paintEvent(QPaintEvent* e) {
  QWidget::paintEvent(e);
  if (!background_.isNull()) {
    // Tiles from the top left corner in steps of the picture's size, covering the window.
    QPainter g(this);
    g.drawTiledPixmap(rect(), background_);
  }
}

void frmWelcome::ClickButton(int index) {
  ProjectSettings& s = module_.settings;
  const auto failed = runSkippingErrors(QStringLiteral("welcome window: button %1").arg(index), [&] {
    switch (index) {
      case 0:
        if (!chkResolution->isHidden() && chkResolution->isChecked() && s.ChangeResolutionOption == 1 &&
            !s.SkipWelcomeWindow) {
          hide();
          if (launcher_.changeResolution) launcher_.changeResolution(s.ResolutionMode + 1);
        }
        if (!launcher_.startGame) throw std::runtime_error("no game window");
        launcher_.startGame();
        break;
      case 1:
        setTopmost(false);
        if (launcher_.showLoadDialog) launcher_.showLoadDialog();
        break;
      case 2: close(); break;
    }
  });
  if (failed)
    module_.ReportError(QStringLiteral(" Error loading the main program window. Try restarting the program."));
}

// The window keeps the flags it was shown with: changing them would re-create its native
// window (a flicker on a real desktop). Message boxes are its children and so open above it;
// coming back on top is a raise.
void frmWelcome::setTopmost(bool topmost) {
  topmost_ = topmost;
  if (topmost && isVisible()) raise();
}

void frmWelcome::onEmailClicked() {
  setTopmost(false);
  const QString address = txtEmail->text();
  const int answer = module_.MessageBox(module_.texts(13) + ' ' + address + QStringLiteral(" ?"),
                                        msg::YesNo | msg::Question, module_.settings.GameTitle);
  if (answer == msg::Yes) {
    if (launcher_.openUrl) launcher_.openUrl(QStringLiteral("mailto:") + address);
  } else {
    setTopmost(true);
  }
}

void frmWelcome::onHomepageClicked() {
  setTopmost(false);
  const QString address = txtHomepage->text();
  const int answer = module_.MessageBox(module_.texts(14) + ' ' + address + QStringLiteral(" ? ") + module_.texts(15),
                                        msg::YesNo | msg::Question, module_.settings.GameTitle);
  if (answer == msg::Yes) {
    if (launcher_.openUrl) launcher_.openUrl(address);
  } else {
    setTopmost(true);
  }
}

void frmWelcome::onLogoClicked() {
  setTopmost(false);
  const int answer = module_.MessageBox(
      QStringLiteral("For details and downloads, visit: ") + QLatin1String(kProductAddress) +
          QStringLiteral("\r\n\r\nDo you want to visit it now? (You must be connected to the Internet)"),
      msg::YesNo | msg::Information, QStringLiteral("Storyloom"));
  if (answer == msg::Yes) {
    if (launcher_.openUrl) launcher_.openUrl(QLatin1String(kProductAddress));
  } else {
    setTopmost(true);
  }
}

void frmWelcome::onResolutionLabelClicked() {
  chkResolution->setChecked(!chkResolution->isChecked());
  module_.userSettings().set(module_.settings.ProjectName, QStringLiteral("ChangeResolution"),
                             chkResolution->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void frmWelcome::closeEvent(QCloseEvent* e) {
  e->accept();
  QCoreApplication::exit(0);  // closing the welcome window ends the program, whatever is open
}

void frmWelcome::keyPressEvent(QKeyEvent* e) {
  if (e->key() == Qt::Key_Escape) {
    close();
    return;
  }
  QWidget::keyPressEvent(e);
}

void frmWelcome::mousePressEvent(QMouseEvent* e) {
  if (e->button() == Qt::LeftButton) dragGrab_ = e->globalPosition().toPoint() - frameGeometry().topLeft();
}

void frmWelcome::mouseMoveEvent(QMouseEvent* e) {
  if (e->buttons() & Qt::LeftButton) move(e->globalPosition().toPoint() - dragGrab_);
}

void frmWelcome::changeEvent(QEvent* e) {
  if (e->type() == QEvent::ActivationChange && isActiveWindow()) setTopmost(true);
  QWidget::changeEvent(e);
}

}  // namespace storyloom
