// Scripting.FileSystemObject with its File, Folder, Files, Folders and
// TextStream objects.
//
// Scripts write Windows paths ("Z:\home\me\Game\save.txt", "Data\x.txt").
// Every path a script gives goes through Host::toHostPath before the disk is
// touched; objects reached from a folder (its files and subfolders) extend
// the folder's translated path.  Before any operation reads or writes the
// disk, Host::mayAccess is asked about the host path; a refusal is error 70
// (existence tests answer False instead, as for a path they cannot reach).  Paths shown to scripts stay in Windows
// form: a relative path is made absolute by translating it and writing the
// result with the host's root as drive Z: (the convention of the hosts the
// player runs under).
//
// Text files are Windows-1252, or UTF-16LE with a byte-order mark when the
// script asks for Unicode.
#include <algorithm>
#include <chrono>
#include <cmath>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <random>
#include <system_error>

#include "platform/vbscript/builtins.h"
#include "platform/vbscript/lib_util.h"

namespace vbs {

using namespace lib;
namespace fs = std::filesystem;

namespace {

enum : int32_t {
  kFileNotFound = 53,
  kBadFileMode = 54,
  kFileExists = 58,
  kPastEnd = 62,
  kPermissionDenied = 70,
  kPathNotFound = 76,
};

enum IoMode { ForReading = 1, ForWriting = 2, ForAppending = 8 };
enum Tristate { UseDefault = -2, TristateTrue = -1, TristateFalse = 0 };

bool is(std::u16string_view n, const char16_t* m) { return equalsNoCase(n, m); }

// ---------------------------------------------------------------------------
// Windows path text

bool isSep(char16_t c) { return c == u'\\' || c == u'/'; }

// Length of the root: "C:\" = 3, "C:" = 2, "\\server\share\" or "\" = its length.
size_t rootLength(std::u16string_view p) {
  if (p.size() >= 2 && p[1] == u':' && ((p[0] | 32) >= u'a' && (p[0] | 32) <= u'z'))
    return p.size() >= 3 && isSep(p[2]) ? 3 : 2;
  if (p.size() >= 2 && isSep(p[0]) && isSep(p[1])) {
    size_t i = 2, parts = 0;
    while (i < p.size() && parts < 2) {
      if (isSep(p[i])) ++parts;
      ++i;
    }
    return i;
  }
  if (!p.empty() && isSep(p[0])) return 1;
  return 0;
}

bool isAbsolute(std::u16string_view p) {
  size_t r = rootLength(p);
  return r >= 3 || (r > 0 && isSep(p[0]));
}

std::u16string_view stripTrailingSeps(std::u16string_view p) {
  size_t root = rootLength(p);
  while (p.size() > root && isSep(p.back())) p.remove_suffix(1);
  return p;
}

std::u16string fileNameOf(std::u16string_view p) {
  p = stripTrailingSeps(p);
  size_t root = rootLength(p);
  if (p.size() <= root) return {};
  size_t i = p.size();
  while (i > root && !isSep(p[i - 1])) --i;
  return std::u16string(p.substr(i));
}

std::u16string parentOf(std::u16string_view p) {
  p = stripTrailingSeps(p);
  size_t root = rootLength(p);
  if (p.size() <= root) return {};
  size_t i = p.size();
  while (i > root && !isSep(p[i - 1])) --i;
  if (i == 0) return {};
  std::u16string_view parent = p.substr(0, i);
  if (parent.size() > root) parent = stripTrailingSeps(parent);
  return std::u16string(parent);
}

std::u16string baseNameOf(std::u16string_view p) {
  std::u16string n = fileNameOf(p);
  size_t dot = n.rfind(u'.');
  return dot == std::u16string::npos ? n : n.substr(0, dot);
}

std::u16string extensionOf(std::u16string_view p) {
  std::u16string n = fileNameOf(p);
  size_t dot = n.rfind(u'.');
  return dot == std::u16string::npos ? std::u16string() : n.substr(dot + 1);
}

std::u16string buildPath(std::u16string_view path, std::u16string_view name) {
  std::u16string out(path);
  if (out.empty()) return std::u16string(name);
  bool pathSep = isSep(out.back()) || (out.size() == 2 && out[1] == u':');
  bool nameSep = !name.empty() && isSep(name[0]);
  if (!pathSep && !nameSep)
    out += u'\\';
  else if (pathSep && nameSep)
    name.remove_prefix(1);
  out += name;
  return out;
}

// Resolves "." and ".." and uses backslashes; keeps the root.
std::u16string normalizeWindows(std::u16string_view p) {
  size_t root = rootLength(p);
  std::u16string head(p.substr(0, root));
  for (auto& c : head)
    if (c == u'/') c = u'\\';
  if (head.size() == 2 && head[1] == u':') head += u'\\';
  std::vector<std::u16string> parts;
  size_t i = root;
  while (i <= p.size()) {
    size_t j = i;
    while (j < p.size() && !isSep(p[j])) ++j;
    std::u16string part(p.substr(i, j - i));
    if (part == u"..") {
      if (!parts.empty()) parts.pop_back();
    } else if (!part.empty() && part != u".") {
      parts.push_back(std::move(part));
    }
    i = j + 1;
  }
  std::u16string out = head;
  for (size_t k = 0; k < parts.size(); ++k) {
    if (k) out += u'\\';
    out += parts[k];
  }
  return out;
}

// Windows form of a host path: the host's root is drive Z:.
std::u16string windowsFromHost(const fs::path& hostPath) {
  std::u16string s = fromUtf8(hostPath.lexically_normal().string());
  for (auto& c : s)
    if (c == u'/') c = u'\\';
  while (s.size() > 1 && s.back() == u'\\') s.pop_back();
  return u"Z:" + s;
}

// Wildcard match of a file name (* and ?), without case.
bool wildMatch(std::u16string_view pat, std::u16string_view name) {
  size_t p = 0, n = 0, starP = std::u16string_view::npos, starN = 0;
  while (n < name.size()) {
    if (p < pat.size() && (pat[p] == u'?' || toLowerChar(pat[p]) == toLowerChar(name[n]))) {
      ++p;
      ++n;
    } else if (p < pat.size() && pat[p] == u'*') {
      starP = p++;
      starN = n;
    } else if (starP != std::u16string_view::npos) {
      p = starP + 1;
      n = ++starN;
    } else {
      return false;
    }
  }
  while (p < pat.size() && pat[p] == u'*') ++p;
  return p == pat.size();
}

bool hasWildcards(std::u16string_view s) { return s.find_first_of(u"*?") != std::u16string_view::npos; }

// ---------------------------------------------------------------------------
// Text encoding

std::string encodeAnsi(std::u16string_view s) {
  std::string out;
  out.reserve(s.size());
  for (char16_t c : s) {
    int b = unicodeToAnsi(c);
    out.push_back(static_cast<char>(b < 0 ? '?' : b));
  }
  return out;
}

std::u16string decode(const std::string& bytes, bool unicode) {
  std::u16string out;
  if (unicode) {
    size_t i = 0;
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE)
      i = 2;
    out.reserve(bytes.size() / 2);
    for (; i + 1 < bytes.size(); i += 2)
      out.push_back(
          static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8));
    return out;
  }
  out.reserve(bytes.size());
  for (char b : bytes) out.push_back(ansiToUnicode(static_cast<uint8_t>(b)));
  return out;
}

