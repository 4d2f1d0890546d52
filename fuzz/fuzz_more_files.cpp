// Every other project-file reader: the first byte chooses the reader, the rest is the file.
// Readers that take a field stream read from memory; the others read the file from a copy
// of the demo, in which the input replaces one file for the run.
#include <QStringList>
#include <optional>

#include "dialogue/dialogue_file.h"
#include "effects/water.h"
#include "fuzz_support.h"
#include "game/frame_history.h"
#include "game/game.h"
#include "media/audio_channels.h"
#include "platform/ini_file.h"
#include "platform/platform_error.h"
#include "scripting/procedures.h"
#include "shell/field_reader.h"
#include "shell/multi_cd.h"
#include "state/inventory.h"
#include "state/saved_games.h"
#include "state/variables.h"

namespace {

using namespace storyloom;

struct Fixture {
  fuzz::DemoCopy demo;
  std::unique_ptr<Game> game;
  Fixture() {
    game = std::make_unique<Game>(*demo.module);
    game->Form_Load();
    game->ResetAll();
  }
};

Fixture& fixture() {
  fuzz::ensureApplication();
  static Fixture* f = new Fixture;
  return *f;
}

// The file the input stands for, or none when the reader reads from memory.
struct Reader {
  const char* file;
  void (*read)(Fixture&, FieldReader&);
};

const Reader kReaders[] = {
    {"Config/More",
     [](Fixture& f, FieldReader&) {
       IniFile::read(f.demo.host(QStringLiteral("Config/More")), QStringLiteral("General"), QStringLiteral("ProcEncr"));
     }},
    {"Config/Variables", [](Fixture& f, FieldReader&) { ProjectVariables().LoadVariables(*f.demo.module); }},
    // The demo's procedures are scrambled: the input goes through the unscrambling.
    {"Config/Procedures", [](Fixture& f, FieldReader&) { LoadProcedures(*f.demo.module); }},
    {"Areas/Rope.obj",
     [](Fixture& f, FieldReader&) {
       f.game->inventory().EmptyInventory();
       f.game->inventory().AddPickedObject(QStringLiteral("Rope"), true);
     }},
    {"Areas/Rope_on_Hook.drg",
     [](Fixture& f, FieldReader&) {
       Inventory& inv = f.game->inventory();
       inv.EmptyInventory();
       inv.addWithoutPopup(QStringLiteral("Rope"));
       inv.addWithoutPopup(QStringLiteral("Hook"));
       inv.DraggedObjectIndex = 1;
       inv.Combine(2);
     }},
    {"FramesData/Boathouse.fm4",
     [](Fixture& f, FieldReader&) {
       f.game->frame.CurrentFrameName = QStringLiteral("Boathouse");
       f.game->inventory().EmptyInventory();
       for (int area = 1; area <= 4; ++area) f.game->inventory().PickOrNotPickObject(area);
     }},
    {"FramesData/Fuzz.fm5",
     [](Fixture& f, FieldReader&) {
       for (int area = 1; area <= 3; ++area)
         if (std::optional<FieldReader> sounds = OpenHotspotSounds(*f.demo.module, QStringLiteral("Fuzz"), area))
           f.game->audio().PlaySoundChannels(*sounds);
       f.game->audio().ResetAudioChannels();
     }},
    {"Frames/Shore.lks", [](Fixture& f, FieldReader&) { ReadHotspotCount(*f.demo.module, QStringLiteral("Shore")); }},
    {"Frames/Harbour.rwm",
     [](Fixture& f, FieldReader&) {
       f.game->water().LoadWaveEffectIfAny(QStringLiteral("Harbour"));
       f.game->water().StopWaterEffect();
     }},
    {"Config/Resume",
     [](Fixture& f, FieldReader&) { f.game->savedGames().GetResumeLocation(QStringLiteral("Boathouse")); }},
    {nullptr,
     [](Fixture&, FieldReader& r) {
       SavedGame saved;
       readSavedGame(r, saved);
     }},
    {nullptr, [](Fixture&, FieldReader& r) { ReadDialogueFile(r); }},
    {nullptr,
     [](Fixture& f, FieldReader& r) {
       f.game->audio().PlaySoundChannels(r);
       f.game->audio().ResetAudioChannels();
     }},
    {nullptr, [](Fixture&, FieldReader& r) { WaterFile().read(r); }},
    {nullptr, [](Fixture&, FieldReader& r) { readCDContents(r); }},
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 1) return 0;
  Fixture& f = fixture();
  const Reader& reader = kReaders[data[0] % std::size(kReaders)];
  const QByteArray bytes = fuzz::inputBytes(data + 1, size - 1);
  const QString file = reader.file ? QString::fromLatin1(reader.file) : QString();
  if (!file.isEmpty()) f.demo.writeBytes(file, bytes);
  FieldReader stream(reader.file ? QByteArray() : bytes);
  try {
    reader.read(f, stream);
  } catch (const PlatformError&) {
  }
  if (!file.isEmpty()) f.demo.restore(file);
  fuzz::settleDeletions();
  return 0;
}
