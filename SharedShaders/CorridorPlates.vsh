
// The corridor's plates. Every wall triangle is flat and carries one texture
// coordinate, so its plate colour and its light are the same over the whole
// triangle and are worked out here, once a corner instead of once a pixel.
uniform sampler2D diff_map;

varying vec3 vPlate;

void main()
{
    vec3 normal = SphereMap();
    // An unvarying texture coordinate magnifies: level 0 through the
    // magnification filter, as the pixels would read it.
    vPlate = texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb * (0.35 + 0.65 * abs(normal.z));
}
