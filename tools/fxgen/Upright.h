// One "up" for everything the generator makes.
//
// The show is watched as a landscape picture: the 320 x 480 portrait screen
// turned a quarter, so that the screen's right edge (+x) is the top of what
// the viewer sees and the screen's bottom edge is the viewer's right. Every
// piece of content is authored in the viewer's frame (x right, y up) and
// placed with the helpers below, so that it stands upright there:
// - Pictures drawn full screen with the quarter turn (backgrounds, the
//   loading picture, the credits) are drawn as seen: canvas row 0 (v = 0)
//   is the top, u grows to the right. Nothing to convert.
// - Overlay drawings: the overlay's shader puts a drawing's x along the
//   screen's x and its y along the screen's y, so up is the drawing's +x
//   and the viewer's right is its -y.
// - Particle homes of the particle figure: the figure's camera has no
//   quarter turn, and its picture reaches the screen through the scene's
//   own render buffer, drawn with row 0 at the top, which flips the
//   screen's y. So up is the camera's +x and the viewer's right its +y;
//   +z faces the viewer.
// - Models, in scene files and OBJ files: +y up, as a modelling package
//   would have them. The scenes add the quarter turn themselves (the crystal
//   room's, the ball's and the jellyfish's views, the skull's placing, the
//   scene graph's camera for the tunnel, the saw blade and the robot), so
//   +y ends up on the screen's +x. The ball and the jellyfish also spin,
//   and have no lasting up.
#pragma once

#include "Mesh.h"

struct Upright {
    float x, y;  // the viewer's right and up
};

// Overlay drawing coordinates from the viewer's.
inline Upright DrawingFromUpright(const Upright& p) { return {p.y, -p.x}; }

// A particle home from the viewer's frame; depth towards the viewer.
inline Vec3 ParticleHomeFromUpright(const Upright& p, float depth) { return {p.y, p.x, depth}; }
