precision mediump float;

uniform sampler2D shadow_map;  // unit 1: the environment picture

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    // Candy-red chrome for the heart, with a hot rim.
    vec3 environment = texture2D(shadow_map, vReflection).rgb;
    vec3 tint = vec3(1.0, 0.25, 0.35);
    float rim = pow(1.0 - vFacing, 3.0);
    gl_FragColor = vec4(environment * tint * 1.2 + vec3(0.25, 0.02, 0.05) + vec3(1.0, 0.6, 0.6) * rim * 0.6, 1.0);
}
