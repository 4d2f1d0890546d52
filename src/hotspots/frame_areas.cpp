#include "hotspots/frame_areas.h"

#include <QGraphicsVideoItem>
#include <QImageReader>
#include <cmath>
#include <limits>
#include <vector>

#include "effects/transitions.h"
#include "game/game.h"
#include "game/placement.h"
#include "hotspots/hotspot_file.h"
#include "hotspots/record_fields.h"
#include "platform/conversions.h"
#include "media/animated_pictures.h"
#include "media/audio_channels.h"
#include "media/video.h"
#include "media/channel_levels.h"
#include "platform/media_player.h"
#include "scripting/action_module.h"
#include "scripting/script_host.h"
#include "scripting/timed_events.h"
#include "state/inventory.h"
#include "state/saved_games.h"
#include "platform/skipped_steps.h"
#include "shell/editor_and_game.h"

namespace storyloom {

namespace {

constexpr float kInset = 30;  // twips: 2 pixels inside the rectangle drawn in the editor

bool isDefaultPointerName(const QString& cursorFile) {
  const QString lower = cursorFile.toLower();
  return lower.isEmpty() || lower == QLatin1String("default");
}

// The action calls reaching the game window and its parts.
class GameActionHost : public ActionHost {
 public:
  GameActionHost(Game& game, FrameAreas& areas) : game_(game), areas_(areas) {}

  EditorAndGame& module() override { return game_.module(); }
  ProjectVariables& variables() override { return game_.vars; }
  VariablesCollection& Disappear() override { return game_.Disappear; }
  QString CurrentFrameName() override { return game_.frame.CurrentFrameName; }
  ScriptRequests& VBScriptAction() override { return game_.actionModule().requests; }
  bool& StopMovie() override { return game_.StopMovie; }

  void OpenFrame(const QString& f, bool with, int n, double d) override { game_.OpenFrame(f, with, n, d); }
  void ShowOrNotShowAreas() override { areas_.ShowOrNotShowAreas(); }
  void StartUnloading() override { game_.StartUnloading(); }
  void ShowMenus() override { game_.ShowMenus(); }
  void HideMenus() override { game_.HideMenus(); }
  bool MenuClicked() override { return game_.MenuClicked; }
  bool IsExitMenuVisible() override { return game_.mnuExit && game_.mnuExit->isVisible(); }
  void ShowFrameMessage(const QString& text, bool option) override { game_.ShowFrameMessage(text, option); }
  void SaveClickPos(int x, int y) override { game_.SaveClickPos(static_cast<float>(x), static_cast<float>(y)); }
  void SetScreenPointerArrow() override { game_.SetScreenPointerArrow(); }
  void SetScreenPointerDefault() override { game_.SetScreenPointerDefault(); }
  void ResetGamePointer() override { game_.SetScreenPointerDefault(); }
  int FramesHistoryCount() override { return game_.FramesHistory.size(); }
  QString FramesHistoryLast() override { return game_.FramesHistory.last(); }
  void FramesHistoryRemoveLast() override { game_.FramesHistory.removeLast(); }

  int ExecuteVBScript(const QString& code, bool reset) override {
    return game_.scripts().ExecuteVBScript(code, reset) ? 0 : -1;
  }

  void StopChannelPlayer(int c) override { game_.audio().playerOfChannel(c).Stop(); }
  bool IsChannelPlayerPlaying(int c) override { return game_.audio().playerOfChannel(c).isPlaying(); }
  void PlayChannelPlayer(int c, const QString& file, int count, int volume) override {
    game_.audio().startPlayer(c, game_.audio().playerOfChannel(c), file, count, volume);
  }
  void StopAnyWavOrMP3() override { game_.audio().StopAnyWavOrMP3(); }
  void PlaySoundChannels(FieldReader& file) override { game_.audio().PlaySoundChannels(file); }
  void PlayAudioChannels() override { game_.audio().PlayAudioChannels(); }
  void EnableTimerAudioFade() override { game_.audio().EnableTimerAudioFade(); }
  void FinishFades() override { game_.audio().FinishFades(); }
  void SetAudioFadeDuration(double s) override { game_.audio().AudioFadeDuration = s; }
  void StoreChannelEntry(int channel, const ChannelEntry& e) override {
    AudioChannel& c = game_.audio()[channel];
    c.ChannelAction = e.Mode;
    c.FadeChange = e.Flag1;
    c.LoopSound = e.Flag2;
    c.SoundFile = e.SoundFile;
    c.PreviousVolume = c.ChannelVolume;
    c.ChannelVolume = e.Volume;
    c.KeepIfPlaying = false;
  }

