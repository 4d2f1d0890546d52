#pragma once
#include <QAction>
#include <QGraphicsScene>
#include <QMainWindow>
#include <QMenu>
#include <QPoint>
#include <QTimer>
#include <functional>
#include <memory>
#include <vector>

#include "game/frame_history.h"
#include "game/frame_state.h"
#include "game/picture_items.h"
#include "game/placement.h"
#include "state/variables.h"

// The game window: the one window in which a game is played. It holds the frame picture
// (one scene shown by PictureBox), the menus and keys, the frame timer, and the parts that
// make up a frame.
//
// Call points for the hotspot and action code:
//   frame                     current-frame state (CurrentFrameName, FrameHotspotCount, ...)
//   OpenFrame(name, trans, n, d)  the one road into a frame
//   areas()                   FrameAreas: ResetFrameAreas / LoadAreas / ShowOrNotShowAreas
//   scripts()                 ScriptHost: ExecuteVBScript and the Action object's requests
//   scene(), PictureBox       the picture; hotspots are items at layer::Hotspots
//   pictureInput()            the shared mouse-down rule for elements of the picture
//   SaveClickPos, LastClickPosition, StopMovie, MenuClicked, ShowMenus, HideMenus
//   ShowFrameMessage          the in-frame message bar or the information box
//   audio()                   the channel table and MPlayer elements
//   transitions()             TransitionStep1 / TransitionStep2, TransitionRunning
//   dialogue()                the frame's conversation: questions, replies, saved-game state
//   water()                   the rippling water of a picture frame
//   defaultPointer()          the project's pointer, for new hotspots
//   StartUnloading            quitting from an action
namespace storyloom {

class EditorAndGame;
class FrameAreas;
class ScriptHost;
class AudioChannels;
class FrameTexts;
class MessageBar;
class FrameMessages;
class VBScriptActionModule;
class TimedEvents;
class Transitions;
class Water;
class Inventory;
class Dialogue;
class SavedGames;
class ScaledScreen;
class Video;
class AnimatedPictures;
class AdditionalComponents;
struct FrameFile;
struct FrameFileRead;

class Game : public QMainWindow {
  Q_OBJECT
 public:
  explicit Game(EditorAndGame& module, QWidget* parent = nullptr);
  ~Game() override;

  EditorAndGame& module() { return module_; }

  // --- run-time state of one game ---
  FrameState frame;
  FrameHistory FramesHistory;
  bool StopMovie = false;
  bool MenuClicked = false;
  int DebugKeyCount = 0;
  qint16 AllowControlsReferences = 0;  // 0 undecided, 1 no, 2 yes
  bool TransitionErrorShown = false;
  qint16 ResolutionOnLoadGame = 0;
  qint16 MergedHotspotIndex = 1;
  QPoint LastClickPosition;  // pixels of the picture
  QString ProceduresText;
  ProjectVariables vars;          // Variables and VariablesVariant
  VariablesCollection Disappear;  // hidden-hotspot markers: frame name, hotspot index

  // --- parts ---
  QGraphicsScene& scene() { return scene_; }
  PictureView* PictureBox = nullptr;
  BackgroundItem* BackImage = nullptr;
  FrameTexts& texts() { return *texts_; }
  FrameAreas& areas() { return *areas_; }
  ScriptHost& scripts() { return *scripts_; }
  VBScriptActionModule& actionModule() { return *actionModule_; }
  TimedEvents& timedEvents() { return *timedEvents_; }
  AudioChannels& audio() { return *audio_; }
  Transitions& transitions() { return *transitions_; }
  Water& water() { return *water_; }
  Inventory& inventory() { return *inventory_; }
  Dialogue& dialogue() { return *dialogue_; }
  SavedGames& savedGames() { return *savedGames_; }
  Video& video() { return *video_; }
  AnimatedPictures& animatedPictures() { return *animatedPictures_; }
  AdditionalComponents& components() { return *components_; }
  MessageBar& messageBar() { return *messageBar_; }
  const PictureInput& pictureInput() const { return pictureInput_; }
  DefaultPointer& defaultPointer() { return pointer_; }

  // --- timers ---
  QTimer Timer1;  // the frame timer; its target is Timer1Tag
  QString Timer1Tag;
  QTimer TimerUnloadMe;

  // --- menus ---
  QAction* mnuExit = nullptr;
  QMenu* mnuOptions = nullptr;
  QAction* mnuDisableTransitions = nullptr;
  QAction* mnuDisableEffects = nullptr;
  QAction* mnuTrustGame = nullptr;  // the game's scripts reach every file, for this run
  QAction* mnuLoadGame = nullptr;
  QAction* mnuSaveGame = nullptr;
  QMenu* mnuDebug = nullptr;
  QMenu* mnuGoToFrame = nullptr;
  QAction* mnuCancel = nullptr;
  std::vector<QAction*> mnuFrameName;  // elements 1 and up (element 0 is the template)
  QAction* mnuExecuteVBScript = nullptr;
  QAction* mnuEditProcedures = nullptr;
  QAction* mnuViewVariables = nullptr;
  // A menu item by its caption (walkthroughs); nullptr when there is none.
  QAction* menuItemByCaption(const QString& caption) const;

