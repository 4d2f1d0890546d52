#include "scripting/script_picture.h"

#include <QFileInfo>
#include <cmath>

#include "platform/platform_error.h"
#include "scripting/control_properties.h"

namespace storyloom {
namespace {

qint32 nextHandle() {
  static qint32 handle = 0x0500;
  handle += 4;
  return handle;
}

}  // namespace

ScriptPicture::ScriptPicture() = default;

ScriptPicture::ScriptPicture(QPixmap pixmap, QString fileName)
    : pixmap_(std::move(pixmap)), fileName_(std::move(fileName)) {
  if (pixmap_.isNull()) return;
  handle_ = nextHandle();
  const QString suffix = QFileInfo(fileName_).suffix().toLower();
  type_ = suffix == QLatin1String("ico") || suffix == QLatin1String("cur") ? 3 : 1;
}

vbs::Ref<ScriptPicture> ScriptPicture::load(const QString& hostPath, const QString& fileName) {
  QPixmap pixmap;
  if (!pixmap.load(hostPath)) throw PlatformError::invalidPicture();
  return vbs::makeRef<ScriptPicture>(std::move(pixmap), fileName);
}

qint32 ScriptPicture::himetricOf(int pixels) { return static_cast<qint32>(std::lround(pixels * 2540.0 / 96.0)); }

bool ScriptPicture::hasMember(std::u16string_view name) const {
  for (const char16_t* m : {u"Handle", u"Width", u"Height", u"Type"})
    if (memberIs(name, m)) return true;
  return false;
}

vbs::Value ScriptPicture::getProperty(std::u16string_view name, vbs::Args args) {
  if (!hasMember(name) && !name.empty()) return vbs::Object::getProperty(name, args);
  args.expect(0, 0);
  if (name.empty() || memberIs(name, u"Handle")) return vbs::Value(handle_);
  if (memberIs(name, u"Width")) return vbs::Value(himetricOf(pixmap_.width()));
  if (memberIs(name, u"Height")) return vbs::Value(himetricOf(pixmap_.height()));
  return vbs::Value(type_);
}

}  // namespace storyloom
