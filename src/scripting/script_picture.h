#pragma once
#include <QPixmap>
#include <QString>

#include "platform/vbscript/object.h"

// A picture as scripts hold it: what LoadGraphicFile returns and what LoadAPicture gives a
// control's Picture. Width and Height are in HiMetric units (hundredths of a millimetre at
// 96 pixels to the inch), Handle identifies the picture (0 for an empty one) and is its
// default member, Type is 0 for an empty picture, 1 for a bitmap and 3 for an icon.
namespace storyloom {

class ScriptPicture : public vbs::Object {
 public:
  ScriptPicture();  // an empty picture
  ScriptPicture(QPixmap pixmap, QString fileName);

  // Loads a picture file (host path); "Invalid picture" when it holds no picture that can
  // be read. fileName is the name the picture was asked for by.
  static vbs::Ref<ScriptPicture> load(const QString& hostPath, const QString& fileName);

  const QPixmap& pixmap() const { return pixmap_; }
  const QString& fileName() const { return fileName_; }
  bool isEmpty() const { return pixmap_.isNull(); }
  // Pixels to HiMetric, rounded.
  static qint32 himetricOf(int pixels);

  std::u16string typeName() const override { return u"IPictureDisp"; }
  bool hasMember(std::u16string_view name) const override;
  vbs::Value getProperty(std::u16string_view name, vbs::Args args) override;

 private:
  QPixmap pixmap_;
  QString fileName_;
  qint32 handle_ = 0;
  qint16 type_ = 0;
};

}  // namespace storyloom
