// The level checker as its users run it: JSON of one trace, refusals, and a folder verified.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <array>
#include <cstdio>
#include <filesystem>
#include <fstream>

#include "play/level_format.h"

namespace {

namespace fs = std::filesystem;

struct run_result {
    int status;
    std::string out;
};

// The output is the standard output only, or with the errors after it when `with_errors`.
run_result run(const std::string& arguments, bool with_errors = false) {
    const std::string command =
        std::string(LEVEL_CHECK_PATH) + " " + arguments + (with_errors ? " 2>&1" : " 2>/dev/null");
    FILE* pipe = popen(command.c_str(), "r");
    run_result r{-1, ""};
    if (!pipe) return r;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) r.out.append(buffer.data(), n);
    const int status = pclose(pipe);
    r.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return r;
}

class level_check_test : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::temp_directory_path() /
              ("level_check_test_" +
               std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "_" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    std::string write(const std::string& name,
                      std::initializer_list<std::tuple<int, int, int>> cells) {
        level_data level;
        level.text = "Test";
        for (const auto& [c, r, code] : cells)
            level.cells[static_cast<size_t>(c)][static_cast<size_t>(r)] = code;
        const std::vector<uint8_t> bytes = encode_level(level);
        const fs::path path = dir / name;
        std::ofstream(path, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()),
                   static_cast<std::streamsize>(bytes.size()));
        return path.string();
    }
    fs::path dir;
};

// A red laser at (2, 5) shining right; the solution's mirror at (6, 5) turns it up through a red
// lamp at (6, 2); a sphere of the solution at (10, 5); a bomb at (6, 1) above the lamp.
TEST_F(level_check_test, trace_prints_one_line_of_sorted_json) {
    const std::string file =
        write("level.001", {{2, 5, 121}, {6, 5, 670}, {6, 2, 201}, {10, 5, 1300}});
    EXPECT_EQ(run("trace " + file).out,
              "{\"beam_count\":1,\"beams\":[[19,5,1,2,2,0,1]],\"explosion\":null,"
              "\"lamps\":[[6,2,0,0]],\"spheres\":[],\"steps\":17}\n");
    EXPECT_EQ(run("trace " + file + " --with-solution").out,
              "{\"beam_count\":1,\"beams\":[[6,-1,1,0,0,0,1]],\"explosion\":null,"
              "\"lamps\":[[6,2,8,1]],\"spheres\":[[10,5,0]],\"steps\":10}\n");
    // Held at orientation 5 the mirror sends the beam down, dashed.
    EXPECT_EQ(run("trace " + file + " --with-solution --turn 6,5,5").out,
              "{\"beam_count\":1,\"beams\":[[6,14,1,4,4,0,0]],\"explosion\":null,"
              "\"lamps\":[[6,2,0,0]],\"spheres\":[[10,5,0]],\"steps\":13}\n");
    EXPECT_EQ(run("trace " + file + " --off 0").out,
              "{\"beam_count\":1,\"beams\":[[2,5,1,2,0,0,1]],\"explosion\":null,"
              "\"lamps\":[[6,2,0,0]],\"spheres\":[],\"steps\":1}\n");
    const std::string bomb =
        write("level.002", {{2, 5, 121}, {6, 5, 670}, {6, 2, 201}, {6, 1, 300}});
    EXPECT_EQ(run("trace " + bomb + " --with-solution").out,
              "{\"beam_count\":1,\"beams\":[[6,1,1,0,0,0,1]],\"explosion\":[6,1],"
              "\"lamps\":[[6,2,8,1]],\"spheres\":[],\"steps\":8}\n");
}

TEST_F(level_check_test, trace_refuses_what_names_nothing) {
    const std::string file = write("level.001", {{2, 5, 121}, {6, 5, 670}});
    EXPECT_EQ(run("trace " + file + " --turn 6,5,5").status, 2);  // no piece placed there
    EXPECT_EQ(run("trace " + file + " --with-solution --turn 7,5,5").status, 2);
    EXPECT_EQ(run("trace " + file + " --with-solution --turn 6,5,5").status, 0);
    EXPECT_EQ(run("trace " + file + " --off 1").status, 2);
    EXPECT_EQ(run("trace " + write("level.002", {{2, 5, 1400}})).status, 2);
    EXPECT_EQ(run("trace " + (dir / "level.404").string()).status, 2);
}

TEST_F(level_check_test, verify_checks_every_level_of_a_folder) {
    write("level.001", {{2, 5, 121}, {6, 5, 670}, {6, 2, 201}});
    EXPECT_EQ(run("verify " + dir.string()).status, 0);
    write("level.002", {{2, 5, 121}, {10, 5, 201}});                           // lit already
    write("level.003", {{2, 5, 121}, {6, 5, 670}, {6, 2, 201}, {6, 1, 300}});  // bomb
    write("level.004", {{2, 5, 121}, {6, 5, 660}, {6, 2, 201}});               // misses the lamp
    const run_result r = run("verify " + dir.string());
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out,
              "level.001 ok\n"
              "level.002 FAIL: every lamp is lit without any piece placed\n"
              "level.003 FAIL: the stored solution sets off a bomb\n"
              "level.004 FAIL: the stored solution lights 0 of 1 lamps\n"
              "4 levels, 3 failed\n");
}

TEST_F(level_check_test, encode_and_decode_carry_a_level_through_its_code) {
    const std::string file = write("level.001", {{2, 5, 121}, {6, 5, 675}, {6, 2, 241}});
    const run_result encoded = run("encode " + file);
    ASSERT_EQ(encoded.status, 0);
    ASSERT_EQ(encoded.out.substr(0, 4), "BW1-");
    ASSERT_EQ(encoded.out.back(), '\n');
    const std::string code = encoded.out.substr(0, encoded.out.size() - 1);

    const fs::path out = dir / "level.002";
    ASSERT_EQ(run("decode " + code + " " + out.string()).status, 0);
    const auto read = [](const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(read(out), read(file));
    EXPECT_EQ(run("verify " + dir.string()).status, 0);

    // From the standard input, broken over lines as a mail program would.
    const fs::path piped = dir / "piped.lvl";
    const fs::path mail = dir / "mail.txt";
    std::ofstream(mail) << "  " << code.substr(0, 9) << "\r\n" << code.substr(9) << "\n\n";
    ASSERT_EQ(run("decode - " + piped.string() + " < " + mail.string()).status, 0);
    EXPECT_EQ(read(piped), read(file));

    // A damaged code: exit 2, the reason, and no file.
    std::string damaged = code;
    damaged[10] = damaged[10] == 'A' ? 'B' : 'A';
    const fs::path refused = dir / "refused.lvl";
    const run_result r = run("decode " + damaged + " " + refused.string(), true);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "level_check: This level code is damaged or incomplete.\n");
    EXPECT_FALSE(fs::exists(refused));
    EXPECT_EQ(run("decode BW3-AAAA " + refused.string(), true).out,
              "level_check: This level code needs a newer Beamworks.\n");
    EXPECT_EQ(run("decode " + code).status, 2);
    EXPECT_EQ(run("encode " + (dir / "level.404").string()).status, 2);
}

}  // namespace
