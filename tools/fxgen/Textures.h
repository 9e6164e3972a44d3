// Procedural pictures shared by several scenes.
#pragma once

#include "Canvas.h"

// A soft ball in the incircle of the particle triangle's texture coordinates
// (127, 0), (0, 255), (255, 255). solidCore is the fraction of the radius that
// is fully opaque: small sprites need one to carry their light in few pixels.
Canvas ParticleSprite(int size, const Colour& core, const Colour& rim, float solidCore = 0.0f);
// A chrome reflection picture for sphere-mapped shaders: sky above a bright
// horizon, dark ground below, a few window lights.
Canvas ChromeEnvironment(int size, const Colour& sky, const Colour& horizon, const Colour& ground);
// Text lines centred on a canvas, the font scaled; lines start at y.
void CentredLines(Canvas& canvas, int y, const char* const* lines, int count, int scale, int lineGap,
                  const Colour& colour);