  void PlayMovieWithStop(const QString& f, bool s, int l, int t, int w, int h) override {
    game_.video().PlayMovieWithStop(f, s, l, t, w, h);
  }
  bool IsOneTimeVideoPlaying() override { return game_.video().IsOneTimeVideoPlaying(); }
  bool PlayMovieBusy() override { return game_.video().VideoStarting; }
  void StopOneTimeVideoPlayer() override { game_.video().StopOneTimeVideoPlayer(); }

  void AddPickedObject(const QString& item, bool noPopup) override { game_.inventory().AddPickedObject(item, noPopup); }
  void RemovePickedObject(int i) override { game_.inventory().RemovePickedObject(i); }
  void PickOrNotPickObject(int i) override { game_.inventory().PickOrNotPickObject(i); }
  QString PickedObjectTag(int i) override { return game_.inventory().PickedObjectTag(i); }
  bool InventoryMoving() override { return game_.inventory().InventoryMoving; }
  void InventoryMouseMoveOverFrame() override { game_.inventory().PointerOverFrame(); }

  void TransitionStep1(int n) override { game_.transitions().TransitionStep1(n); }
  void StartTimedEvents() override { game_.timedEvents().StartTimedEvents(); }
  void ShowLoadGameWindow(bool abortIfATimerIsEnabled) override {
    game_.savedGames().ShowLoadGameWindow(abortIfATimerIsEnabled);
  }
  void ShowSaveGameWindow() override { game_.savedGames().ShowSaveGameWindow(); }

