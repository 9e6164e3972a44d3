precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D shadow_map;  // unit 1: the particle picture behind the skull

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    // Polished bone: its own texture, lit from the front, glazed with the particles.
    vec3 bone = texture2D(diff_map, vUv).rgb;
    vec3 reflection = texture2D(shadow_map, vReflection).rgb;
    float light = 0.35 + 0.65 * vFacing;
    gl_FragColor = vec4(bone * light * 0.8 + reflection * (0.5 + 0.5 * (1.0 - vFacing)), 1.0);
}
