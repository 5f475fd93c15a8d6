// The game started with pictures, sounds or fonts missing or cut short still starts, runs every
// screen and quits cleanly: a player whose installation lost a file can still play.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "app/app_state.h"
#include "game_walker.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "profiles/profiles_state.h"
#include "shipping_support.h"

namespace {

namespace fs = std::filesystem;
namespace h = platform::headless;

enum class damage { none, remove, truncate, empty };

struct damaged_content {
    const char* name;
    damage images, sounds, fonts, levels;
};

const damaged_content cases[] = {
    {"as_built", damage::none, damage::none, damage::none, damage::none},
    {"no_pictures", damage::remove, damage::none, damage::none, damage::none},
    {"no_sounds", damage::none, damage::remove, damage::none, damage::none},
    {"no_fonts", damage::none, damage::none, damage::remove, damage::none},
    {"pictures_cut_short", damage::truncate, damage::none, damage::none, damage::none},
    {"sounds_cut_short", damage::none, damage::truncate, damage::none, damage::none},
    {"fonts_cut_short", damage::none, damage::none, damage::truncate, damage::none},
    {"every_file_empty", damage::empty, damage::empty, damage::empty, damage::empty},
    {"nothing_at_all", damage::remove, damage::remove, damage::remove, damage::remove},
};

class damaged_content_test : public game_walker_test,
                             public ::testing::WithParamInterface<damaged_content> {
protected:
    // The scratch folder's link to a content folder becomes a damaged copy of it.
    void spoil(const char* folder, damage how) {
        const fs::path link = fs::path(game_dir) / folder;
        if (how == damage::none || !fs::is_symlink(link)) return;
        const fs::path built = fs::read_symlink(link);
        fs::remove(link);
        if (how == damage::remove) return;
        fs::create_directory(link);
        for (const auto& entry : fs::directory_iterator(built)) {
            const fs::path copy = link / entry.path().filename();
            const auto bytes = shipping::read_bytes(entry.path());
            // A third of the file: headers intact, the picture or sound data broken off.
            const size_t keep = how == damage::truncate ? bytes.size() / 3 : 0;
            shipping::write_bytes(copy,
                                  std::vector<uint8_t>(bytes.begin(), bytes.begin() + long(keep)));
        }
    }
};

TEST_P(damaged_content_test, starts_runs_every_screen_and_quits_cleanly) {
    const damaged_content& c = GetParam();
    spoil("images", c.images);
    spoil("Sounds", c.sounds);
    spoil("font", c.fonts);
    spoil("Levels", c.levels);

    bool quit = false;
    try {
        start_up();
        // Profiles: a new player typed in, chosen and confirmed.
        click(400, 175);
        h::type_text("Ann");
        passes(5);
        click(400, 175);
        choose_player(0);
        EXPECT_EQ(screen_state, screen_main_menu);
        click_and_wait(130, 220);  // how to play
        passes(20);
        click_and_wait(100, 580);
        click_and_wait(85, 260);  // credits
        passes(20);
        click_and_wait(100, 580);
        open_level_1_1();
        click(400, 370);  // its note, when the level has one
        // Long enough for the celebration of a level that is won as it opens (an empty file
        // reads as a board without lamps).
        passes(300);
        if (message_shown == 1 && message_kind == message_level_complete) {
            click_and_wait(305, 370);  // to the galaxy map
        } else if (message_shown == 1) {
            click(400, 370);  // the notice of a level that could not be loaded
        }
        click_and_wait(690, 580);  // the main-menu button of the play screen or the map
        EXPECT_EQ(screen_state, screen_main_menu);
        click(57, 300);  // exit
    } catch (const platform::program_ended&) {
        quit = true;
    }
    EXPECT_TRUE(quit) << "the game did not quit by its exit button";
    for (int32_t screen : {screen_profiles, screen_main_menu, screen_galaxy_map, screen_play,
                           screen_credits, screen_how_to_play}) {
        EXPECT_TRUE(visited.count(screen)) << "screen " << screen << " never ran";
    }
    EXPECT_EQ(shipping::check_players(fs::path(game_dir) / "users"), "");
}

INSTANTIATE_TEST_SUITE_P(content, damaged_content_test, ::testing::ValuesIn(cases),
                         [](const auto& info) { return std::string(info.param.name); });

}  // namespace
