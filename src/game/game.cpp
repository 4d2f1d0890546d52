#include "platform/conversions.h"
#include "game/game.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPointer>
#include <QProxyStyle>
#include <QScreen>

#include "dialogue/dialogue.h"
#include "effects/transitions.h"
#include "effects/water.h"
#include "game/frame_texts.h"
#include "game/message_bar.h"
#include "hotspots/frame_areas.h"
#include "media/animated_pictures.h"
#include "media/audio_channels.h"
#include "media/video.h"
#include "scripting/action_module.h"
#include "scripting/file_access.h"
#include "scripting/components.h"
#include "scripting/script_host.h"
#include "scripting/timed_events.h"
#include "shell/display.h"
#include "shell/pointer_scaling.h"
#include "state/inventory.h"
#include "state/saved_games.h"
#include "platform/skipped_steps.h"
#include "shell/editor_and_game.h"

namespace storyloom {
namespace {

// The hidden Debug menu opens after these four keys, pressed one after another.
constexpr int kDebugSequence[4] = {120, 121, 122, 123};  // F9, F10, F11, F12
constexpr int kEsc = 27;
constexpr int kCtrl = 2;

// Windows key codes of the keys the game window tests.
int windowsKeyCode(const QKeyEvent* e) {
  const int k = e->key();
  if (k == Qt::Key_Escape) return kEsc;
  if (k >= Qt::Key_A && k <= Qt::Key_Z) return 'A' + (k - Qt::Key_A);
  if (k >= Qt::Key_0 && k <= Qt::Key_9) return '0' + (k - Qt::Key_0);
  if (k >= Qt::Key_F1 && k <= Qt::Key_F24) return 112 + (k - Qt::Key_F1);
  if (k == Qt::Key_Control) return 17;
  if (k == Qt::Key_Shift) return 16;
  if (k == Qt::Key_Alt) return 18;
  if (k == Qt::Key_Return || k == Qt::Key_Enter) return 13;
  if (k == Qt::Key_Space) return 32;
  return k & 0xffff;
}

int shiftState(Qt::KeyboardModifiers m) {
  int s = 0;
  if (m & Qt::ShiftModifier) s |= 1;
  if (m & Qt::ControlModifier) s |= 2;
  if (m & Qt::AltModifier) s |= 4;
  return s;
}

QString escapeMnemonic(QString text) { return text.replace('&', QLatin1String("&&")); }

// The application's style without widget animations. The main window moves its central
// widget through a zero-length geometry animation whenever the menu bar comes or goes;
// after a load, the menus shown by Escape made that animation crash inside the toolkit.
// With no animation the geometry is set at once.
class NoWidgetAnimationStyle : public QProxyStyle {
 public:
  int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                QStyleHintReturn* returnData) const override {
    if (hint == SH_Widget_Animation_Duration || hint == SH_Widget_Animate) return 0;
    return QProxyStyle::styleHint(hint, option, widget, returnData);
  }
};

// One for the application, deleted with it (after every window).
QStyle* noWidgetAnimationStyle() {
  static QPointer<QStyle> style;
  if (!style) {
    style = new NoWidgetAnimationStyle;
    style->setParent(QCoreApplication::instance());
  }
  return style;
}

}  // namespace

