precision mediump float;

uniform sampler2D diff_map;
uniform vec4 color;

varying vec2 vUv;
varying float vFlash;

void main()
{
    vec3 scene = texture2D(diff_map, vUv).rgb;
    vec3 flashed = scene + vec3(vFlash);
    vec2 edge = vUv - 0.5;
    float vignette = 1.0 - 0.35 * dot(edge, edge);
    gl_FragColor = vec4(min(flashed, vec3(1.0)) * vignette, 1.0) * color;
}