bool hasUtf16Bom(const std::string& bytes) {
  return bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
         static_cast<unsigned char>(bytes[1]) == 0xFE;
}

// ---------------------------------------------------------------------------
// Disk helpers

double serialFromFileTime(fs::file_time_type ft) {
  auto sys = std::chrono::file_clock::to_sys(ft);
  std::time_t t =
      std::chrono::system_clock::to_time_t(std::chrono::time_point_cast<std::chrono::system_clock::duration>(sys));
  std::tm lt{};
  localtime_r(&t, &lt);
  return dateSerial(lt.tm_year + 1900, lt.tm_mon + 1, lt.tm_mday) + timeSerial(lt.tm_hour, lt.tm_min, lt.tm_sec);
}

bool isFile(const fs::path& p) {
  std::error_code ec;
  return fs::is_regular_file(p, ec);
}

bool isDir(const fs::path& p) {
  std::error_code ec;
  return fs::is_directory(p, ec);
}

bool readOnly(const fs::path& p) {
  std::error_code ec;
  auto st = fs::status(p, ec);
  return !ec && (st.permissions() & fs::perms::owner_write) == fs::perms::none;
}

Value sizeValue(uintmax_t n) {
  if (n <= static_cast<uintmax_t>(INT32_MAX)) return Value(static_cast<int32_t>(n));
  return Value(static_cast<double>(n));
}

