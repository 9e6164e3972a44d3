// Silhouettes of our own artwork, as inside tests, shared by the particle
// figure and the overlay drawings.
#pragma once

// A kestrel seen from below, wings spread: x across (about -7.6 to 7.6),
// y along the body (tail -5.2, head 3.7).
bool InsideKestrel(float x, float y);
// A heart in [-1, 1]^2, lobes up (y positive).
bool InsideHeart(float x, float y);
// A sun disc with twelve rays in [-1, 1]^2.
bool InsideSun(float x, float y);
