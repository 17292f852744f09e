// What the page tests share: Debian's chromium driven by playwright-core,
// the site on a local server or kmp.html from disk, native kmpc for the
// expected results.
import { spawnSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath, pathToFileURL } from 'node:url';
import { after, before } from 'node:test';
import { chromium } from 'playwright-core';
import { serve } from '../../scripts/serve.mjs';

export const root = resolve(dirname(fileURLToPath(import.meta.url)), '../../..');
export const webBuild = resolve(process.env.KMP_WEB_BUILD ?? join(root, 'build-web'));
export const kmpcPath = resolve(process.env.KMPC ?? join(root, 'build/tools/kmpc'));

// Without the background services chromium reaches for Google's hosts,
// which this machine's closed network refuses.
const CHROMIUM_FLAGS = [
  '--no-sandbox',
  '--disable-gpu',
  '--disable-quic',
  '--no-first-run',
  '--disable-background-networking',
  '--disable-component-update',
  '--disable-sync',
  // A second name for the local server, whose http:// is no secure context.
  '--host-resolver-rules=MAP kmp.test 127.0.0.1',
];

export async function startBrowser() {
  return chromium.launch({ executablePath: '/usr/bin/chromium', args: CHROMIUM_FLAGS });
}

export async function startSite() {
  return serve(join(webBuild, 'site'));
}

// Chromium and the site for a test file's tests: started before the first,
// ended after the last. The returned object holds them (browser, site).
export function browserAndSite() {
  const shared = {};
  before(async () => {
    shared.browser = await startBrowser();
    shared.site = await startSite();
  });
  after(async () => {
    await shared.browser?.close();
    shared.site?.server.close();
  });
  return shared;
}

export const fileUrl = () => pathToFileURL(join(webBuild, 'kmp.html')).href;

// A new page in a context of its own (Slovak, a desktop screen); `prepare`
// runs before the page loads (a board, init scripts). Resolves once the page
// is ready for a compile.
export async function openPage(browser, url, prepare = async () => {}) {
  const context = await browser.newContext({ locale: 'sk-SK', viewport: { width: 1280, height: 900 }, acceptDownloads: true });
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await prepare(page);
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  return page;
}

export function kmpc(args) {
  const result = spawnSync(kmpcPath, args, { env: { ...process.env, LC_ALL: 'C' } });
  return { status: result.status, out: result.stdout, err: result.stderr.toString('utf8') };
}

// The errors of examples/chyby.txt as kmpc reports them, the file's lines
// and its bytes.
export function errorExample() {
  const path = join(root, 'examples/chyby.txt');
  return {
    places: JSON.parse(kmpc(['--errors', 'json', path]).out).errors,
    lines: kmpc(['--text', path]).out.toString('utf8').split('\n'),
    bytes: readFileSync(path),
  };
}

// A pane's lines as the user sees them.
export async function paneLines(page, id) {
  return (await page.locator(`#${id}`).innerText()).split('\n');
}

// The log with its time line (the second) masked.
export async function logLines(page) {
  const lines = await paneLines(page, 'Memo1');
  return lines.map((line, i) => (i === 1 && /^\d{1,2}:\d{2}:\d{2}/.test(line) ? '<time>' : line));
}

export async function waitForLogLine(page, text) {
  await page.waitForFunction((t) => document.getElementById('Memo1').innerText.split('\n').includes(t), text);
}

// Replaces the editor's text as a user would: select all, type.
export async function typeProgram(page, text) {
  await page.click('#RichEdit1 .cm-content', { position: { x: 40, y: 8 } });
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Delete');
  await page.keyboard.type(text);
}

// The file of `bytes` dropped on the page.
export async function dropFile(page, name, bytes) {
  await page.evaluate(
    ({ name, bytes }) => {
      const transfer = new DataTransfer();
      transfer.items.add(new File([new Uint8Array(bytes)], name));
      document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    },
    { name, bytes: Array.from(bytes) },
  );
}

// The message box's caption and text, once it shows.
export async function messageBox(page) {
  await page.waitForSelector('#MessageBox[open]');
  return { caption: await page.locator('#MessageCaption').innerText(), text: await page.locator('#MessageText').innerText() };
}
