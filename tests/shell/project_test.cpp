#include <gtest/gtest.h>

#include "support/test_support.h"

using namespace storyloom;
using storyloom::test::TempProject;

namespace {

// A complete settings file in the editor's layout, with every optional group present.
const char kFullGeneral[] =
    "\"Proj\",\"\",\"My Game\",0,\"Hall\",\"v2\",800,600,\"Me\",\"me@x.org\",\"http://x.org\"\r\n"
    "1\r\n\"\",0,0,\"Blue\"\r\n0,0,0,#TRUE#,#TRUE#,0\r\n"
    "\"\",0,20,30,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#FALSE#,#TRUE#,\"b.bmp\",\"g.bmp\",1,0,0,\"hand.cur\"\r\n"
    "0,0,#TRUE#\r\n0,#TRUE#,#TRUE#\r\n0,#TRUE#,#TRUE#,#TRUE#\r\n"
    "0,0,0,#TRUE#,\"MsgBox |hi|\",#TRUE#,\"x = |a|\"\r\n";

}  // namespace

TEST(ProjectSettings, ReadsEveryFieldOfAFullFile) {
  TempProject p;
  p.write("Config/General", kFullGeneral);
  const ProjectSettings& s = p.init().settings;
  EXPECT_TRUE(p.log.isEmpty()) << p.log.join("\n").toStdString();
  EXPECT_EQ(s.ProjectName, "Proj");
  EXPECT_EQ(s.GameTitle, "My Game");
  EXPECT_EQ(s.InitialFrame, "Hall");
  EXPECT_EQ(s.ScreenWidth, 800);
  EXPECT_EQ(s.ScreenHeight, 600);
  EXPECT_EQ(s.WebSite, "http://x.org");
  EXPECT_EQ(s.ChangeResolutionOption, 1);
  EXPECT_EQ(s.SchemeName, "Blue");
  EXPECT_TRUE(s.DisableLoad);
  EXPECT_TRUE(s.DisableSave);
  EXPECT_EQ(s.InventorySpacingX, 20);
  EXPECT_EQ(s.InventorySpacingY, 30);
  EXPECT_FALSE(s.InventoryEnabled);
  EXPECT_TRUE(s.UseInventoryGraphics);
  EXPECT_EQ(s.InventoryButtonPicture, "b.bmp");
  EXPECT_EQ(s.InventoryBackgroundPicture, "g.bmp");
  EXPECT_EQ(s.ResolutionMode, 1);
  EXPECT_EQ(s.DefaultPointer, "hand.cur");
  EXPECT_TRUE(s.MenuAlwaysVisible);
  EXPECT_TRUE(s.SkipWelcomeWindow);
  EXPECT_TRUE(s.HideProductLogo);
  EXPECT_TRUE(s.HideDisableTransitionsItem);
  EXPECT_TRUE(s.HideDisableEffectsItem);
  EXPECT_TRUE(s.RemoveMenuBar);
  EXPECT_TRUE(s.StartupScriptEnabled);
  EXPECT_EQ(s.StartupScript, "MsgBox \"hi\"");
  EXPECT_TRUE(s.FrameScriptEnabled);
  EXPECT_EQ(s.FrameScript, "x = \"a\"");
}

TEST(ProjectSettings, AnOlderFileKeepsTheDefaultsOfWhatItLacks) {
  TempProject p;
  p.write("Config/General", "\"Old\",\"\",\"T\",0,\"F\",\"\",640,480,\"\",\"\",\"\"\r\n");
  const ProjectSettings& s = p.init().settings;
  EXPECT_TRUE(p.log.isEmpty());
  EXPECT_EQ(s.ChangeResolutionOption, 0);
  EXPECT_EQ(s.SchemeName, "");
  EXPECT_EQ(s.InventorySpacingX, 10);
  EXPECT_TRUE(s.InventoryEnabled);
  EXPECT_TRUE(s.PopUpInventoryOnPickUp);
  EXPECT_EQ(s.InventoryButtonPicture, "DEFAULT");
  EXPECT_EQ(s.DefaultPointer, "DEFAULT");
  EXPECT_FALSE(s.SkipWelcomeWindow);
  EXPECT_EQ(s.StartupScript, "");
}

