#ifndef MEDIA_PROGRAM_ICON_H
#define MEDIA_PROGRAM_ICON_H

#include <string>

// The program's icon for the desktop's menus: a piece of smooth terrain cut
// out of the world and seen from above at an angle, a rolling grassy top over
// layers of earth and iron-flecked stone, as scalable vector graphics text.
std::string programIconSvg();

#endif
