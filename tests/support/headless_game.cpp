// The headless game fixture: scratch folder, headless platform, reset state.
#include "support/headless_game.h"

#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/game_state.h"
#include "platform/platform.h"

namespace fs = std::filesystem;

void headless_game_test::SetUp() {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    std::string name = std::string(info->test_suite_name()) + "." + info->name();
    // Parameterised tests carry slashes in their names.
    for (char& c : name) {
        if (c == '/') c = '_';
    }
    const fs::path scratch = fs::path(BEAMWORKS_BINARY_DIR) / "test_scratch" / name;
    fs::remove_all(scratch);
    fs::create_directories(scratch / "users");
    fs::create_directories(scratch / "screens");
    const fs::path built = BEAMWORKS_GAME_DIR;
    for (const char* content : {"images", "Sounds", "font", "Levels"}) {
        if (fs::is_directory(built / content)) {
            fs::create_directory_symlink(built / content, scratch / content);
        }
    }
    game_dir = scratch.string();
    platform::init_headless(game_dir);
    reset_all_state();
}

void headless_game_test::TearDown() {
    platform::shutdown();
    reset_all_state();
    if (!HasFailure()) {
        std::error_code ignored;
        fs::remove_all(game_dir, ignored);
    }
}

void headless_game_test::run_passes(int32_t n) {
    for (int32_t i = 0; i < n; ++i) main_loop_pass();
}

void headless_game_test::load_content() {
    load_images();
    load_bitmap_font(font16, "font16", 16);
    load_bitmap_font(font24, "font24", 24);
    load_bitmap_font(font32, "font32", 32);
    load_sounds();
}

std::string headless_game_test::path_in_game(const std::string& relative) const {
    return (fs::path(game_dir) / relative).string();
}

std::map<std::string, std::string> headless_game_test::read_dump(
    const std::string& relative) const {
    std::map<std::string, std::string> lines;
    std::ifstream in(path_in_game(relative));
    EXPECT_TRUE(in.good()) << relative;
    std::string line;
    while (std::getline(in, line)) {
        const size_t space = line.find(' ');
        lines[line.substr(0, space)] = space == std::string::npos ? "" : line.substr(space + 1);
    }
    return lines;
}
