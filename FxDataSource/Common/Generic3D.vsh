// Models from the reader: normals arrive as -127..127, texture coordinates
// as 0..255.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 modelViewMatrix;

varying vec2 vUv;
varying float vLight;

void main()
{
    vec3 normal = normalize(mat3(modelViewMatrix) * (norm.xyz / 127.0) + vec3(0.0, 0.0, 1e-4));
    vec3 towardsLight = normalize(vec3(0.4, 0.7, 0.6));
    // A key light and a soft fill from below keep the unlit side readable.
    vLight = 0.25 + 0.75 * max(dot(normal, towardsLight), 0.0) + 0.15 * max(-normal.y, 0.0);
    vUv = uv.xy / 255.0;
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
}