uintmax_t folderSize(const fs::path& p) {
  uintmax_t total = 0;
  std::error_code ec;
  for (auto it = fs::recursive_directory_iterator(p, ec); !ec && it != fs::recursive_directory_iterator();
       it.increment(ec)) {
    std::error_code e2;
    if (it->is_regular_file(e2)) total += it->file_size(e2);
  }
  return total;
}

// Raises 70 unless the host allows the access.
void requireAccess(Host& h, const fs::path& p, Host::FileAccess access) {
  if (!h.mayAccess(p.string(), access)) raise(kPermissionDenied);
}
constexpr Host::FileAccess kRead = Host::FileAccess::Read;
constexpr Host::FileAccess kWrite = Host::FileAccess::Write;

// A location known both ways: as the script sees it and on this machine,
// with the host that decides what may be done there.
struct Location {
  std::u16string win;  // absolute Windows form
  fs::path host;
  Host* access;
  void require(Host::FileAccess a) const { requireAccess(*access, host, a); }
  Location at(std::u16string w, fs::path h) const { return {std::move(w), std::move(h), access}; }
};

class FileSystem;

// ---------------------------------------------------------------------------
// TextStream

class TextStream : public Object {
 public:
  // Reading: the whole file is decoded up front.
  TextStream(std::u16string text) : mode_(ForReading), text_(std::move(text)) {}
  // Writing / appending: `out` is open and positioned.
  TextStream(std::ofstream out, int mode, bool unicode) : mode_(mode), unicode_(unicode), out_(std::move(out)) {}
  ~TextStream() override { close(); }

  std::u16string typeName() const override { return u"TextStream"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"ReadLine", u"Read", u"ReadAll", u"Write", u"WriteLine", u"WriteBlankLines", u"Skip", u"SkipLine",
                   u"AtEndOfStream", u"AtEndOfLine", u"Line", u"Column", u"Close"})
      if (is(n, m)) return true;
    return false;
  }

  Value callMethod(std::u16string_view n, Args a) override {
    if (is(n, u"Line")) {
      a.expect(0, 0);
      return Value(line_);
    }
    if (is(n, u"Column")) {
      a.expect(0, 0);
      return Value(column_);
    }
    if (is(n, u"Close")) {
      a.expect(0, 0);
      close();
      return {};
    }
    if (is(n, u"AtEndOfStream")) {
      a.expect(0, 0);
      needRead();
      return Value(pos_ >= text_.size());
    }
    if (is(n, u"AtEndOfLine")) {
      a.expect(0, 0);
      needRead();
      return Value(pos_ >= text_.size() || text_[pos_] == u'\r' || text_[pos_] == u'\n');
    }
    if (is(n, u"Read")) {
      a.expect(1, 1);
      int32_t count = a[0].toLong();
      if (count < 0) raise(err::InvalidProcedureCall);
      needRead();
      if (count > 0 && pos_ >= text_.size()) raise(kPastEnd);
      size_t k = std::min(static_cast<size_t>(count), text_.size() - pos_);
      std::u16string out = text_.substr(pos_, k);
      advance(k);
      return Value(std::move(out));
    }
    if (is(n, u"ReadLine")) {
      a.expect(0, 0);
      needRead();
      if (pos_ >= text_.size()) raise(kPastEnd);
      size_t end = text_.find_first_of(u"\r\n", pos_);
      if (end == std::u16string::npos) end = text_.size();
      std::u16string out = text_.substr(pos_, end - pos_);
      advance(end - pos_);
      skipLineEnd();
      return Value(std::move(out));
    }
    if (is(n, u"ReadAll")) {
      a.expect(0, 0);
      needRead();
      if (pos_ >= text_.size()) raise(kPastEnd);
      std::u16string out = text_.substr(pos_);
      advance(out.size());
      return Value(std::move(out));
    }
    if (is(n, u"Skip")) {
      a.expect(1, 1);
      int32_t count = a[0].toLong();
      if (count < 0) raise(err::InvalidProcedureCall);
      needRead();
      if (count > 0 && pos_ >= text_.size()) raise(kPastEnd);
      advance(std::min(static_cast<size_t>(count), text_.size() - pos_));
      return {};
    }
    if (is(n, u"SkipLine")) {
      a.expect(0, 0);
      needRead();
      if (pos_ >= text_.size()) raise(kPastEnd);
      size_t end = text_.find_first_of(u"\r\n", pos_);
      if (end == std::u16string::npos) end = text_.size();
      advance(end - pos_);
      skipLineEnd();
      return {};
    }
    if (is(n, u"Write")) {
      a.expect(1, 1);
      write(a[0].toConcatString());
      return {};
    }
    if (is(n, u"WriteLine")) {
      a.expect(0, 1);
      write((a.isMissing(0) ? std::u16string() : a[0].toConcatString()) + u"\r\n");
      return {};
    }
    if (is(n, u"WriteBlankLines")) {
      a.expect(1, 1);
      int32_t count = a[0].toLong();
      if (count < 0) raise(err::InvalidProcedureCall);
      std::u16string s;
      for (int32_t i = 0; i < count; ++i) s += u"\r\n";
      write(s);
      return {};
    }
    raise(err::NoSuchMember);
  }

 private:
  void needRead() {
    if (closed_ || mode_ != ForReading) raise(kBadFileMode);
  }

  // Moves over k characters, counting lines and columns.
  void advance(size_t k) {
    for (size_t i = 0; i < k; ++i) count(text_[pos_ + i], pos_ + i + 1 < text_.size() ? text_[pos_ + i + 1] : 0);
    pos_ += k;
  }

  void count(char16_t c, char16_t next) {
    if (c == u'\n' || (c == u'\r' && next != u'\n')) {
      ++line_;
      column_ = 1;
    } else if (c != u'\r') {
      ++column_;
    }
  }

  // After a line's text: one "\r\n", "\n" or "\r".
  void skipLineEnd() {
    if (pos_ >= text_.size()) return;
    if (text_[pos_] == u'\r' && pos_ + 1 < text_.size() && text_[pos_ + 1] == u'\n')
      advance(2);
    else
      advance(1);
  }

  void write(const std::u16string& s) {
    if (closed_ || mode_ == ForReading) raise(kBadFileMode);
    for (size_t i = 0; i < s.size(); ++i) count(s[i], i + 1 < s.size() ? s[i + 1] : 0);
    std::string bytes = unicode_ ? lib::utf16LeBytes(s) : encodeAnsi(s);
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  }

  void close() {
    if (closed_) return;
    closed_ = true;
    if (out_.is_open()) out_.close();
    text_.clear();
    pos_ = 0;
  }

  int mode_;
  bool unicode_ = false;
  bool closed_ = false;
  std::u16string text_;
  size_t pos_ = 0;
  std::ofstream out_;
  int32_t line_ = 1, column_ = 1;
};

