// The page's speed and size, measured in Debian's chromium (headless):
// load to ready for a compile (cold, localhost), the compile of the example
// and of a 5,000-line program inside the page, a keystroke in that program
// up to its next frame (drafts are kept as the user types), a send of the
// longest frame continued in a hidden tab (its timers throttled as Chrome
// does) against the line time, and the site's transfer size (gzip).
//   node bench/web/page_bench.mjs [WEB_BUILD]
import { readdirSync, readFileSync } from 'node:fs';
import { join, resolve } from 'node:path';
import { gzipSync } from 'node:zlib';
import { Board, connectedPage } from '../../web/tests/page/board.mjs';
import { dropFile, openPage, startBrowser } from '../../web/tests/page/harness.mjs';
import { serve } from '../../web/scripts/serve.mjs';

const webBuild = resolve(process.argv[2] ?? 'build-web');
const ROUNDS = 7;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

// Prints one figure beside its target (none: null); true when within it.
function report(name, value, unit, target) {
  const figure = `${name.padEnd(34)} ${value.toFixed(unit === 'KB' ? 1 : 2).padStart(9)} ${unit}`;
  if (target === null) {
    console.log(figure);
    return true;
  }
  const within = value <= target;
  console.log(`${figure.padEnd(50)} target ${target} ${unit}: ${within ? 'ok' : 'OVER TARGET'}`);
  return within;
}

// 5,000 lines: 60 statements (near the image's limit) between comment
// lines, so that the run reads the whole text and succeeds.
function longProgram() {
  const lines = ['PROGRAM dlhy:', 'Zaciatok:'];
  const statements = ['VYSTUP(1,0,1) CAS 10', 'ROTUJ STALE DOPRAVA, ROZBEH 2 CAS 200', 'OPAKUJ Zaciatok: 5'];
  for (let i = 0; i < 60; i++) {
    lines.push(statements[i % statements.length]);
    for (let j = 0; j < 82; j++) lines.push(`// poznámka ${i}.${j}: krokový motorček sa točí`);
  }
  while (lines.length < 4999) lines.push('');
  lines.push('KONIEC');
  return lines.join('\n');
}

// From Button4 to the send's end, the tab hidden right after the click;
// and the line time of the frame sent.
async function hiddenSend(browser, url) {
  const hideable = new URL('../../web/tests/page/hidden_tab_stand_in.js', import.meta.url).pathname;
  const board = new Board();
  const page = await connectedPage(browser, url, board, { prepare: (p) => p.addInitScript({ path: hideable }) });
  const program = `PROGRAM dlhy:\n${'VYSTUP(1,0,1) CAS 20\n'.repeat(61)}KONIEC\n`;
  await dropFile(page, 'dlhy.txt', Buffer.from(program));
  await page.click('#Button1');
  const start = Date.now();
  await page.click('#Button4');
  await page.evaluate(() => window.kmpHideTab());
  await page.waitForSelector('#Button7', { state: 'hidden', timeout: 120000 });
  const took = Date.now() - start;
  await page.context().close();
  return { took, lineMs: (board.received.length * 11 * 1000) / 300 };
}

// The time of one click of Button1, inside the page.
const compileMs = (page) =>
  page.evaluate(() => {
    const start = performance.now();
    document.getElementById('Button1').click();
    return performance.now() - start;
  });

// From a key's keydown to the frame after the editor took it.
async function keystrokeMs(page) {
  await page.evaluate(() => {
    window.benchKeystroke = new Promise((done) => {
      document.addEventListener(
        'keydown',
        () => {
          const start = performance.now();
          requestAnimationFrame(() => setTimeout(() => done(performance.now() - start)));
        },
        { capture: true, once: true },
      );
    });
  });
  await page.keyboard.press('x');
  return page.evaluate(() => window.benchKeystroke);
}

const { server, url } = await serve(join(webBuild, 'site'));
const browser = await startBrowser();
let ok = true;
try {
  const loads = [];
  for (let i = 0; i < ROUNDS; i++) {
    const context = await browser.newContext();
    const page = await context.newPage();
    const start = Date.now();
    await page.goto(url);
    await page.waitForSelector('body[data-ready]');
    loads.push(Date.now() - start);
    await context.close();
  }
  ok = report('load to ready (cold, localhost)', median(loads), 'ms', 1000) && ok;

  const page = await openPage(browser, url);
  const example = [];
  for (let i = 0; i < ROUNDS * 3; i++) example.push(await compileMs(page));
  ok = report('compile of the example', median(example), 'ms', 5) && ok;

  await dropFile(page, 'dlhy.txt', Buffer.from(longProgram()));
  const long = [];
  for (let i = 0; i < ROUNDS; i++) long.push(await compileMs(page));
  report('compile of 5,000 lines', median(long), 'ms', null);
  if ((await page.locator('#Memo1').innerText()).split('\n')[2] !== 'Preklad prebehol úspešne!') throw new Error('the long program did not compile');

  await page.click('#RichEdit1 .cm-content');
  await page.keyboard.press('Control+End');
  const keys = [];
  for (let i = 0; i < ROUNDS * 3; i++) keys.push(await keystrokeMs(page));
  ok = report('keystroke in 5,000 lines (drafts on)', median(keys), 'ms', 16) && ok;

  const send = await hiddenSend(browser, url);
  report('line time of the longest frame', send.lineMs, 'ms', null);
  ok = report('hidden send over the line time', send.took - send.lineMs, 'ms', 1500) && ok;

  const site = join(webBuild, 'site');
  const gzipped = readdirSync(site).reduce((sum, name) => sum + gzipSync(readFileSync(join(site, name)), { level: 9 }).length, 0);
  ok = report('site transfer size (gzip)', gzipped / 1024, 'KB', 400) && ok;
} finally {
  await browser.close();
  server.close();
}
process.exitCode = ok ? 0 : 1;