Game::Game(EditorAndGame& module, QWidget* parent) : QMainWindow(parent), module_(module) {
  setObjectName(QStringLiteral("Game"));
  setAttribute(Qt::WA_DeleteOnClose, false);
  setFocusPolicy(Qt::StrongFocus);

  container_ = new ScaledScreen(this);
  container_->setStyle(noWidgetAnimationStyle());
  setCentralWidget(container_);

  pictureInput_.mouseDown = [this](Qt::MouseButton b) { PictureMouseDown(b); };
  pictureInput_.mouseMove = [this] { PictureMouseMove(); };

  const ProjectSettings& s = module_.settings;
  const QSizeF size(std::max<int>(1, s.ScreenWidth), std::max<int>(1, s.ScreenHeight));
  scene_.setSceneRect(QRectF(QPointF(0, 0), size));
  scene_.setItemIndexMethod(QGraphicsScene::NoIndex);
  BackImage = new BackgroundItem(size, pictureInput_);
  scene_.addItem(BackImage);
  PictureBox = new PictureView(&scene_, container_);
  PictureBox->emptyMouseDown = [this](Qt::MouseButton b) { PictureMouseDown(b); };
  container_->setView(PictureBox);
  // Custom pointers grow with the picture.
  new PointerScaling(*container_, {PictureBox->viewport(), container_});
  connect(container_, &ScaledScreen::scaleChanged, this, [this] { applyPointer(true); });
  connect(&module_.display(), &Display::modeChanged, this, [this] {
    if (!closing_) CenterWindowAndPictureBox();
  });

  texts_ = std::make_unique<FrameTexts>(module_, scene_, pictureInput_);
  areas_ = std::make_unique<FrameAreas>(*this);
  actionModule_ = std::make_unique<VBScriptActionModule>(*this);
  timedEvents_ = std::make_unique<TimedEvents>(*this);
  scripts_ = std::make_unique<ScriptHost>(*this);
  audio_ = std::make_unique<AudioChannels>(module_);
  inventory_ = std::make_unique<Inventory>(*this);
  savedGames_ = std::make_unique<SavedGames>(*this);
  messageBar_ = new MessageBar(scene_, pictureInput_);
  frameMessages_ = std::make_unique<FrameMessages>(
      module_, *messageBar_, [this] { return QSizeF(placement_.pictureWidth, placement_.pictureHeight); });
  transitions_ = std::make_unique<Transitions>(*this);
  dialogue_ = std::make_unique<Dialogue>(*this);
  water_ = std::make_unique<Water>(*this);
  video_ = std::make_unique<Video>(*this);
  animatedPictures_ = std::make_unique<AnimatedPictures>(*this);
  components_ = std::make_unique<AdditionalComponents>(*this);

  Timer1.setSingleShot(false);
  connect(&Timer1, &QTimer::timeout, this, [this] { Timer1_Timer(); });
  TimerUnloadMe.setSingleShot(true);
  connect(&TimerUnloadMe, &QTimer::timeout, this, [this] {
    TimerUnloadMe.stop();
    close();
  });
  connect(&pointer_, &DefaultPointer::changed, this, [this] { applyPointer(true); });

  buildMenus();
}

Game::~Game() {
  if (overrideCursor_) QApplication::restoreOverrideCursor();
  components_.reset();
  // The items belong to the scene; the parts that hold them go first.
  texts_.reset();
  areas_.reset();
  animatedPictures_.reset();
  video_.reset();
}

