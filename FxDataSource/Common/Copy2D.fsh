precision mediump float;

uniform sampler2D diff_map;

varying vec2 vUv;

// The white screen quads: the picture as it is. A shader that only reads its
// texture is the cheapest Mesa's software rasteriser draws (a quarter less
// than the read times a colour).
void main()
{
    gl_FragColor = texture2D(diff_map, vUv);
}
