// The video formats of the era play through Video to their end. The videos are made here at
// test time with GStreamer's command-line tool; a format whose encoder this machine lacks is
// skipped, saying which.
#include <gtest/gtest.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGraphicsVideoItem>
#include <QProcess>
#include <QStandardPaths>
#include <QtEndian>

#include "game/game.h"
#include "game/game_fixture.h"
#include "media/video.h"

namespace storyloom {
namespace {

constexpr int kSide = 32;    // pixels, both ways
constexpr int kFrames = 25;  // at 25 pictures a second: one second

struct Format {
  const char* name;
  const char* file;
  // What follows the raw pictures in the pipeline; it ends in the file's name as %1.
  const char* encoder;
  // For codecs GStreamer's AVI muxer does not take: the four-character code and bit count
  // of an AVI written here around the encoder's pictures.
  const char* fourcc = nullptr;
  int bitCount = 0;
};

void PrintTo(const Format& f, std::ostream* os) { *os << f.name; }

// Runs gst-launch-1.0 with `pipeline`; false when it fails (an element is missing).
bool runPipeline(const QString& pipeline) {
  QProcess p;
  p.start(QStringLiteral("gst-launch-1.0"), QProcess::splitCommand(QStringLiteral("-q ") + pipeline));
  return p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
}

QByteArray le32(quint32 v) {
  QByteArray b(4, '\0');
  qToLittleEndian(v, b.data());
  return b;
}
QByteArray le16(quint16 v) {
  QByteArray b(2, '\0');
  qToLittleEndian(v, b.data());
  return b;
}
QByteArray chunk(const char* id, const QByteArray& data) {
  QByteArray c = QByteArray(id, 4) + le32(static_cast<quint32>(data.size())) + data;
  if (data.size() % 2) c += '\0';
  return c;
}
QByteArray list(const char* type, const QByteArray& data) { return chunk("LIST", QByteArray(type, 4) + data); }

// An AVI file of one video stream holding `frames` as they are.
QByteArray aviOf(const QList<QByteArray>& frames, const char* fourcc, int bitCount) {
  quint32 largest = 0;
  for (const QByteArray& f : frames) largest = std::max<quint32>(largest, f.size());
  const auto n = static_cast<quint32>(frames.size());
  QByteArray avih = le32(40000) + le32(0) + le32(0) + le32(0x10) + le32(n) + le32(0) + le32(1) + le32(largest) +
                    le32(kSide) + le32(kSide) + QByteArray(16, '\0');
  QByteArray strh = QByteArray("vids") + QByteArray(fourcc, 4) + le32(0) + le16(0) + le16(0) + le32(0) + le32(1) +
                    le32(25) + le32(0) + le32(n) + le32(largest) + le32(0xffffffff) + le32(0) + le16(0) + le16(0) +
                    le16(kSide) + le16(kSide);
  QByteArray strf = le32(40) + le32(kSide) + le32(kSide) + le16(1) + le16(static_cast<quint16>(bitCount)) +
                    QByteArray(fourcc, 4) + le32(kSide * kSide * 3) + QByteArray(16, '\0');
  QByteArray movi, idx;
  quint32 offset = 4;  // from the start of "movi"
  for (const QByteArray& f : frames) {
    const QByteArray c = chunk("00dc", f);
    idx += QByteArray("00dc") + le32(0x10) + le32(offset) + le32(static_cast<quint32>(f.size()));
    movi += c;
    offset += static_cast<quint32>(c.size());
  }
  const QByteArray body = list("hdrl", chunk("avih", avih) + list("strl", chunk("strh", strh) + chunk("strf", strf))) +
                          list("movi", movi) + chunk("idx1", idx);
  return chunk("RIFF", QByteArray("AVI ") + body);
}

struct VideoCodecs : ::testing::TestWithParam<Format> {
  test::GameFixture fx;

  void SetUp() override {
    if (QStandardPaths::findExecutable(QStringLiteral("gst-launch-1.0")).isEmpty())
      GTEST_SKIP() << "gst-launch-1.0 is not installed: no test videos can be made";
    fx.frame("Start", "0,\"0\",#FALSE#,#FALSE#,\"\",#FALSE#,\"\",\"\",\"\",\"\"\r\n");
  }