void Game::buildMenus() {
  QMenuBar* bar = menuBar();
  bar->setObjectName(QStringLiteral("menuBar"));
  mnuExit = bar->addAction(QStringLiteral("Exit"));
  mnuExit->setObjectName(QStringLiteral("mnuExit"));
  connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });

  mnuOptions = bar->addMenu(QStringLiteral("Options"));
  mnuOptions->setObjectName(QStringLiteral("mnuOptions"));
  connect(mnuOptions, &QMenu::aboutToShow, this, [this] {
    if (!module_.settings.MenuAlwaysVisible) MenuClicked = true;
  });
  mnuDisableTransitions = mnuOptions->addAction(QStringLiteral("Disable Transitions"));
  mnuDisableTransitions->setObjectName(QStringLiteral("mnuDisableTransitions"));
  mnuDisableTransitions->setCheckable(true);
  // A click has already flipped the tick; only the stored value follows.
  connect(mnuDisableTransitions, &QAction::triggered, this, [this] { storeOptions(); });
  mnuDisableEffects = mnuOptions->addAction(QStringLiteral("Disable Real-Time Effects"));
  mnuDisableEffects->setObjectName(QStringLiteral("mnuDisableEffects"));
  mnuDisableEffects->setCheckable(true);
  // The click has already flipped the tick; the one routine flips it (back) and follows it.
  connect(mnuDisableEffects, &QAction::triggered, this, [this] {
    mnuDisableEffects->setChecked(!mnuDisableEffects->isChecked());
    EnableOrDisableEffects();
  });
  mnuTrustGame = mnuOptions->addAction(QStringLiteral("Trust This Game (Full File Access)"));
  mnuTrustGame->setObjectName(QStringLiteral("mnuTrustGame"));
  mnuTrustGame->setCheckable(true);
  connect(mnuTrustGame, &QAction::toggled, this, [this](bool on) { scripts().fileAccess().setTrusted(on); });

  mnuLoadGame = bar->addAction(QStringLiteral("Load game..."));
  mnuLoadGame->setObjectName(QStringLiteral("mnuLoadGame"));
  connect(mnuLoadGame, &QAction::triggered, this, [this] { mnuLoadGame_Click(); });
  mnuSaveGame = bar->addAction(QStringLiteral("Save game..."));
  mnuSaveGame->setObjectName(QStringLiteral("mnuSaveGame"));
  connect(mnuSaveGame, &QAction::triggered, this, [this] { mnuSaveGame_Click(); });

  mnuDebug = bar->addMenu(QStringLiteral("Debug"));
  mnuDebug->setObjectName(QStringLiteral("mnuDebug"));
  connect(mnuDebug, &QMenu::aboutToShow, this, [this] {
    if (!module_.settings.MenuAlwaysVisible) MenuClicked = true;
  });
  mnuGoToFrame = mnuDebug->addMenu(QStringLiteral("Go to another frame"));
  mnuGoToFrame->setObjectName(QStringLiteral("mnuGoToFrame"));
  mnuCancel = mnuGoToFrame->addAction(QStringLiteral("Cancel"));
  mnuCancel->setObjectName(QStringLiteral("mnuCancel"));
  connect(mnuCancel, &QAction::triggered, this, [this] { HideMenus(); });
  mnuGoToFrame->addSeparator()->setObjectName(QStringLiteral("mnuNone"));
  mnuExecuteVBScript = mnuDebug->addAction(QStringLiteral("Execute VBS code..."));
  mnuExecuteVBScript->setObjectName(QStringLiteral("mnuExecuteVBScript"));
  connect(mnuExecuteVBScript, &QAction::triggered, this, [this] { scripts_->ShowExecuteCodeWindow(); });
  mnuEditProcedures = mnuDebug->addAction(QStringLiteral("Edit VBS Procedures..."));
  mnuEditProcedures->setObjectName(QStringLiteral("mnuEditProcedures"));
  connect(mnuEditProcedures, &QAction::triggered, this, [this] { scripts_->ShowEditProceduresWindow(); });
  mnuViewVariables = mnuDebug->addAction(QStringLiteral("View variables status..."));
  mnuViewVariables->setObjectName(QStringLiteral("mnuViewVariables"));
  connect(mnuViewVariables, &QAction::triggered, this, [this] { vars.mnuViewVariables_Click(module_); });
  // Nothing shows until the menus are asked for (and never with the menu bar removed).
  for (QAction* a : {mnuExit, mnuSaveGame, mnuLoadGame, mnuOptions->menuAction(), mnuDebug->menuAction()})
    a->setVisible(false);
  bar->setVisible(false);
}

QAction* Game::menuItemByCaption(const QString& caption) const {
  const auto matches = [&](QAction* a) {
    QString text = a->text();
    text.replace(QLatin1String("&&"), QLatin1String("\x01"));
    text.remove('&');
    text.replace(QLatin1String("\x01"), QLatin1String("&"));
    return a->isVisible() && text == caption;
  };
  std::vector<QAction*> all;
  std::function<void(const QList<QAction*>&)> walk = [&](const QList<QAction*>& actions) {
    for (QAction* a : actions) {
      all.push_back(a);
      if (a->menu()) walk(a->menu()->actions());
    }
  };
  walk(menuBar()->actions());
  for (QAction* a : all)
    if (matches(a)) return a;
  return nullptr;
}

