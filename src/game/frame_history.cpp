#include "game/frame_history.h"

#include "platform/conversions.h"
#include "shell/editor_and_game.h"

namespace storyloom {

void FrameHistory::FramesHistoryAdd(const QString& frameName) {
  if (!entries_.isEmpty() && entries_.last() == frameName) return;
  entries_.append(frameName);
  while (entries_.size() > kMaxEntries) entries_.removeFirst();
}

std::optional<QString> FrameTimerTarget(const QString& tag, FrameHistory& history) {
  const QString lower = tag.toLower();
  if (lower.isEmpty()) return std::nullopt;
  if (lower == QLatin1String("[last visited frame]")) {
    if (history.size() < 2) return std::nullopt;
    history.removeLast();
    return history.last();
  }
  return tag;
}

qint16 ReadHotspotCount(EditorAndGame& module, const QString& frameName) {
  const QString path = module.paths.FramesPath + frameName + QStringLiteral(".lks");
  if (!module.FileExists(path)) return 0;
  try {
    FieldReader f = module.OpenFieldFile(path);
    // Read as text, then converted: an empty value or #TRUE# is no count.
    return integerOf(QVariant(f.readString()));
  } catch (const PlatformError& e) {
    module.MessageBox(QStringLiteral("Error reading the hotspots count from the file \"") + path +
                          QStringLiteral("\".\r\n\r\n") + e.text(),
                      msg::Exclamation, QStringLiteral("Error"));
    return 0;
  }
}

}  // namespace storyloom
