// The page as a school's server gets it and keeps it up to date: the zip of
// make dist-web (its files, its site served and compiling), one version in
// the zip's name, the footer and the worker's cache, and the notice of a
// new version fetched by the worker, held back while a send runs.
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { cpSync, mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { dirname, join } from 'node:path';
import { after, test } from 'node:test';
import { serve } from '../../scripts/serve.mjs';
import { Board } from './board.mjs';
import { browserAndSite, kmpcPath, openPage, paneLines, typeProgram, webBuild } from './harness.mjs';

const shared = browserAndSite();
const work = mkdtempSync(join(tmpdir(), 'kmp-release-'));
after(() => rmSync(work, { recursive: true, force: true }));

const version = readFileSync(join(webBuild, 'core/generated/version.txt'), 'utf8').trim();
const NOTICE = 'Je k dispozícii nová verzia stránky; načítajte ju znova.';

test('the page and the programs are built with one version', () => {
  const native = readFileSync(join(dirname(kmpcPath), '../generated/version.txt'), 'utf8').trim();
  assert.equal(version, native);
  const kmpc = spawnSync(kmpcPath, ['--version']).stdout.toString();
  assert.equal(kmpc, `kmpc (kmp) ${version}\n`);
  const worker = readFileSync(join(webBuild, 'site/sw.js'), 'utf8');
  assert.equal(worker.match(/const CACHE = '(kmp-.+)-[0-9a-f]{12}';/)?.[1], `kmp-${version}`);
});

test('the zip holds the site, kmp.html with its statements and SERVER.txt, and its site compiles', async () => {
  const zips = readdirSync(webBuild).filter((name) => name.endsWith('.zip'));
  assert.deepEqual(zips, [`kmp-web-${version}.zip`]);
  const zip = join(webBuild, zips[0]);
  const listed = spawnSync('unzip', ['-Z1', zip]).stdout.toString().split('\n').filter(Boolean).sort();
  const site = readdirSync(join(webBuild, 'site')).map((name) => `site/${name}`);
  assert.deepEqual(listed, ['SERVER.txt', 'accessibility.html', 'kmp.html', 'pristupnost.html', 'site/', ...site].sort());
  const unpacked = join(work, 'unzipped');
  assert.equal(spawnSync('unzip', ['-q', zip, '-d', unpacked]).status, 0);
  const server = readFileSync(join(unpacked, 'SERVER.txt'), 'utf8');
  for (const text of ['kmp na školskom serveri', "kmp on a school's server", 'application/manifest+json', 'DefaultSerialGuardSetting', NOTICE]) {
    assert.ok(server.includes(text), text);
  }

  const served = await serve(join(unpacked, 'site'));
  try {
    const page = await openPage(shared.browser, served.url);
    assert.equal(await page.locator('#Label15').innerText(), `kmp – riadenie krokového motorčeka, verzia ${version}, 2026`);
    await typeProgram(page, 'PROGRAM z:\nRESET\nKONIEC\n');
    await page.keyboard.press('F5');
    assert.ok((await paneLines(page, 'Memo1')).includes('Preklad prebehol úspešne!'));
    assert.deepEqual(page.errors, []);
    await page.context().close();
  } finally {
    served.server.close();
  }
});

// A copy of the site on a server of its own, which a second build replaces.
async function siteCopy(name) {
  const folder = join(work, name);
  cpSync(join(webBuild, 'site'), folder, { recursive: true });
  const served = await serve(folder);
  return {
    url: served.url,
    close: () => served.server.close(),
    // What a new build changes: the script and the worker's cache name.
    replaceWithSecondBuild() {
      writeFileSync(join(folder, 'app.js'), `${readFileSync(join(folder, 'app.js'), 'utf8')}\nwindow.kmpSecondBuild = true;\n`);
      const worker = readFileSync(join(folder, 'sw.js'), 'utf8');
      writeFileSync(join(folder, 'sw.js'), worker.replace(/'kmp-[^']+'/, `'kmp-${version}-second'`));
    },
  };
}

// Resolves once the page is controlled by the site's worker.
function controlled(page) {
  return page.evaluate(
    () => new Promise((done) => (navigator.serviceWorker.controller ? done() : navigator.serviceWorker.addEventListener('controllerchange', done))),
  );
}

test('a new version is announced at the next visit and loads with the button', async () => {
  const site = await siteCopy('update');
  try {
    const page = await openPage(shared.browser, site.url);
    await controlled(page);
    assert.equal(await page.locator('#NewVersion').isHidden(), true);
    site.replaceWithSecondBuild();
    // The next visit still gets the kept page, while the worker fetches the new one.
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    await page.waitForSelector('#NewVersion', { state: 'visible' });
    assert.equal(await page.locator('#NewVersion .notice-text').innerText(), NOTICE);
    assert.equal(await page.evaluate(() => window.kmpSecondBuild ?? false), false);
    await page.click('#NewVersionReload');
    await page.waitForFunction(() => window.kmpSecondBuild === true && document.body.dataset.ready);
    assert.equal(await page.locator('#NewVersion').isHidden(), true);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  } finally {
    site.close();
  }
});

test('the notice waits for the end of a send', async () => {
  const site = await siteCopy('mid-send');
  // CTS off with the handshake on holds the send until the board allows it.
  const board = new Board({ cts: false });
  try {
    const page = await openPage(shared.browser, site.url, (p) => board.attach(p));
    await controlled(page);
    await page.click('#Button1');
    await page.check('#CheckBox1');
    await page.click('#Button2');
    await page.waitForSelector('#Button4:enabled');
    await page.click('#Button4');
    await page.waitForSelector('#Button7', { state: 'visible' });
    site.replaceWithSecondBuild();
    await page.evaluate(async () => {
      const taken = new Promise((done) => navigator.serviceWorker.addEventListener('controllerchange', done, { once: true }));
      await (await navigator.serviceWorker.getRegistration()).update();
      await taken;
    });
    assert.equal(await page.locator('#NewVersion').isHidden(), true);
    board.cts = true;
    await page.waitForSelector('#Button7', { state: 'hidden' });
    await page.waitForSelector('#NewVersion', { state: 'visible' });
    assert.equal(board.received.length > 0, true);
    await page.context().close();
  } finally {
    site.close();
  }
});
