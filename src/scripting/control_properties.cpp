#include "scripting/control_properties.h"

#include <QPainter>
#include <cmath>

#include "platform/conversions.h"
#include "platform/platform_error.h"
#include "scripting/script_picture.h"

namespace storyloom {

QVariant variantOf(const vbs::Value& v) {
  switch (v.type()) {
    case vbs::Type::Empty: return {};
    case vbs::Type::Null: return QVariant::fromValue(nullptr);
    case vbs::Type::Boolean: return v.asBool();
    case vbs::Type::Byte:
    case vbs::Type::Integer:
    case vbs::Type::Long: return v.toLong();
    case vbs::Type::String: return qtText(v.asString());
    case vbs::Type::Object:
    case vbs::Type::Array:
    case vbs::Type::Error: throw PlatformError::typeMismatch();
    default: return v.toDouble();  // Single, Double, Currency, Date
  }
}

float twipsValue(const vbs::Value& v) { return singleOf(variantOf(v)); }

float sizeValue(const vbs::Value& v) {
  const float size = twipsValue(v);
  if (size < 0) throw PlatformError::invalidPropertyValue();
  return size;
}

bool booleanValue(const vbs::Value& v) { return booleanOf(variantOf(v)); }

QString textValue(const vbs::Value& v) {
  if (v.isNull()) throw PlatformError::invalidUseOfNull();
  return textOf(variantOf(v));
}

qint32 colourValue(const vbs::Value& v) {
  const qint32 n = longOf(variantOf(v));
  const quint32 u = static_cast<quint32>(n);
  const bool systemColour = u >= 0x80000000u && u <= 0x80000018u;
  if (!systemColour && (n < 0 || n > 0xFFFFFF)) throw PlatformError::invalidPropertyValue();
  return n;
}

float fontSizeValue(const vbs::Value& v) {
  const float points = singleOf(variantOf(v));
  if (!(points > 0) || points > 2160) throw PlatformError::invalidPropertyValue();
  return points;
}

qint16 mousePointerValue(const vbs::Value& v) {
  const qint16 n = integerOf(variantOf(v));
  if ((n < 0 || n > 15) && n != 99) throw PlatformError::invalidPropertyValue();
  return n;
}

QCursor cursorForPointer(int n, const QCursor& custom, const QCursor& standard) {
  switch (n) {
    case 0: return standard;
    case 1:
    case 4:
    case 10: return Qt::ArrowCursor;
    case 2: return Qt::CrossCursor;
    case 3: return Qt::IBeamCursor;
    case 5:
    case 15: return Qt::SizeAllCursor;
    case 6: return Qt::SizeBDiagCursor;
    case 7: return Qt::SizeVerCursor;
    case 8: return Qt::SizeFDiagCursor;
    case 9: return Qt::SizeHorCursor;
    case 11: return Qt::WaitCursor;
    case 12: return Qt::ForbiddenCursor;
    case 13: return Qt::BusyCursor;
    case 14: return Qt::WhatsThisCursor;
    default: return custom;
  }
}

QPixmap pictureValue(const vbs::Value& v) {
  if (!v.isObject()) throw PlatformError::typeMismatch();
  vbs::Object* object = v.asObject();
  if (!object) return {};
  if (auto* picture = dynamic_cast<ScriptPicture*>(object)) return picture->pixmap();
  // Another picture object: a blank picture of its size (HiMetric units).
  if (!object->hasMember(u"Width") || !object->hasMember(u"Height")) throw PlatformError::typeMismatch();
  const auto pixels = [&](const char16_t* member) {
    const double himetric = numberOf(variantOf(object->getProperty(member, {})));
    return static_cast<int>(std::lround(himetric * 96.0 / 2540.0));
  };
  const int w = pixels(u"Width"), h = pixels(u"Height");
  if (w <= 0 || h <= 0) return {};
  QPixmap blank(w, h);
  blank.fill(Qt::transparent);
  return blank;
}

vbs::Value pictureObject(const QPixmap& pixmap) {
  if (pixmap.isNull()) return vbs::Value(vbs::makeRef<ScriptPicture>().get());
  return vbs::Value(vbs::makeRef<ScriptPicture>(pixmap, QString()).get());
}

QString windowsFontName(const QString& family) {
  if (family == QLatin1String("Liberation Sans")) return QStringLiteral("Arial");
  if (family == QLatin1String("Liberation Sans Narrow")) return QStringLiteral("Arial Narrow");
  if (family == QLatin1String("Liberation Serif")) return QStringLiteral("Times New Roman");
  if (family == QLatin1String("Liberation Mono")) return QStringLiteral("Courier New");
  return family;
}

void raiseReadOnly() { throw PlatformError(383, QStringLiteral("Property is read-only")); }

}  // namespace storyloom
