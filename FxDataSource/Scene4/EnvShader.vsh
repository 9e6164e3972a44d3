// The corridor's plates: the golden environment on unit 1 sphere-mapped, as
// the other chrome. Every wall triangle is flat and carries one texture
// coordinate, so its plate colour and its light are the same over the whole
// triangle and are worked out here, once a corner instead of once a pixel.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 modelViewMatrix;
uniform sampler2D diff_map;

varying vec2 vReflection;
varying vec3 vPlate;

void main()
{
    vec3 eye = normalize((modelViewMatrix * vec4(pos.xyz, 1.0)).xyz);
    vec3 normal = normalize(mat3(modelViewMatrix) * (norm.xyz / 127.0) + vec3(0.0, 0.0, 1e-4));
    vec3 r = reflect(eye, normal);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vReflection = vec2(r.x / m + 0.5, 0.5 - r.y / m);
    // An unvarying texture coordinate magnifies: level 0 through the
    // magnification filter, as the pixels would read it.
    vPlate = texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb * (0.35 + 0.65 * abs(normal.z));
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
}
