// The profile list damaged or refused by the disk: a list that lost a byte, a huge sparse list,
// names typed again after the list lost them, and the notices of a creation or deletion that
// the disk refuses.
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <csignal>
#include <filesystem>
#include <fstream>

#include "profiles/message_window.h"
#include "profiles/profile_store.h"
#include "profiles/profiles_state.h"
#include "profiles/progress_format.h"
#include "support/headless_game.h"

namespace fs = std::filesystem;

namespace {

using bytes = std::vector<uint8_t>;

bytes read(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return bytes(std::istreambuf_iterator<char>(in), {});
}

void write(const fs::path& path, const bytes& content) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(content.data()), std::streamsize(content.size()));
}

// A player well into the game: three levels won, two packs open, a solution paid for.
player_progress seasoned() {
    player_progress p = new_player_progress();
    p.best_score = {};
    p.best_score.fill(-1);
    p.best_score[0] = 812;
    p.best_score[1] = 640;
    p.best_score[2] = 505;
    p.time[0] = 75;
    p.solution_cost[2] = 90;
    p.pack_access[1] = 1;
    return p;
}

class damaged_list_test : public headless_game_test {
protected:
    fs::path users() const { return fs::path(game_dir) / "users"; }

    void write_player(const std::string& name, const player_progress& p) const {
        write(users() / name / "level_score.all", encode_level_scores(p));
        write(users() / name / "pack_access.all", encode_pack_access(p));
        write(users() / name / "solution.all", encode_solution_costs(p));
    }
    std::vector<std::string> names() const {
        return std::vector<std::string>(profile_names.begin(),
                                        profile_names.begin() + profile_count);
    }
    void expect_notice(const char* text) const {
        EXPECT_EQ(message_shown, 1);
        EXPECT_EQ(message_kind, message_notice);
        EXPECT_EQ(message_text, text);
        EXPECT_EQ(notice_follow_up, notice_then_nothing);
    }
};

TEST_F(damaged_list_test, a_list_missing_its_last_byte_costs_no_one_their_progress) {
    write_player("Ann", seasoned());
    write_player("Bob", seasoned());
    bytes list = encode_profile_list(std::vector<std::string>{"Ann", "Bob"});
    list.pop_back();
    write(users() / "profiles.dat", list);
    const bytes bobs_scores = read(users() / "Bob" / "level_score.all");

    load_profile_list();
    // Ann was read from the list; Bob, whose record was cut, was found on disk.
    EXPECT_EQ(names(), (std::vector<std::string>{"Ann", "Bob"}));

    current_profile = 1;
    load_progress();
    EXPECT_EQ(level_best_score[0], 812);
    EXPECT_EQ(pack_access[1], 1);
    EXPECT_EQ(level_solution_cost[2], 90);
}

TEST_F(damaged_list_test, a_name_typed_again_keeps_the_progress_in_its_folder) {
    write_player("Bob", seasoned());
    const bytes scores = read(users() / "Bob" / "level_score.all");
    const bytes costs = read(users() / "Bob" / "solution.all");
    fs::remove(users() / "Bob" / "pack_access.all");  // lost with the list: made anew
    write(users() / "profiles.dat", {0});             // an intact, empty list

    load_profile_list();
    EXPECT_EQ(profile_count, 0);
    create_profile("Bob");

    EXPECT_EQ(names(), std::vector<std::string>{"Bob"});
    EXPECT_EQ(read(users() / "Bob" / "level_score.all"), scores);
    EXPECT_EQ(read(users() / "Bob" / "solution.all"), costs);
    EXPECT_EQ(read(users() / "Bob" / "pack_access.all"), encode_pack_access(new_player_progress()));
    EXPECT_EQ(message_shown, 0);
}

TEST_F(damaged_list_test, a_huge_sparse_list_is_not_read_and_its_players_are_found) {
    write_player("Cid", seasoned());
    {
        std::ofstream out(users() / "profiles.dat", std::ios::binary);
        out.put(1);
    }
    fs::resize_file(users() / "profiles.dat", uintmax_t{512} << 20);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const long before_kib = usage.ru_maxrss;

    load_profile_list();

    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(usage.ru_maxrss - before_kib, 16 * 1024);
    EXPECT_EQ(names(), std::vector<std::string>{"Cid"});
}

TEST_F(damaged_list_test, players_found_on_disk_are_only_folders_with_progress_and_ten_at_most) {
    for (int i = 0; i < 12; ++i) write_player("p" + std::to_string(10 + i), seasoned());
    fs::create_directories(users() / "a_folder_without_progress");
    fs::create_directory_symlink(users() / "p10", users() / "a_link");
    bytes list = encode_profile_list(std::vector<std::string>{"p21", "p15"});
    list.resize(list.size() - 2);  // p15's record cut off
    write(users() / "profiles.dat", list);

    load_profile_list();

    // The list's own name first, then the folders in byte order.
    EXPECT_EQ(names(), (std::vector<std::string>{"p21", "p10", "p11", "p12", "p13", "p14", "p15",
                                                 "p16", "p17", "p18"}));
}

TEST_F(damaged_list_test, an_intact_list_lists_only_its_own_players) {
    write_player("Ann", seasoned());
    write_player("Old", seasoned());  // deleted by hand from the list: it stays unlisted
    write(users() / "profiles.dat", encode_profile_list(std::vector<std::string>{"Ann"}));
    load_profile_list();
    EXPECT_EQ(names(), std::vector<std::string>{"Ann"});
}

TEST_F(damaged_list_test, a_creation_the_disk_refuses_is_told) {
    // "users" the wrong kind of entry.
    fs::remove_all(users());
    write(fs::path(game_dir) / "users", {1, 2, 3});
    create_profile("Ann");
    EXPECT_EQ(profile_count, 0);
    expect_notice(text_player_not_created);
    EXPECT_EQ(read(fs::path(game_dir) / "users"), (bytes{1, 2, 3}));
    EXPECT_EQ(std::string(text_player_not_created), "The player could not be created");
}

// Makes every file write beyond `limit` bytes fail, as a full disk would, while it lives.
class full_disk {
public:
    full_disk() {
        std::signal(SIGXFSZ, SIG_IGN);
        getrlimit(RLIMIT_FSIZE, &saved_);
        rlimit lowered = saved_;
        lowered.rlim_cur = 10;
        setrlimit(RLIMIT_FSIZE, &lowered);
    }
    ~full_disk() { setrlimit(RLIMIT_FSIZE, &saved_); }

private:
    rlimit saved_{};
};

TEST_F(damaged_list_test, a_creation_on_a_full_disk_is_told_and_leaves_nothing) {
    create_profile("Ann");
    {
        full_disk disk;
        create_profile("Bob");
    }
    EXPECT_EQ(names(), std::vector<std::string>{"Ann"});
    EXPECT_FALSE(fs::exists(users() / "Bob"));
    expect_notice(text_player_not_created);
}

TEST_F(damaged_list_test, a_deletion_whose_list_cannot_be_written_is_told) {
    for (const char* name : {"Ann", "Bob"}) create_profile(name);
    EXPECT_EQ(message_shown, 0);
    // A folder where the list is renamed to: the rename fails as on a full disk.
    fs::remove(users() / "profiles.dat");
    write(users() / "profiles.dat" / "x", {1});

    delete_profile(0);

    EXPECT_EQ(names(), (std::vector<std::string>{"Ann", "Bob"}));
    expect_notice(text_player_not_deleted);
    EXPECT_EQ(std::string(text_player_not_deleted), "The player could not be deleted");
}

}  // namespace