// Opens a text stream on a host path.  `format` is a Tristate.
Ref<Object> openStream(Host& access, const fs::path& host, int mode, bool create, int format, bool overwrite = true) {
  if (mode != ForReading && mode != ForWriting && mode != ForAppending) raise(err::InvalidProcedureCall);
  requireAccess(access, host, mode == ForReading ? kRead : kWrite);
  if (isDir(host)) raise(kPermissionDenied);
  bool exists = isFile(host);
  if (mode == ForReading) {
    if (!exists) raise(kFileNotFound);
    std::ifstream in(host, std::ios::binary);
    if (!in) raise(kPermissionDenied);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    bool unicode = format == TristateTrue || (format == UseDefault && hasUtf16Bom(bytes));
    return makeRef<TextStream>(decode(bytes, unicode));
  }
  if (!exists) {
    if (!create) raise(kFileNotFound);
    if (!isDir(host.parent_path().empty() ? fs::path(".") : host.parent_path())) raise(kPathNotFound);
  } else if (!overwrite) {
    raise(kFileExists);
  }
  bool unicode = format == TristateTrue;
  bool writeBom = unicode && (mode == ForWriting || !exists || fs::file_size(host) == 0);
  std::ofstream out(host, std::ios::binary | (mode == ForAppending ? std::ios::app : std::ios::trunc));
  if (!out) raise(kPermissionDenied);
  if (writeBom) out.write("\xFF\xFE", 2);
  return makeRef<TextStream>(std::move(out), mode, unicode);
}

// ---------------------------------------------------------------------------
// File, Folder and their collections

Value makeFile(Location loc);
Value makeFolder(Location loc);

