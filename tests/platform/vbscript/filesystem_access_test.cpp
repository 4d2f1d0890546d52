#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>

#include "lib_test_support.h"
#include "platform/vbscript/engine.h"

namespace vbs::test {
namespace {

namespace fs = std::filesystem;

// A host whose scripts live in <root>/Game and may touch nothing under <root>/Locked:
// it records every question and refuses those about the locked folder.
class LockingHost : public Host {
 public:
  explicit LockingHost(fs::path root) : root_(std::move(root)) {}
  std::string toHostPath(const std::u16string& win) override {
    std::string rel = utf8(win);
    for (auto& c : rel)
      if (c == '\\') c = '/';
    return (root_ / "Game" / rel).string();
  }
  bool mayAccess(const std::string& hostPath, FileAccess access) override {
    const std::string locked = (root_ / "Locked").string();
    const bool refused = fs::path(hostPath).lexically_normal().string().rfind(locked, 0) == 0;
    asked.push_back((access == FileAccess::Write ? "write " : "read ") +
                    fs::path(hostPath).lexically_normal().lexically_relative(root_).string());
    return !refused;
  }
  std::vector<std::string> asked;

 private:
  fs::path root_;
};

class FileAccessQuestions : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() /
            ("vbslib-access-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
             ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(root_);
    fs::create_directories(root_ / "Game" / "Data");
    fs::create_directories(root_ / "Locked" / "Inner");
    std::ofstream(root_ / "Locked" / "secret.txt") << "secret";
    std::ofstream(root_ / "Game" / "Data" / "notes.txt") << "notes";
    host_ = std::make_unique<LockingHost>(root_);
    engine_ = std::make_unique<Engine>(host_.get());
    engine_->addCode(u"Dim fso, out : Set fso = CreateObject(\"Scripting.FileSystemObject\")\n");
  }
  void TearDown() override {
    engine_.reset();
    fs::remove_all(root_);
  }
  // The script error a statement raises, 0 when none.
  int errorOf(const std::u16string& code) {
    try {
      engine_->executeStatement(code);
    } catch (const ScriptError& e) {
      return e.number;
    }
    return 0;
  }
  std::string contentsOf(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  }

  fs::path root_;
  std::unique_ptr<LockingHost> host_;
  std::unique_ptr<Engine> engine_;
};

TEST_F(FileAccessQuestions, EveryOperationOnARefusedPlaceIsPermissionDeniedAndChangesNothing) {
  const std::u16string out = u"..\\Locked\\";
  const std::u16string cases[] = {
      u"fso.CreateTextFile \"" + out + u"new.txt\"",
      u"fso.OpenTextFile \"" + out + u"secret.txt\", 8",
      u"out = fso.OpenTextFile(\"" + out + u"secret.txt\").ReadAll",
      u"fso.DeleteFile \"" + out + u"secret.txt\"",
      u"fso.DeleteFile \"" + out + u"*.txt\"",
      u"fso.DeleteFolder \"" + out + u"Inner\"",
      u"fso.CreateFolder \"" + out + u"New\"",
      u"fso.CopyFile \"" + out + u"secret.txt\", \"Data\\\"",
      u"fso.CopyFile \"Data\\notes.txt\", \"" + out + u"\"",
      u"fso.MoveFile \"" + out + u"secret.txt\", \"Data\\moved.txt\"",
      u"fso.CopyFolder \"Data\", \"" + out + u"Copy\"",
      u"Set f = fso.GetFile(\"" + out + u"secret.txt\")",
      u"Set f = fso.GetFolder(\"" + out + u"\")",
      // Climbing from an allowed folder reaches the same refusal.
      u"out = fso.GetFolder(\"Data\").ParentFolder.ParentFolder.SubFolders.Item(\"Locked\").Files.Count",
      u"fso.GetFolder(\"Data\").ParentFolder.ParentFolder.SubFolders.Item(\"Locked\").CreateTextFile \"x.txt\"",
      u"fso.GetFolder(\"Data\").ParentFolder.ParentFolder.SubFolders.Item(\"Locked\").SubFolders.Add \"Added\"",
      u"fso.GetFolder(\"Data\").ParentFolder.ParentFolder.SubFolders.Item(\"Locked\").Delete",
  };
  for (const auto& code : cases) EXPECT_EQ(errorOf(code), 70) << utf8(code);

  std::set<std::string> left;
  for (const auto& e : fs::recursive_directory_iterator(root_ / "Locked"))
    left.insert(e.path().lexically_relative(root_).string());
  EXPECT_EQ(left, (std::set<std::string>{"Locked/Inner", "Locked/secret.txt"}));
  EXPECT_EQ(contentsOf(root_ / "Locked" / "secret.txt"), "secret");
  EXPECT_FALSE(fs::exists(root_ / "Game" / "Data" / "moved.txt"));
  EXPECT_FALSE(fs::exists(root_ / "Game" / "Data" / "secret.txt"));
}

TEST_F(FileAccessQuestions, ExistenceTestsOfARefusedPlaceAnswerFalse) {
  engine_->executeStatement(u"out = fso.FileExists(\"..\\Locked\\secret.txt\") & fso.FolderExists(\"..\\Locked\")");
  EXPECT_EQ(engine_->global(u"out").toUtf8(), "FalseFalse");
  engine_->executeStatement(u"out = fso.FileExists(\"Data\\notes.txt\") & fso.FolderExists(\"Data\")");
  EXPECT_EQ(engine_->global(u"out").toUtf8(), "TrueTrue");
}

TEST_F(FileAccessQuestions, ReadingAndWritingAreAskedAsSuch) {
  ASSERT_EQ(errorOf(u"Set t = fso.CreateTextFile(\"Data\\a.txt\") : t.Write \"x\" : t.Close\n"
                    u"out = fso.OpenTextFile(\"Data\\a.txt\").ReadAll\n"
                    u"fso.CopyFile \"Data\\a.txt\", \"Data\\b.txt\"\n"
                    u"fso.DeleteFile \"Data\\a.txt\""),
            0);
  EXPECT_EQ(host_->asked,
            (std::vector<std::string>{"write Game/Data/a.txt", "read Game/Data/a.txt", "read Game/Data/a.txt",
                                      "write Game/Data/b.txt", "read Game/Data/a.txt", "write Game/Data/a.txt"}));
  EXPECT_EQ(contentsOf(root_ / "Game" / "Data" / "b.txt"), "x");
}

TEST_F(FileAccessQuestions, ACopiedFolderKeepsItsLinksAsLinks) {
  fs::create_directory_symlink(root_ / "Locked", root_ / "Game" / "Data" / "link");
  ASSERT_EQ(errorOf(u"fso.CopyFolder \"Data\", \"Copy\""), 0);
  EXPECT_TRUE(fs::is_symlink(root_ / "Game" / "Copy" / "link"));
}

}  // namespace
}  // namespace vbs::test
