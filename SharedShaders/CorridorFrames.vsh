
// The corridor's frames. Their faces are flat, so the edge flare is the same
// over a face; their picture is plain white, so reading it at the corners
// reads what every pixel would. Both are worked out here, once a corner.
uniform sampler2D diff_map;

varying vec3 vTint;

void main()
{
    vec3 normal = SphereMap();
    float fresnel = 0.7 + 0.5 * pow(1.0 - abs(normal.z), 3.0);
    vTint = fresnel * texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb;
}
