precision mediump float;

uniform sampler2D diff_map;

varying vec2 vUv;
varying float vDepth;

void main()
{
    // Cut-out texels cast no shadow.
    if (texture2D(diff_map, vUv).a < 0.5) discard;
    // Depth split over two channels, so 8-bit targets keep enough of it.
    float high = floor(vDepth * 255.0) / 255.0;
    gl_FragColor = vec4(high, fract(vDepth * 255.0), 0.0, 1.0);
}
