// The content generator's entry point.
//
//   asset_gen generate <content folder> <game folder>   writes images/, font/ and Sounds/
//   asset_gen sheets <game folder> <output folder>       writes contact sheets for review
//
// The same sources always give the same bytes: no clocks, no unseeded randomness.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>

#include "art.h"
#include "contact_sheet.h"
#include "fonts.h"
#include "pictures.h"
#include "pieces.h"
#include "sounds.h"

int main(int argc, char** argv) {
    const std::string mode = argc > 1 ? argv[1] : "";
    try {
        if (mode == "generate" && argc == 4) {
            const std::string content = argv[2];
            const std::string game = argv[3];
            for (const char* sub : {"images", "font", "Sounds"}) {
                std::filesystem::create_directories(game + "/" + sub);
            }
            pieces::write_all(game + "/images");
            pictures::write_all(game + "/images");
            fonts::write_all(game + "/font");
            sounds::write_all(content, game + "/Sounds");
            return 0;
        }
        if (mode == "sheets" && argc == 4) {
            std::filesystem::create_directories(argv[3]);
            contact_sheet::write_all(argv[2], argv[3]);
            return 0;
        }
    } catch (const std::exception& e) {
        std::fprintf(stderr, "asset_gen: %s\n", e.what());
        return 1;
    }
    std::fprintf(stderr,
                 "usage: asset_gen generate <content folder> <game folder>\n"
                 "       asset_gen sheets <game folder> <output folder>\n");
    return 2;
}
