#include "hotspots/hotspot_file.h"

#include "hotspots/record_fields.h"
#include "platform/conversions.h"
#include "shell/editor_and_game.h"

namespace storyloom {

QString HotspotFileName(EditorAndGame& module, const QString& frameName) {
  return module.MergedOrOwnFrameFile(frameName, QStringLiteral(".mr2"), QStringLiteral(".fm2"));
}

namespace {

// Reads fields so that a failing one keeps its default and the next one is read, and the
// end of the file ends the record.
class TolerantFields {
 public:
  TolerantFields(FieldReader& file, std::optional<PlatformError>* error)
      : file_(file), error_(error) {}
  bool ended() const { return ended_; }

  template <class T, class Read>
  T get(Read read, T fallback = T()) {
    if (ended_) return fallback;
    if (file_.atEnd()) {
      fail(PlatformError::pastEnd());
      return fallback;
    }
    try {
      return read();
    } catch (const PlatformError& e) {
      fail(e);
      return fallback;
    }
  }
  void skip(int n) {
    for (int k = 0; k < n && !ended_; ++k) get<int>([&] { file_.readRaw(); return 0; });
  }
  double number() { return get<double>([&] { return numberOf(file_.readVariant()); }); }
  QString text() { return get<QString>([&] { return textOf(file_.readVariant()); }); }
  bool isTrue() { return get<bool>([&] { return numberOf(file_.readVariant()) == -1; }); }
  QStringList list() {
    const int n = get<int>([&] { return static_cast<int>(integerOf(file_.readVariant())); });
    QStringList names;
    for (int k = 0; k < n && !ended_; ++k)
      names << get<QString>([&] { return file_.readString(); });
    return names;
  }

 private:
  void fail(const PlatformError& e) {
    if (!error_->has_value()) *error_ = e;
    if (e.code() == PlatformError::pastEnd().code()) ended_ = true;
  }
  FieldReader& file_;
  std::optional<PlatformError>* error_;
  bool ended_ = false;
};

}  // namespace

HotspotRecord HotspotFileReader::next(std::optional<PlatformError>* error) {
  error->reset();
  HotspotRecord r;
  TolerantFields f(file_, error);
  f.skip(1);
  r.OwnIndex = f.get<qint16>([&] { return file_.readInteger(); });
  f.skip(8);
  r.AreaLeft = f.number();
  r.AreaTop = f.number();
  r.AreaWidth = f.number();
  r.AreaHeight = f.number();
  r.AnimatedPicture = f.number();
  r.ShowPicture = f.isTrue();
  r.PictureFile = f.text();
  r.StretchPicture = f.number();
  r.CursorFile = f.text();
  r.ConditionsEnabled = f.number();
  r.HideIfAnySet = f.list();
  r.HideUnlessAllSet = f.list();
  if (!f.ended() && !IsSeparatorNext(file_)) {
    r.HasGifSpeed = true;
    r.GifSpeed = f.number();
    if (!f.ended() && !IsSeparatorNext(file_)) {
      r.HasVideo = f.isTrue();
      r.VideoFile = f.text();
      r.VideoFitHotspot = f.number();
      r.VideoVolume = f.number();
      f.skip(2);
      r.VideoRate = f.number();
      r.VideoPlayCount = f.number();
      f.skip(2);
    }
  }
  // Normally the separator comes next; fields a newer editor may have appended are passed
  // over so that the next record still starts in its place.
  if (!f.ended()) SkipToSeparator(file_);
  return r;
}

VisibilityResult DecideHotspotVisibility(FieldReader& file, const QString& frameName,
                                         const VariablesCollection& Disappear,
                                         const ProjectVariables& variables,
                                         const bool& everythingStopped) {
  VisibilityResult result;
  // Markers of this frame, looked up once rather than per record.
  std::vector<qint16> hiddenHere;
  for (const auto& marker : Disappear)
    if (marker->Name == frameName) hiddenHere.push_back(marker->Value);
  try {
    int i = 0;
    while (!file.atEnd() && !everythingStopped) {
      ++i;
      bool visible = true;
      file.skip(10);
      for (qint16 index : hiddenHere) {
        if (index == i) {
          visible = false;
          break;
        }
      }
      if (visible) {
        file.skip(9);
        if (numberOf(file.readVariant()) != 0) {
          const int anyCount = integerOf(file.readVariant());
          for (int k = 0; k < anyCount && visible; ++k) {
            const qint16 v = variables.GetVariableValue(file.readString());
            if (v != 0 && v != ProjectVariables::kMissing) visible = false;
          }
          if (visible) {
            const int allCount = integerOf(file.readVariant());
            for (int k = 0; k < allCount && visible; ++k) {
              const qint16 v = variables.GetVariableValue(file.readString());
              if (v != 1 && v != ProjectVariables::kMissing) visible = false;
            }
          }
        }
      }
      SkipToSeparator(file);
      result.visible.push_back(visible);
    }
  } catch (const PlatformError& e) {
    result.error = e;
  }
  return result;
}

}  // namespace storyloom
