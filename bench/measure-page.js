// Figures of the web page in Debian's headless Chromium (software WebGL):
// its download size (as served and gzip-compressed), the time from opening
// it to the start prompt, the frames per second it plays, and each scene's
// frames a second, median and 95th-percentile frame time (the work of a
// frame on the page's main thread: the show's frame and its presentation)
// and the render scales it was drawn at.
//   node bench/measure-page.js PAGE_FOLDER [FIXED_FPS | wall] [WIDTHxHEIGHT]
// On a fixed clock (default 60) the page plays one frame per animation
// frame as fast as the browser allows, so frames per second is throughput;
// on the wall clock ("wall") it keeps the show's pace and adapts its render
// scale, so frames per second is what a viewer sees.
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { openPage } = require('../tests/web/browser.js');

const kScenes = ['scene1', 'particleScene', 'crystalGrowth', 'manetjakt', 'robot', 'tunnel', 'sawblade', 'overlay'];

function quantile(sorted, q) {
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}

// Each scene's frames against the show time it was on screen, from one
// frame to the next.
function sceneFigures(frames, scene) {
  let onScreen = 0;
  const times = [], scales = new Map();
  frames.forEach((frame, i) => {
    if (frame[1] !== scene) return;
    times.push(frame[2]);
    scales.set(frame[3], (scales.get(frame[3]) || 0) + 1);
    if (i + 1 < frames.length) onScreen += frames[i + 1][0] - frame[0];
  });
  times.sort((a, b) => a - b);
  const used = [...scales.entries()].sort((a, b) => b[1] - a[1]).map(([s, n]) => `${s} (${n})`).join(', ');
  return { count: times.length, times, perSecond: onScreen > 0 ? times.length / onScreen : 0, used };
}

async function main() {
  const [folder, clock = '60', size = '480x320'] = process.argv.slice(2);
  const [width, height] = size.split('x').map(Number);
  let raw = 0, compressed = 0;
  for (const name of ['kestrel.html', 'kestrel.js', 'kestrel.wasm', 'kestrel.data']) {
    const bytes = fs.readFileSync(path.join(folder, name));
    raw += bytes.length;
    compressed += zlib.gzipSync(bytes, { level: 9 }).length;
    console.log(`${name}: ${bytes.length} bytes, ${zlib.gzipSync(bytes, { level: 9 }).length} gzip-compressed`);
  }
  console.log(`page: ${raw} bytes, ${compressed} gzip-compressed`);
  const wall = clock === 'wall';
  const session = await openPage(folder, wall ? '' : `fixed-fps=${clock}`, { width, height });
  const messages = session.messages;
  try {
    const { page } = session;
    console.log(`${width} x ${height}, ${wall ? 'the wall clock' : `a fixed clock of ${clock}`}`);
    console.log(`start prompt after ${Math.round(await page.evaluate(() => kestrelPage.promptAfterMs))} ms`);
    await page.mouse.click(width / 2, height / 2);
    const started = Date.now();
    await page.waitForFunction(() => kestrelPage.stage === 'ended', { timeout: 1800000, polling: 1000 });
    const seconds = (Date.now() - started) / 1000;
    const frames = await page.evaluate(() => kestrelPage.frames);
    console.log(`${frames.length} frames in ${seconds.toFixed(1)} s: ${(frames.length / seconds).toFixed(1)} frames per second`);
    kScenes.forEach((name, scene) => {
      const f = sceneFigures(frames, scene);
      if (f.count)
        console.log(`${name}: ${f.count} frames, ${f.perSecond.toFixed(1)} a second of show, median ` +
          `${quantile(f.times, 0.5).toFixed(2)} ms, 95th percentile ${quantile(f.times, 0.95).toFixed(2)} ms, ` +
          `scales ${f.used}`);
    });
    for (const message of messages.filter((m) => m.text.includes('render scale')))
      console.log(`console ${message.type}: ${message.text}`);
  } finally {
    await session.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
