// Plays the web page in Debian's headless Chromium on a fixed clock and
// compares the frames it takes from the canvas with the native program's
// headless shots of the same show times; checks the music and the console.
//   node browser-test.js PAGE_FOLDER NATIVE_PROGRAM
// Exits 0 when every check passes; prints one line per check.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const { execFile } = require('child_process');
const { openPage } = require('./browser.js');
const { readPng } = require('./png.js');

// A coarse fixed clock keeps the run short; the native shots use the same
// one, so both play exactly the same frames.
const kFps = 10;
// Two show times in every scene (the contact sheet's).
const kTimes = [5, 22, 35, 45, 60, 69, 88, 97, 109, 112, 116, 128, 136, 145, 155, 175];
// Frames are compared by the mean absolute difference (colour levels,
// 0..255) of the means of 8 x 8 pixel blocks. Until 29.6 s the picture
// carries film grain from a sin() hash in the shader, per-pixel noise that
// SwiftShader and Mesa's llvmpipe compute with different float precision
// (about 10 levels per pixel apart; in 8 x 8 blocks it averages out to about
// 1). Elsewhere the rasterisers differ by rounding in filtering and blending:
// at most 1.4 levels per pixel here, less in blocks, except the frame at
// 60 s, whose whole picture is a little lighter and bluer in the browser
// (4.6 in blocks; the cause is not found yet). A scene not drawn, a picture
// turned the wrong way or another frame of the show is 10 or more.
const kBlock = 8;
const kMaxBlockDifference = 6;
const kShowSeconds = 185;

const [pageFolder, nativeProgram] = process.argv.slice(2);
let failures = 0;
function check(ok, what) {
  console.log(`${ok ? 'ok  ' : 'FAIL'} ${what}`);
  if (!ok) failures++;
}

function nativeShots(outDir) {
  return new Promise((resolve, reject) =>
    execFile(nativeProgram, ['--headless', '--fixed-fps', String(kFps), '--shot', kTimes.join(','), '--out', outDir],
      { maxBuffer: 1 << 26 }, (error) => (error ? reject(error) : resolve())));
}

// The canvas shows the raw portrait frame turned a quarter turn
// counter-clockwise: canvas pixel (cx, cy) is raw pixel (319 - cy, cx).
// Answers the mean difference per pixel and of the block means.
function differences(native, canvas) {
  const blocksX = canvas.width / kBlock, blocks = new Float64Array(blocksX * (canvas.height / kBlock) * 3);
  let perPixel = 0;
  for (let cy = 0; cy < canvas.height; cy++)
    for (let cx = 0; cx < canvas.width; cx++) {
      const c = (cy * canvas.width + cx) * 4, n = (cx * native.width + (native.width - 1 - cy)) * 4;
      const block = (Math.floor(cy / kBlock) * blocksX + Math.floor(cx / kBlock)) * 3;
      for (let k = 0; k < 3; k++) {
        const d = canvas.rgba[c + k] - native.rgba[n + k];
        perPixel += Math.abs(d);
        blocks[block + k] += d;
      }
    }
  let block = 0;
  for (const sum of blocks) block += Math.abs(sum) / (kBlock * kBlock);
  return { perPixel: perPixel / (canvas.width * canvas.height * 3), block: block / blocks.length };
}

async function main() {
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrel-web-'));
  const nativeDone = nativeShots(path.join(work, 'native'));
  nativeDone.catch(() => {});  // reported where it is awaited
  const session = await openPage(pageFolder, `fixed-fps=${kFps}&shot=${kTimes.join(',')}`);
  const { page, console: console_ } = session;
  try {
    check(true, `start prompt after ${Math.round(await page.evaluate(() => kestrelPage.promptAfterMs))} ms`);
    const framesBefore = await page.evaluate(() => kestrelPage.playedFrames);
    check(framesBefore === 0, 'no frame is played before the gesture');
    await page.mouse.click(240, 160);
    await page.waitForFunction(() => kestrelPage.stage === 'ended', { timeout: 900000, polling: 1000 });
    const state = await page.evaluate(() => ({
      music: kestrelPage.music, frames: kestrelPage.playedFrames, uncaught: kestrelPage.uncaught || null,
      again: document.querySelector('#prompt button') ? document.querySelector('#prompt button').textContent : null,
    }));
    check(Math.abs(state.music.seconds - kShowSeconds) < 0.1, `the music decoded to ${state.music.seconds} s`);
    check(state.music.startedOnFrame === 0, `the music started on played frame ${state.music.startedOnFrame}`);
    check(state.frames === kShowSeconds * kFps, `${state.frames} frames played before the page stopped`);
    check(state.again === 'play again', 'the page offers to play again');
    check(!console_.some((line) => line.includes(' glError')), 'no glError on the console');
    check(!state.uncaught && !console_.some((line) => line.startsWith('uncaught')), 'no uncaught error');
    await nativeDone;
    for (const time of kTimes) {
      const shot = await page.evaluate((t) => kestrelPage.shots[String(t)], time);
      if (!shot) {
        check(false, `no frame taken at ${time} s`);
        continue;
      }
      const canvas = { width: shot.width, height: shot.height, rgba: Buffer.from(shot.rgba, 'base64') };
      const name = `shot_${time.toFixed(3).padStart(8, '0')}.png`;
      const native = readPng(fs.readFileSync(path.join(work, 'native', name)));
      const difference = differences(native, canvas);
      const ok = canvas.width === 480 && canvas.height === 320 && difference.block < kMaxBlockDifference;
      if (!ok) fs.writeFileSync(path.join(work, `canvas_${time}.rgba`), canvas.rgba);
      check(ok, `frame at ${time} s: ${difference.block.toFixed(2)} in blocks (${difference.perPixel.toFixed(2)} per pixel)` +
        ' from the native frame');
    }
    if (failures) fs.writeFileSync(path.join(work, 'console.txt'), console_.join('\n'));
  } finally {
    await session.close();
  }
  if (!failures) fs.rmSync(work, { recursive: true, force: true });
  else console.log(`kept ${work}`);
  process.exit(failures ? 1 : 0);
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
