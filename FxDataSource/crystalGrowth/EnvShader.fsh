precision mediump float;

uniform sampler2D shadow_map;  // unit 1: the snapshot of the room

varying vec2 vReflection;
varying vec3 vGlow;

void main()
{
    // Ice-blue crystal: the room mirrored in its facets, brighter at the edges.
    gl_FragColor = vec4(texture2D(shadow_map, vReflection).rgb * 0.9 + vGlow, 1.0);
}
