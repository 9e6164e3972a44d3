precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D shadow_map;  // unit 1: the environment

varying vec2 vUv;
varying vec2 vReflection;
varying float vFacing;

void main()
{
    // The blade: gold-tinted steel that catches the light as it turns.
    vec3 tint = texture2D(diff_map, vUv).rgb;
    vec3 environment = texture2D(shadow_map, vReflection).rgb;
    float glint = pow(max(environment.r, 0.0), 4.0);
    gl_FragColor = vec4(environment * tint * 1.1 + vec3(glint * 0.5), 1.0);
}
