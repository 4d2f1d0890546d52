#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "lib_test_support.h"
#include "platform/vbscript/engine.h"

namespace vbs::test {
namespace {

namespace fs = std::filesystem;

// Maps the script's "C:\Game\..." and relative paths into a temporary
// folder, and counts the translations.
class GameHost : public Host {
 public:
  explicit GameHost(fs::path root) : root_(std::move(root)) {}
  std::string toHostPath(const std::u16string& win) override {
    ++calls;
    std::u16string p = win;
    const std::u16string prefix = u"c:\\game";
    if (p.size() >= prefix.size() && equalsNoCase(std::u16string_view(p).substr(0, prefix.size()), prefix))
      p = p.substr(prefix.size());
    std::string rel = utf8(p);
    for (auto& c : rel)
      if (c == '\\') c = '/';
    while (!rel.empty() && rel[0] == '/') rel.erase(0, 1);
    return (root_ / rel).string();
  }
  int calls = 0;

 private:
  fs::path root_;
};

class FileSystemTest : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ =
        fs::temp_directory_path() / ("vbslib-fs-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
                                     "-" + ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "Data");
    host_ = std::make_unique<GameHost>(root_);
    engine_ = std::make_unique<Engine>(host_.get());
    engine_->addCode(
        u"Dim fso, out : Set fso = CreateObject(\"Scripting.FileSystemObject\")\n"
        u"Sub Put(x) : out = out & x & \";\" : End Sub\n");
  }
  void TearDown() override {
    engine_.reset();
    fs::remove_all(root_);
  }
  // Runs code and returns what it Put, or "#n" when it raised error n.
  std::string run(const char16_t* code) {
    engine_->executeStatement(u"out = \"\"");
    try {
      engine_->executeStatement(code);
    } catch (const ScriptError& e) {
      return "#" + std::to_string(e.number);
    }
    return engine_->global(u"out").toUtf8();
  }
  std::string bytes(const char* rel) {
    std::ifstream in(root_ / rel, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }
  void write(const char* rel, const std::string& data) { std::ofstream(root_ / rel, std::ios::binary) << data; }

  fs::path root_;
  std::unique_ptr<GameHost> host_;
  std::unique_ptr<Engine> engine_;
};

TEST_F(FileSystemTest, PathTextNeedsNoDisk) {
  struct {
    const char16_t* code;
    const char* expected;
  } cases[] = {
      {u"Put fso.GetFileName(\"C:\\a\\b.txt\")", "b.txt;"},
      {u"Put fso.GetFileName(\"C:\\a\\b\\\")", "b;"},
      {u"Put fso.GetFileName(\"C:\\\")", ";"},
      {u"Put fso.GetBaseName(\"x\\archive.tar.gz\")", "archive.tar;"},
      {u"Put fso.GetExtensionName(\"x\\archive.tar.gz\")", "gz;"},
      {u"Put fso.GetExtensionName(\"x\\noext\")", ";"},
      {u"Put fso.GetParentFolderName(\"C:\\a\\b.txt\")", "C:\\a;"},
      {u"Put fso.GetParentFolderName(\"C:\\a\")", "C:\\;"},
      {u"Put fso.GetParentFolderName(\"b.txt\")", ";"},
      {u"Put fso.BuildPath(\"C:\\a\", \"b\")", "C:\\a\\b;"},
      {u"Put fso.BuildPath(\"C:\\a\\\", \"b\")", "C:\\a\\b;"},
      {u"Put fso.BuildPath(\"C:\", \"b\")", "C:b;"},
      {u"Put fso.GetAbsolutePathName(\"C:\\a\\.\\b\\..\\c\\\")", "C:\\a\\c;"},
      {u"Put fso.GetDriveName(\"C:\\a\")", "C:;"},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.code), c.expected) << utf8(c.code);
  EXPECT_EQ(host_->calls, 0);
}

