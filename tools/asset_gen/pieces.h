// The board pieces, drawn at any scale so that the board, the side panel and the how-to-play
// picture show the same objects.
#pragma once

#include <string>

#include "art.h"

namespace pieces {

// (cx, cy) is the centre of the piece's 35-pixel cell; s scales it (1 on the board).
// lens_lit false leaves an empty socket at the muzzle for the game's lens picture.
void laser(cairo_t* cr, double cx, double cy, double s, int dir, bool lens_lit = true);
void lamp(cairo_t* cr, double cx, double cy, double s, int lamp_colour);
void wall(cairo_t* cr, double cx, double cy, double s);
void bomb(cairo_t* cr, double cx, double cy, double s);
void translator(cairo_t* cr, double cx, double cy, double s, int dir);
void mirror(cairo_t* cr, double cx, double cy, double s, int orientation);
void double_mirror(cairo_t* cr, double cx, double cy, double s, int orientation);
void prism(cairo_t* cr, double cx, double cy, double s, int orientation);
// Drawn with the direction in which the accepted beam travels: the board draws orientation
// o with this picture at (o + 4) mod 8.
void double_prism(cairo_t* cr, double cx, double cy, double s, int travel_dir);
void colour_sphere(cairo_t* cr, double cx, double cy, double s, int beam_colour);

// The game's beam and lamp colours.
art::rgb beam_colour(int code);
art::rgb lamp_colour(int code);

// Writes the piece strips and the palette pictures into the images folder.
void write_all(const std::string& images_dir);

}  // namespace pieces
