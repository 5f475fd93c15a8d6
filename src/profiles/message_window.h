// Raising the message window.
#pragma once

#include <cstdint>
#include <string>

void raise_message(int32_t kind, const std::string& text);

// The fireworks of a won level: a new spot for them, and one frame drawn at it (in the colour
// and blend already set) that, each time the strip wraps, bangs and moves to a new spot.
void place_firework();
void step_fireworks();
// A notice (kind 4) whose OK button also does `follow_up` (notice_then_*).
void raise_notice(const std::string& text, int32_t follow_up);

// The texts of the notices this game adds.
inline constexpr const char* text_level_not_loaded = "This level could not be loaded";
inline constexpr const char* text_progress_not_saved = "Your progress could not be saved";
inline constexpr const char* text_player_not_created = "The player could not be created";
inline constexpr const char* text_player_not_deleted = "The player could not be deleted";
