precision mediump float;

uniform sampler2D diff_map;
uniform vec4 color;

varying vec2 vUv;

void main()
{
    gl_FragColor = texture2D(diff_map, vUv) * color;
}
