// The galaxy map (placeholder).
#include "app/screens.h"
#include "profiles/profiles_state.h"

void galaxy_map_screen() {}
void ending_screen() {}
void init_pack_positions() {}
void init_pack_names() {}