class FileObject : public Object {
 public:
  explicit FileObject(Location loc) : loc_(std::move(loc)) {}
  std::u16string typeName() const override { return u"File"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m :
         {u"Name", u"Path", u"Size", u"DateLastModified", u"DateCreated", u"DateLastAccessed", u"ParentFolder",
          u"Attributes", u"Type", u"ShortName", u"ShortPath", u"Delete", u"Copy", u"Move", u"OpenAsTextStream"})
      if (is(n, m)) return true;
    return false;
  }

  Value callMethod(std::u16string_view n, Args a) override {
    if (n.empty() || is(n, u"Path") || is(n, u"ShortPath")) return Value(loc_.win);
    if (is(n, u"Name") || is(n, u"ShortName")) return Value(fileNameOf(loc_.win));
    if (is(n, u"Size")) {
      loc_.require(kRead);
      std::error_code ec;
      auto size = fs::file_size(loc_.host, ec);
      if (ec) raise(kFileNotFound);
      return sizeValue(size);
    }
    if (is(n, u"DateLastModified") || is(n, u"DateCreated") || is(n, u"DateLastAccessed")) {
      loc_.require(kRead);
      std::error_code ec;
      auto t = fs::last_write_time(loc_.host, ec);
      if (ec) raise(kFileNotFound);
      return Value(Date{serialFromFileTime(t)});
    }
    if (is(n, u"ParentFolder")) return makeFolder(loc_.at(parentOf(loc_.win), loc_.host.parent_path()));
    if (is(n, u"Attributes")) {
      loc_.require(kRead);
      return Value(static_cast<int32_t>(readOnly(loc_.host) ? 33 : 32));
    }
    if (is(n, u"Type")) {
      std::u16string ext = toUpper(extensionOf(loc_.win));
      return Value(ext.empty() ? std::u16string(u"File") : ext + u" File");
    }
    if (is(n, u"Delete")) {
      bool force = !a.isMissing(0) && a[0].toBool();
      loc_.require(kWrite);
      if (readOnly(loc_.host) && !force) raise(kPermissionDenied);
      std::error_code ec;
      if (!fs::remove(loc_.host, ec)) raise(ec ? kPermissionDenied : kFileNotFound);
      return {};
    }
    if (is(n, u"OpenAsTextStream")) {
      int mode = a.isMissing(0) ? ForReading : a[0].toLong();
      int format = a.isMissing(1) ? TristateFalse : a[1].toLong();
      return Value(openStream(*loc_.access, loc_.host, mode, false, format).get());
    }
    raise(err::NoSuchMember);
  }

  const Location& location() const { return loc_; }

 private:
  Location loc_;
};

// Files / SubFolders: a snapshot of a folder's entries.
class EntryCollection : public Object {
 public:
  EntryCollection(Location folder, bool folders) : folder_(std::move(folder)), folders_(folders) {}
  std::u16string typeName() const override { return folders_ ? u"Folders" : u"Files"; }
  bool hasMember(std::u16string_view n) const override {
    return is(n, u"Count") || is(n, u"Item") || (folders_ && is(n, u"Add"));
  }

  Value callMethod(std::u16string_view n, Args a) override {
    if (is(n, u"Count")) return Value(static_cast<int32_t>(names().size()));
    if (n.empty() || is(n, u"Item")) {
      a.expect(1, 1);
      std::u16string want = a[0].toString();
      for (const auto& name : names())
        if (compareStrings(name, want, true) == 0) return entry(name);
      raise(folders_ ? kPathNotFound : kFileNotFound);
    }
    if (folders_ && is(n, u"Add")) {
      a.expect(1, 1);
      std::u16string name = a[0].toString();
      fs::path host = folder_.host / utf8(name);
      requireAccess(*folder_.access, host, kWrite);
      if (isDir(host) || isFile(host)) raise(kFileExists);
      std::error_code ec;
      if (!fs::create_directory(host, ec)) raise(kPermissionDenied);
      return entry(name);
    }
    raise(err::NoSuchMember);
  }

  std::vector<Value> enumerate() override {
    std::vector<Value> out;
    for (const auto& name : names()) out.push_back(entry(name));
    return out;
  }

