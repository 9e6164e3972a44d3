precision mediump float;

uniform sampler2D diff_map;

varying vec2 vUv;
varying float vLight;

void main()
{
    vec4 texel = texture2D(diff_map, vUv);
    gl_FragColor = vec4(texel.rgb * vLight, texel.a);
}
