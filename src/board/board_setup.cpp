// Creates the board and laser arrays (placeholder).
#include "board/board_state.h"

void create_board() {}
void create_lasers() {}
