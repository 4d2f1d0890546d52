#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QWindow>

#include "platform/twips.h"
#include "shell/frm_welcome.h"
#include "support/test_support.h"

using namespace storyloom;
using storyloom::test::TempProject;

namespace {

QString general(const QString& version, const QString& author, const QString& email, const QString& web,
                int changeResolution, const QString& scheme, bool disableLoad = false, bool skipWelcome = false,
                int resolutionMode = 1) {
  return QString(
             "\"P\",\"\",\"Title\",0,\"Start\",\"%1\",800,600,\"%2\",\"%3\",\"%4\"\r\n%5\r\n\"\",0,0,\"%6\"\r\n"
             "0,0,0,%7,#FALSE#,0\r\n\"\",0,10,10,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#TRUE#,#FALSE#,\"DEFAULT\",\"DEFAULT\",%9,"
             "0,0,"
             "\"DEFAULT\"\r\n0,0,#FALSE#\r\n0,%8,#FALSE#\r\n")
      .arg(version, author, email, web)
      .arg(changeResolution)
      .arg(scheme, disableLoad ? "#TRUE#" : "#FALSE#", skipWelcome ? "#TRUE#" : "#FALSE#")
      .arg(resolutionMode);
}

struct Welcome {
  TempProject project;
  int started = 0;
  int loadDialogs = 0;
  QList<int> displayModes;
  QStringList opened;
  std::unique_ptr<frmWelcome> window;
  frmWelcome::LoadResult load(bool matches = false) {
    frmWelcome::Launcher launcher;
    launcher.startGame = [this] { ++started; };
    launcher.showLoadDialog = [this] { ++loadDialogs; };
    launcher.changeResolution = [this](int mode) { displayModes.append(mode); };
    launcher.openUrl = [this](const QString& url) { opened.append(url); };
    launcher.resolutionMatchesProject = [matches] { return matches; };
    window = std::make_unique<frmWelcome>(*project.module, launcher);
    return window->Form_Load(project.root());
  }
};

// A left click at a point of the window, delivered to whatever control lies uppermost
// there, as the player's click would be.
void clickAt(QWidget* window, QPoint at) {
  QWidget* target = window->childAt(at);
  if (!target) target = window;
  const QPointF local = target->mapFrom(window, at);
  const QPointF global = target->mapToGlobal(local);
  QMouseEvent press(QEvent::MouseButtonPress, local, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &press);
  QMouseEvent release(QEvent::MouseButtonRelease, local, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(target, &release);
}

void clickOn(QWidget* control) { clickAt(control->window(), control->geometry().center()); }

void saveImage(const QString& path, int width, int height, QColor colour, QColor topLeft) {
  QImage image(width, height, QImage::Format_RGB32);
  image.fill(colour);
  image.setPixelColor(0, 0, topLeft);
  ASSERT_TRUE(image.save(path));
}

}  // namespace

TEST(Welcome, RowsAreLaidOutFromTheSettingsThatArePresent) {
  {
    Welcome w;
    w.project.write("Config/General", general("", "", "", "", 0, ""));
    ASSERT_EQ(w.load(), frmWelcome::LoadResult::Shown);
    EXPECT_EQ(twipsHeight(w.window.get()), 3000 + 150);
    EXPECT_TRUE(w.window->txtVersion->isHidden());
    EXPECT_TRUE(w.window->txtAuthor->isHidden());
    EXPECT_TRUE(w.window->chkResolution->isHidden());
    EXPECT_EQ(w.window->txtAdventureName->text(), "Title");
  }
  {
    Welcome w;
    w.project.write("Config/General", general("v1", "", "me@x", "http://w", 1, ""));
    w.load();
    frmWelcome& f = *w.window;
    EXPECT_EQ(twipsTop(f.txtVersion), 3000);
    EXPECT_EQ(twipsTop(f.txtEmail), 3255);
    EXPECT_EQ(twipsTop(f.lblEmail), 3255);
    EXPECT_EQ(twipsTop(f.txtHomepage), 3510);
    EXPECT_EQ(twipsTop(f.lblResolution), 3765);
    EXPECT_FALSE(f.chkResolution->isHidden());
    EXPECT_TRUE(f.chkResolution->isChecked());  // stored value defaults to 1
    EXPECT_EQ(twipsHeight(&f), 4020 + 150);
    EXPECT_EQ(f.lblEmail->text(), "E-mail:");
    EXPECT_EQ(f.lblResolution->text(), "Change display resolution to 800x600.");
  }
  {
    Welcome w;  // the desktop already has the project's size: no offer
    w.project.write("Config/General", general("", "", "", "", 1, ""));
    w.load(true);
    EXPECT_TRUE(w.window->chkResolution->isHidden());
  }
}

TEST(Welcome, ResolutionCaptionDropsAResolutionLeftInTheText) {
  for (const char* old : {"Change display resolution to 640 x 480.", "Change display resolution to 640x480",
                          "Change display resolution to 640*480."}) {
    Welcome w;
    w.project.write("Config/General", general("", "", "", "", 1, ""));
    w.project.write("Config/Texts", QString("2,0,0,0,0,0,7,\"S\",\"L\",\"E\",\"a\",\"b\",\"c\",\"%1\"").arg(old));
    w.load();
    EXPECT_EQ(w.window->lblResolution->text(), "Change display resolution to 800x600.") << old;
  }
}

TEST(Welcome, LoadButtonHiddenWhenDisabledOrUntitled) {
  Welcome w;
  w.project.write("Config/General", general("", "", "", "", 0, "", true));
  w.load();
  EXPECT_TRUE(w.window->lblButton[1]->isHidden());
  EXPECT_TRUE(w.window->Img[1]->isHidden());
  EXPECT_EQ(twipsTop(w.window->lblButton[2]), 1560);
  Welcome untitled;
  untitled.project.write("Config/General", general("", "", "", "", 0, ""));
  untitled.project.write("Config/Texts", "2,0,0,0,0,0,3,\"Go\",\"\",\"Leave\"");
  untitled.load();
  EXPECT_TRUE(untitled.window->lblButton[1]->isHidden());
  EXPECT_EQ(untitled.window->lblButton[0]->text(), "Go");
  EXPECT_EQ(twipsTop(untitled.window->lblButton[2]), 1560);
}

TEST(Welcome, SkippingStartsTheGameWithoutShowingTheWindow) {
  Welcome w;
  w.project.write("Config/General", general("", "", "", "", 1, "", false, true));
  EXPECT_EQ(w.load(), frmWelcome::LoadResult::Skipped);
  EXPECT_EQ(w.started, 1);
  EXPECT_FALSE(w.window->isVisible());
}

TEST(Welcome, StartReportsAGameWindowThatCannotLoad) {
  TempProject p;
  p.write("Config/General", general("", "", "", "", 0, ""));
  frmWelcome::Launcher launcher;
  launcher.startGame = [] { throw std::runtime_error("broken"); };
  frmWelcome f(*p.module, launcher);
  f.Form_Load(p.root());
  f.ClickButton(0);
  ASSERT_EQ(p.log.size(), 1);
  EXPECT_TRUE(
      p.log[0].contains("Error description: Error loading the main program window. Try restarting the program."));
}

TEST(Scheme, PicturesColoursTitleAndLogo) {
  Welcome w;
  w.project.write("Config/General", general("v", "", "", "", 0, "Night"));
  // Start has a picture, Load "[NONE]", Exit a missing file, background tiled; level 4
  // with a button colour; the title hidden; logo number 1 with the flag.
  w.project.write("Schemes/Night/Scheme.txt",
                  "\"Night\",1,0,4,\"start.bmp\",\"[NONE]\",\"gone.bmp\",\"back.bmp\",4,255,65280,16711680,"
                  "8421504,0,0,0,1,0,1,#TRUE#\r\n");
  QImage button(40, 20, QImage::Format_RGB32);
  button.fill(Qt::red);
  button.save(w.project.root() + "/Schemes/Night/start.bmp");
  QImage tile(7, 5, QImage::Format_RGB32);
  tile.fill(Qt::blue);
  tile.save(w.project.root() + "/Schemes/Night/back.bmp");
  w.load();
  frmWelcome& f = *w.window;
  EXPECT_FALSE(f.Img[0]->isHidden());
  EXPECT_TRUE(f.lblButton[0]->isHidden());
  EXPECT_TRUE(f.Img[1]->isHidden());
  EXPECT_EQ(f.lblButton[1]->text(), "  Load...");
  EXPECT_FALSE(f.lblButton[1]->isHidden());
  EXPECT_TRUE(f.Img[2]->isHidden());  // a picture that cannot load leaves the text button
  EXPECT_FALSE(f.lblButton[2]->isHidden());
  EXPECT_EQ(f.txtVersion->palette().color(QPalette::WindowText), QColor(0, 0, 255));
  EXPECT_EQ(f.txtAdventureName->palette().color(QPalette::WindowText), QColor(0, 255, 0));
  EXPECT_EQ(f.lblButton[1]->palette().color(QPalette::WindowText), QColor(128, 128, 128));
  EXPECT_TRUE(f.txtAdventureName->isHidden());
  EXPECT_EQ(f.schemeLogoNumber(), 1);
  EXPECT_TRUE(f.schemeLogoFlag());
  EXPECT_EQ(f.imgLogo->x(), twipsToPixels(4440));
  EXPECT_EQ(f.grab().toImage().pixelColor(f.width() - 1, f.height() - 1), QColor(Qt::blue));
}

TEST(Scheme, OldFormatBackgroundLiesBehindTheButtonsAndTilesTheWindow) {
  Welcome w;
  w.project.write("Config/General", general("", "", "", "", 0, "Old"));
  // Level 0: the scheme ends after the pictures.
  w.project.write("Schemes/Old/Scheme.txt", "\"Old\",1,0,4,\"start.bmp\",\"load.bmp\",\"[none]\",\"back.bmp\",0\r\n");
  const QString folder = w.project.root() + "/Schemes/Old/";
  saveImage(folder + "start.bmp", 60, 20, Qt::red, Qt::red);
  saveImage(folder + "load.bmp", 60, 20, Qt::green, Qt::green);
  // An 8 x 6 tile, blue with a yellow top left pixel, shows where each tile begins.
  saveImage(folder + "back.bmp", 8, 6, Qt::blue, Qt::yellow);
  w.load();
  frmWelcome& f = *w.window;
  ASSERT_TRUE(f.isVisible());

  clickOn(f.Img[0]);
  EXPECT_EQ(w.started, 1);
  clickOn(f.Img[1]);
  EXPECT_EQ(w.loadDialogs, 1);
  EXPECT_EQ(f.childAt(f.lblButton[2]->geometry().center()), f.lblButton[2]);

  const QImage shown = f.grab().toImage();
  for (QPoint p : {QPoint(0, 0), QPoint(8, 0), QPoint(0, 6), QPoint(8, 12)})
    EXPECT_EQ(shown.pixelColor(p), QColor(Qt::yellow)) << p.x() << "," << p.y();
  EXPECT_EQ(shown.pixelColor(3, 3), QColor(Qt::blue));
  const int right = f.width() - 1, bottom = f.height() - 1;
  EXPECT_EQ(shown.pixelColor(right, bottom), QColor(right % 8 == 0 && bottom % 6 == 0 ? Qt::yellow : Qt::blue));
  EXPECT_EQ(shown.pixelColor(f.Img[0]->geometry().center()), QColor(Qt::red));
}

TEST(Scheme, ShortOrMissingSchemes) {
  {
    Welcome w;  // no scheme file: plain labels with the texts
    w.project.write("Config/General", general("", "", "", "", 0, "Nowhere"));
    w.load();
    for (int i = 0; i < 3; ++i) EXPECT_FALSE(w.window->lblButton[i]->isHidden());
    EXPECT_EQ(w.window->lblButton[0]->text(), "Start");
  }
  {
    Welcome w;  // level 3, ends after the colours: button colour untouched, title shown, logo defaults
    w.project.write("Config/General", general("", "", "", "", 0, "Short"));
    w.project.write("Schemes/Short/Scheme.txt", "0,0,0,3,\"[default]\",\"[default]\",\"[default]\",3,255,255,255\r\n");
    w.load();
    const QColor designer = frmWelcome(*w.project.module, {}).lblButton[0]->palette().color(QPalette::WindowText);
    EXPECT_EQ(w.window->lblButton[0]->palette().color(QPalette::WindowText), designer);
    EXPECT_EQ(w.window->txtVersion->palette().color(QPalette::WindowText), QColor(255, 0, 0));
    EXPECT_FALSE(w.window->txtAdventureName->isHidden());
    EXPECT_EQ(w.window->schemeLogoNumber(), 0);
    EXPECT_FALSE(w.window->schemeLogoFlag());
  }
}

TEST(Welcome, DamagedProjectFilesLeaveAPlainWindowWhoseStartStillWorks) {
  // The same bytes stand in the settings, the text table and the scheme file.
  const QString unreadableTexts = "Unable to load text.";
  const QString loadReport =
      "An error has occurred. The program may not work properly. Press 'Esc' and the click 'Exit' to quit.\\n\\n"
      "Error description: Error loading project information.";
  const struct {
    QByteArray bytes;
    QStringList messages;
  } cases[] = {
      {QByteArray("\x00\xff\x80\"", 4), {unreadableTexts, loadReport}},
      {QByteArray("\"unterminated"), {unreadableTexts, loadReport}},
      {QByteArray(",,,,\r\n\r\n"), {loadReport}},  // the settings end too soon
      {QByteArray(70000, ','), {}},                // every field empty: nothing to report
  };
  for (const auto& c : cases) {
    const std::string input = c.bytes.left(16).toHex().toStdString();
    Welcome w;
    w.project.writeBytes("Config/General", c.bytes);
    w.project.writeBytes("Config/Texts", c.bytes);
    w.project.writeBytes("Schemes/Scheme.txt", c.bytes);  // the empty scheme name's file
    ASSERT_EQ(w.load(), frmWelcome::LoadResult::Shown) << input;
    EXPECT_EQ(w.project.messages.takeShown(), c.messages) << input;
    frmWelcome& f = *w.window;
    EXPECT_TRUE(f.isVisible()) << input;
    const char* captions[] = {"Start", "Load", "Exit"};
    for (int i = 0; i < 3; ++i) {
      EXPECT_TRUE(f.Img[i]->isHidden()) << input;
      EXPECT_TRUE(f.lblButton[i]->isVisible()) << input;
      EXPECT_EQ(f.lblButton[i]->text(), captions[i]) << input;
    }
    clickOn(f.lblButton[0]);
    EXPECT_EQ(w.started, 1) << input;
    EXPECT_TRUE(w.project.messages.takeShown().isEmpty()) << input;
  }
}

TEST(Welcome, ResolutionChoiceIsStoredWhenItsLabelIsClicked) {
  Welcome w;
  w.project.write("Config/General", general("", "", "", "", 1, ""));
  w.project.userSettings->set("P", "ChangeResolution", "0");
  w.load();
  frmWelcome& f = *w.window;
  auto stored = [&] { return w.project.userSettings->get("P", "ChangeResolution"); };
  EXPECT_FALSE(f.chkResolution->isChecked());
  clickOn(f.lblResolution);
  EXPECT_TRUE(f.chkResolution->isChecked());
  EXPECT_EQ(stored(), "1");
  clickOn(f.lblResolution);
  EXPECT_FALSE(f.chkResolution->isChecked());
  EXPECT_EQ(stored(), "0");
  // The box itself toggles without storing.
  clickOn(f.chkResolution);
  EXPECT_TRUE(f.chkResolution->isChecked());
  EXPECT_EQ(stored(), "0");
}

TEST(Welcome, StartSwitchesTheDisplayOnlyWhenTheOfferIsShownAndTicked) {
  struct Case {
    int option;
    const char* stored;  // nullptr: nothing stored yet
    bool desktopMatches;
    int resolutionMode;
    QList<int> expected;
  };
  const Case cases[] = {
      {1, nullptr, false, 1, {2}},                                                  // nothing stored counts as ticked
      {1, "1", false, 2, {3}},     {1, "0", false, 1, {}}, {0, "1", false, 1, {}},  // the project does not offer it
      {1, "1", true, 1, {}},  // the desktop has the project's size already
  };
  for (const Case& c : cases) {
    Welcome w;
    w.project.write("Config/General", general("", "", "", "", c.option, "", false, false, c.resolutionMode));
    if (c.stored) w.project.userSettings->set("P", "ChangeResolution", c.stored);
    w.load(c.desktopMatches);
    w.window->ClickButton(0);
    EXPECT_EQ(w.displayModes, c.expected) << c.option << " " << (c.stored ? c.stored : "-") << " " << c.desktopMatches;
    EXPECT_EQ(w.started, 1);
  }
}

TEST(Welcome, EmailAndWebSiteQuestionsOpenTheAddressOnYes) {
  Welcome w;
  w.project.write("Config/General", general("", "", "me@example.org", "http://example.org/game", 0, ""));
  w.load();
  frmWelcome& f = *w.window;
  const Qt::WindowFlags flags = f.windowFlags();
  f.show();
  const QWindow* const native = f.windowHandle();
  ASSERT_NE(native, nullptr);

  w.project.messages.queueAnswer(msg::Yes);
  clickOn(f.txtEmail);
  EXPECT_EQ(w.project.messages.takeShown(),
            QStringList("Do you want to open the default mail client to send an e-mail to: me@example.org ?"));
  EXPECT_EQ(w.opened, QStringList("mailto:me@example.org"));
  EXPECT_FALSE(f.isTopmost());

  w.project.messages.queueAnswer(msg::No);
  clickOn(f.txtEmail);
  EXPECT_EQ(w.opened.size(), 1);
  EXPECT_TRUE(f.isTopmost());

  w.project.messages.queueAnswer(msg::Yes);
  clickOn(f.txtHomepage);
  EXPECT_EQ(w.project.messages.takeShown().value(1),
            "Do you want to visit http://example.org/game ? (You must be connected to the Internet)");
  EXPECT_EQ(w.opened, QStringList({"mailto:me@example.org", "http://example.org/game"}));
  EXPECT_FALSE(f.isTopmost());

  w.project.messages.queueAnswer(msg::No);
  clickOn(f.txtHomepage);
  EXPECT_EQ(w.opened.size(), 2);
  EXPECT_TRUE(f.isTopmost());
  // The window was never re-created on the way.
  EXPECT_EQ(f.windowFlags(), flags);
  EXPECT_EQ(f.windowHandle(), native);
}
