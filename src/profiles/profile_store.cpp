// Profile list and progress files (placeholder).
#include "profiles/profiles_state.h"

void load_profile_list() {}
