// Loads the picture and sound catalogue (placeholder until the content lands).
#include "app/assets.h"

void load_images() {}
void load_sounds() {}
