// Depth from the light, for the 256 x 256 shadow target.
attribute vec4 pos;
attribute vec4 uv;

uniform mat4 modelViewProjectionMatrix;

varying vec2 vUv;
varying float vDepth;

void main()
{
    gl_Position = modelViewProjectionMatrix * vec4(pos.xyz, 1.0);
    vDepth = gl_Position.z / gl_Position.w * 0.5 + 0.5;
    vUv = uv.xy / 255.0;
}
