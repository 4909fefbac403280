// Where the window goes (its outer rectangle centred on the desktop) and what
// it is called (the program file's name).
#include "window/placement.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct CentreCase {
  const char* name;
  int desktop_origin;
  int desktop_size;
  int outer_size;
  int expected;
};

TEST(CentredPosition, HalvesTheSpareRoomRoundingDown) {
  const CentreCase cases[] = {
      {"full HD width, framed window", 0, 1920, 810, 555},
      {"full HD height, framed window", 0, 1080, 630, 225},
      {"exact fit", 0, 800, 800, 0},
      {"odd room rounds down", 0, 1025, 800, 112},
      {"one pixel of room", 0, 801, 800, 0},
      {"window larger than desktop", 0, 640, 810, -85},
      {"larger by an odd amount rounds toward minus infinity", 0, 640, 811, -86},
      {"larger by one pixel", 0, 799, 800, -1},
      {"desktop to the right of another", 1920, 1280, 810, 2155},
      {"desktop to the left of another", -1280, 1280, 810, -1045},
      {"shifted desktop, window larger by an odd amount", 100, 600, 631, 84},
      {"shifted desktop, odd room", 24, 1081, 630, 249},
  };
  for (const CentreCase& c : cases) {
    EXPECT_EQ(window::centred_position(c.desktop_origin, c.desktop_size, c.outer_size), c.expected)
        << c.name;
  }
}

struct TitleCase {
  std::string path;
  std::string title;
};

TEST(TitleFromPath, KeepsTheFileNameWithoutItsLastExtension) {
  const TitleCase cases[] = {
      {"/usr/games/paddleball", "paddleball"},
      {"paddle.game.exe", "paddle.game"},
      {"/home/me/bin/paddle.game.exe", "paddle.game"},
      {"C:\\Games\\Paddle\\paddleball.exe", "paddleball"},
      {"C:/Games\\mixed/paddleball.exe", "paddleball"},
      {"D:\\x\\a/b\\pb.bin", "pb"},
      {"paddleball", "paddleball"},
      {"./paddleball", "paddleball"},
      {"/opt/v1.2/paddleball", "paddleball"},
      {"C:\\v1.2\\paddleball", "paddleball"},
      {"/opt/v1.2/paddleball.x86_64", "paddleball"},
      {"", ""},
  };
  for (const TitleCase& c : cases) {
    EXPECT_EQ(window::title_from_path(c.path), c.title) << "path " << c.path;
  }
}

TEST(TitleFromPath, LongNamesAreCutTo127Characters) {
  std::string name;
  for (int i = 0; i < 200; ++i) name += static_cast<char>('a' + i % 26);
  const std::string first_127 = name.substr(0, 127);
  EXPECT_EQ(window::title_from_path(name), first_127);
  EXPECT_EQ(window::title_from_path("/usr/local/games/" + name), first_127);
  EXPECT_EQ(window::title_from_path("/usr/local/games/" + name + ".exe"), first_127);
  EXPECT_EQ(window::title_from_path(name.substr(0, 127)), first_127);
  EXPECT_EQ(window::title_from_path(name.substr(0, 126)), name.substr(0, 126));
}

// The tests run from the executable window_tests.
TEST(ProgramTitle, IsTheRunningProgramsNameAndStaysFixed) {
  const std::string& first = window::program_title();
  EXPECT_EQ(first, "window_tests");
  window::remember_program_name("/somewhere/else.exe");
  EXPECT_EQ(&window::program_title(), &first);
  EXPECT_EQ(window::program_title(), "window_tests");
}

}  // namespace
