// Particle triangles: the corner offset is turned to face the viewer and put
// around the centre; colour and texture coordinates arrive as 0..255.
attribute vec4 pos;
attribute vec4 norm;
attribute vec4 uv;
attribute vec4 center;

uniform mat4 modelViewProjectionMatrix;
uniform mat4 cameraInverseRotationMatrix;

varying vec2 vUv;
varying vec4 vColour;

void main()
{
    vec3 corner = (cameraInverseRotationMatrix * vec4(pos.xy, 0.0, 0.0)).xyz;
    gl_Position = modelViewProjectionMatrix * vec4(center.xyz + corner, 1.0);
    vUv = uv.xy / 255.0;
    vColour = norm / 255.0;
}
