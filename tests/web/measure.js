// Figures of the web page in Debian's headless Chromium (software WebGL):
// its download size (as served and gzip-compressed), the time from opening
// it to the start prompt, the frames per second it plays, and each scene's
// median and 95th-percentile frame time (the work of a frame on the page's
// main thread: the show's frame and its presentation).
//   node measure.js PAGE_FOLDER [FIXED_FPS]
// On a fixed clock (default 60) the page plays one frame per animation
// frame as fast as the browser allows, so frames per second is throughput.
'use strict';
const fs = require('fs');
const path = require('path');
const zlib = require('zlib');
const { openPage } = require('./browser.js');

const kScenes = ['scene1', 'particleScene', 'crystalGrowth', 'manetjakt', 'robot', 'tunnel', 'sawblade', 'overlay'];

function quantile(sorted, q) {
  return sorted[Math.min(sorted.length - 1, Math.floor(q * sorted.length))];
}

async function main() {
  const [folder, fps = '60'] = process.argv.slice(2);
  let raw = 0, compressed = 0;
  for (const name of ['kestrel.html', 'kestrel.js', 'kestrel.wasm', 'kestrel.data']) {
    const bytes = fs.readFileSync(path.join(folder, name));
    raw += bytes.length;
    compressed += zlib.gzipSync(bytes, { level: 9 }).length;
    console.log(`${name}: ${bytes.length} bytes, ${zlib.gzipSync(bytes, { level: 9 }).length} gzip-compressed`);
  }
  console.log(`page: ${raw} bytes, ${compressed} gzip-compressed`);
  const session = await openPage(folder, `fixed-fps=${fps}`);
  try {
    const { page } = session;
    console.log(`start prompt after ${Math.round(await page.evaluate(() => kestrelPage.promptAfterMs))} ms`);
    await page.mouse.click(240, 160);
    const started = Date.now();
    await page.waitForFunction(() => kestrelPage.stage === 'ended', { timeout: 1800000, polling: 1000 });
    const seconds = (Date.now() - started) / 1000;
    const frames = await page.evaluate(() => kestrelPage.frames);
    console.log(`${frames.length} frames in ${seconds.toFixed(1)} s: ${(frames.length / seconds).toFixed(1)} frames per second`);
    kScenes.forEach((name, scene) => {
      const times = frames.filter((f) => f[1] === scene).map((f) => f[2]).sort((a, b) => a - b);
      if (times.length)
        console.log(`${name}: ${times.length} frames, median ${quantile(times, 0.5).toFixed(2)} ms, ` +
          `95th percentile ${quantile(times, 0.95).toFixed(2)} ms`);
    });
  } finally {
    await session.close();
  }
}

main().catch((error) => {
  console.error(error);
  process.exit(1);
});
