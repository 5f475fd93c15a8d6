// The players' files on disk: the list of players, each player's progress, the level table.
//
// Every file is read whole and written whole through the platform's atomic write (a temporary
// file in the same folder renamed over the old one), so a crash or a full disk in the middle
// of a save leaves the previous file as it was. The byte layouts live in progress_format.
#include "profiles/profile_store.h"

#include <algorithm>
#include <vector>

#include "platform/platform.h"
#include "profiles/message_window.h"
#include "profiles/profiles_state.h"
#include "profiles/progress_format.h"

namespace {

const std::string users_folder = "users";
const std::string list_path = "users\\profiles.dat";
const std::string level_table_path = "levels\\level_info.all";
// The players' files and the level table are at most a few kilobytes; anything much larger is
// damage (a sparse file of gigabytes reads as zeros) and is read as missing, not into memory.
constexpr size_t profile_file_max_bytes = size_t{1} << 20;

std::string profile_folder(const std::string& name) { return users_folder + "\\" + name; }
std::string level_score_path(const std::string& name) {
    return profile_folder(name) + "\\level_score.all";
}
std::string pack_access_path(const std::string& name) {
    return profile_folder(name) + "\\pack_access.all";
}
std::string solution_path(const std::string& name) {
    return profile_folder(name) + "\\solution.all";
}

bool ensure_folder(const std::string& path) {
    int32_t type = platform::file_type(path);
    if (type == 2) return true;
    if (type != 0) return false;
    return platform::create_dir(path, false) && platform::file_type(path) == 2;
}

// Empty when the file is missing: every reader below treats that as "nothing stored".
std::vector<uint8_t> read_whole(const std::string& path) {
    std::vector<uint8_t> bytes;
    if (!platform::read_file(path, bytes, profile_file_max_bytes)) bytes.clear();
    return bytes;
}

// True when the folder of `name` is on disk the very folder of a listed player other than the
// one at `own_index` (-1: a player not yet listed). A file system that ignores letter case (or
// a path lookup that does) would otherwise let "bob" overwrite or delete the progress of
// "Bob"; so would a name listed twice in a hand-edited list.
bool folder_shared_with_other_player(const std::string& name, int32_t own_index) {
    const std::string own = platform::resolve_path(profile_folder(name));
    for (int32_t i = 0; i < profile_count; ++i) {
        const std::string& other = profile_names[size_t(i)];
        if (i == own_index || !is_safe_profile_name(other)) continue;
        if (platform::resolve_path(profile_folder(other)) == own) return true;
    }
    return false;
}

bool write_progress_files(const std::string& name, const player_progress& progress) {
    // Each file is attempted even when an earlier one failed: what can be kept is kept.
    bool ok = platform::write_file_atomic(level_score_path(name), encode_level_scores(progress));
    ok = platform::write_file_atomic(pack_access_path(name), encode_pack_access(progress)) && ok;
    ok = platform::write_file_atomic(solution_path(name), encode_solution_costs(progress)) && ok;
    return ok;
}

std::span<const std::string> listed_names() {
    return std::span<const std::string>(profile_names.data(), size_t(profile_count));
}

bool holds_progress(const std::string& name) {
    return platform::file_type(level_score_path(name)) == 1 ||
           platform::file_type(pack_access_path(name)) == 1 ||
           platform::file_type(solution_path(name)) == 1;
}

// A damaged list must hide no one: the players whose folders hold progress but whose names the
// list lost are listed again after the names it kept, in byte order, up to the list's ten.
void list_players_found_on_disk(std::vector<std::string>& names) {
    for (const std::string& folder : platform::list_folders(users_folder)) {
        if (names.size() >= size_t(max_profiles)) break;
        if (!is_safe_profile_name(folder) || folder.size() > 255) continue;
        if (std::find(names.begin(), names.end(), folder) != names.end()) continue;
        if (holds_progress(folder)) names.push_back(folder);
    }
}

// A new player's files, but only where the folder holds none: a name typed again after a
// damaged list lost it is the same player coming back, whose progress must not be overwritten.
bool write_missing_progress_files(const std::string& name) {
    const player_progress fresh = new_player_progress();
    bool ok = true;
    if (platform::file_type(level_score_path(name)) != 1) {
        ok = platform::write_file_atomic(level_score_path(name), encode_level_scores(fresh)) && ok;
    }
    if (platform::file_type(pack_access_path(name)) != 1) {
        ok = platform::write_file_atomic(pack_access_path(name), encode_pack_access(fresh)) && ok;
    }
    if (platform::file_type(solution_path(name)) != 1) {
        ok = platform::write_file_atomic(solution_path(name), encode_solution_costs(fresh)) && ok;
    }
    return ok;
}

void refuse_creation() { raise_notice(text_player_not_created, notice_then_nothing); }

}  // namespace

