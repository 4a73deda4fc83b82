#pragma once

// Twips per pixel of the primary screen, from its logical resolution (15 at 96 dpi). Window
// positions and dialog layouts are given in twips.
double screenTwipsPerPixelX();
double screenTwipsPerPixelY();
