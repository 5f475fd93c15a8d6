// Saves a player's progress for ever, and now and then adds and removes a second player, so
// that the interrupted-save test can kill it at any moment of a save.
//
//   save_loop GAME_DIR PLAYER
//
// Save number i writes i as every level's time and as level 1's best score, so that a file
// read afterwards shows which save it came from and whether it is whole. Prints "saving" once
// the player's progress is loaded and the first save is about to start.
#include <cstdio>
#include <string>

#include "app/game_state.h"
#include "platform/platform.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: save_loop GAME_DIR PLAYER\n");
        return 2;
    }
    platform::init_headless(argv[1]);
    reset_all_state();
    load_profile_list();
    const std::string player = argv[2];
    for (int32_t i = 0; i < profile_count; ++i) {
        if (profile_names[size_t(i)] == player) current_profile = i;
    }
    if (profile_names[size_t(current_profile)] != player) return 3;
    load_progress();
    std::printf("saving\n");
    std::fflush(stdout);
    for (int32_t i = level_best_score[0] + 1;; ++i) {
        level_time.fill(i);
        level_best_score[0] = i;
        if (!save_progress()) return 4;
        if (i % 3 == 0) {
            create_profile("Extra");
            for (int32_t k = 0; k < profile_count; ++k) {
                if (profile_names[size_t(k)] == "Extra") delete_profile(k);
            }
            // The list moved: find the player again, as the profiles screen would.
            for (int32_t k = 0; k < profile_count; ++k) {
                if (profile_names[size_t(k)] == player) current_profile = k;
            }
        }
    }
}