void Game::Form_Load() {
  move(0, 0);
  transitions_->LoadTransitionNames();
  const UITexts& t = module_.texts;
  auto caption = [&](QAction* a, int number) {
    const QString text = t(number);
    if (!text.isEmpty()) a->setText(escapeMnemonic(text));
  };
  caption(mnuExit, 12);
  caption(mnuOptions->menuAction(), 49);
  caption(mnuDisableTransitions, 50);
  caption(mnuDisableEffects, 51);
  caption(mnuLoadGame, 2);
  caption(mnuSaveGame, 8);
}

void Game::ResetAll() {
  ProjectSettings& s = module_.settings;
  try {
    // 1-11: an error ends the reset with the report.
    Timer1.stop();
    Timer1.setInterval(0);
    water_->StopWaterEffect();
    timedEvents_->ResetTimedEvents();
    dialogue_->ResetDialogue();
    vars.EmptyVariables();
    components_->ResetComponents();
    Disappear.Clear();
    inventory_->EmptyInventory();
    FramesHistory.clear();
    BackImage->showColour(Qt::black);
    audio_->AudioProblemShown = false;
    TransitionErrorShown = false;
    ResolutionOnLoadGame = 0;
    AllowControlsReferences = 0;
    video_->StopOneTimeVideoPlayer();
    StopMovie = true;
    module_.UserInterrupt = true;
    module_.EverythingStopped = false;
    transitions_->ReadDesktopWorkArea();
    CenterWindowAndPictureBox();
    BackImage->setSize(QSizeF(s.ScreenWidth, s.ScreenHeight));
    BackImage->setPos(0, 0);
    messageBar_->hideBar();
    ResetDefaultPointer();
    inventory_->ResetLayout();
  } catch (const std::exception& e) {
    module_.ReportError(QStringLiteral(" Unable to initialize the program. "), QString::fromUtf8(e.what()));
    return;
  }
  // 12-16: a failing statement is skipped.
  runSkippingErrors(QStringLiteral("reset: the list of frames"), [&] { fillFrameList(); });
  runSkippingErrors(QStringLiteral("reset: the procedures"), [&] {
    ProceduresText = scripts_->LoadProcedures();
    scripts_->AddCodeToScriptControl(ProceduresText, QString());
  });
  runSkippingErrors(QStringLiteral("reset: the stored options"), [&] {
    auto stored = [&](const char* key) {
      return module_.userSettings()
                 .get(s.ProjectName, QLatin1String(key), QStringLiteral("False"))
                 .compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
    };
    mnuDisableTransitions->setChecked(stored("DisableTransitions"));
    mnuDisableEffects->setChecked(stored("DisableEffects"));
  });
  runSkippingErrors(QStringLiteral("reset: the sound channels"), [&] { audio_->ResetAudioChannels(); });
  runSkippingErrors(QStringLiteral("reset: the script time-out"), [&] {
    const QString text = module_.ReadIniValue(module_.paths.ConfigPath + QStringLiteral("More"),
                                              QStringLiteral("General"), QStringLiteral("ScriptTimeOut"));
    const auto t = numberFromText(text);
    if (!t) return;
    const qint32 seconds = toLong(*t);
    if (seconds != 0) scripts_->SetTimeOut(seconds * 1000);
  });
}

