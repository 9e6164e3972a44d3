precision mediump float;

uniform sampler2D shadow_map;  // unit 1: the golden environment

varying vec2 vReflection;
varying vec3 vTint;

void main()
{
    // Chrome: mostly reflection, edges flaring.
    gl_FragColor = vec4(texture2D(shadow_map, vReflection).rgb * vTint, 1.0);
}
