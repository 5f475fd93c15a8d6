// A notice over the galaxy map holds the map until its OK: no panel opens, no level starts,
// the panel does not close; and long pack titles stay inside the level panel.
#include "play/play_test_support.h"

#include "app/assets.h"
#include "app/bitmap_font.h"
#include "profiles/galaxy_map.h"
#include "profiles/message_window.h"

namespace {

class galaxy_notice_test : public play_test {
protected:
    void SetUp() override {
        play_test::SetUp();
        init_pack_positions();
        init_pack_names();
        fresh_progress();
        screen_state = screen_galaxy_map;
    }
};

TEST_F(galaxy_notice_test, the_map_waits_for_the_notices_ok) {
    raise_notice(text_progress_not_saved, notice_then_nothing);
    click(109, 493);  // pack 1's marker
    EXPECT_EQ(open_pack, -1);
    message_shown = 0;
    click(109, 493);
    ASSERT_EQ(open_pack, 0);

    raise_notice(text_progress_not_saved, notice_then_nothing);
    click(panel_x + 25, panel_y + 50);  // level 1-1
    EXPECT_EQ(fading, 0);
    click(panel_x + 125, panel_y + 275);  // cancel
    EXPECT_EQ(open_pack, 0);
    EXPECT_EQ(message_shown, 1);
}

TEST_F(galaxy_notice_test, every_pack_title_fits_its_panel) {
    load_content();
    panel_x = 260;
    panel_y = 106;
    // The title's line right of where a title may end, drawn with and without the title.
    const auto title_end = [] {
        platform::cls();
        draw_level_panel();
        platform::flip(0);
        std::vector<uint32_t> pixels;
        for (int32_t y = 106 + 5; y < 106 + 35; ++y) {
            for (int32_t x = 260 + 236; x < 260 + 250; ++x) {
                pixels.push_back(platform::headless::presented_pixel(x, y));
            }
        }
        return pixels;
    };
    for (int32_t pack = 0; pack < pack_total; ++pack) {
        open_pack = pack;
        const std::vector<uint32_t> with_title = title_end();
        const std::string name = pack_names[size_t(pack)];
        pack_names[size_t(pack)].clear();
        EXPECT_EQ(with_title, title_end()) << name;
        pack_names[size_t(pack)] = name;
    }
}

}  // namespace
