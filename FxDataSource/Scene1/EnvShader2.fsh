precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D shadow_map;  // unit 1: the environment picture

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    vec3 environment = texture2D(shadow_map, vReflection).rgb;
    vec3 surface = texture2D(diff_map, vUv).rgb;
    // Edges reflect more (a cheap Fresnel term).
    float fresnel = 0.65 + 0.35 * pow(1.0 - vFacing, 2.0);
    gl_FragColor = vec4(environment * surface * fresnel + vec3(0.04), 1.0);
}