TEST_F(FileSystemTest, RelativePathsBecomeAbsoluteWindowsPaths) {
  std::string abs = run(u"Put fso.GetAbsolutePathName(\"Data\\save.txt\")");
  std::string expected = (root_ / "Data" / "save.txt").string();
  for (auto& c : expected)
    if (c == '/') c = '\\';
  EXPECT_EQ(abs, "Z:" + expected + ";");
}

TEST_F(FileSystemTest, WritesAndReadsTextFiles) {
  EXPECT_EQ(run(u"Set t = fso.CreateTextFile(\"C:\\Game\\Data\\a.txt\")\n"
                u"t.Write \"caf\" & ChrW(233) & \" \" & ChrW(8364)\n"
                u"t.WriteLine\n t.WriteLine \"two\"\n t.WriteBlankLines 1\n t.Write \"end\"\n"
                u"Put t.Line : Put t.Column : t.Close"),
            "4;4;");
  EXPECT_EQ(bytes("Data/a.txt"), "caf\xE9 \x80\r\ntwo\r\n\r\nend");
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\a.txt\")\n"
                u"Do Until t.AtEndOfStream : Put t.Line & \":\" & t.ReadLine : Loop\n t.Close"),
            "1:caf\u00e9 \u20ac;2:two;3:;4:end;");
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\a.txt\", 1)\n"
                u"Put t.Read(3) : Put t.Column : t.Skip 3 : Put t.AtEndOfLine : t.SkipLine\n"
                u"Put t.ReadAll : Put t.AtEndOfStream"),
            "caf;4;True;two\r\n\r\nend;True;");
}

TEST_F(FileSystemTest, AppendsAndHonoursTheCreateFlag) {
  write("Data/log.txt", "one\r\n");
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\log.txt\", 8) : t.WriteLine \"two\" : t.Close"), "");
  EXPECT_EQ(bytes("Data/log.txt"), "one\r\ntwo\r\n");
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\new.txt\", 8)"), "#53");
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\new.txt\", 8, True) : t.Write \"x\" : t.Close"), "");
  EXPECT_EQ(bytes("Data/new.txt"), "x");
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\new.txt\", 2) : t.Write \"y\" : t.Close"), "");
  EXPECT_EQ(bytes("Data/new.txt"), "y");
  // Characters the ANSI code page lacks are written as "?".
  EXPECT_EQ(run(u"Set t = fso.OpenTextFile(\"Data\\new.txt\", 2) : t.Write ChrW(20013) & ChrW(8364) : t.Close"), "");
  EXPECT_EQ(bytes("Data/new.txt"), "?\x80");
}

TEST_F(FileSystemTest, UnicodeFilesHaveAByteOrderMark) {
  EXPECT_EQ(run(u"Set t = fso.CreateTextFile(\"Data\\u.txt\", True, True) : t.Write \"A\" & ChrW(20013) : t.Close"),
            "");
  EXPECT_EQ(bytes("Data/u.txt"), std::string("\xFF\xFE"
                                             "A\0\x2D\x4E",
                                             6));
  EXPECT_EQ(run(u"Put fso.OpenTextFile(\"Data\\u.txt\", 1, False, -1).ReadAll"), "A\u4e2d;");
  EXPECT_EQ(run(u"Put fso.OpenTextFile(\"Data\\u.txt\", 1, False, -2).ReadAll"), "A\u4e2d;");
}

