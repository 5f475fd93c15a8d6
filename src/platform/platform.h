// The game's only window on the machine: drawing, input, sound, time, files and strings.
//
// Everything here is in the game's own words. No SDL type, file descriptor or clock of the
// operating system leaves this layer. Two backends stand behind it: a real window with an
// audio device, and a headless one (memory surface, virtual clock, scripted input, sound log)
// that tests and tools use. The game never knows which one runs.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// ---- Objects -------------------------------------------------------------------------------
// Opaque records owned by the platform. A null pointer is "no object": loading failed. Every
// operation accepts a null pointer and then does nothing (drawing no image draws nothing,
// playing no sound plays nothing and returns channel 0).
struct image;
struct sound;
struct stream;
struct pixmap;

// A playing instance of a sound. 0 is "no channel"; stopping it does nothing.
using channel = int32_t;

// ---- Start and end -------------------------------------------------------------------------
// The game folder is where content is read from and where "users" and "screens" live.
// Game paths ("images\laser.png") are resolved against it; see resolve_path.
void init_window(const std::string& game_dir);
// Headless: no display, no sound device, virtual clock starting at 0, fixed random seed.
void init_headless(const std::string& game_dir);
// Releases everything; afterwards init_* may be called again (tests do so between cases).
void shutdown();
bool is_headless();
// Where "users" and "screens" live; the game folder unless set (a read-only install keeps
// its players elsewhere).
void set_data_dir(const std::string& dir);
// The folder for "users" and "screens": the game folder when the player can write there, else
// $XDG_DATA_HOME/beamworks (or ~/.local/share/beamworks). An installed game (its content in the
// system's data folder, shared by every player) always uses the player's own folder. Makes
// "users" and "screens" in it.
std::string choose_data_dir(const std::string& game_dir, bool installed = false);
// When the data folder has no list of players yet, copies the list and players' folders of
// from_dir's "users" into to_dir's; afterwards the players live there.
void copy_players_once(const std::string& from_dir, const std::string& to_dir);
// The rule alone: the environment's XDG_DATA_HOME and HOME are passed in (null when unset).
std::string data_dir_rule(const std::string& game_dir, bool game_dir_writable,
                          const char* xdg_data_home, const char* home);

// Ends the process with exit code 0. In the headless backend it throws program_ended instead,
// so that a test or the replay tool can see the game quit and carry on.
struct program_ended {};
[[noreturn]] void end_program();

// ---- Display and drawing -------------------------------------------------------------------
// Opens the 800 by 600 logical display (letterboxed in a resizable window), resets the
// drawing state to its defaults, clears and presents twice.
void open_graphics(int32_t width, int32_t height, int32_t depth, int32_t hz, int32_t flags);
void close_graphics();

// Where the window is: its place and size when not full screen (known is false without a
// window, as in the headless backend), and whether it is full screen.
struct window_placement {
    bool known = false;
    int32_t x = 0;
    int32_t y = 0;
    int32_t width = 800;
    int32_t height = 600;
    bool full_screen = false;
};
window_placement current_window_placement();
// Puts the window there: a size below 400 by 300 grows to it, a place on no display is left
// to the desktop; then full screen or not. Also sets the window's smallest size, 400 by 300.
// Headless: only the full-screen choice is kept.
void place_window(const window_placement& placement);
// Full screen fills the display (letterboxed). Where the desktop does not honour the request
// (no window manager), the window instead becomes a borderless one covering the display.
void set_full_screen(bool on);
bool full_screen();
void cls();
// Presents the back buffer. sync -1: paced at 85 presents a second in software, never by a
// vsync wait (a 60 Hz display must not stretch the game's 20 ms passes).
void flip(int32_t sync);

void set_color(int32_t r, int32_t g, int32_t b);
void set_alpha(float a);
// 1 mask (alpha below 0.5 not drawn, no blending), 2 solid, 3 alpha, 4 light (additive with
// source alpha), 5 shade (multiply).
void set_blend(int32_t mode);
void set_rotation(float degrees);

void draw_image(const image* img, float x, float y, int32_t frame);
void draw_line(float x1, float y1, float x2, float y2, bool draw_last_pixel);
void plot(float x, float y);
// Text in the built-in font (compiled into the program), top-left corner at (x, y).
void draw_text(std::string_view text, float x, float y);

void mid_handle_image(image* img);
int32_t image_width(const image* img);  // of one frame; 0 for no image
int32_t image_height(const image* img);
int32_t image_frames(const image* img);

pixmap* grab_pixmap(int32_t x, int32_t y, int32_t width, int32_t height);
// Returns false when the file could not be written (the game ignores it).
bool save_pixmap_png(const pixmap* pm, const std::string& path, int32_t compression);
void free_pixmap(pixmap* pm);

// ---- Images and sounds ---------------------------------------------------------------------
// flags -1 mean 3: bit 1 masked (black made transparent in pictures without alpha), bit 2
// filtered (bilinear).
// A picture over 16384 pixels on a side or 256 MiB decoded, or a sound over 10 minutes, is
// treated as missing, checked before anything is allocated; so is one that does not fit in
// memory.
image* load_image(const std::string& path, int32_t flags);
image* load_anim_image(const std::string& path, int32_t cell_width, int32_t cell_height,
                       int32_t first_cell, int32_t cell_count, int32_t flags);
