
// Ice, reflecting the room snapshot. Every facet of the crystal is flat and
// carries one texture coordinate, so its tint and its edge brightening are
// the same over the whole facet and are worked out here, once a corner
// instead of once a pixel.
uniform sampler2D diff_map;

varying vec3 vGlow;

void main()
{
    float edge = pow(1.0 - abs(SphereMap().z), 2.0);
    // A facet's texture coordinate does not vary, so the picture is magnified:
    // level 0 through the magnification filter, as the pixels would read it.
    vec3 tint = texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb;
    vGlow = tint * (0.35 + 0.65 * edge);
}
