// Level and solution codes: the compact byte forms, their checksum and the base64url text.
#include "play/level_code.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <cstddef>
#include <optional>

#include "board/piece_kinds.h"

namespace {

constexpr int32_t code_cell_count = board_columns * board_rows;
constexpr char base64url_digits[] =
    "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789-_";

uint32_t crc32_of(const std::vector<uint8_t>& bytes, size_t count) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < count; ++i) {
        crc ^= bytes[i];
        for (int32_t bit = 0; bit < 8; ++bit) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

void put_u32(std::vector<uint8_t>& bytes, uint32_t v) {
    for (int32_t b = 0; b < 4; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
}

uint32_t get_u32(const std::vector<uint8_t>& bytes, size_t at) {
    uint32_t v = 0;
    for (size_t b = 0; b < 4; ++b) v |= static_cast<uint32_t>(bytes[at + b]) << (8 * b);
    return v;
}

// Seven bits a byte, low bits first; the top bit says another byte follows.
void put_varint(std::vector<uint8_t>& bytes, uint32_t v) {
    while (v >= 0x80) {
        bytes.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    bytes.push_back(static_cast<uint8_t>(v));
}

// At most three bytes (values below 2^21, far above any cell code the game knows); a longer or
// unfinished number is damage.
std::optional<uint32_t> get_varint(const std::vector<uint8_t>& bytes, size_t& at, size_t end) {
    uint32_t v = 0;
    for (int32_t shift = 0; shift < 21; shift += 7) {
        if (at >= end) return std::nullopt;
        const uint8_t b = bytes[at++];
        v |= static_cast<uint32_t>(b & 0x7F) << shift;
        if ((b & 0x80) == 0) return v;
    }
    return std::nullopt;
}

std::string to_base64url(const std::vector<uint8_t>& bytes) {
    std::string text;
    uint32_t acc = 0;
    int32_t bits = 0;
    for (uint8_t b : bytes) {
        acc = (acc << 8) | b;
        bits += 8;
        while (bits >= 6) {
            bits -= 6;
            text.push_back(base64url_digits[(acc >> bits) & 63]);
        }
    }
    if (bits > 0) text.push_back(base64url_digits[(acc << (6 - bits)) & 63]);
    return text;
}

int32_t base64url_value(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '-') return 62;
    if (c == '_') return 63;
    return -1;
}

// Only the form to_base64url writes: the bits left over after the last whole byte are zero.
bool from_base64url(std::string_view text, std::vector<uint8_t>& out) {
    out.clear();
    uint32_t acc = 0;
    int32_t bits = 0;
    for (char c : text) {
        const int32_t v = base64url_value(c);
        if (v < 0) return false;
        acc = ((acc << 6) | static_cast<uint32_t>(v)) & 0xFFFFu;
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out.push_back(static_cast<uint8_t>(acc >> bits));
        }
    }
    return bits < 6 && (acc & ((1u << bits) - 1)) == 0;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f'; }

bool fail(std::string* why, const char* reason) {
    if (why) *why = reason;
    return false;
}

// The kinds of text a pasted code can be, told apart by its prefix.
enum class code_prefix { level, solution, newer_level, newer_solution, foreign };

// Reads the prefix ("BW" or "BWS", a version number, "-") off the blank-free text and leaves
// the rest in `body`.
code_prefix read_prefix(const std::string& text, std::string& body) {
    size_t at = 0;
    const auto upper = [&](size_t i) {
        return static_cast<char>(std::toupper(static_cast<unsigned char>(text[i])));
    };
    if (text.size() < 2 || upper(0) != 'B' || upper(1) != 'W') return code_prefix::foreign;
    at = 2;
    const bool solution = at < text.size() && upper(at) == 'S';
    if (solution) ++at;
    const size_t digits_start = at;
    uint32_t version = 0;
    while (at < text.size() && std::isdigit(static_cast<unsigned char>(text[at])) &&
           at - digits_start < 6) {
        version = version * 10 + static_cast<uint32_t>(text[at] - '0');
        ++at;
    }
    if (at == digits_start || at >= text.size() || text[at] != '-' || version == 0)
        return code_prefix::foreign;
    body = text.substr(at + 1);
    if (version > 1) return solution ? code_prefix::newer_solution : code_prefix::newer_level;
    return solution ? code_prefix::solution : code_prefix::level;
}

// The bytes under a code of the wanted kind, with their checksum verified and removed.
bool open_code(std::string_view code, bool want_solution, std::vector<uint8_t>& payload,
               std::string* why) {
    std::string text;
    for (char c : code)
        if (!is_blank(c)) text.push_back(c);
    if (text.empty())
        return fail(why, want_solution ? "There is no solution code to read."
                                       : "There is no level code to read.");
    std::string body;
    switch (read_prefix(text, body)) {
        case code_prefix::foreign:
            return fail(why, want_solution ? "This is not a Beamworks solution code."
                                           : "This is not a Beamworks level code.");
        case code_prefix::newer_level:
            return fail(why, want_solution ? "This is a level code, not a solution code."
                                           : "This level code needs a newer Beamworks.");
        case code_prefix::newer_solution:
            return fail(why, want_solution ? "This solution code needs a newer Beamworks."
                                           : "This is a solution code, not a level code.");
        case code_prefix::level:
            if (want_solution) return fail(why, "This is a level code, not a solution code.");
            break;
        case code_prefix::solution:
            if (!want_solution) return fail(why, "This is a solution code, not a level code.");
            break;
    }
    const char* damaged = want_solution ? "This solution code is damaged or incomplete."
                                        : "This level code is damaged or incomplete.";
    if (!from_base64url(body, payload) || payload.size() < 4) return fail(why, damaged);
    const size_t size = payload.size() - 4;
    if (crc32_of(payload, size) != get_u32(payload, size)) return fail(why, damaged);
    payload.resize(size);
    return true;
}

std::string close_code(std::string_view prefix, std::vector<uint8_t> payload) {
    put_u32(payload, crc32_of(payload, payload.size()));
    return std::string(prefix) + to_base64url(payload);
}

int32_t cell_code(const level_data& level, int32_t index) {
    return level
        .cells[static_cast<size_t>(index / board_rows)][static_cast<size_t>(index % board_rows)];
}

bool is_fixed_code(int32_t code) {
    const int32_t kind = level_cell_kind(code);
    return is_piece(kind) && !is_movable(kind);
}

std::array<int32_t, piece_kind_count> stock_of(const level_data& level) {
    std::array<int32_t, piece_kind_count> stock{};
    for (int32_t i = 0; i < code_cell_count; ++i) {
        const int32_t kind = level_cell_kind(cell_code(level, i));
        if (is_movable(kind)) ++stock[static_cast<size_t>(kind)];
    }
    return stock;
}

constexpr int32_t piece_number(const placed_piece& p) {
    return (p.column * board_rows + p.row) * 64 + (p.kind - kind_mirror) * 8 + p.orientation;
}

bool piece_in_model(const placed_piece& p) {
    return p.column >= 0 && p.column < board_columns && p.row >= 0 && p.row < board_rows &&
           is_movable(p.kind) && p.orientation >= 0 && p.orientation < 8;
}

}  // namespace

std::string encode_level_code(const level_data& level) {
    std::vector<uint8_t> payload;
    const size_t length = std::min<size_t>(level.text.size(), 255);
    payload.push_back(static_cast<uint8_t>(length));
    for (size_t i = 0; i < length; ++i) payload.push_back(static_cast<uint8_t>(level.text[i]));
    int32_t last = -1;
    for (int32_t i = 0; i < code_cell_count; ++i) {
        const int32_t code = cell_code(level, i);
        if (code == 0) continue;
        put_varint(payload, static_cast<uint32_t>(i - last - 1));
        put_varint(payload, static_cast<uint32_t>(code));
        last = i;
    }
    return close_code(level_code_prefix, std::move(payload));
}

bool decode_level_code(std::string_view code, level_data& out, std::string* why) {
    std::vector<uint8_t> payload;
    if (!open_code(code, false, payload, why)) return false;
    const char* damaged = "This level code is damaged or incomplete.";
    const size_t length = payload[0];
    if (1 + length > payload.size()) return fail(why, damaged);
    out = level_data{};
    out.text.assign(payload.begin() + 1, payload.begin() + static_cast<std::ptrdiff_t>(1 + length));
    size_t at = 1 + length;
    int32_t last = -1;
    while (at < payload.size()) {
        const auto gap = get_varint(payload, at, payload.size());
        if (!gap) return fail(why, damaged);
        const auto value = get_varint(payload, at, payload.size());
        if (!value || *value == 0 || *gap >= static_cast<uint32_t>(code_cell_count))
            return fail(why, damaged);
        const int32_t index = last + 1 + static_cast<int32_t>(*gap);
        if (index >= code_cell_count) return fail(why, damaged);
        out.cells[static_cast<size_t>(index / board_rows)]
                 [static_cast<size_t>(index % board_rows)] = static_cast<int32_t>(*value);
        last = index;
    }
    std::string fault = level_model_fault(out);
    if (fault.empty()) return true;
    if (why) *why = "This level code holds a level the game cannot play: " + fault + ".";
    return false;
}

uint32_t level_board_key(const level_data& level) {
    // FNV-1a over the fixed cells' codes (0 for every other cell), then the stock of kinds 6 to 13.
    uint32_t hash = 2166136261u;
    const auto mix = [&](int32_t v) {
        for (int32_t b = 0; b < 4; ++b) {
            hash ^= (static_cast<uint32_t>(v) >> (8 * b)) & 0xFFu;
            hash *= 16777619u;
        }
    };
    for (int32_t i = 0; i < code_cell_count; ++i) {
        const int32_t code = cell_code(level, i);
        mix(is_fixed_code(code) ? code : 0);
    }
    const auto stock = stock_of(level);
    for (int32_t kind = kind_mirror; kind < piece_kind_count; ++kind)
        mix(stock[static_cast<size_t>(kind)]);
    return hash;
}

std::vector<placed_piece> level_solution_pieces(const level_data& level) {
    std::vector<placed_piece> pieces;
    for (int32_t i = 0; i < code_cell_count; ++i) {
        const int32_t code = cell_code(level, i);
        const int32_t kind = level_cell_kind(code);
        if (!is_movable(kind)) continue;
        // A sphere does not turn: the orientation digit of its cell code means nothing.
        const int32_t orientation = is_turnable(kind) ? level_cell_orientation(code) : 0;
        pieces.push_back({i / board_rows, i % board_rows, kind, orientation});
    }
    return pieces;
}

std::string encode_solution_code(const level_data& level, const std::vector<placed_piece>& pieces) {
    std::vector<placed_piece> kept;
    for (placed_piece p : pieces) {
        if (!piece_in_model(p)) continue;
        // On the board a sphere's state is its glow, not an orientation.
        if (!is_turnable(p.kind)) p.orientation = 0;
        kept.push_back(p);
    }
    std::sort(kept.begin(), kept.end(), [](const placed_piece& a, const placed_piece& b) {
        return piece_number(a) < piece_number(b);
    });
    std::vector<uint8_t> payload;
    put_u32(payload, level_board_key(level));
    for (const placed_piece& p : kept) {
        const int32_t number = piece_number(p);
        payload.push_back(static_cast<uint8_t>(number >> 8));
        payload.push_back(static_cast<uint8_t>(number & 0xFF));
    }
    return close_code(solution_code_prefix, std::move(payload));
}

bool decode_solution_code(std::string_view code, const level_data& level,
                          std::vector<placed_piece>& out, std::string* why) {
    std::vector<uint8_t> payload;
    if (!open_code(code, true, payload, why)) return false;
    const char* damaged = "This solution code is damaged or incomplete.";
    if (payload.size() < 4 || payload.size() % 2 != 0) return fail(why, damaged);
    if (get_u32(payload, 0) != level_board_key(level))
        return fail(why, "This solution is for another level.");
    out.clear();
    auto stock = stock_of(level);
    std::array<bool, code_cell_count> taken{};
    for (size_t at = 4; at < payload.size(); at += 2) {
        const int32_t number = payload[at] << 8 | payload[at + 1];
        const int32_t cell = number / 64;
        placed_piece p{cell / board_rows, cell % board_rows, kind_mirror + (number / 8) % 8,
                       number % 8};
        const auto slot = static_cast<size_t>(cell);
        if (cell >= code_cell_count || taken[slot] || is_fixed_code(cell_code(level, cell)) ||
            (!is_turnable(p.kind) && p.orientation != 0) || stock[static_cast<size_t>(p.kind)] <= 0)
            return fail(why, "This solution code does not fit this level.");
        taken[slot] = true;
        --stock[static_cast<size_t>(p.kind)];
        out.push_back(p);
    }
    return true;
}
