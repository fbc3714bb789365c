// The settings file: what a first run writes, what later runs read, and how bad files,
// paths and directories are survived.
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <memory>
#include <string>

#include "display/opengl_display.h"
#include "platform/platform.h"
#include "plugin_fixture.h"
#include "vdp1/vdp1_core.h"

namespace vdptest {
namespace {

const char kFirstRunFile[] =
    "[VDP1]\r\n"
    "Polygons antialiasing=0\r\n"
    "Polylines antialiasing=0\r\n"
    "Lines antialiasing=0\r\n"
    "Normal sprites filtering=0\r\n"
    "Scaled sprites filtering=0\r\n"
    "Distorted sprites filtering=0\r\n"
    "[OPENGL]\r\n"
    "rendering width=320\r\n"
    "rendering height=240\r\n";

TEST(ProfileFile, ReadsByTheWindowsRules) {
  TempDir dir;
  const std::string path = dir.File("p.ini");
  WriteFile(path,
            "; comment kept\n[Video]\n  Width = 640 \nbad=12abc\nword=abc\nneg=-7\n[other]\n"
            "Width=1\n");
  struct Case {
    const char *section, *key;
    int expected;
  } cases[] = {
      {"video", "WIDTH", 640},  {"VIDEO", "bad", 12},  {"Video", "word", 0},  {"Video", "neg", -7},
      {"Video", "missing", 99}, {"none", "Width", 99}, {"other", "width", 1},
  };
  for (const Case& c : cases)
    EXPECT_EQ(platform::GetProfileInt(c.section, c.key, 99, path.c_str()), c.expected)
        << c.section << "/" << c.key;
}

TEST(ProfileFile, WritesReplaceOrAddKeysAndKeepEveryOtherLine) {
  TempDir dir;
  const std::string path = dir.File("p.ini");
  WriteFile(path, "; keep me\n[A]\nx=1\n\n[B]\ny=2\n");
  EXPECT_TRUE(platform::WriteProfileString("a", "X", "5", path.c_str()));
  EXPECT_TRUE(platform::WriteProfileString("A", "z", "6", path.c_str()));
  EXPECT_TRUE(platform::WriteProfileString("C", "w", "7", path.c_str()));
  EXPECT_EQ(ReadFile(path), "; keep me\r\n[A]\r\nX=5\r\nz=6\r\n\r\n[B]\r\ny=2\r\n[C]\r\nw=7\r\n");
  EXPECT_FALSE(
      platform::WriteProfileString("A", "x", "1", (dir.path() + "/no/such/p.ini").c_str()));
}

class SettingsFile : public PluginTest {
 protected:
  void SetUp() override {
    startInSetUp = false;
    PluginTest::SetUp();
  }
  std::string Ini() const { return ReadFile(dir.File("VDP_plugin.ini")); }
};

TEST_F(SettingsFile, FirstRunWritesDefaultsInOrderAndStopSavesCurrentValues) {
  ASSERT_TRUE(Start());
  EXPECT_EQ(Ini(), kFirstRunFile);
  ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                                  119));  // antialias polygons
  ASSERT_TRUE(headless::SendEvent(headless::CurrentWindow(), platform::WindowEventKind::Command,
                                  139));  // 800*600
  Stop();
  const std::string saved = Ini();
  EXPECT_NE(saved.find("Polygons antialiasing=1"), std::string::npos) << saved;
  EXPECT_NE(saved.find("rendering width=800\r\nrendering height=600"), std::string::npos) << saved;
}

TEST_F(SettingsFile, StoredValuesAreTakenAsTheyStand) {
  WriteFile(dir.File("VDP_plugin.ini"),
            "[vdp1]\nScaled sprites filtering=7\n[OPENGL]\nrendering height=999\n");
  ASSERT_TRUE(Start());
  EXPECT_NE(Ini().find("rendering width=320"), std::string::npos) << "missing key written back";
  Frame();  // the stored size applies at the first frame
  EXPECT_EQ(Display()->renderWidth, 320);
  EXPECT_EQ(Display()->renderHeight, 999);
  Stop();
  EXPECT_NE(Ini().find("Scaled sprites filtering=1"), std::string::npos) << Ini();
  EXPECT_NE(Ini().find("rendering height=999"), std::string::npos) << Ini();
}

TEST_F(SettingsFile, GarbageFileGivesDefaultsAndKeepsItsLines) {
  WriteFile(dir.File("VDP_plugin.ini"), "\x01\x02 garbage [ = ]]\n=== \n[VDP1\nrendering width\n");
  ASSERT_TRUE(Start());
  Frame();
  EXPECT_EQ(Display()->renderWidth, 320);
  EXPECT_EQ(Ini().rfind("\x01\x02 garbage [ = ]]", 0), 0u) << "the file's own lines stay first";
}

TEST_F(SettingsFile, UnwritableOrImpossibleDirectoriesRunWithDefaults) {
  // A directory that does not exist, and one whose path does not fit the path buffer.
  const std::string missing = dir.path() + "/missing";
  const std::string tooLong = dir.path() + "/" + std::string(3100, 'd');
  for (const std::string* directory : {&missing, &tooLong}) {
    info.directory = directory->c_str();
    ASSERT_TRUE(Start());
    Frame();
    EXPECT_EQ(Display()->renderWidth, 320);
    EXPECT_EQ(Display()->renderHeight, 240);
    Stop();
  }
  // A settings file that can be neither read nor written (a directory in its place).
  info.directory = dir.path().c_str();
  ASSERT_EQ(mkdir(dir.File("VDP_plugin.ini").c_str(), 0755), 0);
  ASSERT_TRUE(Start());
  Frame();
  EXPECT_EQ(Display()->renderWidth, 320);
  Stop();
}

TEST(SettingsPath, TooLongDirectoryIsRejectedWithoutOverflow) {
  char path[vdp::kSettingsPathSize];
  const std::string fits(vdp::kSettingsPathSize - sizeof("\\VDP_plugin.ini"), 'x');
  EXPECT_TRUE(vdp::BuildSettingsPath(path, fits.c_str()));
  EXPECT_EQ(std::string(path), fits + "\\VDP_plugin.ini");
  const std::string tooLong = fits + "x";
  EXPECT_FALSE(vdp::BuildSettingsPath(path, tooLong.c_str()));
  EXPECT_EQ(path[0], '\0');
}

TEST(LogFiles, StaleLogsAreRemovedAndTheVdp1LogIsEmpty) {
  TempDir dir;
  char previous[PATH_MAX];
  ASSERT_NE(getcwd(previous, sizeof(previous)), nullptr);
  ASSERT_EQ(chdir(dir.path().c_str()), 0);
  for (const char* name : {"vdp1.log", "vdp2.log", "opengl.log"}) WriteFile(name, "old");
  PluginInitInfo info{0, nullptr, nullptr, dir.path().c_str()};
  const bool started = InitVDPPlugin(&info);
  EXPECT_TRUE(started);
  EXPECT_EQ(access("vdp2.log", F_OK), -1);
  EXPECT_EQ(access("opengl.log", F_OK), -1);
  EXPECT_EQ(access("vdp1.log", F_OK), 0);
  EXPECT_EQ(ReadFile("vdp1.log"), "");
  if (started) DeInitPlugin();
  ASSERT_EQ(chdir(previous), 0);
}

}  // namespace
}  // namespace vdptest