 private:
  std::vector<std::u16string> names() const {
    folder_.require(kRead);
    std::vector<std::u16string> out;
    std::error_code ec;
    for (auto it = fs::directory_iterator(folder_.host, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
      std::error_code e2;
      bool dir = it->is_directory(e2);
      if (dir == folders_) out.push_back(fromUtf8(it->path().filename().string()));
    }
    std::sort(out.begin(), out.end(),
              [](const std::u16string& x, const std::u16string& y) { return compareStrings(x, y, true) < 0; });
    return out;
  }

  Value entry(const std::u16string& name) const {
    Location loc = folder_.at(buildPath(folder_.win, name), folder_.host / utf8(name));
    return folders_ ? makeFolder(std::move(loc)) : makeFile(std::move(loc));
  }

  Location folder_;
  bool folders_;
};

class FolderObject : public Object {
 public:
  explicit FolderObject(Location loc) : loc_(std::move(loc)) {}
  std::u16string typeName() const override { return u"Folder"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"Name", u"Path", u"Size", u"DateLastModified", u"DateCreated", u"Files", u"SubFolders",
                   u"ParentFolder", u"IsRootFolder", u"Attributes", u"Delete", u"CreateTextFile"})
      if (is(n, m)) return true;
    return false;
  }

  Value callMethod(std::u16string_view n, Args a) override {
    if (n.empty() || is(n, u"Path") || is(n, u"ShortPath")) return Value(loc_.win);
    if (is(n, u"Name") || is(n, u"ShortName")) return Value(fileNameOf(loc_.win));
    if (is(n, u"Size")) {
      loc_.require(kRead);
      return sizeValue(folderSize(loc_.host));
    }
    if (is(n, u"DateLastModified") || is(n, u"DateCreated") || is(n, u"DateLastAccessed")) {
      loc_.require(kRead);
      std::error_code ec;
      auto t = fs::last_write_time(loc_.host, ec);
      if (ec) raise(kPathNotFound);
      return Value(Date{serialFromFileTime(t)});
    }
    if (is(n, u"Files")) return Value(new EntryCollection(loc_, false));
    if (is(n, u"SubFolders")) return Value(new EntryCollection(loc_, true));
    if (is(n, u"IsRootFolder")) return Value(parentOf(loc_.win).empty());
    if (is(n, u"ParentFolder")) {
      std::u16string parent = parentOf(loc_.win);
      if (parent.empty()) return Value::nothing();
      return makeFolder(loc_.at(parent, loc_.host.parent_path()));
    }
    if (is(n, u"Attributes")) return Value(int32_t(16));
    if (is(n, u"Delete")) {
      loc_.require(kWrite);
      std::error_code ec;
      if (!isDir(loc_.host)) raise(kPathNotFound);
      fs::remove_all(loc_.host, ec);
      if (ec) raise(kPermissionDenied);
      return {};
    }
    if (is(n, u"CreateTextFile")) {
      a.expect(1, 3);
      std::u16string name = a[0].toString();
      bool overwrite = a.isMissing(1) || a[1].toBool();
      bool unicode = !a.isMissing(2) && a[2].toBool();
      return Value(openStream(*loc_.access, loc_.host / utf8(name), ForWriting, true,
                              unicode ? TristateTrue : TristateFalse, overwrite)
                       .get());
    }
    raise(err::NoSuchMember);
  }

 private:
  Location loc_;
};

Value makeFile(Location loc) { return Value(new FileObject(std::move(loc))); }
Value makeFolder(Location loc) { return Value(new FolderObject(std::move(loc))); }

// ---------------------------------------------------------------------------
// FileSystemObject

class FileSystem : public Object {
 public:
  explicit FileSystem(Context& cx) : cx_(cx) {}
  std::u16string typeName() const override { return u"FileSystemObject"; }

  bool hasMember(std::u16string_view n) const override {
    for (auto m : {u"FileExists",       u"FolderExists",        u"GetFileName",    u"GetBaseName",
                   u"GetExtensionName", u"GetParentFolderName", u"BuildPath",      u"GetAbsolutePathName",
                   u"CreateFolder",     u"DeleteFile",          u"DeleteFolder",   u"CopyFile",
                   u"MoveFile",         u"OpenTextFile",        u"CreateTextFile", u"GetFile",
                   u"GetFolder",        u"GetTempName",         u"GetDriveName",   u"CopyFolder",
                   u"MoveFolder"})
      if (is(n, m)) return true;
    return false;
  }

