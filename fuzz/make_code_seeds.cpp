// Seeds for the code harnesses: the level code of every level file named on the command line
// into LEVEL_DIR, and its code with the code of its stored solution into SOLUTION_DIR.
//
//   make_code_seeds LEVEL_DIR SOLUTION_DIR LEVEL_FILE...
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "play/level_code.h"
#include "play/level_format.h"

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fputs("usage: make_code_seeds LEVEL_DIR SOLUTION_DIR LEVEL_FILE...\n", stderr);
        return 2;
    }
    const std::filesystem::path level_dir = argv[1];
    const std::filesystem::path solution_dir = argv[2];
    for (int i = 3; i < argc; ++i) {
        std::ifstream in(argv[i], std::ios::binary);
        const std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)),
                                         std::istreambuf_iterator<char>());
        level_data level;
        if (!parse_level(bytes, level)) continue;
        const std::string name = std::filesystem::path(argv[i]).filename().string();
        const std::string code = encode_level_code(level);
        std::ofstream(level_dir / name) << code;
        std::ofstream(solution_dir / name)
            << code << '|' << encode_solution_code(level, level_solution_pieces(level));
    }
    return 0;
}
