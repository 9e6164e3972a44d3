
// The picture's own texture and how squarely the surface faces the eye.
varying vec2 vUv;
varying float vFacing;

void main()
{
    vFacing = abs(SphereMap().z);
    vUv = uv.xy / 255.0;
}
