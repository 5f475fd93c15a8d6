// The profiles screen (placeholder).
#include "app/screens.h"

void profiles_screen() {}
