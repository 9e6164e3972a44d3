// The overlay's three drawings of 500 flat triangles, compiled in as bytes
// (the build generates their source from vector artwork). Corner k of
// triangle i is bytes 6i + 2k (m) and 6i + 2k + 1 (n): y = m/255 - 0.5,
// x = 0.5 - n/255. Colours are one RGB triple per triangle.
#pragma once

constexpr int kOverlayTriangles = 500;
constexpr int kOverlayVertexBytes = kOverlayTriangles * 3 * 2;
constexpr int kOverlayColourBytes = kOverlayTriangles * 3;

extern const unsigned char brud1_vertices[kOverlayVertexBytes];
extern const unsigned char brud1_colors[kOverlayColourBytes];
extern const unsigned char brud2_vertices[kOverlayVertexBytes];
extern const unsigned char brud2_colors[kOverlayColourBytes];
extern const unsigned char brud3_vertices[kOverlayVertexBytes];
extern const unsigned char brud3_colors[kOverlayColourBytes];
