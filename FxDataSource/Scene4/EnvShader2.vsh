// The corridor's frames: chrome, the golden environment on unit 1
// sphere-mapped. Their faces are flat, so the edge flare is the same over a
// face; their picture is plain white, so reading it at the corners reads
// what every pixel would. Both are worked out here, once a corner.
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
    float fresnel = 0.7 + 0.5 * pow(1.0 - abs(normal.z), 3.0);
    vTint = fresnel * texture2DLod(diff_map, uv.xy / 255.0, 0.0).rgb;
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
}