void load_profile_list() {
    const std::vector<uint8_t> bytes = read_whole(list_path);
    std::vector<std::string> names = decode_profile_list(bytes);
    if (!profile_list_intact(bytes)) list_players_found_on_disk(names);
    profile_names.fill(std::string());
    std::copy(names.begin(), names.end(), profile_names.begin());
    profile_count = int32_t(names.size());
}

bool save_profile_list() {
    if (!ensure_folder(users_folder)) return false;
    return platform::write_file_atomic(list_path, encode_profile_list(listed_names()));
}

void create_profile(const std::string& name) {
    if (profile_count >= max_profiles) {
        raise_notice("You cann't create more than 10 players", notice_then_nothing);
        return;
    }
    // Refused silently, like the game's own duplicate check: an empty or exact duplicate name,
    // or one that is not a plain folder name and so could reach outside "users".
    if (!is_safe_profile_name(name)) return;
    for (const std::string& existing : listed_names()) {
        if (existing == name) return;
    }
    // Taken by another player on a file system that ignores letter case: refused silently,
    // as an exact duplicate is.
    if (platform::file_type(users_folder) == 2 && folder_shared_with_other_player(name, -1)) {
        return;
    }
    // From here on a refusal comes from the disk (no writable folder, a full disk, "users" not
    // a folder), and the player is told: otherwise the profiles screen would just sit there.
    if (!ensure_folder(users_folder)) {
        refuse_creation();
        return;
    }

    const std::string folder = profile_folder(name);
    const bool made_folder = platform::file_type(folder) == 0;
    if (!ensure_folder(folder)) {
        refuse_creation();
        return;
    }
    if (!write_missing_progress_files(name)) {
        if (made_folder) platform::delete_dir(folder, true);
        refuse_creation();
        return;
    }

    profile_names[size_t(profile_count)] = name;
    ++profile_count;
    if (!save_profile_list()) {
        // The list on disk does not know this player: do not show one it would forget.
        --profile_count;
        profile_names[size_t(profile_count)].clear();
        if (made_folder) platform::delete_dir(folder, true);
        refuse_creation();
    }
}

void delete_profile(int32_t index) {
    if (index < 0 || index >= profile_count) return;
    const std::string name = profile_names[size_t(index)];
    const bool own_folder =
        is_safe_profile_name(name) && !folder_shared_with_other_player(name, index);

    std::copy(profile_names.begin() + index + 1, profile_names.begin() + profile_count,
              profile_names.begin() + index);
    --profile_count;
    profile_names[size_t(profile_count)].clear();

    if (!save_profile_list()) {
        // The list could not be rewritten: keep the player, folder and all, rather than leave
        // a listed player without files.
        std::copy_backward(profile_names.begin() + index, profile_names.begin() + profile_count,
                           profile_names.begin() + profile_count + 1);
        profile_names[size_t(index)] = name;
        ++profile_count;
        raise_notice(text_player_not_deleted, notice_then_nothing);
        return;
    }
    // A name such as ".." or "a/b" (possible only in a hand-edited list) leaves the disk alone.
    if (own_folder && platform::file_type(profile_folder(name)) == 2) {
        platform::delete_dir(profile_folder(name), true);
    }
}

void load_progress() {
    const level_table table = decode_level_table(read_whole(level_table_path));
    level_start_score = table.start_score;
    level_hardness = table.hardness;

    // Whatever is missing or cut short reads as a new player's progress.
    player_progress progress = new_player_progress();
    if (current_profile >= 0 && current_profile < profile_count) {
        const std::string& name = profile_names[size_t(current_profile)];
        if (is_safe_profile_name(name)) {
            decode_level_scores(read_whole(level_score_path(name)), progress);
            decode_pack_access(read_whole(pack_access_path(name)), progress);
            decode_solution_costs(read_whole(solution_path(name)), progress);
        }
    }
    level_best_score = progress.best_score;
    level_time = progress.time;
    level_solution_cost = progress.solution_cost;
    pack_access = progress.pack_access;
    compute_total_score();
}

bool save_progress() {
    compute_total_score();
    if (current_profile < 0 || current_profile >= profile_count) return false;
    const std::string& name = profile_names[size_t(current_profile)];
    if (!is_safe_profile_name(name)) return false;
    // The folder may have been removed while the game ran; the progress is worth recreating it.
    if (!ensure_folder(users_folder) || !ensure_folder(profile_folder(name))) return false;

    player_progress progress;
    progress.best_score = level_best_score;
    progress.time = level_time;
    progress.solution_cost = level_solution_cost;
    progress.pack_access = pack_access;
    return write_progress_files(name, progress);
}

void compute_total_score() { total_score = sum_of_best_scores(level_best_score); }
