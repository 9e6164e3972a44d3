// The grain hash needs the full float range to stay free of stripes.
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif

uniform sampler2D diff_map;
uniform vec4 color;

varying vec2 vUv;

float Hash(vec2 p)
{
    return fract(sin(dot(p, vec2(12.9898, 78.233))) * 43758.5453);
}

void main()
{
    vec3 scene = texture2D(diff_map, vUv).rgb;
    // The grain is seeded by the picture itself, so it crawls as the scene moves.
    float grain = Hash(mod(gl_FragCoord.xy, 97.0) + scene.rg * 13.0) - 0.5;
    float luma = dot(scene, vec3(0.299, 0.587, 0.114));
    vec3 toned = mix(vec3(luma), scene, 0.6) + vec3(grain * 0.12);
    gl_FragColor = vec4(clamp(toned, 0.0, 1.0), 1.0) * color;
}