TEST(ProjectSettings, ADamagedFileIsReportedOnceAndKeepsWhatWasRead) {
  TempProject p;
  // The screen width is no number; the fields before it stand, the rest keep defaults.
  p.write("Config/General", "\"Bad\",\"\",\"Title\",0,\"F\",\"\",wide,480,\"\",\"\",\"\"\r\n1\r\n");
  const ProjectSettings& s = p.init().settings;
  ASSERT_EQ(p.log.size(), 1);
  EXPECT_EQ(p.log[0],
            "msgbox critical \"Error\" \"An error has occurred. The program may not work properly. Press "
            "'Esc' and the click 'Exit' to quit.\\n\\nError description: Error loading project information.\" -> OK");
  EXPECT_EQ(s.GameTitle, "Title");
  EXPECT_EQ(s.ScreenHeight, 0);
  EXPECT_EQ(s.ChangeResolutionOption, 0);
  EXPECT_EQ(s.InventorySpacingX, 10);
}

TEST(InitProject, AMissingSettingsFileEndsTheProgramWithItsMessage) {
  TempProject p;
  EXPECT_EQ(p.module->InitProject(p.root()), EditorAndGame::InitResult::EndProgram);
  ASSERT_EQ(p.log.size(), 1);
  // The path is shown in this machine's form.
  EXPECT_EQ(p.log[0],
            "msgbox exclamation \"Error\" \"The following file is missing: " + p.root() + "/Config/General\" -> OK");
}

TEST(InitProject, SetsEveryFolderInWindowsForm) {
  TempProject p;
  p.writeGeneral();
  const ProjectPaths& paths = p.init().paths;
  EXPECT_TRUE(paths.ProjectPath.endsWith('\\'));
  EXPECT_EQ(paths.FramesDataPath, paths.ProjectPath + "FramesData\\");
  EXPECT_EQ(paths.FramesPath, paths.ProjectPath + "Frames\\");
  EXPECT_EQ(paths.AreasPath, paths.ProjectPath + "Areas\\");
  EXPECT_EQ(paths.IconsPath, paths.ProjectPath + "Icons\\");
  EXPECT_EQ(paths.ConfigPath, paths.ProjectPath + "Config\\");
  EXPECT_EQ(paths.TempPath, paths.ProjectPath + "Temp\\");
  EXPECT_EQ(paths.SchemesPath, paths.ProjectPath + "Schemes\\");
  EXPECT_EQ(paths.InventoryPath, paths.ProjectPath + "Inventory\\");
  EXPECT_EQ(paths.ExternalPath, paths.ProjectPath + "External\\");
}

TEST(UITexts, WordingsAndTheProjectsOwnTexts) {
  struct Case {
    const char* file;  // nullptr: no texts file
    const char* entry1;
    const char* entry2;
    const char* entry30Start;
    bool message;
  } cases[] = {
      {nullptr, "Start", "  Load...", "An error has occurred. The program", false},
      {"1\r\n", "Start New Game", "Load Game...", "An error has occurred. The game", false},
      {"2,0,0,0,0,0,3,\"Go\",\"\",\"Leave\"\r\n", "Go", "", "An error has occurred. The program", false},
      {"5\r\n", "", "", nullptr, false},
      {"2,0,0,0,0,0,2,\"Only one\"\r\n", "Start", "  Load...", "An error has occurred. The program", true},
  };
  for (const Case& c : cases) {
    TempProject p;
    p.writeGeneral();
    if (c.file) p.write("Config/Texts", c.file);
    EditorAndGame& m = p.init();
    const bool shown = p.log.size() == 1 && p.log[0] == "msgbox critical \"Error\" \"Unable to load text.\" -> OK";
    EXPECT_EQ(shown, c.message) << (c.file ? c.file : "none");
    EXPECT_EQ(m.texts(1), c.entry1);
    EXPECT_EQ(m.texts(2), c.entry2);
    if (c.entry30Start)
      EXPECT_TRUE(m.texts(30).startsWith(c.entry30Start)) << (c.file ? c.file : "none");
    else
      EXPECT_TRUE(m.texts(30).isEmpty());
  }
  // 61 texts: the entry past the table fails and the table falls back to wording 0.
  TempProject p;
  p.writeGeneral();
  QString many = "2,0,0,0,0,0,61";
  for (int i = 1; i <= 61; ++i) many += QString(",\"t%1\"").arg(i);
  p.write("Config/Texts", many);
  EditorAndGame& m = p.init();
  EXPECT_EQ(p.log.value(0), "msgbox critical \"Error\" \"Unable to load text.\" -> OK");
  EXPECT_EQ(m.texts(1), "Start");
  EXPECT_EQ(m.texts(51), "Disable Real-Time Effects");
}