  // --- lifecycle ---
  void Form_Load();
  void ResetAll();
  void StartNewGame();
  void ShowMenus();
  void HideMenus();
  void StartUnloading();
  void MessageReceived(qint32, qint32, qint32) {}
  void StopAllActivity();
  void Form_KeyDown(int keyCode, int shift);
  void mnuExit_Click();
  void mnuLoadGame_Click();
  void mnuSaveGame_Click();
  void mnuFrameName_Click(int index);
  void EnableOrDisableTransitions();
  void EnableOrDisableEffects();
  // Called when the window has closed (Form_Unload, after the activity stopped): brings the
  // welcome window back or ends the program.
  std::function<void()> unloaded;

  // --- frames ---
  void OpenFrame(const QString& frameName, bool bWithTransition, int iTransNumber, double dTransitionDuration);
  // Reads the frame's file once: the header goes into the current-frame state, the whole
  // read is handed back for the rest of OpenFrame.
  FrameFileRead ReadFrameHeader(const QString& frameName);
  void Timer1_Timer();
  // Told of each frame OpenFrame is asked for, and whether its frame file is there
  // (walkthrough log).
  std::function<void(const QString& name, bool found)> frameOpening;

  // --- placement, pointer, clicks ---
  void CenterWindowAndPictureBox();
  void SetScreenPointerArrow();
  void SetScreenPointerDefault();
  void ResetDefaultPointer();
  void SaveClickPos(float sglLeft, float sglTop);
  // BackImage_MouseDown and Text_MouseDown; picWhere_MouseDown is the menu rule only.
  void PictureMouseDown(Qt::MouseButton button);
  void picWhere_MouseDown(Qt::MouseButton button);
  void PictureMouseMove();
  Placement placement() const { return placement_; }

  // --- full screen or window ---
  // Alt+Enter and F11 toggle; the choice and the window's inner size are remembered for
  // the project. The picture is shown scaled to fit either.
  void ToggleFullScreen();
  void SetFullScreen(bool fullScreen);
  bool FullScreenChosen() const { return fullScreen_; }
  // The area below any always-shown menu bar that shows the game's display, scaled.
  ScaledScreen& screenArea() { return *container_; }

  // --- messages ---
  void ShowFrameMessage(const QString& MessageText, bool InFrame);
  FrameMessages& frameMessages() { return *frameMessages_; }

  // The shown texts of the picture: frame texts and the message bar.
  QStringList shownTexts() const;

 protected:
  void keyPressEvent(QKeyEvent* e) override;
  void closeEvent(QCloseEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseDoubleClickEvent(QMouseEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;

 private:
  void applyWindowMode();
  void buildMenus();
  void storeOptions();
  void applyPointer(bool animationStep = false);
  void updateMenuBarVisibility();
  void menuRule(Qt::MouseButton button);
  void drawBackground();
  void playFrameMusic(const FrameFile& f);
  void playFrameSound(const FrameFile& f);
  void startFrameVideo(const FrameFile& f);
  QPixmap loadFramePicture(const QString& fileName);
  void fillFrameList();

  EditorAndGame& module_;
  QGraphicsScene scene_;
  ScaledScreen* container_ = nullptr;
  PictureInput pictureInput_;
  std::unique_ptr<FrameTexts> texts_;
  std::unique_ptr<FrameAreas> areas_;
  std::unique_ptr<VBScriptActionModule> actionModule_;
  std::unique_ptr<TimedEvents> timedEvents_;
  std::unique_ptr<ScriptHost> scripts_;
  std::unique_ptr<AudioChannels> audio_;
  std::unique_ptr<Inventory> inventory_;
  std::unique_ptr<SavedGames> savedGames_;
  MessageBar* messageBar_ = nullptr;
  std::unique_ptr<FrameMessages> frameMessages_;
  std::unique_ptr<Transitions> transitions_;
  std::unique_ptr<Dialogue> dialogue_;
  std::unique_ptr<Water> water_;
  std::unique_ptr<Video> video_;
  std::unique_ptr<AnimatedPictures> animatedPictures_;
  std::unique_ptr<AdditionalComponents> components_;
  DefaultPointer pointer_;
  Placement placement_;
  bool overrideCursor_ = false;
  bool closing_ = false;
  bool fullScreen_ = false;
};

}  // namespace storyloom
