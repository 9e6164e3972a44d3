// The blade: the environment on unit 1 sphere-mapped, as the other chrome.
// Every triangle of the blade is flat and carries one texture coordinate, so
// its tint is the same over the whole triangle and is read here, once a
// corner instead of once a pixel.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 modelViewMatrix;
uniform sampler2D diff_map;

varying vec2 vReflection;
varying vec3 vTint;

void main()
{
    vec3 eye = normalize((modelViewMatrix * vec4(pos.xyz, 1.0)).xyz);
    vec3 normal = normalize(mat3(modelViewMatrix) * (norm.xyz / 127.0) + vec3(0.0, 0.0, 1e-4));
    vec3 r = reflect(eye, normal);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vReflection = vec2(r.x / m + 0.5, 0.5 - r.y / m);
    // An unvarying texture coordinate magnifies: level 0 through the
    // magnification filter, as the pixels would read it.
    vTint = texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb * 1.1;
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
}
