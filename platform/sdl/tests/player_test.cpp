// What a player meets before and around the game: the command line, the
// folder the game plays in, the scale, the full-screen keys and the
// recording. No display needed.
#include <SDL_keycode.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "platform/common/recorder.h"
#include "platform/sdl/data_folder.h"
#include "platform/sdl/key_input.h"
#include "platform/sdl/options.h"
#include "platform/sdl/screen_mode.h"

namespace vintaro::sdl {
namespace {

namespace fs = std::filesystem;

bool parse(std::initializer_list<const char*> args, Options& o, std::string& error) {
  std::vector<const char*> argv{"vintaro"};
  argv.insert(argv.end(), args);
  return parseOptions(static_cast<int>(argv.size()), argv.data(), o, error);
}

TEST(Options, TheCommandLinesTheGameTakes) {
  Options o;
  std::string error;
  ASSERT_TRUE(parse({}, o, error));
  EXPECT_EQ(o.scale, 0);
  EXPECT_TRUE(o.folder.empty() && o.record.empty() && o.soundFont.empty());

  ASSERT_TRUE(
      parse({"--scale", "3", "--record", "game.txt", "--soundfont=/x.sf2", "levels"}, o, error));
  EXPECT_EQ(o.scale, 3);
  EXPECT_EQ(o.record, "game.txt");
  EXPECT_EQ(o.soundFont, "/x.sf2");
  EXPECT_EQ(o.folder, "levels");

  ASSERT_TRUE(parse({"--scale=8", "--", "--odd folder"}, o, error));
  EXPECT_EQ(o.scale, 8);
  EXPECT_EQ(o.folder, "--odd folder");
  ASSERT_TRUE(parse({"--help"}, o, error));
  EXPECT_TRUE(o.help);
  ASSERT_TRUE(parse({"--version"}, o, error));
  EXPECT_TRUE(o.version);
  Options shortForms;
  ASSERT_TRUE(parse({"-h", "-v"}, shortForms, error));
  EXPECT_TRUE(shortForms.help && shortForms.version);
}

TEST(Options, BadCommandLinesAreRefusedWithAReason) {
  Options o;
  for (const auto& args : std::vector<std::vector<const char*>>{{"--scale", "0"},
                                                                {"--scale", "9"},
                                                                {"--scale", "2x"},
                                                                {"--scale=", "2"},
                                                                {"--scale"},
                                                                {"--record"},
                                                                {"--record="},
                                                                {"-x"},
                                                                {"--fullscreen"},
                                                                {"one", "two"}}) {
    std::vector<const char*> argv{"vintaro"};
    argv.insert(argv.end(), args.begin(), args.end());
    std::string error;
    EXPECT_FALSE(parseOptions(static_cast<int>(argv.size()), argv.data(), o, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(Layout, TheWindowScaleIsTheLargestWhoseWindowFitsTheDisplay) {
  EXPECT_EQ(defaultScale(1920, 1050, 639, 619), 1);
  EXPECT_EQ(defaultScale(3840, 2130, 639, 619), 3);
  EXPECT_EQ(defaultScale(2560, 1410, 639, 619), 2);
  EXPECT_EQ(defaultScale(1286, 1264, 639, 619), 1);  // a pixel short of scale 2's window
  EXPECT_EQ(defaultScale(800, 600, 639, 619), 1);    // too small for any: still 1
  EXPECT_EQ(defaultScale(30000, 30000, 639, 619), kMaxWindowScale);
}

TEST(Layout, TheWindowStandsAtItsPlaceWhenItFitsThereElseCentred) {
  EXPECT_EQ(windowPlace(SDL_Rect{0, 0, 1920, 1080}, 639, 619).x, 100);
  EXPECT_EQ(windowPlace(SDL_Rect{0, 0, 1920, 1080}, 639, 619).y, 50);
  // 50 + 619 + 27 is past 680: centred, the caption on the screen.
  const SDL_Point low = windowPlace(SDL_Rect{0, 0, 1024, 680}, 639, 619);
  EXPECT_EQ(low.x, (1024 - 647) / 2 + 4);
  EXPECT_EQ(low.y, (680 - 646) / 2 + 23);
  // On a second screen to the right, inside it.
  EXPECT_GE(windowPlace(SDL_Rect{1920, 0, 1280, 700}, 639, 619).x, 1920);
}

TEST(Layout, FullScreenTakesTheLargestScaleThatFitsCentred) {
  EXPECT_EQ(fullScreenLayout(1920, 1080, 639, 619), (Layout{1, 640, 230, true}));
  EXPECT_EQ(fullScreenLayout(3840, 2160, 639, 619), (Layout{3, 961, 151, true}));
  EXPECT_EQ(fullScreenLayout(600, 500, 639, 619), (Layout{1, 0, 0, true}));
}

TEST(KeyInput, F11AndAltEnterSwitchFullScreen) {
  EXPECT_TRUE(isFullScreenKey(SDLK_F11, KMOD_NONE) && isFullScreenKey(SDLK_RETURN, KMOD_LALT));
  EXPECT_FALSE(isFullScreenKey(SDLK_RETURN, KMOD_NONE));  // the game's 0x0D
}

class Folders : public ::testing::Test {
 protected:
  void SetUp() override {
    root_ = fs::temp_directory_path() / ("vintaro-folders-" + std::to_string(::getpid()));
    fs::create_directories(root_ / "cwd");
    fs::create_directories(root_ / "user");
    fs::create_directories(root_ / "installed");
    start_ = fs::current_path();
    fs::current_path(root_ / "cwd");
  }
  void TearDown() override {
    fs::current_path(start_);
    fs::remove_all(root_);
  }
  void picture(const char* folder) { std::ofstream(root_ / folder / "Vintaro.gol") << "x"; }
  std::string in(const char* folder) { return (root_ / folder).string(); }

  fs::path root_, start_;
};

TEST_F(Folders, TheWorkingDirectoryThenThePlayersThenTheInstalledOne) {
  const std::vector<std::string> candidates{in("user"), in("installed")};
  EXPECT_EQ(chooseDataFolder(candidates), ".");  // none: the missing picture is told here
  picture("installed");
  EXPECT_EQ(chooseDataFolder(candidates), in("installed"));
  picture("user");
  EXPECT_EQ(chooseDataFolder(candidates), in("user"));
  picture("cwd");
  EXPECT_EQ(chooseDataFolder(candidates), ".");
}

TEST_F(Folders, AFolderNamedVintaroGolHoldsNoPicture) {
  fs::create_directory(root_ / "cwd" / "Vintaro.gol");
  fs::create_directory(root_ / "user" / "Vintaro.gol");
  picture("installed");
  EXPECT_EQ(chooseDataFolder({in("user"), in("installed")}), in("installed"));
}

TEST(DataFolder, ThePlayersFolderFollowsXdg) {
  EXPECT_EQ(userDataFolder("/x/data", "/home/p"), "/x/data/vintaro");
  EXPECT_EQ(userDataFolder("", "/home/p"), "/home/p/.local/share/vintaro");
  EXPECT_EQ(userDataFolder("relative", "/home/p"), "/home/p/.local/share/vintaro");
  EXPECT_EQ(userDataFolder(nullptr, nullptr), "");
}

std::string contents(const fs::path& file) {
  std::ifstream in(file);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

TEST(Recorder, WritesAReplayScriptOfTheMessagesTaken) {
  const fs::path file = fs::temp_directory_path() / ("vintaro-rec-" + std::to_string(::getpid()));
  {
    Recorder r;
    ASSERT_TRUE(r.open(file.string(), "2.0"));
    r.folder("/games/v", false);
    r.settings(7, 150);
    r.take(Message::Paint, 0, false);  // the game's own paint: nothing
    r.take(Message::Char, ' ', false);
    r.take(Message::Timer, 0, false);
    r.take(Message::Char, ';', false);
    r.take(Message::Char, '\r', false);
    r.take(Message::Char, 0x3042, false);  // no game key, no script word for it
    r.take(Message::Paint, 0, true);
    r.take(Message::Destroy, 0, false);
    r.end("the window was closed");
    r.take(Message::Timer, 0, false);  // after the end: nothing
  }
  const std::string text = contents(file);
  fs::remove(file);
  const std::string body = text.substr(text.find("# folder"));
  EXPECT_EQ(body,
            "# folder: /games/v\n"
            "# no Vintaro.ini: the game warns and plays with its defaults\n"
            "# balls: 7\n"
            "# interval: 150 ms\n"
            "key space\n"
            "tick\n"
            "key ;\n"
            "key enter\n"
            "# character U+3042, no game key\n"
            "expose\n"
            "close\n"
            "# the window was closed\n");
}

TEST(Recorder, ARecordingThatCannotBeWrittenIsToldOnceAndGivenUp) {
  Recorder missing;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(missing.open("/nonexistent-folder/game.txt", "2.0"));
  EXPECT_NE(testing::internal::GetCapturedStderr().find("/nonexistent-folder/game.txt"),
            std::string::npos);

  if (!fs::exists("/dev/full")) GTEST_SKIP() << "no /dev/full";
  Recorder full;
  testing::internal::CaptureStderr();
  EXPECT_FALSE(full.open("/dev/full", "2.0"));  // the first line already fails
  full.take(Message::Timer, 0, false);
  const std::string told = testing::internal::GetCapturedStderr();
  EXPECT_NE(told.find("cannot write the recording /dev/full"), std::string::npos);
  EXPECT_EQ(told.find("cannot write", told.find("cannot write") + 1), std::string::npos);
}

}  // namespace
}  // namespace vintaro::sdl
