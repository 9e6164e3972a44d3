// The composite quad; misc_0 = (flash, 20, snare angle, shake in pixels).
attribute vec2 pos;
attribute vec2 uv;

uniform vec4 misc_0;

varying vec2 vUv;
varying float vFlash;

void main()
{
    // A small sway that follows the snare angle, and a sideways shake.
    float sway = 0.025 * sin(misc_0.z);
    vec2 centred = uv - 0.5;
    vec2 turned = vec2(centred.x * cos(sway) - centred.y * sin(sway),
                       centred.x * sin(sway) + centred.y * cos(sway));
    float zoom = 1.0 - 0.04 * misc_0.x;
    vUv = turned * zoom + 0.5 + vec2(misc_0.w / 320.0, 0.0);
    // misc_0.y sets how hard the flash pushes towards white.
    vFlash = misc_0.x * misc_0.y * 0.05;
    gl_Position = vec4(pos, 0.0, 1.0);
}
