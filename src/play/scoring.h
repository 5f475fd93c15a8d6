// The level clock, the score, the solution view, the lamps and the completion of a level.
#pragma once

#include <string>

// The level clock starts, resuming from the seconds stored for the level (and shifted by the
// solution cost in milliseconds, as the stored clock always has been).
void start_level_clock();

// The side panel's texts: the solution timer (empty when nothing is drawn after "Solution:")
// and the score after "Score: ".
std::string solution_timer_text_now();
std::string score_text_now();

void evaluate_lamps();
void update_solution_view();
void check_completion();
