// Ice: the room snapshot on unit 1 sphere-mapped, as the other chrome; every
// facet of the crystal is flat and carries one texture coordinate, so its
// tint and its edge brightening are the same over the whole facet and are
// worked out here, once a corner instead of once a pixel.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 modelViewMatrix;
uniform sampler2D diff_map;

varying vec2 vReflection;
varying vec3 vGlow;

void main()
{
    vec3 eye = normalize((modelViewMatrix * vec4(pos.xyz, 1.0)).xyz);
    vec3 normal = normalize(mat3(modelViewMatrix) * (norm.xyz / 127.0) + vec3(0.0, 0.0, 1e-4));
    vec3 r = reflect(eye, normal);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vReflection = vec2(r.x / m + 0.5, 0.5 - r.y / m);
    float edge = pow(1.0 - abs(normal.z), 2.0);
    // A facet's texture coordinate does not vary, so the picture is magnified:
    // level 0 through the magnification filter, as the pixels would read it.
    vec3 tint = texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb;
    vGlow = tint * (0.35 + 0.65 * edge);
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
}