  // Makes the video in the project's Frames folder; false when this machine cannot.
  bool make(const Format& f) {
    const QString frames = fx.project.root() + QStringLiteral("/Frames");
    QDir().mkpath(frames);
    const QString source = QStringLiteral(
                               "videotestsrc num-buffers=%1 ! video/x-raw,width=%2,height=%2,framerate=25/1 "
                               "! videoconvert ! ")
                               .arg(kFrames)
                               .arg(kSide);
    if (!f.fourcc) return runPipeline(source + QString::fromLatin1(f.encoder).arg(frames + '/' + f.file));
    const QString pictures = fx.project.root() + QStringLiteral("/pictures");
    QDir().mkpath(pictures);
    if (!runPipeline(source + QString::fromLatin1(f.encoder).arg(pictures + "/%03d.bin"))) return false;
    QList<QByteArray> data;
    for (const QString& name : QDir(pictures).entryList({"*.bin"}, QDir::Files, QDir::Name)) {
      QFile in(pictures + '/' + name);
      if (in.open(QIODevice::ReadOnly)) data << in.readAll();
    }
    if (data.isEmpty()) return false;
    QFile out(frames + '/' + f.file);
    return out.open(QIODevice::WriteOnly) && out.write(aviOf(data, f.fourcc, f.bitCount)) > 0;
  }
};

TEST_P(VideoCodecs, PlaysToItsEndInItsOwnSize) {
  const Format& f = GetParam();
  if (!make(f)) GTEST_SKIP() << "this machine's GStreamer cannot make a " << f.name << " video";
  Game& game = fx.start();
  game.video().PlayMovieWithStop(f.file, false, 0, 0, 0, 0);
  EXPECT_TRUE(game.video().IsOneTimeVideoPlaying());
  QElapsedTimer clock;
  clock.start();
  while (game.video().IsOneTimeVideoPlaying() && clock.elapsed() < 6000) test::runEventsFor(20);
  EXPECT_FALSE(game.video().IsOneTimeVideoPlaying()) << "a one-second video still plays after six";
  ASSERT_TRUE(game.video().OneTimeVideoItem());
  EXPECT_EQ(game.video().OneTimeVideoItem()->size(), QSizeF(kSide, kSide)) << "its pictures arrived";
  EXPECT_TRUE(fx.project.log.isEmpty()) << fx.project.log.join('\n').toStdString();
}

// Indeo (3, 4 and 5, the versions of the era's CD games) cannot be made here, as no encoder
// exists; the backend's decoders for it must at least be installed.
TEST(VideoCodecsIndeo, DecodersAreInstalled) {
  if (QStandardPaths::findExecutable(QStringLiteral("gst-inspect-1.0")).isEmpty())
    GTEST_SKIP() << "gst-inspect-1.0 is not installed";
  for (const char* decoder : {"avdec_indeo3", "avdec_indeo4", "avdec_indeo5"}) {
    QProcess p;
    p.start(QStringLiteral("gst-inspect-1.0"), {QStringLiteral("--exists"), QString::fromLatin1(decoder)});
    EXPECT_TRUE(p.waitForFinished(30000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0)
        << decoder << " is missing";
  }
}

INSTANTIATE_TEST_SUITE_P(
    Formats, VideoCodecs,
    ::testing::Values(
        Format{"Cinepak", "cinepak.avi", "avenc_cinepak ! multifilesink location=%1", "cvid", 24},
        Format{"MS-Video1", "video1.avi", "avenc_msvideo1 ! multifilesink location=%1", "CRAM", 16},
        Format{"MJPEG", "mjpeg.avi", "jpegenc ! avimux ! filesink location=%1"},
        Format{"uncompressed", "raw.avi", "video/x-raw,format=BGR ! avimux ! filesink location=%1"},
        Format{"MPEG-1 stream", "video.m1v", "mpeg2enc format=0 ! filesink location=%1"},
        Format{"MPEG-1 system", "system.mpg", "mpeg2enc format=0 ! mplex format=0 ! filesink location=%1"},
        Format{"MPEG-1 system, MPE", "system.mpe", "mpeg2enc format=0 ! mplex format=0 ! filesink location=%1"}),
    [](const ::testing::TestParamInfo<Format>& info) {
      QString n = QString::fromLatin1(info.param.file);
      n.replace('.', '_');
      return n.toStdString();
    });

}  // namespace
}  // namespace storyloom
