precision mediump float;

uniform sampler2D diff_map;

varying vec2 vUv;
varying vec4 vColour;

void main()
{
    // Textures arrive premultiplied; the scenes blend by source alpha.
    vec4 texel = texture2D(diff_map, vUv);
    gl_FragColor = vec4(texel.rgb / max(texel.a, 0.004), texel.a) * vColour;
}
