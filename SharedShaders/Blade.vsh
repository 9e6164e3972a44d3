
// The blade. Every triangle of it is flat and carries one texture
// coordinate, so its tint is the same over the whole triangle and is read
// here, once a corner instead of once a pixel.
uniform sampler2D diff_map;

varying vec3 vTint;

void main()
{
    SphereMap();
    // An unvarying texture coordinate magnifies: level 0 through the
    // magnification filter, as the pixels would read it.
    vTint = texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb * 1.1;
}
