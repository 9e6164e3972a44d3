precision mediump float;

uniform sampler2D diff_map;
uniform vec4 color;

varying vec4 vColour;

void main()
{
    gl_FragColor = vec4(vColour.rgb, 1.0) * color;
}
