// The profile store on a scratch game folder: the files it writes, what it refuses, and what it
// does with missing, short, damaged or unwritable files.
#include "profiles/profile_store.h"

#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <set>

#include "app/game_state.h"
#include "profiles/profiles_state.h"
#include "profiles/progress_format.h"
#include "support/headless_game.h"

namespace fs = std::filesystem;

namespace {

using bytes = std::vector<uint8_t>;

class profile_store_test : public headless_game_test {
protected:
    fs::path root() const { return fs::path(game_dir); }
    fs::path users() const { return root() / "users"; }

    bytes read(const fs::path& path) const {
        std::ifstream in(path, std::ios::binary);
        EXPECT_TRUE(in.good()) << path;
        return bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    void write(const fs::path& path, const bytes& content) const {
        fs::create_directories(path.parent_path());
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(content.data()), std::streamsize(content.size()));
    }
    // Every path under the game folder (links not followed), to prove nothing else changed.
    std::set<std::string> tree() const {
        std::set<std::string> paths;
        for (auto it = fs::recursive_directory_iterator(root()); it != fs::end(it); ++it) {
            paths.insert(fs::relative(it->path(), root()).string());
        }
        return paths;
    }
    std::vector<std::string> names() const {
        return std::vector<std::string>(profile_names.begin(),
                                        profile_names.begin() + profile_count);
    }
};

// Makes every file write beyond `limit` bytes fail, as a full disk would, while it lives.
class file_size_limit {
public:
    explicit file_size_limit(rlim_t limit) {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = limit;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~file_size_limit() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

bytes new_pack_access() {
    bytes b(20, 0);
    b[0] = 1;
    return b;
}

bytes new_level_scores() {
    bytes b;
    for (int n = 0; n < 120; ++n) b.insert(b.end(), {0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0});
    return b;
}

TEST_F(profile_store_test, ann_and_bob_are_written_as_documented) {
    current_profile = 5;
    create_profile("Ann");
    create_profile("Bob");

    EXPECT_EQ(names(), (std::vector<std::string>{"Ann", "Bob"}));
    EXPECT_EQ(read(users() / "profiles.dat"),
              (bytes{0x02, 0x03, 0x41, 0x6E, 0x6E, 0x03, 0x42, 0x6F, 0x62}));
    for (const char* name : {"Ann", "Bob"}) {
        EXPECT_EQ(read(users() / name / "pack_access.all"), new_pack_access());
        EXPECT_EQ(read(users() / name / "level_score.all"), new_level_scores());
        EXPECT_EQ(read(users() / name / "solution.all"), bytes(480, 0));
    }
    // Creating neither selects nor loads the new player.
    EXPECT_EQ(current_profile, 5);
    EXPECT_EQ(level_best_score[0], 0);
    EXPECT_EQ(pack_access[0], 0);

    reset_all_state();
    load_profile_list();
    EXPECT_EQ(names(), (std::vector<std::string>{"Ann", "Bob"}));
}

TEST_F(profile_store_test, an_eleventh_player_gets_the_notice_and_nothing_is_written) {
    for (int i = 0; i < 10; ++i) create_profile("p" + std::to_string(i));
    ASSERT_EQ(profile_count, 10);
    const auto before = tree();
    const bytes list = read(users() / "profiles.dat");

    create_profile("p10");

    EXPECT_EQ(profile_count, 10);
    EXPECT_EQ(message_shown, 1);
    EXPECT_EQ(message_kind, 4);
    EXPECT_EQ(message_text, "You cann't create more than 10 players");
    EXPECT_EQ(tree(), before);
    EXPECT_EQ(read(users() / "profiles.dat"), list);
}

TEST_F(profile_store_test, refused_names_change_nothing_and_raise_no_notice) {
    create_profile("Bob");
    const auto before = tree();
    const bytes list = read(users() / "profiles.dat");
    for (const char* name : {"", "Bob", ".", "..", "../x", "a/b", "..\\..\\x", "a\\b", "c:", "*",
                             "who?", "\"", "<", ">", "|"}) {
        create_profile(name);
        EXPECT_EQ(names(), std::vector<std::string>{"Bob"}) << name;
    }
    EXPECT_EQ(tree(), before);
    EXPECT_EQ(read(users() / "profiles.dat"), list);
    EXPECT_EQ(message_shown, 0);
}

TEST_F(profile_store_test, an_empty_name_on_an_empty_list_writes_no_list) {
    create_profile("");
    EXPECT_EQ(profile_count, 0);
    EXPECT_FALSE(fs::exists(users() / "profiles.dat"));
}

TEST_F(profile_store_test, names_differing_in_case_are_two_players_with_their_own_files) {
    create_profile("Bob");
    current_profile = 0;
    load_progress();
    level_best_score[0] = 700;
    ASSERT_TRUE(save_progress());
    const bytes bobs_scores = read(users() / "Bob" / "level_score.all");

    create_profile("bob");

    EXPECT_EQ(names(), (std::vector<std::string>{"Bob", "bob"}));
    EXPECT_EQ(read(users() / "Bob" / "level_score.all"), bobs_scores);
    EXPECT_EQ(read(users() / "bob" / "level_score.all"), new_level_scores());

    delete_profile(1);
    EXPECT_EQ(names(), std::vector<std::string>{"Bob"});
    EXPECT_EQ(read(users() / "Bob" / "level_score.all"), bobs_scores);
    EXPECT_FALSE(fs::exists(users() / "bob"));
}

TEST_F(profile_store_test, deleting_the_first_of_three) {
    for (const char* name : {"Ann", "Bob", "Cid"}) create_profile(name);
    write(users() / "Ann" / "notes.txt", {1, 2, 3});
    fs::create_directories(users() / "Ann" / "old");

    delete_profile(0);

    EXPECT_EQ(names(), (std::vector<std::string>{"Bob", "Cid"}));
    EXPECT_EQ(profile_names[2], "");
    EXPECT_EQ(read(users() / "profiles.dat"),
              (bytes{0x02, 0x03, 'B', 'o', 'b', 0x03, 'C', 'i', 'd'}));
    EXPECT_FALSE(fs::exists(users() / "Ann"));
    EXPECT_TRUE(fs::exists(users() / "Bob" / "solution.all"));
    EXPECT_TRUE(fs::exists(users() / "Cid" / "solution.all"));

    delete_profile(5);  // no such row: nothing happens
    delete_profile(-1);
    EXPECT_EQ(profile_count, 2);
}

TEST_F(profile_store_test, a_hand_edited_list_never_deletes_outside_a_players_folder) {
    // Names no player could type, each pointing somewhere it must not reach.
    const std::vector<std::string> hostile = {"..", ".", "a/b", "", "Ann"};
    write(users() / "profiles.dat", encode_profile_list(hostile));
    write(root() / "keep.txt", {7});
    write(users() / "a" / "b" / "keep.txt", {7});
    load_profile_list();
    create_profile("Zed");
    ASSERT_EQ(profile_count, 6);
    write(users() / "Ann" / "level_score.all", new_level_scores());

    while (profile_count > 0) delete_profile(0);

    EXPECT_TRUE(fs::exists(root() / "keep.txt"));
    EXPECT_TRUE(fs::exists(users() / "a" / "b" / "keep.txt"));
    EXPECT_TRUE(fs::exists(users()));
    EXPECT_FALSE(fs::exists(users() / "Ann"));
    EXPECT_EQ(read(users() / "profiles.dat"), bytes{0});
}

TEST_F(profile_store_test, an_unsafe_listed_name_reads_as_new_and_saves_nothing) {
    write(users() / "profiles.dat", encode_profile_list(std::vector<std::string>{"..", "a/b"}));
    load_profile_list();
    const auto before = tree();
    for (int32_t who : {0, 1}) {
        current_profile = who;
        load_progress();
        EXPECT_EQ(level_best_score[0], -1);
        EXPECT_EQ(pack_access[0], 1);
        level_best_score[0] = 10;
        EXPECT_FALSE(save_progress());
    }
    EXPECT_EQ(tree(), before);
}

TEST_F(profile_store_test, no_users_folder_means_an_empty_list_and_it_is_made_when_needed) {
    fs::remove_all(users());
    load_profile_list();
    EXPECT_EQ(profile_count, 0);

    create_profile("Ann");
    EXPECT_EQ(read(users() / "profiles.dat"), (bytes{1, 3, 'A', 'n', 'n'}));
    EXPECT_EQ(read(users() / "Ann" / "pack_access.all"), new_pack_access());
}

TEST_F(profile_store_test, a_list_of_more_than_ten_keeps_the_first_ten) {
    std::vector<std::string> twelve;
    for (int i = 0; i < 12; ++i) twelve.push_back("n" + std::to_string(i));
    write(users() / "profiles.dat", encode_profile_list(twelve));

    load_profile_list();

    EXPECT_EQ(names(), std::vector<std::string>(twelve.begin(), twelve.begin() + 10));
    create_profile("more");
    EXPECT_EQ(message_kind, 4);
    EXPECT_EQ(profile_count, 10);
}

TEST_F(profile_store_test, loading_then_saving_leaves_the_files_byte_for_byte) {
    create_profile("Ann");
    bytes scores, packs(20), costs;
    for (int n = 0; n < 120; ++n) {
        const int32_t best = n % 5 == 0 ? -1 : n * 37 - 100;  // some 0s and negatives too
        for (int32_t v : {best, n * 3}) {
            for (int k = 0; k < 4; ++k) scores.push_back(uint8_t(uint32_t(v) >> (8 * k)));
        }
        for (int k = 0; k < 4; ++k) costs.push_back(uint8_t(uint32_t(n * 11) >> (8 * k)));
    }
    for (int p = 0; p < 20; ++p) packs[size_t(p)] = p < 7 ? 1 : 0;
    packs[19] = 2;  // an odd byte survives as it is
    write(users() / "Ann" / "level_score.all", scores);
    write(users() / "Ann" / "pack_access.all", packs);
    write(users() / "Ann" / "solution.all", costs);

    current_profile = 0;
    load_progress();
    EXPECT_EQ(level_best_score[1], -63);
    EXPECT_EQ(pack_access[19], 2);
    int32_t expected_total = 0;
    for (int n = 0; n < 120; ++n) {
        if (n % 5 != 0 && n * 37 - 100 > 0) expected_total += n * 37 - 100;
    }
    EXPECT_EQ(total_score, expected_total);

    total_score = 0;
    ASSERT_TRUE(save_progress());
    EXPECT_EQ(total_score, expected_total);
    EXPECT_EQ(read(users() / "Ann" / "level_score.all"), scores);
    EXPECT_EQ(read(users() / "Ann" / "pack_access.all"), packs);
    EXPECT_EQ(read(users() / "Ann" / "solution.all"), costs);
}

TEST_F(profile_store_test, missing_and_short_progress_files_read_as_a_new_players) {
    create_profile("Ann");
    write(users() / "Ann" / "level_score.all", {0x2C, 0x01, 0, 0, 9, 0, 0, 0, 0x10});
    fs::remove(users() / "Ann" / "solution.all");
    fs::remove(users() / "Ann" / "pack_access.all");
    level_solution_cost.fill(99);

    current_profile = 0;
    load_progress();

    EXPECT_EQ(level_best_score[0], 300);
    EXPECT_EQ(level_time[0], 9);
    for (int n = 1; n < 120; ++n) {
        ASSERT_EQ(level_best_score[size_t(n)], -1) << n;
        ASSERT_EQ(level_time[size_t(n)], 0) << n;
        ASSERT_EQ(level_solution_cost[size_t(n)], 0) << n;
    }
    EXPECT_EQ(pack_access[0], 1);
    EXPECT_EQ(pack_access[1], 0);
    EXPECT_EQ(total_score, 300);

    // Saving writes them whole again, and recreates a folder removed while the game ran.
    fs::remove_all(users() / "Ann");
    ASSERT_TRUE(save_progress());
    EXPECT_EQ(read(users() / "Ann" / "solution.all"), bytes(480, 0));
    EXPECT_EQ(read(users() / "Ann" / "pack_access.all"), new_pack_access());
}

TEST_F(profile_store_test, the_level_table_is_read_from_the_levels_folder_whatever_its_case) {
    // A folder of our own, never the shared built content.
    fs::remove(root() / "Levels");
    fs::remove_all(root() / "levels");
    level_table table;
    for (int n = 0; n < 120; ++n) {
        table.start_score[size_t(n)] = 2000 + n;
        table.hardness[size_t(n)] = n % 3;
    }
    write(root() / "Levels" / "level_info.all", encode_level_table(table));
    create_profile("Ann");

    current_profile = 0;
    load_progress();

    EXPECT_EQ(level_start_score, table.start_score);
    EXPECT_EQ(level_hardness, table.hardness);
}

TEST_F(profile_store_test, a_save_cut_short_by_a_full_disk_keeps_the_old_files) {
    create_profile("Ann");
    current_profile = 0;
    load_progress();
    const bytes old_scores = read(users() / "Ann" / "level_score.all");
    level_best_score[3] = 450;
    level_solution_cost[3] = 12;

    bool saved = true;
    {
        // The 960-byte scores and 480-byte costs cannot be written whole; the 20 packs can.
        file_size_limit limit(100);
        saved = save_progress();
    }

    EXPECT_FALSE(saved);
    EXPECT_EQ(read(users() / "Ann" / "level_score.all"), old_scores);
    EXPECT_EQ(read(users() / "Ann" / "solution.all"), bytes(480, 0));
    EXPECT_EQ(read(users() / "Ann" / "pack_access.all"), new_pack_access());
    std::set<std::string> left;
    for (const auto& entry : fs::directory_iterator(users() / "Ann")) {
        left.insert(entry.path().filename().string());
    }
    EXPECT_EQ(left, (std::set<std::string>{"level_score.all", "pack_access.all", "solution.all"}));

    // With room again the same save goes through.
    EXPECT_TRUE(save_progress());
    EXPECT_EQ(read(users() / "Ann" / "level_score.all")[24], 0xC2);  // 450 = 0x1C2
}

TEST_F(profile_store_test, a_creation_that_cannot_be_written_leaves_no_player_behind) {
    create_profile("Ann");
    const auto before = tree();
    const bytes list = read(users() / "profiles.dat");
    {
        file_size_limit limit(10);
        create_profile("Bob");
    }
    EXPECT_EQ(names(), std::vector<std::string>{"Ann"});
    EXPECT_EQ(tree(), before);
    EXPECT_EQ(read(users() / "profiles.dat"), list);
}

TEST_F(profile_store_test, a_deletion_whose_list_cannot_be_written_keeps_the_player) {
    for (const char* name : {"Ann", "Bob", "Cid"}) create_profile(name);
    // The list file is made unwritable by putting a folder where its temporary copy would be
    // renamed to: the rename of a file over a non-empty folder fails.
    fs::remove(users() / "profiles.dat");
    write(users() / "profiles.dat" / "x", {1});

    delete_profile(1);

    EXPECT_EQ(names(), (std::vector<std::string>{"Ann", "Bob", "Cid"}));
    EXPECT_TRUE(fs::exists(users() / "Bob" / "level_score.all"));
}

TEST_F(profile_store_test, total_score_counts_best_scores_above_zero) {
    level_best_score.fill(-1);
    level_best_score[0] = 500;
    level_best_score[2] = 0;
    level_best_score[119] = 120;
    compute_total_score();
    EXPECT_EQ(total_score, 620);
}

}  // namespace
