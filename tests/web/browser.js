// Opens the web page, served from a folder on 127.0.0.1 (or as a file), in Debian's headless Chromium with software
// WebGL at one canvas pixel per screen pixel (480 x 320 unless asked otherwise), and waits for the start prompt (or
// another stage of the page); `prepare` runs on the page before it loads.
'use strict';
const fs = require('fs');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');
const { serve } = require('./server.js');

// Software WebGL, sound without a gesture, a fresh profile, and nothing that reaches for the network (there is none).
const kArguments = ['--no-sandbox', '--enable-unsafe-swiftshader', '--use-angle=swiftshader',
  '--autoplay-policy=no-user-gesture-required', '--disable-gpu', '--disable-quic', '--no-first-run',
  '--disable-background-networking', '--disable-component-update', '--disable-sync'];

async function openPage(folder, query, { stage = 'waiting', fromFile = false, width = 480, height = 320, prepare = null } = {}) {
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'kestrel-chromium-'));
  const server = await new Promise((resolve) => serve(folder, 0, (s, address) => resolve({ s, address })));
  const browser = await puppeteer.launch({
    executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
    headless: true,
    userDataDir: profile,
    args: kArguments,
    // A whole show on the wall clock waits longer than the protocol's default three minutes.
    protocolTimeout: 1800000,
  });
  const close = async () => {
    await browser.close();
    server.s.close();
    fs.rmSync(profile, { recursive: true, force: true });
  };
  try {
    const page = await browser.newPage();
    await page.setViewport({ width, height, deviceScaleFactor: 1 });
    // The console's lines, and each with its level ('log', 'error', ...).
    const console_ = [], messages = [];
    page.on('console', (message) => {
      console_.push(message.text());
      messages.push({ type: message.type(), text: message.text() });
    });
    page.on('pageerror', (error) => console_.push(`uncaught: ${error.message}`));
    if (prepare) await prepare(page);
    const url = fromFile ? `file://${path.resolve(folder)}/kestrel.html` : `${server.address}kestrel.html`;
    await page.goto(`${url}?${query}`);
    await page.waitForFunction((wanted) => kestrelPage.stage === wanted, { timeout: 180000 }, stage);
    return { page, console: console_, messages, close };
  } catch (error) {
    await close();
    throw error;
  }
}

module.exports = { openPage };
