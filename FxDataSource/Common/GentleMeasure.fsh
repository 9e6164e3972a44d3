// One pixel per cell of the gentle mode's 4 x 4 grid: the cell's mean
// relative luminance, from 16 x 16 points spread over it.
#ifdef GL_FRAGMENT_PRECISION_HIGH
precision highp float;
#else
precision mediump float;
#endif

uniform sampler2D diff_map;

varying vec2 vUv;

float Linear(float c)
{
    return c <= 0.04045 ? c / 12.92 : pow((c + 0.055) / 1.055, 2.4);
}

void main()
{
    float sum = 0.0;
    for (int i = 0; i < 16; ++i) {
        float row = 0.0;
        for (int j = 0; j < 16; ++j) {
            vec2 at = vUv + (vec2(float(i), float(j)) + 0.5 - 8.0) * (0.25 / 16.0);
            vec3 c = texture2D(diff_map, at).rgb;
            row += 0.2126 * Linear(c.r) + 0.7152 * Linear(c.g) + 0.0722 * Linear(c.b);
        }
        sum += row / 16.0;
    }
    gl_FragColor = vec4(vec3(sum / 16.0), 1.0);
}
