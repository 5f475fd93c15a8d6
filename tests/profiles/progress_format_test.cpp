// The byte layouts of the players' files and the level table, byte for byte.
#include "profiles/progress_format.h"

#include <gtest/gtest.h>

#include <random>

namespace {

using bytes = std::vector<uint8_t>;

bytes int_bytes(int32_t v) {
    uint32_t u = uint32_t(v);
    return {uint8_t(u), uint8_t(u >> 8), uint8_t(u >> 16), uint8_t(u >> 24)};
}

TEST(profile_list_format, empty_list_is_one_zero_byte) {
    EXPECT_EQ(encode_profile_list({}), bytes{0x00});
    EXPECT_TRUE(decode_profile_list(bytes{0x00}).empty());
}

TEST(profile_list_format, ann_and_bob) {
    const bytes file = {0x02, 0x03, 0x41, 0x6E, 0x6E, 0x03, 0x42, 0x6F, 0x62};
    const std::vector<std::string> names = {"Ann", "Bob"};
    EXPECT_EQ(encode_profile_list(names), file);
    EXPECT_EQ(decode_profile_list(file), names);
}

TEST(profile_list_format, names_keep_every_byte) {
    // Characters 128 to 255 and odd punctuation pass through unchanged, one byte each.
    const std::vector<std::string> names = {std::string("\xE9t\xE9", 3), "a{b}~", "z"};
    EXPECT_EQ(decode_profile_list(encode_profile_list(names)), names);
}

TEST(profile_list_format, damaged_lists) {
    struct case_ {
        const char* what;
        bytes file;
        std::vector<std::string> names;
    };
    bytes twelve = {12};
    for (int i = 0; i < 12; ++i) {
        twelve.push_back(1);
        twelve.push_back(uint8_t('a' + i));
    }
    const std::vector<case_> cases = {
        {"missing file", {}, {}},
        {"count above ten keeps the first ten",
         twelve,
         {"a", "b", "c", "d", "e", "f", "g", "h", "i", "j"}},
        {"count larger than the records", {3, 1, 'A', 1, 'B'}, {"A", "B"}},
        {"name cut off by the end", {2, 3, 'A', 'n', 'n', 3, 'B', 'o'}, {"Ann"}},
        {"length byte missing", {2, 3, 'A', 'n', 'n'}, {"Ann"}},
        {"bytes after the last record ignored", {1, 1, 'A', 9, 9, 9}, {"A"}},
    };
    for (const case_& c : cases) {
        EXPECT_EQ(decode_profile_list(c.file), c.names) << c.what;
    }
}

TEST(progress_format, new_player_files) {
    const player_progress fresh = new_player_progress();

    bytes packs(20, 0);
    packs[0] = 1;
    EXPECT_EQ(encode_pack_access(fresh), packs);

    const bytes scores = encode_level_scores(fresh);
    ASSERT_EQ(scores.size(), level_score_file_size);
    for (size_t n = 0; n < 120; ++n) {
        const bytes record(scores.begin() + 8 * n, scores.begin() + 8 * n + 8);
        EXPECT_EQ(record, (bytes{0xFF, 0xFF, 0xFF, 0xFF, 0, 0, 0, 0})) << "level " << n;
    }

    EXPECT_EQ(encode_solution_costs(fresh), bytes(480, 0));
}

TEST(progress_format, fields_land_at_their_offsets) {
    player_progress p = new_player_progress();
    p.best_score[0] = 500;
    p.time[0] = 61;
    p.best_score[119] = -2;
    p.time[119] = 0x01020304;
    p.solution_cost[7] = 1234;
    p.pack_access[19] = 1;

    const bytes scores = encode_level_scores(p);
    EXPECT_EQ(bytes(scores.begin(), scores.begin() + 8), (bytes{0xF4, 0x01, 0, 0, 0x3D, 0, 0, 0}));
    EXPECT_EQ(bytes(scores.end() - 8, scores.end()),
              (bytes{0xFE, 0xFF, 0xFF, 0xFF, 0x04, 0x03, 0x02, 0x01}));
    const bytes costs = encode_solution_costs(p);
    EXPECT_EQ(bytes(costs.begin() + 28, costs.begin() + 32), int_bytes(1234));
    EXPECT_EQ(encode_pack_access(p)[19], 1);
}

TEST(progress_format, any_full_files_come_back_byte_for_byte) {
    std::mt19937 random(7);
    // Any best score and pack byte; times and costs anywhere within what play can reach.
    const auto put = [](bytes& file, size_t at, uint32_t value) {
        for (size_t i = 0; i < 4; ++i) file[at + i] = uint8_t(value >> (8 * i));
    };
    for (int round = 0; round < 20; ++round) {
        bytes scores(level_score_file_size), packs(pack_access_file_size),
            costs(solution_file_size);
        for (uint8_t& b : packs) b = uint8_t(random());
        for (size_t n = 0; n < 120; ++n) {
            put(scores, 8 * n, uint32_t(random()));
            put(scores, 8 * n + 4, uint32_t(random()) % uint32_t(progress_max_seconds + 1));
            put(costs, 4 * n, uint32_t(random()) % uint32_t(progress_max_solution_cost + 1));
        }
        player_progress p = new_player_progress();
        decode_level_scores(scores, p);
        decode_pack_access(packs, p);
        decode_solution_costs(costs, p);
        EXPECT_EQ(encode_level_scores(p), scores);
        EXPECT_EQ(encode_pack_access(p), packs);
        EXPECT_EQ(encode_solution_costs(p), costs);
    }
}

TEST(progress_format, short_files_keep_new_player_values_for_what_is_missing) {
    // Level 0 complete with 300 in 12 s, level 1 only half a record, level 2 a partial int.
    bytes scores = int_bytes(300);
    for (uint8_t b : int_bytes(12)) scores.push_back(b);
    for (uint8_t b : int_bytes(77)) scores.push_back(b);
    scores.push_back(0x05);
    scores.push_back(0x00);

    player_progress p = new_player_progress();
    decode_level_scores(scores, p);
    EXPECT_EQ(p.best_score[0], 300);
    EXPECT_EQ(p.time[0], 12);
    EXPECT_EQ(p.best_score[1], 77);
    EXPECT_EQ(p.time[1], 0);
    // Not "completed with score 0": the partial and missing levels stay never completed.
    for (size_t n = 2; n < 120; ++n) EXPECT_EQ(p.best_score[n], -1) << "level " << n;

    decode_pack_access(bytes{}, p);
    EXPECT_EQ(p.pack_access, new_player_progress().pack_access);
    decode_pack_access(bytes{1, 1}, p);
    EXPECT_EQ(p.pack_access[1], 1);
    EXPECT_EQ(p.pack_access[2], 0);

    decode_solution_costs(int_bytes(40), p);
    EXPECT_EQ(p.solution_cost[0], 40);
    EXPECT_EQ(p.solution_cost[1], 0);
}

TEST(progress_format, times_costs_and_start_scores_out_of_range_read_as_new) {
    bytes scores, costs, table;
    const auto append = [](bytes& file, int32_t value) {
        for (uint8_t b : int_bytes(value)) file.push_back(b);
    };
    const int32_t times[] = {
        progress_max_seconds, progress_max_seconds + 1, -1, INT32_MIN, INT32_MAX, 2147483};
    const int32_t costs_in[] = {
        progress_max_solution_cost, progress_max_solution_cost + 1, -1, INT32_MIN, INT32_MAX, 7};
    const int32_t starts[] = {
        level_max_start_score, level_max_start_score + 1, -1, INT32_MIN, INT32_MAX, 4250};
    for (size_t n = 0; n < 6; ++n) {
        append(scores, 100 + int32_t(n));
        append(scores, times[n]);
        append(costs, costs_in[n]);
        append(table, starts[n]);
        table.push_back(2);
    }
    player_progress p = new_player_progress();
    decode_level_scores(scores, p);
    decode_solution_costs(costs, p);
    const level_table t = decode_level_table(table);

    const int32_t times_read[] = {progress_max_seconds, 0, 0, 0, 0, 0};
    const int32_t costs_read[] = {progress_max_solution_cost, 0, 0, 0, 0, 7};
    const int32_t starts_read[] = {level_max_start_score, 0, 0, 0, 0, 4250};
    for (size_t n = 0; n < 6; ++n) {
        EXPECT_EQ(p.best_score[n], 100 + int32_t(n)) << n;  // best scores are kept as read
        EXPECT_EQ(p.time[n], times_read[n]) << n;
        EXPECT_EQ(p.solution_cost[n], costs_read[n]) << n;
        EXPECT_EQ(t.start_score[n], starts_read[n]) << n;
        EXPECT_EQ(t.hardness[n], 2) << n;
    }
}

TEST(profile_list_format, a_list_is_intact_when_every_promised_record_is_there) {
    EXPECT_TRUE(profile_list_intact(bytes{0}));
    EXPECT_TRUE(profile_list_intact(bytes{2, 3, 'A', 'n', 'n', 3, 'B', 'o', 'b'}));
    EXPECT_FALSE(profile_list_intact(bytes{}));
    EXPECT_FALSE(profile_list_intact(bytes{2, 3, 'A', 'n', 'n', 3, 'B', 'o'}));
    EXPECT_FALSE(profile_list_intact(bytes{2, 3, 'A', 'n', 'n'}));
    bytes eleven{11};
    for (int i = 0; i < 10; ++i) eleven.insert(eleven.end(), {1, uint8_t('a' + i)});
    EXPECT_TRUE(profile_list_intact(eleven));  // more than ten: the ten are all there
}

TEST(level_table_format, records_of_five_bytes) {
    bytes file;
    for (int n = 0; n < 120; ++n) {
        for (uint8_t b : int_bytes(1000 + n)) file.push_back(b);
        file.push_back(uint8_t(n % 4 == 3 ? 200 : n % 3));
    }
    const level_table t = decode_level_table(file);
    EXPECT_EQ(t.start_score[0], 1000);
    EXPECT_EQ(t.start_score[119], 1119);
    EXPECT_EQ(t.hardness[1], 1);
    EXPECT_EQ(t.hardness[3], 200);  // kept as read; the map shows it as easy
    EXPECT_EQ(encode_level_table(t), file);

    const level_table cut = decode_level_table(bytes(file.begin(), file.begin() + 7));
    EXPECT_EQ(cut.start_score[0], 1000);
    EXPECT_EQ(cut.hardness[0], 0);
    EXPECT_EQ(cut.start_score[1], 0);
}

TEST(total_score, sums_only_scores_above_zero) {
    std::array<int32_t, 120> best{};
    best.fill(-1);
    best[0] = 500;
    best[1] = -1;
    best[2] = 0;
    best[3] = 120;
    EXPECT_EQ(sum_of_best_scores(best), 620);
    best.fill(-1);
    EXPECT_EQ(sum_of_best_scores(best), 0);
}

TEST(profile_names, safe_folder_names) {
    struct case_ {
        std::string name;
        bool safe;
    };
    const std::vector<case_> cases = {
        {"Ann", true},
        {"bob", true},
        {"x.y", true},
        {"...", true},
        {"a{b}", true},
        {"Z9_-'!", true},
        {"", false},
        {".", false},
        {"..", false},
        {"a/b", false},
        {"a\\b", false},
        {"c:", false},
        {"a*", false},
        {"who?", false},
        {"\"q\"", false},
        {"<x", false},
        {"x>", false},
        {"a|b", false},
        {std::string("a\0b", 3), false},
        {"tab\there", false},
        {std::string(255, 'a'), true},
        {std::string(256, 'a'), false},
    };
    for (const case_& c : cases) {
        EXPECT_EQ(is_safe_profile_name(c.name), c.safe) << '"' << c.name << '"';
    }
}

}  // namespace
