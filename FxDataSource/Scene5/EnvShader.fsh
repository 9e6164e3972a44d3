precision mediump float;

uniform sampler2D shadow_map;  // unit 1: the environment

varying vec2 vReflection;
varying vec3 vTint;

void main()
{
    // The blade: gold-tinted steel that catches the light as it turns.
    vec3 environment = texture2D(shadow_map, vReflection).rgb;
    float shine = environment.r * environment.r;
    gl_FragColor = vec4(environment * vTint + vec3(shine * shine * 0.5), 1.0);
}
