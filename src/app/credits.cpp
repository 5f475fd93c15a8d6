// Credits and how-to-play screens (placeholder).
#include "app/screens.h"

void credits_screen() {}
void how_to_play_screen() {}
