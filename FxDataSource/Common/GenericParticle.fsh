precision mediump float;

uniform sampler2D diff_map;

varying vec2 vUv;
varying vec4 vColour;

void main()
{
    gl_FragColor = texture2D(diff_map, vUv) * vColour;
}
