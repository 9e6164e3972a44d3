// The gentle mode's picture: each cell's light held as its gain says, the
// gains blended across the cells so that no edge of a cell shows.
precision mediump float;

uniform sampler2D diff_map;
uniform sampler2D gain_map;

varying vec2 vUv;

void main()
{
    gl_FragColor = vec4(texture2D(diff_map, vUv).rgb * texture2D(gain_map, vUv).r, 1.0);
}