TEST_F(FileSystemTest, ReportsTheUsualErrors) {
  write("Data/a.txt", "abc");
  struct {
    const char16_t* code;
    const char* expected;
  } cases[] = {
      {u"fso.OpenTextFile \"Data\\missing.txt\"", "#53"},
      {u"fso.CreateTextFile \"Nowhere\\x.txt\"", "#76"},
      {u"fso.CreateTextFile \"Data\\a.txt\", False", "#58"},
      {u"fso.OpenTextFile \"Data\\a.txt\", 3", "#5"},
      {u"fso.OpenTextFile \"Data\", 2", "#70"},
      {u"Set t = fso.OpenTextFile(\"Data\\a.txt\") : t.ReadAll : t.ReadLine", "#62"},
      {u"Set t = fso.OpenTextFile(\"Data\\a.txt\") : t.Write \"x\"", "#54"},
      {u"Set t = fso.OpenTextFile(\"Data\\a.txt\", 8) : x = t.ReadLine", "#54"},
      {u"Set t = fso.OpenTextFile(\"Data\\a.txt\") : t.Close : x = t.ReadLine", "#54"},
      {u"fso.GetFile \"Data\\missing.txt\"", "#53"},
      {u"fso.GetFolder \"Missing\"", "#76"},
      {u"fso.CreateFolder \"Data\"", "#58"},
      {u"fso.CreateFolder \"Missing\\Sub\"", "#76"},
      {u"fso.DeleteFile \"Data\\missing.txt\"", "#53"},
      {u"fso.DeleteFolder \"Missing\"", "#76"},
      {u"fso.CopyFile \"Data\\missing.txt\", \"Data\\b.txt\"", "#53"},
      {u"fso.CopyFile \"Data\\a.txt\", \"Data\\a.txt\", False", "#58"},
      {u"fso.MoveFile \"Data\\a.txt\", \"Data\\a.txt\"", "#58"},
      {u"fso.Frobnicate", "#438"},
  };
  for (const auto& c : cases) EXPECT_EQ(run(c.code), c.expected) << utf8(c.code);
}

TEST_F(FileSystemTest, ManagesFilesAndFolders) {
  write("Data/a.txt", "12345");
  EXPECT_EQ(run(u"Put fso.FileExists(\"Data\\a.txt\") : Put fso.FolderExists(\"Data\") :"
                u"Put fso.FileExists(\"Data\") : Put fso.FolderExists(\"Data\\a.txt\")"),
            "True;True;False;False;");
  EXPECT_EQ(run(u"fso.CreateFolder \"Saves\" : fso.CopyFile \"Data\\a.txt\", \"Saves\\\" :"
                u"fso.CopyFile \"Data\\a.txt\", \"Saves\\b.txt\" : fso.MoveFile \"Saves\\b.txt\", \"Saves\\c.dat\"\n"
                u"For Each f In fso.GetFolder(\"Saves\").Files : Put f.Name & \"=\" & f.Size : Next"),
            "a.txt=5;c.dat=5;");
  EXPECT_EQ(run(u"fso.DeleteFile \"Saves\\*.txt\" : Put fso.GetFolder(\"Saves\").Files.Count"), "1;");
  EXPECT_EQ(run(u"fso.CreateFolder \"Saves\\Slot1\" : fso.CreateFolder \"Saves\\Slot2\"\n"
                u"Set sf = fso.GetFolder(\"C:\\Game\\Saves\").SubFolders : Put sf.Count\n"
                u"For Each f In sf : Put f.Name : Next : Put sf(\"slot2\").Path"),
            "2;Slot1;Slot2;C:\\Game\\Saves\\Slot2;");
  EXPECT_EQ(run(u"Set f = fso.GetFile(\"C:\\Game\\Data\\a.txt\")\n"
                u"Put f.Path : Put f.ParentFolder.Name : Put TypeName(f.DateLastModified) :"
                u"Put Abs(DateDiff(\"n\", f.DateLastModified, Now)) < 5 : Put fso.GetFolder(\"Data\").Size"),
            "C:\\Game\\Data\\a.txt;Data;Date;True;5;");
  EXPECT_EQ(run(u"fso.CreateFolder \"Saves\\Slot3\\\" : Put fso.FolderExists(\"Saves\\Slot3\")"), "True;");
  EXPECT_EQ(run(u"fso.DeleteFolder \"Saves\\\" : Put fso.FolderExists(\"Saves\")"), "False;");
  EXPECT_TRUE(fs::exists(root_ / "Data" / "a.txt"));
  EXPECT_FALSE(fs::exists(root_ / "Saves"));
}

}  // namespace
}  // namespace vbs::test
