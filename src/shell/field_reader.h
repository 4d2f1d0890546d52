#pragma once
#include <QByteArray>
#include <QString>
#include <QVariant>
#include <memory>

#include "platform/platform_error.h"

class QFile;

// Reader and writer for the comma-and-line-end field streams that every project
// file and saved game is made of. A read that fails raises PlatformError: "Input past end
// of file" (62), "Type mismatch" (13), "Overflow" (6), "File not found" (53).
namespace storyloom {

// One value as it stands in the file, before conversion.
struct RawField {
  enum class Kind { Empty, Text, Bare };  // Text: was quoted; Bare: unquoted, non-empty
  Kind kind = Kind::Empty;
  QString text;
};

// A value "taken as written": empty, Null, Boolean, number, text or date.
// QVariant() is Empty; a QVariant holding std::nullptr_t is Null.
QVariant fieldToVariant(const RawField& field);

class FieldReader {
 public:
  FieldReader() = default;
  explicit FieldReader(QByteArray bytes);

  // Reads a file as it goes, a block at a time, so that only what is read is loaded;
  // throws PlatformError::fileNotFound when it cannot be opened.
  static FieldReader fromFile(const QString& hostPath);

  bool atEnd() const { return pos_ >= size_; }
  qint64 position() const { return pos_; }
  void setPosition(qint64 pos) { pos_ = pos; }

  RawField readRaw();
  QString readString();
  qint16 readInteger();
  qint32 readLong();
  float readSingle();
  double readDouble();
  bool readBoolean();
  QVariant readVariant();
  void skip(int count);

  // True when the next value is the given text; the position does not move.
  bool nextIs(const QString& text);
  // Reads one value and says whether it is the given text (as its Windows-1252 bytes).
  bool readIs(const QByteArray& windows1252Text);

 private:
  double readNumber();
  // Reads one value up to and with its separator; its bytes go to bytes when given.
  RawField::Kind scanValue(QByteArray* bytes);
  // The byte at p, or -1 past the end.
  int at(qint64 p) {
    if (p >= size_) return -1;
    if (p < bufStart_ || p >= bufStart_ + buf_.size()) fill(p);
    return static_cast<unsigned char>(buf_[static_cast<qsizetype>(p - bufStart_)]);
  }
  void fill(qint64 p);

  std::shared_ptr<QFile> file_;  // null when reading from memory
  QByteArray buf_;
  qint64 bufStart_ = 0;
  qint64 size_ = 0;
  qint64 pos_ = 0;
};

class FieldWriter {
 public:
  void writeString(const QString& value);
  void writeInteger(qint64 value);
  void writeDouble(double value);
  void writeBoolean(bool value);
  void writeVariant(const QVariant& value);
  void endLine();
  const QByteArray& bytes() const { return data_; }
  // Writes the bytes to a file; returns false when it cannot be written.
  bool saveTo(const QString& hostPath) const;

 private:
  void separate();
  QByteArray data_;
  bool lineStarted_ = false;
};

// Every "|" becomes a double quote (script code is stored with "|" for quotes).
QString BarToQuote(const QString& text);

}  // namespace storyloom
