precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D shadow_map;  // unit 1: the snapshot of the room

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    // Ice-blue crystal: the room mirrored in its facets, brighter at the edges.
    vec3 room = texture2D(shadow_map, vReflection).rgb;
    vec3 tint = texture2D(diff_map, vUv).rgb;
    float edge = pow(1.0 - vFacing, 2.0);
    gl_FragColor = vec4(room * 0.9 + tint * (0.35 + 0.65 * edge), 1.0);
}
