// The overlay's flat triangles: positions in the drawing's own units, the
// triangle colour (r, g, b, a = its length) in the "uv" attribute.
attribute vec2 pos;
attribute vec4 uv;

varying vec4 vColour;

void main()
{
    // A square picture on the 2 : 3 portrait screen: [-1.25, 1.25] spans 240 pixels.
    gl_Position = vec4(pos.x * 0.6, pos.y * 0.4, 0.0, 1.0);
    vColour = uv;
}