TEST(ProjectFiles, AlternateNamesAndTheMissingFileWarning) {
  EXPECT_EQ(EditorAndGame::AlternateFileName("C:\\P\\Frames\\abc.jpg"), "C:\\P\\Frames\\abc.396");
  EXPECT_EQ(EditorAndGame::AlternateFileName("C:\\P\\.gif"), "C:\\P\\.gif");  // names of 4 characters or fewer
  EXPECT_EQ(EditorAndGame::AlternateFileName("C:\\P\\abc.JPG"), "C:\\P\\abc.396");
  EXPECT_EQ(EditorAndGame::AlternateFileName("x\\song.mid"), "x\\song.465");  // |115*3-111+110*2|+11
  for (const char* unchanged : {"C:\\a\\movie.mpeg", "C:\\a\\song.midi", "C:\\a\\sound.au", "C:\\a\\clip.wm"})
    EXPECT_EQ(EditorAndGame::AlternateFileName(unchanged), unchanged);
  EXPECT_EQ(EditorAndGame::AlternateFileName("C:\\P\\!~!.cur"), "C:\\P\\!~!.030");  // |33-126+66|+3, three digits
  // The codes are those of the Windows-1252 name: OE is 140 there (|140*3-117+102*2|+5).
  EXPECT_EQ(EditorAndGame::AlternateFileName(QString::fromUtf8("C:\\P\\\u0152uf.jpg")),
            QString::fromUtf8("C:\\P\\\u0152uf.512"));
  EXPECT_EQ(EditorAndGame::FileNameOf("a\\b\\c.txt"), "c.txt");
  EXPECT_EQ(EditorAndGame::FileNameOf("plain"), "plain");
  EXPECT_EQ(EditorAndGame::ClampNonNegative(-5), 0);

  TempProject p;
  p.writeGeneral();
  p.write("Frames/abc.396", "picture");
  p.write("Frames/Room.BMP", "picture");
  EditorAndGame& m = p.init();
  const QString frames = m.paths.FramesPath;
  EXPECT_EQ(m.ResolveProjectFile(frames + "room.bmp"), frames + "room.bmp");
  EXPECT_EQ(m.ResolveProjectFile(frames + "abc.jpg"), frames + "abc.396");
  EXPECT_TRUE(p.log.isEmpty());
  EXPECT_EQ(m.ResolveProjectFile(frames + "gone.jpg"), frames + "gone.jpg");
  ASSERT_EQ(p.log.size(), 1);
  EXPECT_TRUE(
      p.log[0].contains("The following file is missing:\\n" + p.root() + "/Frames/gone.jpg\\n\\nThis file may"));
  m.EverythingStopped = true;
  m.ResolveProjectFile(frames + "gone.jpg");
  EXPECT_EQ(p.log.size(), 1);  // silent after everything stopped
  EXPECT_EQ(m.DirOrEmpty(frames + "ROOM.bmp"), "Room.BMP");
  m.DeleteFileIfExists(frames + "room.bmp");
  EXPECT_EQ(m.DirOrEmpty(frames + "room.bmp"), "");
  m.DeleteFileIfExists(frames + "room.bmp");  // nothing to delete: no error
}
