precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D shadow_map;  // unit 1: the environment picture

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    // Chrome: mostly reflection, edges flaring.
    vec3 environment = texture2D(shadow_map, vReflection).rgb;
    float fresnel = 0.7 + 0.5 * pow(1.0 - vFacing, 3.0);
    gl_FragColor = vec4(environment * fresnel * texture2D(diff_map, vUv).rgb, 1.0);
}
