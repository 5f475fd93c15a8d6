// The settings file on disk and handing the settings to the platform.
#include "app/settings.h"

#include "platform/platform.h"

namespace {

const std::string settings_path = "users\\settings.txt";

}  // namespace

void load_settings() {
    std::vector<uint8_t> bytes;
    if (!platform::read_file(settings_path, bytes)) bytes.clear();
    settings = decode_settings(bytes);
    saved_settings = settings;
}

namespace {

void take_window_placement() {
    const platform::window_placement placement = platform::current_window_placement();
    settings.full_screen = placement.full_screen ? 1 : 0;
    if (placement.known) {
        settings.window_placed = 1;
        settings.window_x = placement.x;
        settings.window_y = placement.y;
        settings.window_width = placement.width;
        settings.window_height = placement.height;
    }
}

}  // namespace

bool save_settings() {
    take_window_placement();
    if (platform::file_type("users") != 2 && !platform::create_dir("users", false)) return false;
    if (!platform::write_file_atomic(settings_path, encode_settings(settings))) return false;
    saved_settings = settings;
    return true;
}

bool save_settings_if_changed() {
    take_window_placement();
    return settings == saved_settings || save_settings();
}

void apply_settings() {
    platform::set_volumes(settings.music_volume, settings.sound_volume);
    platform::place_window({settings.window_placed == 1, settings.window_x, settings.window_y,
                            settings.window_width, settings.window_height,
                            settings.full_screen == 1});
}