  Value callMethod(std::u16string_view n, Args a) override {
    // Pure path text.
    if (is(n, u"GetFileName")) {
      a.expect(1, 1);
      return Value(fileNameOf(str(a, 0)));
    }
    if (is(n, u"GetBaseName")) {
      a.expect(1, 1);
      return Value(baseNameOf(str(a, 0)));
    }
    if (is(n, u"GetExtensionName")) {
      a.expect(1, 1);
      return Value(extensionOf(str(a, 0)));
    }
    if (is(n, u"GetParentFolderName")) {
      a.expect(1, 1);
      return Value(parentOf(str(a, 0)));
    }
    if (is(n, u"BuildPath")) {
      a.expect(2, 2);
      return Value(buildPath(str(a, 0), str(a, 1)));
    }
    if (is(n, u"GetDriveName")) {
      a.expect(1, 1);
      std::u16string p = str(a, 0);
      size_t r = rootLength(p);
      return Value(r >= 2 && p[1] == u':' ? p.substr(0, 2) : std::u16string());
    }
    if (is(n, u"GetAbsolutePathName")) {
      a.expect(1, 1);
      return Value(absolute(str(a, 0)));
    }
    if (is(n, u"GetTempName")) {
      a.expect(0, 0);
      static std::minstd_rand gen(static_cast<unsigned>(std::time(nullptr)));
      char buf[16];
      std::snprintf(buf, sizeof buf, "rad%05X.tmp", static_cast<unsigned>(gen() & 0xFFFFF));
      return Value(ascii(buf));
    }

    // Disk.
    if (is(n, u"FileExists")) {
      a.expect(1, 1);
      fs::path p = host(str(a, 0));
      return Value(cx_.host().mayAccess(p.string(), kRead) && isFile(p));
    }
    if (is(n, u"FolderExists")) {
      a.expect(1, 1);
      fs::path p = host(str(a, 0));
      return Value(cx_.host().mayAccess(p.string(), kRead) && isDir(p));
    }
    if (is(n, u"GetFile")) {
      a.expect(1, 1);
      Location loc = locate(str(a, 0));
      loc.require(kRead);
      if (!isFile(loc.host)) raise(kFileNotFound);
      return makeFile(std::move(loc));
    }
    if (is(n, u"GetFolder")) {
      a.expect(1, 1);
      Location loc = locate(str(a, 0));
      loc.require(kRead);
      if (!isDir(loc.host)) raise(kPathNotFound);
      return makeFolder(std::move(loc));
    }
    if (is(n, u"CreateFolder")) {
      a.expect(1, 1);
      Location loc = locate(str(a, 0));
      loc.require(kWrite);
      if (isDir(loc.host) || isFile(loc.host)) raise(kFileExists);
      if (!isDir(loc.host.parent_path())) raise(kPathNotFound);
      std::error_code ec;
      if (!fs::create_directory(loc.host, ec)) raise(kPermissionDenied);
      return makeFolder(std::move(loc));
    }
    if (is(n, u"DeleteFile")) {
      a.expect(1, 2);
      bool force = !a.isMissing(1) && a[1].toBool();
      for (const fs::path& p : expand(str(a, 0), false, kFileNotFound)) {
        requireAccess(cx_.host(), p, kWrite);
        if (readOnly(p) && !force) raise(kPermissionDenied);
        std::error_code ec;
        fs::remove(p, ec);
        if (ec) raise(kPermissionDenied);
      }
      return {};
    }
    if (is(n, u"DeleteFolder")) {
      a.expect(1, 2);
      for (const fs::path& p : expand(str(a, 0), true, kPathNotFound)) {
        requireAccess(cx_.host(), p, kWrite);
        std::error_code ec;
        fs::remove_all(p, ec);
        if (ec) raise(kPermissionDenied);
      }
      return {};
    }
    if (is(n, u"CopyFile") || is(n, u"MoveFile") || is(n, u"CopyFolder") || is(n, u"MoveFolder")) {
      bool move = is(n, u"MoveFile") || is(n, u"MoveFolder");
      bool folders = is(n, u"CopyFolder") || is(n, u"MoveFolder");
      a.expect(2, move ? 2 : 3);
      bool overwrite = move ? false : (a.isMissing(2) || a[2].toBool());
      transfer(str(a, 0), str(a, 1), folders, move, overwrite);
      return {};
    }
    if (is(n, u"OpenTextFile")) {
      a.expect(1, 4);
      int mode = a.isMissing(1) ? ForReading : a[1].toLong();
      bool create = !a.isMissing(2) && a[2].toBool();
      int format = a.isMissing(3) ? TristateFalse : a[3].toLong();
      return Value(openStream(cx_.host(), host(str(a, 0)), mode, create, format).get());
    }
    if (is(n, u"CreateTextFile")) {
      a.expect(1, 3);
      bool overwrite = a.isMissing(1) || a[1].toBool();
      bool unicode = !a.isMissing(2) && a[2].toBool();
      return Value(
          openStream(cx_.host(), host(str(a, 0)), ForWriting, true, unicode ? TristateTrue : TristateFalse, overwrite)
              .get());
    }
    raise(err::NoSuchMember);
  }

