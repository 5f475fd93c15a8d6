// The main menu (placeholder).
#include "app/screens.h"

void main_menu_screen() {}
