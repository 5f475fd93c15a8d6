// A "users" folder that cannot be written (read-only, or a full disk): the game keeps running,
// tells the player that the progress could not be saved, and leaves the files as they were.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <unistd.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "app/app_state.h"
#include "game_walker.h"
#include "play/level_format.h"
#include "play/play_state.h"
#include "profiles/message_window.h"
#include "profiles/profiles_state.h"
#include "shipping_support.h"

namespace {

namespace fs = std::filesystem;

enum class refusal { read_only, full_disk };

// Root writes through permissions; an immutable folder is read-only even for root.
bool set_immutable(const fs::path& folder, bool on) {
    const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY);
    if (fd < 0) return false;
    int flags = 0;
    bool ok = ioctl(fd, FS_IOC_GETFLAGS, &flags) == 0;
    flags = on ? (flags | FS_IMMUTABLE_FL) : (flags & ~FS_IMMUTABLE_FL);
    ok = ok && ioctl(fd, FS_IOC_SETFLAGS, &flags) == 0;
    close(fd);
    return ok;
}

class refused_save_test : public game_walker_test, public ::testing::WithParamInterface<refusal> {
protected:
    void TearDown() override {
        const fs::path users = fs::path(game_dir) / "users";
        if (immutable) {
            set_immutable(users / "Keeper", false);
            set_immutable(users, false);
        }
        if (mounted) umount2(users.c_str(), MNT_DETACH);
        if (limited) setrlimit(RLIMIT_FSIZE, &old_limit);
        game_walker_test::TearDown();
    }

    // Makes every write under "users" fail from now on; false when this machine cannot.
    bool refuse_writes(refusal how) {
        const fs::path users = fs::path(game_dir) / "users";
        if (how == refusal::read_only) {
            if (geteuid() != 0) {
                fs::permissions(users / "Keeper", fs::perms::owner_write, fs::perm_options::remove);
                fs::permissions(users, fs::perms::owner_write, fs::perm_options::remove);
                return true;
            }
            immutable = set_immutable(users / "Keeper", true) && set_immutable(users, true);
            return immutable;
        }
        // A full disk: the players' files on a small file system filled up to the last byte.
        // Where no file system can be mounted, a file size limit refuses the writes instead.
        const fs::path copy = fs::path(game_dir) / "users_before";
        fs::copy(users, copy, fs::copy_options::recursive);
        if (mount("tmpfs", users.c_str(), "tmpfs", 0, "size=64k,mode=0755") == 0) {
            mounted = true;
            fs::copy(copy, users, fs::copy_options::recursive);
            std::ofstream filler(users / "filler", std::ios::binary);
            const std::vector<char> block(4096, 'x');
            while (filler.write(block.data(), std::streamsize(block.size()))) {
                filler.flush();
                if (!filler) break;
            }
            disk = "a full tmpfs";
            return true;
        }
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &old_limit);
        rlimit tiny = old_limit;
        tiny.rlim_cur = 8;
        limited = setrlimit(RLIMIT_FSIZE, &tiny) == 0;
        disk = "a file size limit of 8 bytes (no file system could be mounted)";
        return limited;
    }

    bool immutable = false;
    bool mounted = false;
    bool limited = false;
    rlimit old_limit{};
    std::string disk;
};

TEST_P(refused_save_test, the_game_tells_the_player_and_keeps_the_old_files) {
    platform::headless::set_rasterising(false);
    const fs::path users = fs::path(game_dir) / "users";
    shipping::write_players(users, {"Keeper"}, shipping::seasoned_progress());

    // Level 1-1 of this test: a laser already lighting its lamp, so that the level is won as
    // soon as its note is dismissed.
    const fs::path levels = fs::path(game_dir) / "Levels";
    fs::remove(levels);
    fs::create_directory(levels);
    level_data level;
    level.cells[2][5] = level_cell_code(kind_laser, dir_right, beam_white);
    level.cells[10][5] = level_cell_code(kind_lamp, 0, lamp_white);
    level.text = "Nothing to do.";
    shipping::write_bytes(levels / "level.001", encode_level(level));
    // Level 1-2: the lamp out of the beam's way, so that it can be left unfinished.
    level.cells[10][5] = 0;
    level.cells[10][8] = level_cell_code(kind_lamp, 0, lamp_white);
    shipping::write_bytes(levels / "level.002", encode_level(level));

    const auto files_before = [&] {
        std::vector<std::vector<uint8_t>> all;
        for (const char* f : {"profiles.dat", "Keeper/level_score.all", "Keeper/pack_access.all",
                              "Keeper/solution.all"}) {
            all.push_back(shipping::read_bytes(users / f));
        }
        return all;
    };
    const auto before = files_before();

    start_up();
    choose_player(0);
    ASSERT_EQ(screen_state, screen_main_menu);
    if (!refuse_writes(GetParam())) GTEST_SKIP() << "this machine cannot make a folder read-only";
    open_level_1_1();
    ASSERT_EQ(screen_state, screen_play);
    click(400, 370);  // the note's OK: the clock starts, and the lamp is lit
    // Five seconds of celebration, then the level is settled and saved.
    passes(5500 / 20);
    ASSERT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, message_notice);
    EXPECT_EQ(message_text, text_progress_not_saved);
    // Its OK brings the level-complete window back, whose buttons still lead on.
    click(400, 370);
    EXPECT_EQ(message_kind, message_level_complete);
    click_and_wait(305, 370);
    EXPECT_EQ(screen_state, screen_galaxy_map);

    // Leaving a level by the main-menu button saves too, and is refused the same way.
    click_and_wait(230, 245);
    ASSERT_EQ(screen_state, screen_play);
    click(400, 370);
    passes(10);
    click_and_wait(690, 580);
    EXPECT_EQ(screen_state, screen_main_menu);
    ASSERT_EQ(message_shown, 1);
    EXPECT_EQ(message_text, text_progress_not_saved);
    click(400, 370);
    EXPECT_EQ(message_shown, 0);
    passes(50);

    if (limited) setrlimit(RLIMIT_FSIZE, &old_limit);
    limited = false;
    EXPECT_EQ(files_before(), before) << "the player's files changed under " << disk;
    int32_t leftovers = 0;
    for (const auto& entry : fs::recursive_directory_iterator(users)) {
        if (entry.path().filename().string().find(".tmp") != std::string::npos) ++leftovers;
    }
    EXPECT_EQ(leftovers, 0) << "a refused save left a temporary file behind";
    if (!disk.empty()) std::printf("refused saves: the disk was %s\n", disk.c_str());
}

INSTANTIATE_TEST_SUITE_P(users, refused_save_test,
                         ::testing::Values(refusal::read_only, refusal::full_disk),
                         [](const auto& info) {
                             return std::string(info.param == refusal::read_only ? "read_only"
                                                                                 : "full_disk");
                         });

}  // namespace
