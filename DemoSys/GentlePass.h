// The gentle mode's last pass over the composite: the finished picture is
// measured on a 4 x 4 grid of cells, a small read-back, and drawn onto the
// screen with the light each cell's hold allows (GentleLimiter.h). Outside
// the gentle mode nothing of it runs, and the frames are the show's own.
#pragma once

#include "GentleLimiter.h"

class ShowMemory;

namespace Gentle {

// Made once the show has loaded; registers the hold with the show's memory.
void Load(ShowMemory& memory);
// Binds the target the composite is to be drawn into, in place of the screen.
void BeginPicture();
// Measures the composite, follows the hold and draws the picture on the screen.
void FinishPicture();
// Turned off, the hold forgets what it measured.
void Forget();

}  // namespace Gentle
