#include <gtest/gtest.h>

#include <QApplication>
#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QImageWriter>

#include "game/frame_texts.h"
#include "game/game.h"
#include "game/message_bar.h"
#include "game/placement.h"
#include "game/game_fixture.h"

namespace storyloom {
namespace {

// A 32 x 32 cursor file with the given hot spot, made from an icon written by Qt.
QByteArray cursorFile(int hotX, int hotY) {
  QImage image(32, 32, QImage::Format_ARGB32);
  image.fill(Qt::red);
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "ico");
  EXPECT_TRUE(writer.write(image));
  bytes[2] = 2;
  bytes[10] = char(hotX);
  bytes[11] = 0;
  bytes[12] = char(hotY);
  bytes[13] = 0;
  return bytes;
}

QByteArray le32Bytes(quint32 v) {
  QByteArray b;
  for (int i = 0; i < 4; ++i) b += char(v >> (8 * i));
  return b;
}

QByteArray iconChunk(const QByteArray& cursor) { return "icon" + le32Bytes(cursor.size()) + cursor; }

// An animated pointer file of the given frame chunks and display rate in 1/60 s.
QByteArray aniFile(const QList<QByteArray>& frameChunks, quint32 rate) {
  QByteArray anih(36, '\0');
  anih[0] = 36;
  anih[4] = char(frameChunks.size());
  anih.replace(28, 4, le32Bytes(rate));
  QByteArray fram = "fram";
  for (const QByteArray& c : frameChunks) fram += c;
  const QByteArray body =
      "ACON" + QByteArray("anih") + le32Bytes(anih.size()) + anih + "LIST" + le32Bytes(fram.size()) + fram;
  return "RIFF" + le32Bytes(body.size()) + body;
}

TEST(Pointers, CursorAndIconFilesKeepTheirHotSpots) {
  test::TempProject p;
  p.writeBytes("Icons/hand.cur", cursorFile(3, 7));
  QImage icon(16, 16, QImage::Format_ARGB32);
  icon.fill(Qt::blue);
  icon.save(p.root() + "/Icons/eye.ico", "ICO");
  const PointerFile cur = LoadPointerFile(p.root() + "/Icons/hand.cur");
  ASSERT_EQ(cur.frames.size(), 1u);
  EXPECT_EQ(cur.frames[0].hotSpot(), QPoint(3, 7));
  EXPECT_EQ(cur.frames[0].pixmap().size(), QSize(32, 32));
  const PointerFile ico = LoadPointerFile(p.root() + "/Icons/eye.ico");
  ASSERT_EQ(ico.frames.size(), 1u);
  EXPECT_EQ(ico.frames[0].hotSpot(), QPoint(8, 8));
  EXPECT_TRUE(LoadPointerFile(p.root() + "/Icons/none.cur").isNull());

  // An animated pointer: two frames at 20 jiffies each.
  p.writeBytes("Icons/wave.ani", aniFile({iconChunk(cursorFile(1, 2)), iconChunk(cursorFile(1, 2))}, 20));
  const PointerFile animated = LoadPointerFile(p.root() + "/Icons/wave.ani");
  EXPECT_EQ(animated.frames.size(), 2u);
  EXPECT_EQ(animated.frameMilliseconds, 333);
}

TEST(Pointers, DamagedAnimatedPointersLoadWhatTheyCanAndNeverHang) {
  test::TempProject p;
  // A frame chunk claiming nearly 4 GB: the sum of offsets would wrap to where it started.
  const QByteArray wrapping = "icon" + le32Bytes(0xFFFFFFF8u) + cursorFile(1, 2);
  p.writeBytes("Icons/wrap.ani", aniFile({iconChunk(cursorFile(1, 2)), wrapping}, 20));
  const PointerFile wrapped = LoadPointerFile(p.root() + "/Icons/wrap.ani");
  EXPECT_EQ(wrapped.frames.size(), 1u);
  EXPECT_EQ(wrapped.frameMilliseconds, 333);

  // A display rate far beyond any timing keeps the default of 10 jiffies.
  p.writeBytes("Icons/slow.ani", aniFile({iconChunk(cursorFile(1, 2)), iconChunk(cursorFile(1, 2))}, 0x7FFFFFFF));
  EXPECT_EQ(LoadPointerFile(p.root() + "/Icons/slow.ani").frameMilliseconds, 166);
}

TEST(Pointers, TheDefaultPointerReachesThePictureAndItsTemplates) {
  test::GameFixture fx;
  fx.project.writeBytes("Icons/hand.cur", cursorFile(5, 6));
  fx.project.init();
  fx.module().settings.DefaultPointer = "Hand.cur";
  Game g(fx.module());
  g.Form_Load();
  g.ResetAll();
  EXPECT_TRUE(g.defaultPointer().isCustom());
  EXPECT_EQ(g.BackImage->cursor().hotSpot(), QPoint(5, 6));
  EXPECT_EQ(g.PictureBox->viewport()->cursor().shape(), Qt::BitmapCursor);

  // The arrow while a video plays is the custom pointer here, then each element's own again.
  g.SetScreenPointerArrow();
  ASSERT_NE(QApplication::overrideCursor(), nullptr);
  EXPECT_EQ(QApplication::overrideCursor()->hotSpot(), QPoint(5, 6));
  g.SetScreenPointerDefault();
  EXPECT_EQ(QApplication::overrideCursor(), nullptr);

  fx.module().settings.DefaultPointer = "DEFAULT";
  g.ResetDefaultPointer();
  EXPECT_FALSE(g.defaultPointer().isCustom());
  EXPECT_EQ(g.BackImage->cursor().shape(), Qt::ArrowCursor);
  g.SetScreenPointerArrow();
  EXPECT_EQ(QApplication::overrideCursor()->shape(), Qt::ArrowCursor);
  g.SetScreenPointerDefault();
}

TEST(Pointers, ANewDefaultPointerReachesOnlyTheTextsCreatedAfterIt) {
  test::GameFixture fx;
  fx.project.writeBytes("Icons/hand.cur", cursorFile(5, 6));
  fx.project.writeBytes("Icons/eye.cur", cursorFile(9, 2));
  fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  fx.project.write("FramesData/Start.fm1",
                   "\"x\",1,,,,,,,,,\"Door\",300,300,#FALSE#,#FALSE#,\"\",12,#FALSE#,#FALSE#,0,\"\"\r\n");
  fx.project.init();
  fx.module().settings.DefaultPointer = "hand.cur";
  Game g(fx.module());
  g.Form_Load();
  g.ResetAll();
  g.OpenFrame("Start", false, 0, 0);
  ASSERT_EQ(g.texts().highestIndex(), 1);
  TextLabel* before = g.texts().Text(1);
  EXPECT_EQ(before->cursor().hotSpot(), QPoint(5, 6));

  fx.module().settings.DefaultPointer = "eye.cur";
  g.ResetDefaultPointer();
  EXPECT_EQ(before->cursor().hotSpot(), QPoint(5, 6));
  EXPECT_EQ(g.BackImage->cursor().hotSpot(), QPoint(9, 2));
  EXPECT_EQ(g.messageBar().cursor().hotSpot(), QPoint(9, 2));

  // The frame opened again makes its text anew from the template.
  g.OpenFrame("Start", false, 0, 0);
  ASSERT_EQ(g.texts().highestIndex(), 1);
  EXPECT_EQ(g.texts().Text(1)->cursor().hotSpot(), QPoint(9, 2));
}

}  // namespace
}  // namespace storyloom