 private:
  Game& game_;
  FrameAreas& areas_;
};

}  // namespace

struct FrameAreas::Impl {
  Impl(Game& game, FrameAreas& areas) : host(game, areas), actions(host) {}
  GameActionHost host;
  HotspotActions actions;
  std::vector<HotspotItem*> Area{nullptr};  // element 0: the template, never a hotspot
  // Elements unloaded by scripts leave gaps (nullptr) below the highest index.
  HotspotItem areaTemplate{0};
  QCursor templatePointer;
  // Elements and players of earlier frames, taken off the picture but not yet deleted: a
  // click on one of them may be what opened the new frame, and its handler may still run.
  std::vector<HotspotItem*> removedAreas;
  void takeOff(HotspotItem* a) {
    if (!a) return;
    if (a->scene()) a->scene()->removeItem(a);
    a->setVisible(false);
    removedAreas.push_back(a);
  }
  void deleteRemoved() {
    std::vector<HotspotItem*> keep;
    for (HotspotItem* a : removedAreas) {
      if (a->busy())
        keep.push_back(a);
      else
        delete a;
    }
    removedAreas.swap(keep);
  }
};

FrameAreas::FrameAreas(Game& game) : game_(game), impl_(std::make_unique<Impl>(game, *this)) {}

FrameAreas::~FrameAreas() {
  for (HotspotItem* a : impl_->removedAreas) delete a;
  for (size_t i = 1; i < impl_->Area.size(); ++i) delete impl_->Area[i];
}

HotspotActions& FrameAreas::actions() { return impl_->actions; }

int FrameAreas::AreaCount() const { return static_cast<int>(impl_->Area.size()) - 1; }

HotspotItem* FrameAreas::Area(int index) const {
  if (index < 1 || index > AreaCount()) return nullptr;
  return impl_->Area[static_cast<size_t>(index)];
}

MediaPlayer* FrameAreas::VideoPlayer(int index) const { return game_.video().VideoPlayer(index); }

QGraphicsObject* FrameAreas::VideoPlayerItem(int index) const { return game_.video().VideoPlayerItem(index); }

HotspotItem& FrameAreas::AreaTemplate() { return impl_->areaTemplate; }

void FrameAreas::LoadElement(int index) {
  if (index < 1) throw PlatformError(360, QStringLiteral("Object already loaded"));
  if (Area(index)) throw PlatformError(360, QStringLiteral("Object already loaded"));
  const HotspotItem& t = impl_->areaTemplate;
  HotspotItem* area = newArea(index);
  area->setStretch(t.Stretch());
  area->setPicture(t.Picture());
  area->move(t.Left(), t.Top(), t.Width(), t.Height());
  if (!t.usesDefaultPointer()) area->setCustomPointer(t.cursor());
}

void FrameAreas::UnloadElement(int index) {
  HotspotItem* area = Area(index);
  if (!area) throw PlatformError::controlArrayElementMissing(index);
  impl_->Area[static_cast<size_t>(index)] = nullptr;
  while (impl_->Area.size() > 1 && !impl_->Area.back()) impl_->Area.pop_back();
  impl_->takeOff(area);
  game_.video().UnloadVideoPlayer(index);
}

void FrameAreas::SetTemplatePointer(const QCursor& cursor) {
  impl_->templatePointer = cursor;  // hotspots already loaded keep theirs
  impl_->areaTemplate.setDefaultPointer(cursor);
}

void FrameAreas::Area_DragDrop(int Index, int objectIndex, float xTwips, float yTwips) {
  impl_->actions.Area_DragDrop(Index, objectIndex, static_cast<int>(xTwips), static_cast<int>(yTwips));
}

void FrameAreas::ResetFrameAreas() {
  impl_->deleteRemoved();
  while (impl_->Area.size() > 1) {
    impl_->takeOff(impl_->Area.back());
    impl_->Area.pop_back();
  }
  game_.video().ResetVideoPlayers();
  game_.animatedPictures().UnloadAniGifs();
}

void FrameAreas::LoadAreas() {
  EditorAndGame& m = game_.module();
  const ProjectPaths& paths = m.paths;
  const QString fileName = HotspotFileName(m, game_.frame.CurrentFrameName);
  if (fileName.isEmpty()) return;
  game_.MergedHotspotIndex = 1;
  std::optional<HotspotFileReader> reader;
  try {
    reader.emplace(m.OpenFieldFile(fileName));
  } catch (const PlatformError& e) {
    if (!m.EverythingStopped) m.ReportError(QStringLiteral(" Unable to load hotspot #1. "), e);
    return;
  }
  int i = 0;
  while (!reader->atEnd() && !m.EverythingStopped) {
    ++i;
    const HotspotRecord r = reader->next();
    const auto report = [&](const PlatformError& e) {
      if (!m.EverythingStopped) m.ReportError(QStringLiteral(" Unable to load hotspot #%1. ").arg(i), e);
    };
    // Each step that fails is reported and loading goes on with the next step of the
    // same hotspot.
    const auto step = [&](const char* what, const auto& f) {
      if (auto e = runSkippingErrors(QStringLiteral("hotspot #%1: %2").arg(i).arg(QLatin1String(what)), f)) report(*e);
    };
    for (const PlatformError& e : r.readErrors) report(e);
    step("own index", [&] {
      if (integerOf(r.OwnIndex) == 1 && i != 1 && game_.MergedHotspotIndex == 1)
        game_.MergedHotspotIndex = static_cast<qint16>(i);
    });

    HotspotItem* area = newArea(i);
    const QString cursorFile = textOf(r.CursorFile);
    const auto loadCursor = [&](QCursor* out) -> bool {
      const QString resolved = m.ResolveProjectFile(paths.IconsPath + cursorFile);
      if (!m.FileExists(resolved)) return false;  // already reported as missing
      const PointerFile pointer = LoadPointerFile(m.hostPathOf(resolved));
      if (pointer.isNull()) throw PlatformError::invalidPicture();
      *out = pointer.frames.front();
      return true;
    };

    bool animated = false;
    step("animated picture", [&] { animated = numberOf(r.AnimatedPicture) != 0 && numberOf(r.ShowPicture) == -1; });
    if (animated) {
      area->move(0, 0, 15, 15);
      step("animated picture", [&] {
        const QString file = m.ResolveProjectFile(paths.AreasPath + textOf(r.PictureFile));
        const float x = toSingle(numberOf(r.AreaLeft) + kInset), y = toSingle(numberOf(r.AreaTop) + kInset);
        area->HotspotMarker =
            static_cast<qint16>(game_.animatedPictures().AniGifNewWithIndex(i, file, x, y, integerOf(r.GifSpeed)));
      });
      step("pointer", [&] {
        if (area->HotspotMarker <= 0) return;
        QCursor cursor;
        if (!isDefaultPointerName(cursorFile)) {
          if (loadCursor(&cursor)) game_.animatedPictures().SetAniGifBoxPointer(area->HotspotMarker, &cursor);
        } else {
          game_.animatedPictures().SetAniGifBoxPointer(area->HotspotMarker, nullptr);
        }
      });
      continue;
    }
    if (m.EverythingStopped) return;

    step("left",
         [&] { area->move(toSingle(numberOf(r.AreaLeft) + kInset), area->Top(), area->Width(), area->Height()); });
    step("top",
         [&] { area->move(area->Left(), toSingle(numberOf(r.AreaTop) + kInset), area->Width(), area->Height()); });
    step("width", [&] {
      const double width = numberOf(r.AreaWidth) - 2 * kInset;
      area->move(area->Left(), area->Top(), width >= 1 ? toSingle(width) : 1.0f, area->Height());
    });
    step("height", [&] {
      const double height = numberOf(r.AreaHeight) - 2 * kInset;
      area->move(area->Left(), area->Top(), area->Width(), height >= 1 ? toSingle(height) : 1.0f);
    });
    step("stretch", [&] { area->setStretch(numberOf(r.StretchPicture) == 1); });
    step("picture", [&] {
      if (numberOf(r.ShowPicture) != -1 || textOf(r.PictureFile).isEmpty()) return;
      const QString resolved = m.ResolveProjectFile(paths.AreasPath + textOf(r.PictureFile));
      // A missing file has had its warning; it is not reported a second time.
      if (!m.FileExists(resolved)) return;
      QImageReader imageReader(m.hostPathOf(resolved));
      imageReader.setDecideFormatFromContent(true);
      const QImage image = imageReader.read();
      if (image.isNull()) throw PlatformError::invalidPicture();
      area->setPicture(QPixmap::fromImage(image));
    });
    if (m.EverythingStopped) return;

    step("pointer", [&] {
      QCursor cursor;
      if (!isDefaultPointerName(cursorFile)) {
        if (loadCursor(&cursor)) area->setCustomPointer(cursor);
      } else {
        area->setDefaultPointer(impl_->templatePointer);
      }
    });

    bool video = false;
    step("video", [&] { video = r.HasVideoFields && numberOf(r.HasVideo) == -1; });
    if (video) loadLoopingVideo(i, *area, r, step);
  }
}

void FrameAreas::loadLoopingVideo(int i, HotspotItem& area, const HotspotRecord& r, const StepRunner& step) {
  EditorAndGame& m = game_.module();
  Video& video = game_.video();
  MediaPlayer& player = video.LoadVideoPlayer(i, area.pos());
  step("video size", [&] {
    const bool ownSize = numberOf(r.VideoFitHotspot) == 0;
    video.SetVideoPlayerSize(i, ownSize, area.boundingRect().size());
  });
  step("video file", [&] {
    const QString file = m.ResolveProjectFile(m.paths.FramesPath + textOf(r.VideoFile));
    player.setFileName(file, m.hostPathOf(file));
  });
  step("video rate", [&] {
    const double rate = numberOf(r.VideoRate);
    player.setRate(rate == 0 ? 1.0 : rate);
  });
  step("video play count", [&] { player.setPlayCount(longOf(r.VideoPlayCount)); });
  step("video volume", [&] { player.setVolume(ChannelLevels::VolumeToPlayer(numberOf(r.VideoVolume))); });
  step("video start", [&] { video.StartVideoPlayer(i); });
  area.HotspotMarker = -1;
}

HotspotItem* FrameAreas::newArea(int i) {
  auto* area = new HotspotItem(i);
  area->setObjectName(QStringLiteral("Area%1").arg(i));
  area->setZValue(layer::Hotspots);  // in front of the hotspots before it (added earlier)
  area->setDefaultPointer(impl_->templatePointer);
  area->mouseDown = [this](int index, int button, float x, float y) {
    HotspotItem* a = Area(index);
    const float left = a ? a->Left() : 0, top = a ? a->Top() : 0;
    impl_->actions.Area_MouseDown(index, button, static_cast<int>(x), static_cast<int>(y), static_cast<int>(left),
                                  static_cast<int>(top));
  };
  area->mouseMove = [this](int) { impl_->actions.Area_MouseMove(); };
  area->dragDrop = [this](int index, int objectIndex, float x, float y) { Area_DragDrop(index, objectIndex, x, y); };
  if (impl_->Area.size() <= static_cast<size_t>(i)) impl_->Area.resize(static_cast<size_t>(i) + 1, nullptr);
  impl_->Area[static_cast<size_t>(i)] = area;
  game_.scene().addItem(area);
  return area;
}

void FrameAreas::ShowOrNotShowAreas() {
  EditorAndGame& m = game_.module();
  const QString fileName = HotspotFileName(m, game_.frame.CurrentFrameName);
  if (fileName.isEmpty()) return;
  VisibilityResult decided;
  try {
    FieldReader file = m.OpenFieldFile(fileName);
    decided =
        DecideHotspotVisibility(file, game_.frame.CurrentFrameName, game_.Disappear, game_.vars, m.EverythingStopped);
  } catch (const PlatformError& e) {
    decided.error = e;
  }
  const int n = static_cast<int>(decided.visible.size());
  for (int i = 1; i <= n; ++i) {
    HotspotItem* area = Area(i);
    if (!area && i <= AreaCount()) continue;  // unloaded by a script
    if (!area) {
      // The file holds more records than were loaded (it changed, or loading stopped).
      decided.error = PlatformError::controlArrayElementMissing(i);
      break;
    }
    const bool visible = decided.visible[static_cast<size_t>(i - 1)];
    area->setVisible(visible);
    if (area->HotspotMarker > 0) {
      const int g = area->HotspotMarker;
      AnimatedPictures& gifs = game_.animatedPictures();
      runSkippingErrors(QStringLiteral("animated picture of hotspot #%1").arg(i), [&] {
        const bool boxVisible = gifs.AniGifBoxVisible(g);
        if (!visible && boxVisible) {
          gifs.AniGifOperation(g, 2);
          QCoreApplication::processEvents();
        } else if (visible && !boxVisible) {
          gifs.AniGifOperation(g, 2);
          QCoreApplication::processEvents();
          gifs.AniGifOperation(g, 1);
          QCoreApplication::processEvents();
        }
        gifs.SetAniGifBoxVisible(g, visible);
      });
    } else if (area->HotspotMarker == -1) {
      game_.video().ShowVideoPlayer(i, visible);
    }
    // Event handlers run inside the GIF step may have replaced the frame's hotspots.
    if (AreaCount() < n) break;
  }
  if (decided.error && !m.EverythingStopped)
    m.ReportError(QStringLiteral(" Unable to set hotspots visibility. "), decided.error->text());
}

}  // namespace storyloom