void Game::fillFrameList() {
  for (QAction* a : mnuFrameName) {
    mnuGoToFrame->removeAction(a);
    delete a;
  }
  mnuFrameName.clear();
  const QDir dir(module_.hostPathOf(module_.paths.FramesPath));
  // The pattern matches the extension in any case, as the file system of the games does.
  QStringList all;
  for (const QString& n : dir.entryList(QDir::Files, QDir::Name | QDir::IgnoreCase))
    if (n.endsWith(QLatin1String(".fme"), Qt::CaseInsensitive)) all.append(n);
  for (const QString& name : all) {
    if (name.size() < 5) continue;
    const QString frameName = name.left(name.size() - 4);
    QAction* a = mnuGoToFrame->addAction(escapeMnemonic(frameName));
    a->setObjectName(QStringLiteral("mnuFrameName"));
    a->setData(frameName);
    const int index = static_cast<int>(mnuFrameName.size()) + 1;
    connect(a, &QAction::triggered, this, [this, index] { mnuFrameName_Click(index); });
    mnuFrameName.push_back(a);
  }
}

void Game::mnuFrameName_Click(int index) {
  if (index < 1 || index > static_cast<int>(mnuFrameName.size())) return;
  OpenFrame(mnuFrameName[index - 1]->data().toString(), false, 0, 0);
}

void Game::StartNewGame() {
  vars.LoadVariables(module_);
  frame.CurrentFrameName = module_.settings.InitialFrame;
  scripts_->ExecuteOnLoadVBScript();
  OpenFrame(frame.CurrentFrameName, false, 0, 0);
}

void Game::updateMenuBarVisibility() {
  bool any = false;
  for (QAction* a : menuBar()->actions()) any = any || a->isVisible();
  if (menuBar()->isHidden() == any) menuBar()->setVisible(any);
  // A menu bar shown on demand lies over the picture, which keeps its place and size.
  const bool over = any && !module_.settings.MenuAlwaysVisible;
  container_->setCoveredTop(over ? menuBar()->sizeHint().height() : 0);
}

void Game::ShowMenus() {
  const ProjectSettings& s = module_.settings;
  if (s.RemoveMenuBar) return;
  mnuExit->setVisible(true);
  mnuSaveGame->setVisible(!s.DisableSave);
  mnuLoadGame->setVisible(!s.DisableLoad);
  const bool hideEffects = s.HideDisableEffectsItem;
  const bool hideTransitions = s.HideDisableTransitionsItem;
  if (hideEffects && hideTransitions) {
    mnuOptions->menuAction()->setVisible(false);
  } else {
    mnuDisableTransitions->setVisible(!hideTransitions);
    mnuDisableEffects->setVisible(!hideEffects);
    mnuOptions->menuAction()->setVisible(true);
  }
  mnuDebug->menuAction()->setVisible(false);
  MenuClicked = false;
  updateMenuBarVisibility();
}

void Game::HideMenus() {
  if (module_.settings.MenuAlwaysVisible || module_.EverythingStopped) return;
  for (QAction* a : {mnuExit, mnuSaveGame, mnuLoadGame, mnuOptions->menuAction(), mnuDebug->menuAction()})
    if (a->isVisible()) a->setVisible(false);
  MenuClicked = false;
  updateMenuBarVisibility();
}

void Game::Form_KeyDown(int keyCode, int shift) {
  const ProjectSettings& s = module_.settings;
  if (!video_->IsOneTimeVideoPlaying() && keyCode == kEsc && !transitions_->TransitionRunning) {
    if (!mnuExit->isVisible())
      ShowMenus();
    else
      HideMenus();
  }
  if (keyCode == kEsc) {
    StopMovie = true;
    module_.UserInterrupt = true;
  }
  if (shift == kCtrl) {
    if (keyCode == 'L' && !s.DisableLoad)
      mnuLoadGame_Click();
    else if (keyCode == 'S' && !s.DisableSave)
      mnuSaveGame_Click();
    else if (keyCode == 'Q')
      mnuExit_Click();
  }
  if (keyCode == kDebugSequence[DebugKeyCount]) {
    if (DebugKeyCount == 3) {
      mnuDebug->menuAction()->setVisible(true);
      updateMenuBarVisibility();
      DebugKeyCount = 0;
    } else {
      ++DebugKeyCount;
    }
  } else {
    DebugKeyCount = 0;
  }
}

