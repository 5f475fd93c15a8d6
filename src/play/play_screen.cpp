// The play screen (placeholder).
#include "app/screens.h"

void run_play_screen() {}
