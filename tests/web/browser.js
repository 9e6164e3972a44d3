// Opens the web page, served from a folder on 127.0.0.1, in Debian's
// headless Chromium with software WebGL, at one canvas pixel per screen
// pixel of the upright picture, and waits for the start prompt.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require('./server.js');

// Software WebGL, sound without a gesture, a fresh profile, and nothing that
// reaches for the network (the machine has none).
const kArguments = ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
  '--autoplay-policy=no-user-gesture-required', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

async function openPage(folder, query) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrel-chromium-'));
  const server = await new Promise((resolve) => serve(folder, 0, (s, address) => resolve({ s, address })));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: kArguments,
  });
  const close = async () => {
    await browser.close();
    server.s.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  try {
    const page = await browser.newPage();
    await page.setViewport({ width: 480, height: 320, deviceScaleFactor: 1 });
    const console_ = [];
    page.on('console', (message) => console_.push(message.text()));
    page.on('pageerror', (error) => console_.push(`uncaught: ${error.message}`));
    await page.goto(`${server.address}kestrel.html?${query}`);
    await page.waitForFunction(() => kestrelPage.stage === 'waiting', { timeout: 180000 });
    return { page, console: console_, close };
  } catch (error) {
    await close();
    throw error;
  }
}

module.exports = { openPage };
