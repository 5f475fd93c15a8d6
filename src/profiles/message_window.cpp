// The message window (placeholder).
#include "app/screens.h"

void message_window() {}