// Starts reading and decoding these pictures on every core; load_image and load_anim_image
// of one of them with the same flags then take its result (waiting for it, or decoding it
// there and then if no core has started on it) instead of decoding it again.
void prefetch_pictures(const std::vector<std::string>& paths, int32_t flags);
// flags 1: the sound loops when played.
sound* load_sound(const std::string& path, int32_t flags);
channel play_sound(const sound* snd);
void stop_channel(channel ch);
bool channel_playing(channel ch);
// Loudness in percent (0 to 100, clamped) of the music (sounds loaded to loop) and of every
// other sound, for channels playing now and later. Both 100 until set.
void set_volumes(int32_t music_percent, int32_t sound_percent);

// ---- Input ---------------------------------------------------------------------------------
// Mouse position in display pixels, mapped through the window's scaling and letterboxing.
int32_t mouse_x();
int32_t mouse_y();
// Presses since the previous call for that button (1 left, 2 right); reading resets it.
int32_t mouse_hit(int32_t button);
int32_t mouse_down(int32_t button);
// Key codes: 13 Enter, 32 space, 8 backspace, 27 Escape; letters and digits by their ASCII
// code (lower case letters); the keys without a character by the codes below.
constexpr int32_t key_f1 = 301;
constexpr int32_t key_ctrl = 302;  // either Ctrl key
constexpr int32_t key_arrow_up = 303;
constexpr int32_t key_arrow_down = 304;
constexpr int32_t key_arrow_left = 305;
constexpr int32_t key_arrow_right = 306;
int32_t key_hit(int32_t key);
int32_t key_down(int32_t key);
// Next typed character (codes 1 to 255) from a queue of 256, or 0 when empty.
int32_t get_char();
void flush_keys();
// The player asked the window to close (its close button); the main loop then quits the game.
bool close_requested();
// The desktop's clipboard in the window; headless, a clipboard of the process's own that
// starts empty at every init. False when the text could not be put there.
bool set_clipboard_text(const std::string& text);
// The clipboard's text, or "" when it holds none (or no text).
std::string clipboard_text();

// ---- Time and numbers ----------------------------------------------------------------------
int32_t millisecs();
void delay(int32_t ms);
// Uniform in [min(lo, hi), max(lo, hi)].
int32_t rand(int32_t lo, int32_t hi);
void seed_rand(uint32_t seed);
double atan2_degrees(double y, double x);
double sin_degrees(double degrees);
double cos_degrees(double degrees);

// ---- Files ---------------------------------------------------------------------------------
// Game paths use backslashes and may differ in letter case from the folder on disk: a
// component whose exact spelling is absent is matched ignoring case ("Levels" = "levels").
// An absolute path (a tool's own file) is used unchanged.
std::string resolve_path(const std::string& game_path);

stream* open_read(const std::string& path);
// Creates or truncates the file; a link at the path is never followed (no stream then).
stream* open_write(const std::string& path);
void close_stream(stream* s);
// Reads at or past the end give 0 (and code-0 characters); a failure in mid-file is fatal
// with "Error reading from stream" / "Error writing to stream".
int32_t read_byte(stream* s);
int32_t read_int(stream* s);
std::string read_string(stream* s, int32_t n);
bool end_of_stream(stream* s);
void write_byte(stream* s, int32_t value);
void write_int(stream* s, int32_t value);
void write_string(stream* s, std::string_view text);

// Writes a whole file safely: a temporary file in the same folder, flushed, then renamed over
// the old one. On any failure the old file is untouched and false is returned.
bool write_file_atomic(const std::string& path, const std::vector<uint8_t>& bytes);
// Reads a whole file; false when it cannot be opened or holds more than max_bytes (a damaged or
// planted file is never read into memory past what the reader could use).
constexpr size_t files_default_max_bytes = size_t{256} << 20;
bool read_file(const std::string& path, std::vector<uint8_t>& bytes,
               size_t max_bytes = files_default_max_bytes);

// 0 nothing, 1 file, 2 directory.
int32_t file_type(const std::string& path);
// The names of the real folders (links are not counted) inside a folder, in byte order.
std::vector<std::string> list_folders(const std::string& path);
// The names of the plain files (links are not counted) inside a folder, in byte order.
std::vector<std::string> list_files(const std::string& path);
bool create_dir(const std::string& path, bool recurse);
// Recursive delete never follows a symbolic link out of the folder.
bool delete_dir(const std::string& path, bool recurse);

// ---- Helper processes ----------------------------------------------------------------------
// A program run beside the game (the level critic): its standard output comes back through a
// pipe that is read without waiting, so that the game keeps drawing while it works, and a
// crash or a runaway there never takes the game with it.
// Starts args[0] with the arguments; 0 when it could not start, else an id above 0.
int32_t start_child(const std::vector<std::string>& args);
// Appends what the child has written since the last call. 1 while it runs; once its output
// has ended and it has exited, 0 for a clean exit (status 0) and -1 otherwise, after which the
// id is forgotten. -1 also for an id that is not running. With wait_ms above 0 it waits up to
// that many real milliseconds for the child to end (a replay waits, to stay the same at any
// speed).
int32_t read_child(int32_t id, std::string& output, int32_t wait_ms = 0);
// Real milliseconds since the child started (the game's clock may be virtual); 0 for none.
int32_t child_running_ms(int32_t id);
// Kills the child if it still runs and forgets it.
void stop_child(int32_t id);
// The path of the running program, for starting it again as a helper.
std::string own_executable();

// ---- Strings -------------------------------------------------------------------------------
// The game's strings hold character codes 0 to 255, one byte each (std::string of bytes).
std::string int_to_text(int32_t value);
std::string mid(std::string_view s, int32_t start, int32_t count);  // 1-based start
std::string left(std::string_view s, int32_t n);
std::string chr(int32_t code);
int32_t asc(std::string_view s);  // -1 for the empty string

}  // namespace platform
