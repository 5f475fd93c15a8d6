// The picture and sound catalogue: every file the game reads at start-up, in load order.
//
// One table per kind drives loading; the globals themselves live in asset_globals. Nothing is
// tested: a missing file leaves its global null, which drawing and playing accept.
#include "app/assets.h"

#include "app/app_state.h"

namespace {

struct picture_entry {
    const char* path;
    platform::image* asset_globals::*global;
    // A strip of animation cells when cell_count > 0, else a single picture.
    int32_t cell_width;
    int32_t cell_height;
    int32_t cell_count;
};

// Load order matters only for when each file is read; the two play-button pictures follow
// the profiles screen's pictures.
constexpr picture_entry picture_table[] = {
    {"images\\btn_main_menu.png", &asset_globals::image_btn_main_menu, 0, 0, 0},
    {"images\\btn_exit.png", &asset_globals::image_btn_exit, 0, 0, 0},
    {"images\\btn_play_menu.png", &asset_globals::image_btn_play_menu, 0, 0, 0},
    {"images\\btn_profiles.png", &asset_globals::image_btn_profiles, 0, 0, 0},
    {"images\\btn_how_to_play.png", &asset_globals::image_btn_how_to_play, 0, 0, 0},
    {"images\\btn_credits.png", &asset_globals::image_btn_credits, 0, 0, 0},
    {"images\\btn_options.png", &asset_globals::image_btn_options, 0, 0, 0},
    {"images\\hint_line.png", &asset_globals::image_hint_line, 550, 20, 2},
    {"images\\main_menu.jpg", &asset_globals::image_main_menu, 0, 0, 0},
    {"images\\light.png", &asset_globals::image_light, 0, 0, 0},
    {"images\\background.jpg", &asset_globals::image_background, 0, 0, 0},
    {"images\\background_main.png", &asset_globals::image_background_main, 0, 0, 0},
    {"images\\laser.png", &asset_globals::image_laser, 35, 35, 8},
    {"images\\laser_lens.png", &asset_globals::image_laser_lens, 35, 35, 16},
    {"images\\colour_marks.png", &asset_globals::image_colour_marks, 13, 13, 7},
    {"images\\lamp.png", &asset_globals::image_lamp, 35, 35, 7},
    {"images\\wall.png", &asset_globals::image_wall, 0, 0, 0},
    {"images\\bomb.png", &asset_globals::image_bomb, 0, 0, 0},
    {"images\\translator.png", &asset_globals::image_translator, 35, 35, 8},
    {"images\\mirror.png", &asset_globals::image_mirror, 35, 35, 8},
    {"images\\mirror_big.png", &asset_globals::image_mirror_big, 0, 0, 0},
    {"images\\double_mirror.png", &asset_globals::image_double_mirror, 35, 35, 8},
    {"images\\double_mirror_big.png", &asset_globals::image_double_mirror_big, 0, 0, 0},
    {"images\\prism.png", &asset_globals::image_prism, 35, 35, 4},
    {"images\\prism_big.png", &asset_globals::image_prism_big, 0, 0, 0},
    {"images\\double_prism.png", &asset_globals::image_double_prism, 35, 35, 8},
    {"images\\double_prism_big.png", &asset_globals::image_double_prism_big, 0, 0, 0},
    {"images\\color_translator.png", &asset_globals::image_color_translator, 35, 35, 4},
    {"images\\translator_white.png", &asset_globals::image_translator_white, 0, 0, 0},
    {"images\\translator_red.png", &asset_globals::image_translator_red, 0, 0, 0},
    {"images\\translator_green.png", &asset_globals::image_translator_green, 0, 0, 0},
    {"images\\translator_blue.png", &asset_globals::image_translator_blue, 0, 0, 0},
    {"images\\btn_left.png", &asset_globals::image_btn_left, 0, 0, 0},
    {"images\\btn_left_active.png", &asset_globals::image_btn_left_active, 0, 0, 0},
    {"images\\btn_right.png", &asset_globals::image_btn_right, 0, 0, 0},
    {"images\\btn_right_active.png", &asset_globals::image_btn_right_active, 0, 0, 0},
    {"images\\message_window.png", &asset_globals::image_message_window, 0, 0, 0},
    {"images\\btn_galaxy_map.png", &asset_globals::image_btn_galaxy_map, 0, 0, 0},
    {"images\\btn_galaxy_map_active.png", &asset_globals::image_btn_galaxy_map_active, 0, 0, 0},
    {"images\\btn_next_level.png", &asset_globals::image_btn_next_level, 0, 0, 0},
    {"images\\btn_next_level_active.png", &asset_globals::image_btn_next_level_active, 0, 0, 0},
    {"images\\galaxy_map.jpg", &asset_globals::image_galaxy_map, 0, 0, 0},
    {"images\\popup_menu.png", &asset_globals::image_popup_menu, 0, 0, 0},
    {"images\\btn_cancel.png", &asset_globals::image_btn_cancel, 0, 0, 0},
    {"images\\btn_cancel_active.png", &asset_globals::image_btn_cancel_active, 0, 0, 0},
    {"images\\bomb_animation.jpg", &asset_globals::image_bomb_animation, 150, 150, 39},
    {"images\\translator_animation.jpg", &asset_globals::image_translator_animation, 128, 128, 20},
    {"images\\wall_animation.jpg", &asset_globals::image_wall_animation, 128, 128, 20},
    {"images\\lamp_fire.jpg", &asset_globals::image_lamp_fire, 150, 150, 68},
    {"images\\passed_level.jpg", &asset_globals::image_passed_level, 160, 160, 59},
    {"images\\profiles_back.png", &asset_globals::image_profiles_back, 0, 0, 0},
    {"images\\btn_profiles_create.png", &asset_globals::image_btn_profiles_create, 0, 0, 0},
    {"images\\btn_profiles_create_active.png", &asset_globals::image_btn_profiles_create_active, 0,
     0, 0},
    {"images\\btn_profiles_delete.png", &asset_globals::image_btn_profiles_delete, 0, 0, 0},
    {"images\\btn_profiles_delete_active.png", &asset_globals::image_btn_profiles_delete_active, 0,
     0, 0},
    {"images\\btn_profiles_ok.png", &asset_globals::image_btn_profiles_ok, 0, 0, 0},
    {"images\\btn_profiles_ok_active.png", &asset_globals::image_btn_profiles_ok_active, 0, 0, 0},
    {"images\\btn_play.png", &asset_globals::image_btn_play, 0, 0, 0},
    {"images\\btn_play_active.png", &asset_globals::image_btn_play_active, 0, 0, 0},
    {"images\\btn_new_galaxy.png", &asset_globals::image_btn_new_galaxy, 0, 0, 0},
    {"images\\btn_new_galaxy_active.png", &asset_globals::image_btn_new_galaxy_active, 0, 0, 0},
    {"images\\how_to_play.jpg", &asset_globals::image_how_to_play, 0, 0, 0},
    {"images\\logo.png", &asset_globals::image_logo, 0, 0, 0},
};

// The pictures drawn centred on their position (glows, sparks, explosions, markers), in the
// order their handles are moved.
constexpr platform::image* asset_globals::*centred_pictures[] = {
    &asset_globals::image_wall_animation,       &asset_globals::image_bomb_animation,
    &asset_globals::image_passed_level,         &asset_globals::image_light,
    &asset_globals::image_translator_animation, &asset_globals::image_lamp_fire,
};

struct sound_entry {
    const char* path;
    platform::sound* asset_globals::*global;
    int32_t flags;  // 1: loops when played
};

constexpr sound_entry sound_table[] = {
    {"Sounds\\povorot.wav", &asset_globals::sound_povorot, 0},
    {"Sounds\\lampon.ogg", &asset_globals::sound_lampon, 0},
    {"Sounds\\new1.ogg", &asset_globals::sound_new1, 0},
    {"Sounds\\explo.ogg", &asset_globals::sound_explo, 0},
    {"Sounds\\trans.ogg", &asset_globals::sound_trans, 0},
    {"Sounds\\aura1.ogg", &asset_globals::sound_aura1, 1},
    {"Sounds\\music2.ogg", &asset_globals::sound_music2, 1},
};

}  // namespace

void load_images() {
    // Decoding goes on all cores at once while the pictures are taken in order below.
    std::vector<std::string> paths;
    for (const picture_entry& entry : picture_table) paths.emplace_back(entry.path);
    platform::prefetch_pictures(paths, -1);
    for (const picture_entry& entry : picture_table) {
        // Flags -1: the automatic ones, masked and filtered.
        asset_vars.*entry.global =
            entry.cell_count > 0
                ? platform::load_anim_image(entry.path, entry.cell_width, entry.cell_height, 0,
                                            entry.cell_count, -1)
                : platform::load_image(entry.path, -1);
    }
    for (platform::image* asset_globals::*global : centred_pictures) {
        platform::mid_handle_image(asset_vars.*global);
    }
}

void load_sounds() {
    for (const sound_entry& entry : sound_table) {
        asset_vars.*entry.global = platform::load_sound(entry.path, entry.flags);
    }
    // The background music runs from start-up on; only the credits and quitting touch it.
    music_channel = platform::play_sound(sound_music2);
}
