precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D shadow_map;  // unit 1: the golden environment

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    // Brushed floor plates: their own texture with a dull sheen.
    vec3 plate = texture2D(diff_map, vUv).rgb;
    vec3 sheen = texture2D(shadow_map, vReflection).rgb;
    gl_FragColor = vec4(plate * (0.35 + 0.65 * vFacing) + sheen * 0.25, 1.0);
}