void Game::keyPressEvent(QKeyEvent* e) {
  const bool altEnter = (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter) && (e->modifiers() & Qt::AltModifier);
  // F11 after F9 and F10 goes on towards the Debug menu instead.
  const bool f11 = e->key() == Qt::Key_F11 && DebugKeyCount != 2;
  if (altEnter || f11) ToggleFullScreen();
  Form_KeyDown(windowsKeyCode(e), shiftState(e->modifiers()));
  e->accept();
}

void Game::mnuExit_Click() {
  const int answer = module_.MessageBox(module_.texts(10), msg::YesNo | msg::Question, module_.settings.GameTitle);
  if (answer == msg::Yes) StartUnloading();
}

void Game::mnuLoadGame_Click() { savedGames_->ShowLoadGameWindow(false); }
void Game::mnuSaveGame_Click() { savedGames_->ShowSaveGameWindow(); }

void Game::EnableOrDisableTransitions() {
  mnuDisableTransitions->setChecked(!mnuDisableTransitions->isChecked());
  storeOptions();
}

void Game::EnableOrDisableEffects() {
  runSkippingErrors(QStringLiteral("effects: the setting"), [&] {
    mnuDisableEffects->setChecked(!mnuDisableEffects->isChecked());
    storeOptions();
  });
  water_->ApplyEffectsSetting();
}

void Game::storeOptions() {
  auto text = [](bool on) { return on ? QStringLiteral("True") : QStringLiteral("False"); };
  UserSettings& store = module_.userSettings();
  store.set(module_.settings.ProjectName, QStringLiteral("DisableTransitions"),
            text(mnuDisableTransitions->isChecked()));
  store.set(module_.settings.ProjectName, QStringLiteral("DisableEffects"), text(mnuDisableEffects->isChecked()));
}

void Game::StartUnloading() {
  StopMovie = true;
  module_.UserInterrupt = true;
  water_->StopWaterEffect();
  TimerUnloadMe.setInterval(100);
  TimerUnloadMe.start();
}

void Game::StopAllActivity() {
  StopMovie = true;
  module_.UserInterrupt = true;
  QCoreApplication::processEvents();
  Timer1.stop();
  timedEvents_->StopTimerObjects();
  messageBar_->TimerMessageBox().stop();
  timedEvents_->PauseTimedEvents();
  video_->StopOneTimeVideoPlayer();
  audio_->ResetAudioChannels();
}

void Game::closeEvent(QCloseEvent* e) {
  e->accept();
  if (closing_) return;
  closing_ = true;
  hide();
  QCoreApplication::processEvents();
  StopAllActivity();
  // From here on errors are ignored.
  runSkippingErrors(QStringLiteral("closing: the animated pictures"), [&] { animatedPictures_->UnloadAniGifs(); });
  runSkippingErrors(QStringLiteral("closing: the display mode"),
                    [&] { module_.display().RestoreDisplayModeIfChanged(); });
  if (overrideCursor_) {
    QApplication::restoreOverrideCursor();
    overrideCursor_ = false;
  }
  closing_ = false;
  if (unloaded) unloaded();
}

void Game::mousePressEvent(QMouseEvent* e) {
  // The window around the picture.
  StopMovie = true;
  module_.UserInterrupt = true;
  if (!video_->IsOneTimeVideoPlaying()) menuRule(e->button());
  e->accept();
}

// The second press of a double-click is no second mouse-down.
void Game::mouseDoubleClickEvent(QMouseEvent* e) { e->accept(); }

QStringList Game::shownTexts() const {
  QStringList out;
  for (int i = 1; i <= texts_->highestIndex(); ++i)
    if (texts_->Text(i) && texts_->Text(i)->isVisible()) out.append(texts_->Text(i)->caption());
  if (messageBar_->isShowing()) out.append(messageBar_->text());
  return out;
}

void Game::ShowFrameMessage(const QString& text, bool inFrame) { frameMessages_->ShowFrameMessage(text, inFrame); }

}  // namespace storyloom
