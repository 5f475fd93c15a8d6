// The compact trace of the level tools, step by step as the game's trace: advance every beam,
// let the pieces act, stop the beams that meet head-on.
#include "sim.h"

#include "board/beam_rules.h"
#include "board/board_state.h"

namespace levels {

namespace {

struct beam {
    int x, y, colour, dir, entry_dir, active;
};

constexpr int beam_limit = 20 + cell_count;

bool on_board(int x, int y) { return x >= 0 && x < columns && y >= 0 && y < rows; }
int step_x(int dir) { return dir_column_step[size_t(dir)]; }
int step_y(int dir) { return dir_row_step[size_t(dir)]; }

}  // namespace

int piece_turn(int kind, int f, int dir, int* split) {
    // The game's own rules: a solid beam, so a bomb stops it.
    if (split) *split = kind == kind_double_prism ? double_prism_split_dir(f, dir) : -1;
    return piece_exit_dir(kind, f, dir, true);
}

bool lamp_lit(int lamp_colour, int mask) { return lamp_is_lit(lamp_colour, mask); }

fixed_level split_level(const level_grid& grid) {
    fixed_level out;
    for (int cell = 0; cell < cell_count; ++cell) {
        int32_t d = grid.code[cell];
        int k = d / 100, o = (d / 10) % 10, c = d % 10;
        sim_board& b = out.board;
        if (k >= kind_mirror) {
            out.stock[k] += 1;
            if (k == kind_double_prism) b.double_prism_slots += 1;
            out.solution.push_back({cell, k, k <= kind_double_prism ? o : 0});
            continue;
        }
        b.kind[cell] = int8_t(k);
        if (k == kind_laser || k == kind_translator) b.state[cell] = int8_t(o);
        if (k <= kind_lamp) b.colour[cell] = int8_t(c);
        if (k == kind_laser) b.laser_cells.push_back(int16_t(cell));
        if (k == kind_lamp) b.lamp_cells.push_back(int16_t(cell));
    }
    return out;
}

void sim_trace(const sim_board& b, uint32_t laser_on, bool want_entries, trace_result& out,
               std::string* signature) {
    beam beams[beam_limit];
    std::vector<std::string> sig;
    int count = int(b.laser_cells.size());
    // Bombs that went off this trace; the board itself stays untouched.
    int exploded_cell = -1;
    out.lamp_mask.fill(0);
    out.explosion_step = no_step;
    out.entries.clear();
    out.piece_visits.clear();
    out.lit_path = 0;
    for (int i = 0; i < count; ++i) {
        int cell = b.laser_cells[i];
        beams[i] = {cell_column(cell),       cell_row(cell), b.colour[cell], b.state[cell], 0,
                    int((laser_on >> i) & 1)};
    }
    if (signature) sig.assign(count, std::string());
    // Colour changes are kept apart from the turns: a sphere slid past a mirror along the same
    // route is the same idea.
    std::vector<std::string> colour_sig(signature ? size_t(beam_limit) : 0);
    int step = 0;
    for (;;) {
        ++step;
        int n = count;
        for (int i = 0; i < n; ++i) {
            beam& m = beams[i];
            if (m.active != 1) continue;
            m.x += step_x(m.dir);
            m.y += step_y(m.dir);
        }
        for (int i = 0; i < n; ++i) {
            beam& m = beams[i];
            if (!on_board(m.x, m.y)) {
                m.active = 0;
                continue;
            }
            if (m.active != 1) continue;
            int cell = cell_index(m.x, m.y);
            int k = b.kind[cell];
            if (cell == exploded_cell) k = 0;
            m.entry_dir = m.dir;
            out.lit_path += 1;
            if (want_entries && k == kind_empty && cell != exploded_cell)
                out.entries.push_back(
                    {step, int16_t(cell), int8_t(m.dir), int8_t(m.colour), int16_t(i)});
            if (want_entries && k >= kind_mirror)
                out.piece_visits.push_back(
                    {step, int16_t(cell), int8_t(m.dir), int8_t(m.colour), int16_t(i)});
            if (k == kind_laser) {
                m.active = 0;
                continue;
            }
            if (k == kind_lamp) {
                out.lamp_mask[cell] |= uint8_t(beam_colour_bit[size_t(m.colour)]);
                continue;
            }
            if (k == kind_bomb) {
                m.active = 0;
                if (out.explosion_step == no_step) {
                    out.explosion_step = step;
                    exploded_cell = cell;
                }
                continue;
            }
            if (cell == exploded_cell) {
                m.active = 0;
                continue;
            }
            if (k == kind_empty) continue;
            if (k == kind_wall) {
                m.active = 0;
                continue;
            }
            if (k >= kind_white_sphere) {
                if (signature && sphere_colour_of(k) != m.colour)
                    colour_sig[size_t(i)] += char('0' + sphere_colour_of(k));
                m.colour = sphere_colour_of(k);
                continue;
            }
            int split = -1;
            int in = m.dir;
            int d = piece_turn(k, b.state[cell], m.dir, &split);
            if (d < 0) {
                m.active = 0;
                if (signature && k >= kind_mirror) sig[i] += std::to_string(in) + "x";
                continue;
            }
            m.dir = d;
            if (signature && k >= kind_mirror && d != in)
                sig[i] += std::to_string(in) + ">" + std::to_string(d);
            if (split >= 0 && count < beam_limit) {
                beams[count] = {m.x, m.y, m.colour, split, m.entry_dir, 1};
                if (signature) {
                    sig[i] += "/";
                    sig.push_back(std::string("s") + std::to_string(split));
                }
                ++count;
            }
        }
        // Head-on meetings.
        for (int i = 0; i + 1 < count; ++i) {
            for (int j = i + 1; j < count; ++j) {
                beam& p = beams[i];
                beam& q = beams[j];
                if (p.x == q.x && p.y == q.y) {
                    if (!on_board(p.x, p.y)) continue;
                    if (p.entry_dir == (q.dir + 4) % 8 || p.dir == (q.entry_dir + 4) % 8) {
                        int k = b.kind[cell_index(p.x, p.y)];
                        if (cell_index(p.x, p.y) == exploded_cell) k = 0;
                        if (k == kind_translator) {
                            p.active = 0;
                            q.active = 0;
                        } else if ((p.active == 1 && q.active == 1) || k > kind_mirror) {
                            p.active = 0;
                            q.active = 0;
                        }
                    }
                } else if (p.active == 1 && q.active == 1 && p.x + step_x(p.dir) == q.x &&
                           p.y + step_y(p.dir) == q.y && p.dir == (q.dir + 4) % 8) {
                    p.active = 0;
                    q.active = 0;
                }
            }
        }
        bool any = false;
        for (int i = 0; i < count; ++i) any = any || beams[i].active == 1;
        if (!any) break;
    }
    out.beams = count;
    out.steps = step;
    bool all = true;
    for (int cell : b.lamp_cells) all = all && lamp_lit(b.colour[cell], out.lamp_mask[cell]);
    out.all_lit = all;
    if (signature) {
        signature->clear();
        for (size_t i = 0; i < sig.size(); ++i) {
            *signature += sig[i];
            if (!colour_sig[i].empty()) *signature += "c" + colour_sig[i];
            *signature += ';';
        }
    }
}

}  // namespace levels
