// The composite of the frames without a flash: PostProcessNormal with its
// flash at zero. The picture then needs no clamp, and a shader of products
// and sums alone keeps Mesa's software rasteriser on its fast path, at less
// than half the cost of one with a clamp.
precision mediump float;

uniform sampler2D diff_map;
uniform vec4 color;

varying vec2 vUv;
varying float vFlash;

void main()
{
    vec2 edge = vUv - 0.5;
    float vignette = 1.0 - 0.35 * dot(edge, edge);
    gl_FragColor = vec4(texture2D(diff_map, vUv).rgb * vignette, 1.0) * color;
}
