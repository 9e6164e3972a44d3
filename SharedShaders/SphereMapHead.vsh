// Chrome: a sphere-mapped reflection of the picture on unit 1, which render
// lists bind to the "shadow_map" sampler. The shaders that reflect share
// this head; each adds its own main.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 modelViewMatrix;

varying vec2 vReflection;

// Sets the reflection's coordinates and the corner's position; answers the
// surface normal in eye space.
vec3 SphereMap()
{
    vec3 eye = normalize((modelViewMatrix * vec4(pos.xyz, 1.0)).xyz);
    vec3 normal = normalize(mat3(modelViewMatrix) * (norm.xyz / 127.0) + vec3(0.0, 0.0, 1e-4));
    vec3 r = reflect(eye, normal);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vReflection = vec2(r.x / m + 0.5, 0.5 - r.y / m);
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
    return normal;
}
