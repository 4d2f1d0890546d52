#include <gtest/gtest.h>

#include <QDate>
#include <QFile>
#include <QTemporaryDir>

#include "shell/field_reader.h"

using namespace storyloom;

namespace {
FieldReader reader(const char* text) { return FieldReader(QByteArray(text)); }
}  // namespace

TEST(FieldReader, ReadsQuotedBareAndEmptyValuesAcrossLineEnds) {
  FieldReader f = reader("  \"a, b\" junk ,12 ,  x y  \r\n\"\",,#TRUE#\n\r\nlast\r");
  EXPECT_EQ(f.readString(), "a, b");  // text after the closing quote is dropped
  EXPECT_EQ(f.readInteger(), 12);
  EXPECT_EQ(f.readString(), "x y");  // trailing blanks dropped
  EXPECT_EQ(f.readString(), "");
  EXPECT_EQ(f.readInteger(), 0);  // empty value as a number
  EXPECT_TRUE(f.readBoolean());
  EXPECT_EQ(f.readString(), "");  // an empty line is one empty value
  EXPECT_FALSE(f.atEnd());
  EXPECT_EQ(f.readString(), "last");
  EXPECT_TRUE(f.atEnd());
  try {
    f.readString();
    FAIL() << "read past the end";
  } catch (const PlatformError& e) {
    EXPECT_EQ(e.code(), 62);
    EXPECT_EQ(e.text(), "Input past end of file");
  }
}

TEST(FieldReader, TypedReadsConvertRoundAndReportErrors) {
  struct Case {
    const char* text;
    int expectInteger;  // or the error number
    bool error;
  } cases[] = {
      {"2.5", 2, false},  {"3.5", 4, false},     {"-2.5", -2, false},   {"32767", 32767, false},
      {"32768", 6, true}, {"-32769", 6, true},   {"#TRUE#", -1, false}, {"#FALSE#", 0, false},
      {"abc", 13, true},  {"\"17\"", 17, false}, {"1E3", 1000, false},  {"&HFF", 255, false},
  };
  for (const Case& c : cases) {
    FieldReader f = reader(c.text);
    try {
      const int v = f.readInteger();
      EXPECT_FALSE(c.error) << c.text;
      EXPECT_EQ(v, c.expectInteger) << c.text;
    } catch (const PlatformError& e) {
      EXPECT_TRUE(c.error) << c.text;
      EXPECT_EQ(e.code(), c.expectInteger) << c.text;
    }
  }
  FieldReader longs = reader("100000,1.5,-7.25,#TRUE#");
  EXPECT_EQ(longs.readLong(), 100000);
  EXPECT_FLOAT_EQ(longs.readSingle(), 1.5f);
  EXPECT_DOUBLE_EQ(longs.readDouble(), -7.25);
  EXPECT_EQ(longs.readLong(), -1);
}

TEST(FieldReader, VariantsAreTakenAsWritten) {
  FieldReader f = reader("\"12\",12,100000,1.5,#TRUE#,#NULL#,,#2004-02-28#,word");
  QVariant v = f.readVariant();
  EXPECT_EQ(v.typeId(), QMetaType::QString);
  EXPECT_EQ(f.readVariant().toInt(), 12);
  EXPECT_EQ(f.readVariant().toInt(), 100000);
  EXPECT_DOUBLE_EQ(f.readVariant().toDouble(), 1.5);
  v = f.readVariant();
  EXPECT_EQ(v.typeId(), QMetaType::Bool);
  EXPECT_EQ(f.readVariant().typeId(), QMetaType::Nullptr);
  EXPECT_FALSE(f.readVariant().isValid());
  EXPECT_EQ(f.readVariant().toDate(), QDate(2004, 2, 28));
  EXPECT_EQ(f.readVariant().toString(), "word");
}

TEST(FieldReader, PositionCanBeRestoredAndPeeked) {
  FieldReader f = reader("\"a\",\"----- SEPARATOR -----\",\"b\"");
  f.readString();
  EXPECT_TRUE(f.nextIs("----- SEPARATOR -----"));
  const qsizetype at = f.position();
  EXPECT_EQ(f.readString(), "----- SEPARATOR -----");
  f.setPosition(at);
  EXPECT_EQ(f.readString(), "----- SEPARATOR -----");
  EXPECT_FALSE(f.nextIs("x"));
  EXPECT_EQ(f.readString(), "b");
  EXPECT_FALSE(f.nextIs("anything"));  // at the end
}

TEST(FieldReader, DecodesWindows1252) {
  FieldReader f(QByteArray("\"caf\xe9 \x80 \x96 \x93\""));
  EXPECT_EQ(f.readString(), QString::fromUtf8("café € – “"));
}

TEST(FieldWriter, WritesWhatTheReaderReadsBack) {
  FieldWriter w;
  w.writeString(QString::fromUtf8("naïve \"quoted\""));
  w.writeInteger(-3);
  w.writeDouble(1.5);
  w.writeDouble(1e20);
  w.writeBoolean(true);
  w.writeVariant(QVariant());
  w.endLine();
  w.writeVariant(QDate(2004, 2, 28));
  w.endLine();
  EXPECT_EQ(w.bytes(), QByteArray("\"na\xefve |quoted|\",-3,1.5,1E+20,#TRUE#,\r\n#2004-02-28#\r\n"));
  FieldReader f(w.bytes());
  EXPECT_EQ(BarToQuote(f.readString()), QString::fromUtf8("naïve \"quoted\""));
  EXPECT_EQ(f.readInteger(), -3);
  EXPECT_DOUBLE_EQ(f.readDouble(), 1.5);
  EXPECT_DOUBLE_EQ(f.readDouble(), 1e20);
  EXPECT_TRUE(f.readBoolean());
  EXPECT_FALSE(f.readVariant().isValid());
  EXPECT_EQ(f.readVariant().toDate(), QDate(2004, 2, 28));
  EXPECT_TRUE(f.atEnd());
}

TEST(FieldReader, ReadsLargeFilesBlockByBlock) {
  QTemporaryDir dir;
  const QString path = dir.path() + "/big";
  QByteArray bytes;
  for (int i = 0; i < 30000; ++i) bytes += "\"item" + QByteArray::number(i) + "\"," + QByteArray::number(i) + "\r\n";
  {
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
  }
  FieldReader f = FieldReader::fromFile(path);
  qint64 marked = 0;
  for (int i = 0; i < 30000; ++i) {
    if (i == 20000) marked = f.position();
    ASSERT_EQ(f.readString(), "item" + QString::number(i));
    ASSERT_EQ(f.readLong(), i);
  }
  EXPECT_TRUE(f.atEnd());
  f.setPosition(marked);  // back across many blocks
  EXPECT_EQ(f.readString(), "item20000");
  EXPECT_THROW(FieldReader::fromFile(dir.path() + "/none"), PlatformError);
}
