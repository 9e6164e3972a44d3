precision mediump float;

uniform sampler2D shadow_map;  // unit 1: the golden environment

varying vec2 vReflection;
varying vec3 vPlate;

void main()
{
    // Brushed floor plates: their own colour with a dull sheen.
    gl_FragColor = vec4(vPlate + texture2D(shadow_map, vReflection).rgb * 0.25, 1.0);
}
