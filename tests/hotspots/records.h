#pragma once
// Builders of per-frame record files for the hotspot and action tests, and a message box
// that keeps what it was asked to show.
#include <QString>
#include <QStringList>
#include <vector>

#include "platform/message_boxes.h"

namespace storyloom::test {

struct ShownBox {
  QString text;
  int style;
  QString title;
};

class RecordingBoxes : public MessageBoxes {
 public:
  std::vector<ShownBox> shown;

 protected:
  int showInteractive(const QString& text, int style, const QString& title) override {
    shown.push_back({text, style, title});
    return msg::OK;
  }
};

inline QString quoted(const QString& s) { return '"' + s + '"'; }

inline QString listField(const QStringList& names) {
  QString s = QString::number(names.size());
  for (const QString& n : names) s += ',' + quoted(n);
  return s;
}

inline QString kSepText() { return QStringLiteral("\"----- SEPARATOR -----\"\r\n"); }

// One hotspot record (rectangle in pixels, stored as twips).
struct HotspotSpec {
  int ownIndex = 1;
  int x = 10, y = 10, w = 40, h = 30;  // pixels
  int animated = 0;
  bool showPicture = false;
  QString picture;
  int stretch = 0;
  QString cursor;
  int conditions = 0;
  QStringList hideIfAny, hideUnlessAll;
  bool withGifSpeed = true;
  bool withVideo = true;
  bool hasVideo = false;
  QString video;

  QString text() const {
    QString s = QStringLiteral("\"x\",%1,0,0,0,0,0,0,0,0\r\n").arg(ownIndex);
    s += QStringLiteral("%1,%2,%3,%4,%5,%6,%7,%8,%9,%10\r\n")
             .arg(x * 15)
             .arg(y * 15)
             .arg(w * 15)
             .arg(h * 15)
             .arg(animated)
             .arg(showPicture ? "#TRUE#" : "#FALSE#")
             .arg(quoted(picture))
             .arg(stretch)
             .arg(quoted(cursor))
             .arg(conditions);
    s += listField(hideIfAny) + "\r\n" + listField(hideUnlessAll) + "\r\n";
    if (withGifSpeed) {
      s += "5\r\n";
      if (withVideo)
        s += QStringLiteral("%1,%2,1,10,0,0,0,1,0,0\r\n").arg(hasVideo ? "#TRUE#" : "#FALSE#").arg(quoted(video));
    }
    return s + kSepText();
  }
};

// One action record, group by group; a group left empty and everything after it is
// absent (the record ends early).
struct ActionLines {
  QString A = QStringLiteral("0,\"\",0,0,0,0,\"\",0,\"\",0,0,0,\"\"");
  QString B = QStringLiteral("0,0,0,\"\",#FALSE#,#FALSE#,0,0,0,0");
  QString M = QStringLiteral("0,0,\"\",0,\"\"");
  QString D = QStringLiteral("0,0,0,0");
  QString E = QStringLiteral("0,0,0,0");
  QString F = QStringLiteral("0,0,0,0,0,0,0");
  QString H = QStringLiteral("#FALSE#,0,0");
  QString I = QStringLiteral("#FALSE#,\"\",0");
  QString J = QStringLiteral("0,0,0,0,0,0,0");
  QString K = QStringLiteral("0,5,0");
  QString L = QStringLiteral("#FALSE#,\"\"");
  QString header = QStringLiteral("\"h\",1,0,0,0,0,0,0,0,0");

  QString text() const {
    QString s = header + "\r\n";
    for (const QString* g : {&A, &B, &M, &D, &E, &F, &H, &I, &J, &K, &L}) {
      if (g->isEmpty()) break;
      s += *g + "\r\n";
    }
    return s + kSepText();
  }
};

}  // namespace storyloom::test
