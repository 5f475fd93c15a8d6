// level_atlas: every level drawn by the game's own board drawing (headless), unsolved and
// solved, so that a person can look at all the levels at once.
//
//   level_atlas <game folder> <out folder> [levels_summary.txt]
// writes atlas_pack01.png ... atlas_pack20.png: per pack six rows, each the level as it opens
// (left) and with its stored solution placed (right). With the verifier's summary (levelc verify
// writes it beside its report), each opening board also shows its inert pieces, declared decoys,
// recipe and grade before and after the clutter is taken away.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/assets.h"
#include "app/bitmap_font.h"
#include "app/game_state.h"
#include "board/board_state.h"
#include "board/piece_kinds.h"
#include "level_output.h"
#include "platform/headless.h"
#include "platform/platform.h"
#include "play/board_drawing.h"
#include "play/level_file.h"
#include "play/scoring.h"
#include "profiles/profiles_state.h"

namespace {

// The board area with a strip above it for the label; under each row of the page a strip for the
// verifier's caption, so that it hides no cell.
constexpr int left = 35, top = 50, width = 665, height = 515, caption_height = 40;

void draw_frame(const std::string& label) {
    platform::cls();
    fade = 1.0f;
    platform::set_blend(3);
    platform::set_color(255, 255, 255);
    draw_board_and_beams();
    // The lamps' light, as the play screen draws it after the board.
    evaluate_lamps();
    platform::set_blend(3);
    platform::set_color(255, 255, 255);
    draw_bitmap_text(font16, left + 4, top + 4, label, 1000);
}

void copy_into(std::vector<uint8_t>& page, int page_w, int x0, int y0, int rows_to_copy = height) {
    for (int y = 0; y < rows_to_copy; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t p = platform::headless::pixel(left + x, top + y);
            uint8_t* d = &page[(size_t(y0 + y) * size_t(page_w) + size_t(x0 + x)) * 3];
            d[0] = uint8_t(p >> 16);
            d[1] = uint8_t(p >> 8);
            d[2] = uint8_t(p);
        }
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 && argc != 4) {
        std::cerr << "usage: level_atlas <game folder> <out folder> [levels_summary.txt]\n";
        return 2;
    }
    std::string out = argv[2];
    std::vector<std::string> captions;
    if (argc == 4) {
        std::ifstream summary(argv[3]);
        for (std::string line; std::getline(summary, line);) captions.push_back(line);
        if (captions.size() != 120) {
            std::cout << "no verifier summary at " << argv[3]
                      << " (run the levels_verify test first); boards drawn without it\n";
            captions.clear();
        }
    }
    std::filesystem::create_directories(out);
    platform::init_headless(argv[1]);
    reset_all_state();
    platform::open_graphics(800, 600, 32, 85, 0);
    load_images();
    load_bitmap_font(font16, "font16", 16);
    const int gap = 10, row_h = height + caption_height, page_w = 2 * width + 3 * gap,
              page_h = 6 * row_h + 7 * gap;
    for (int pack = 0; pack < 20; ++pack) {
        std::vector<uint8_t> page(size_t(page_w) * size_t(page_h) * 3, 60);
        for (int k = 0; k < 6; ++k) {
            int level = pack * 6 + k;
            reset_board();
            current_level = level;
            if (!load_level()) {
                std::cerr << "level " << level + 1 << " does not load\n";
                return 1;
            }
            std::string name = std::to_string(pack + 1) + "-" + std::to_string(k + 1);
            draw_frame(name + "  as it opens");
            copy_into(page, page_w, gap, gap + k * (row_h + gap));
            if (!captions.empty()) {
                platform::cls();
                platform::set_blend(3);
                platform::set_color(255, 255, 255);
                draw_bitmap_text(font16, left + 4, top + 2, captions[size_t(level)], width - 8);
                copy_into(page, page_w, gap, gap + k * (row_h + gap) + height, caption_height);
            }
            for (int c = 0; c < board_columns; ++c)
                for (int r = 0; r < board_rows; ++r) {
                    point& p = board[c][r];
                    if (p.solution_kind == kind_empty) continue;
                    p.kind = p.solution_kind;
                    p.state = p.solution_kind <= kind_double_prism ? p.solution_orientation : 0;
                    p.colour = 0;
                }
            draw_frame(name + "  solved");
            copy_into(page, page_w, 2 * gap + width, gap + k * (row_h + gap));
        }
        char file[64];
        std::snprintf(file, sizeof file, "/atlas_pack%02d.png", pack + 1);
        if (!levels::write_rgb_png(out + file, page_w, page_h, page)) return 1;
    }
    std::cout << "atlas written to " << out << "\n";
    platform::shutdown();
    return 0;
}