 private:
  std::u16string str(Args a, size_t i) {
    Value v = plain(cx_, a[i]);
    if (v.isNull()) raise(err::InvalidUseOfNull);
    return v.toString();
  }

  // The host's path for a script path, without "." parts or a trailing
  // separator ("Saves\" names the folder Saves).
  fs::path host(const std::u16string& win) {
    fs::path p = fs::path(cx_.host().toHostPath(win)).lexically_normal();
    if (!p.has_filename() && p.has_relative_path()) p = p.parent_path();
    return p;
  }

  std::u16string absolute(const std::u16string& win) {
    if (isAbsolute(win)) return normalizeWindows(win);
    std::error_code ec;
    fs::path abs = fs::absolute(host(win.empty() ? std::u16string(u".") : win), ec);
    return windowsFromHost(abs);
  }

  Location locate(const std::u16string& win) { return {absolute(win), host(win), &cx_.host()}; }

  // Host paths named by a path whose last part may hold wildcards; raises
  // `missing` when nothing matches.
  std::vector<fs::path> expand(const std::u16string& win, bool folders, int32_t missing) {
    std::vector<fs::path> out;
    std::u16string name = fileNameOf(win);
    if (!hasWildcards(name)) {
      fs::path p = host(win);
      requireAccess(cx_.host(), p, kRead);
      if (folders ? isDir(p) : isFile(p)) out.push_back(p);
    } else {
      std::u16string parent = parentOf(win);
      fs::path dir = host(parent.empty() ? std::u16string(u".") : parent);
      requireAccess(cx_.host(), dir, kRead);
      if (!isDir(dir)) raise(kPathNotFound);
      std::error_code ec;
      for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator(); it.increment(ec)) {
        std::error_code e2;
        if (it->is_directory(e2) != folders) continue;
        if (wildMatch(name, fromUtf8(it->path().filename().string()))) out.push_back(it->path());
      }
    }
    if (out.empty()) raise(missing);
    return out;
  }

  void transfer(const std::u16string& src, const std::u16string& dst, bool folders, bool move, bool overwrite) {
    std::vector<fs::path> sources = expand(src, folders, folders ? kPathNotFound : kFileNotFound);
    bool intoFolder = !dst.empty() && isSep(dst.back());
    fs::path dstHost = host(dst);
    if (move)
      for (const fs::path& s : sources) requireAccess(cx_.host(), s, kWrite);
    if (sources.size() > 1 || hasWildcards(fileNameOf(src))) intoFolder = true;
    if (!intoFolder && !folders && isDir(dstHost)) {
      if (move)
        intoFolder = true;
      else
        raise(kPermissionDenied);
    }
    if (intoFolder && !isDir(dstHost)) raise(kPathNotFound);
    for (const fs::path& s : sources) {
      fs::path target = intoFolder ? dstHost / s.filename() : dstHost;
      requireAccess(cx_.host(), target, kWrite);
      if (!isDir(target.parent_path().empty() ? fs::path(".") : target.parent_path())) raise(kPathNotFound);
      bool exists = folders ? isDir(target) : isFile(target);
      if (!folders && isDir(target)) raise(kPermissionDenied);
      if (exists && (move || !overwrite)) raise(kFileExists);
      std::error_code ec;
      if (move) {
        fs::rename(s, target, ec);
        if (ec) {
          ec.clear();
          fs::copy(s, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
          if (!ec) fs::remove_all(s, ec);
        }
      } else if (folders) {
        // Links are copied as links: a copy reads nothing a link inside points at.
        fs::copy(s, target,
                 fs::copy_options::recursive | fs::copy_options::overwrite_existing | fs::copy_options::copy_symlinks,
                 ec);
      } else {
        fs::copy_file(s, target, fs::copy_options::overwrite_existing, ec);
      }
      if (ec) raise(kPermissionDenied);
    }
  }

  Context& cx_;
};

}  // namespace

void register_filesystem(Registry& r) {
  r.addProgId(u"Scripting.FileSystemObject", [](Context& cx) -> Ref<Object> { return makeRef<FileSystem>(cx); });
}

}  // namespace vbs
