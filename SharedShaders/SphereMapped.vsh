// Chrome: a sphere-mapped reflection of the picture on unit 1, which render
// lists bind to the "shadow_map" sampler.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 modelViewMatrix;

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    vec3 eye = normalize((modelViewMatrix * vec4(pos.xyz, 1.0)).xyz);
    vec3 normal = normalize(mat3(modelViewMatrix) * (norm.xyz / 127.0) + vec3(0.0, 0.0, 1e-4));
    vec3 r = reflect(eye, normal);
    float m = 2.0 * sqrt(r.x * r.x + r.y * r.y + (r.z + 1.0) * (r.z + 1.0));
    vReflection = vec2(r.x / m + 0.5, 0.5 - r.y / m);
    vFacing = abs(normal.z);
    vUv = uv.xy / 255.0;
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
}
