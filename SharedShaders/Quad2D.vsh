// Screen quads: positions arrive in normalised device coordinates.
attribute vec2 pos;
attribute vec2 uv;

varying vec2 vUv;

void main()
{
    vUv = uv;
    gl_Position = vec4(pos, 0.0, 1.0);
}
