// Share: the link of each example read back by Node's own inflate, its QR
// code read by jsQR, a link opened into the page, the links that cannot be
// read (the page's line and kmpc's message alike), a page from disk, and
// no content-security-policy violation on either form of the page.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { deflateRawSync, inflateRawSync } from 'node:zlib';
import jsQR from 'jsqr';
import { browserAndSite, dropFile, fileUrl, kmpc, messageBox, openPage, root, typeProgram, webBuild } from './harness.mjs';

const shared = browserAndSite();
const temp = (name) => join(process.env.TMPDIR ?? '/tmp', `kmp-${process.pid}-${name}`);
const editorText = (page) => page.locator('#RichEdit1 .cm-content').innerText();
const values = (page) =>
  page.evaluate(() => ['TrackBar1', 'TrackBar2', 'TrackBar3'].map((id) => Number(document.getElementById(id).value)));

// A fragment made here, independently of the page: raw deflate, base64url.
const fragmentOf = (text, c = '3.200.1') => `p=${deflateRawSync(Buffer.from(text, 'utf8')).toString('base64url')}&c=${c}`;

async function setValue(page, id, value) {
  await page.fill(`#${id}Value`, String(value));
  await page.press(`#${id}Value`, 'Enter');
}

async function shareLink(page) {
  await page.click('#Share');
  await page.waitForSelector('#ShareDialog[open]');
  return page.inputValue('#ShareLink');
}

// The QR code on the canvas, read by jsQR.
async function readCode(page) {
  const { width, height, data } = await page.evaluate(() => {
    const canvas = document.getElementById('ShareCode');
    const pixels = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
    let binary = '';
    for (let i = 0; i < pixels.length; i += 1) binary += String.fromCharCode(pixels[i]);
    return { width: canvas.width, height: canvas.height, data: btoa(binary) };
  });
  return jsQR(new Uint8ClampedArray(Buffer.from(data, 'base64')), width, height)?.data;
}

for (const example of ['priklad.txt', 'chyby.txt']) {
  test(`the share link of ${example} holds its text and values, and so does its QR code`, async () => {
    const path = join(root, 'examples', example);
    const page = await openPage(shared.browser, shared.site.url);
    await dropFile(page, example, readFileSync(path));
    await page.waitForFunction((name) => document.title.startsWith(name), example);
    await setValue(page, 'TrackBar1', 77);
    await setValue(page, 'TrackBar2', 65535);
    await setValue(page, 'TrackBar3', 0);
    const link = await shareLink(page);
    const url = new URL(link);
    assert.equal(`${url.origin}${url.pathname}`, shared.site.url.replace(/\/?$/, '/'));
    const fields = new URLSearchParams(url.hash.slice(1));
    assert.equal(inflateRawSync(Buffer.from(fields.get('p'), 'base64')).toString('utf8'), kmpc(['--text', path]).out.toString('utf8'));
    assert.equal(fields.get('c'), '0.77.65535');
    assert.equal(await readCode(page), link);
    assert.equal(await page.evaluate(() => document.activeElement.id), 'ShareCopy');
    await page.keyboard.press('Escape');
    assert.equal(await page.evaluate(() => document.activeElement.id), 'Share', 'the focus goes back');
    await page.context().close();
  });
}

test('a link opens its program, unsaved, after the question; the work before stays a draft', async () => {
  const text = 'PROGRAM zdielany:\n// ľščťžýáíé\nKONIEC';
  const page = await openPage(shared.browser, shared.site.url);
  const caption = await page.title();
  await typeProgram(page, 'PROGRAM moja_praca:\nKONIEC');
  await page.waitForTimeout(400); // the draft is written
  await page.evaluate((hash) => (location.hash = hash), fragmentOf(text, '5.12.300'));
  assert.equal((await messageBox(page)).caption, 'Program nie je uložený');
  await page.click('#Answer-no');
  await page.waitForFunction(() => document.querySelector('#RichEdit1 .cm-content').innerText.startsWith('PROGRAM zdielany'));
  assert.equal(await editorText(page), text);
  assert.deepEqual(await values(page), [12, 300, 5]);
  assert.equal(await page.title(), `${caption}*`);
  assert.equal(await page.evaluate(() => location.hash), '', 'a reload brings back the draft, not the link');
  await page.click('#Drafts');
  await page.waitForSelector('#DraftList[open]');
  assert.match(await page.locator('#DraftEntries button').first().innerText(), /^moja_praca – /);
  await page.keyboard.press('Escape');
  await page.context().close();
});

test('a link given to a new tab opens at once; Cancel on the question keeps the text', async () => {
  const page = await openPage(shared.browser, `${shared.site.url}#${fragmentOf('PROGRAM a:\nKONIEC', '3.200.1')}`);
  await page.waitForFunction(() => document.querySelector('#RichEdit1 .cm-content').innerText === 'PROGRAM a:\nKONIEC');
  await page.evaluate((hash) => (location.hash = hash), fragmentOf('PROGRAM b:\nKONIEC'));
  await messageBox(page);
  await page.click('#Answer-cancel');
  await page.waitForTimeout(100);
  assert.equal(await editorText(page), 'PROGRAM a:\nKONIEC');
  await page.context().close();
});

const good = deflateRawSync(Buffer.from('PROGRAM a:\nKONIEC')).toString('base64url');
const BAD_LINKS = [
  { what: 'bad base64', fragment: 'p=ab*d&c=3.200.1' },
  { what: 'bad deflate', fragment: `p=${Buffer.from('not deflate').toString('base64url')}` },
  { what: 'cut short', fragment: `p=${good.slice(0, -3)}` },
  { what: 'not UTF-8', fragment: `p=${deflateRawSync(Buffer.from([0x50, 0xff, 0xfe])).toString('base64url')}` },
  { what: 'too big', fragment: `p=${deflateRawSync(Buffer.alloc(65537, 0x61)).toString('base64url')}` },
  { what: 'a value out of range', fragment: `p=${good}&c=8.200.1` },
  { what: 'too few values', fragment: `p=${good}&c=3.200` },
];

test('a link that cannot be read leaves the page as it was, with its line, as kmpc says it', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  const before = { text: await editorText(page), values: await values(page), title: await page.title() };
  for (const { what, fragment } of BAD_LINKS) {
    const out = temp('linked.kmp');
    const run = kmpc(['--from-link', `https://kmp.example/#${fragment}`, out]);
    assert.equal(run.status, 1, what);
    const reason = run.err.replace(/^kmpc: /, '').trimEnd();
    assert.match(reason, /^Odkaz na program sa nedá prečítať: /, what);
    await page.evaluate((hash) => (location.hash = hash), fragment);
    await page.waitForFunction((line) => document.getElementById('Memo1').innerText.split('\n').includes(line), reason);
    assert.deepEqual({ text: await editorText(page), values: await values(page), title: await page.title() }, before, what);
    await page.evaluate(() => document.getElementById('Memo1').replaceChildren());
  }
  await page.context().close();
});

test('kmpc --from-link writes the bytes of the page save and prints the values', async () => {
  const saves = [];
  const page = await openPage(shared.browser, shared.site.url, async (p) => {
    await p.exposeFunction('kmpPickOpen', () => null);
    await p.exposeFunction('kmpSaved', (file) => saves.push(file));
    await p.addInitScript({ path: new URL('./file_pickers_stand_in.js', import.meta.url).pathname });
  });
  await typeProgram(page, 'PROGRAM uloz:\n// čšž\nKONIEC');
  await setValue(page, 'TrackBar1', 9);
  const link = await shareLink(page);
  await page.keyboard.press('Escape');
  await page.click('#Button6');
  await page.waitForFunction(() => !document.title.includes('*'));
  await page.waitForTimeout(50);
  const out = temp('from-link.kmp');
  const run = kmpc(['--from-link', link, out]);
  assert.equal(run.status, 0, run.err);
  assert.equal(run.out.toString(), '--prescaler 3 --period 9 --delay 1\n');
  assert.deepEqual([...readFileSync(out)], saves[0].bytes);
  await page.context().close();
});

test('a program too long for a code offers the link only', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  // Random words compress badly: the link passes what version 40 holds.
  let text = 'PROGRAM dlhy:\n';
  let seed = 7;
  while (text.length < 9000) {
    seed = (seed * 1103515245 + 12345) % 2147483648;
    text += `// ${seed.toString(36)}\n`;
  }
  const fragment = fragmentOf(text);
  await page.evaluate((hash) => (location.hash = hash), fragment);
  await page.waitForFunction(() => document.querySelector('#RichEdit1 .cm-content').innerText.startsWith('PROGRAM dlhy'));
  const link = await shareLink(page);
  assert.ok(link.length > 4296, `the link is ${link.length} characters`);
  assert.equal(await page.locator('#ShareNote').innerText(), 'Program je pridlhý na QR kód; zdieľajte ho odkazom.');
  assert.equal(await page.locator('#ShareCode').isVisible(), false);
  await page.context().close();
});

test('a page from disk has no address to share', async () => {
  const page = await openPage(shared.browser, fileUrl());
  await page.click('#Share');
  await page.waitForSelector('#ShareDialog[open]');
  assert.match(await page.locator('#ShareNote').innerText(), /^Stránka otvorená zo súboru nemá adresu/);
  assert.equal(await page.locator('#ShareLinkRow').isVisible(), false);
  assert.equal(await page.locator('#ShareCode').isVisible(), false);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'ShareClose');
  await page.context().close();
});

// Violations of the policy, and markup run from a program, as the page sees them.
const WATCH = () => {
  window.cspViolations = [];
  document.addEventListener('securitypolicyviolation', (event) => window.cspViolations.push(`${event.violatedDirective} ${event.blockedURI}`));
};
const HOSTILE = 'PROGRAM x:\n// <script>window.ran = 1</script>\n// <img src=x onerror="window.ran = 2">\nKONIEC';

for (const form of ['site', 'kmp.html']) {
  test(`${form}: a link is data, and the page breaks none of its policy`, async () => {
    const url = form === 'site' ? shared.site.url : fileUrl();
    const page = await openPage(shared.browser, `${url}#${fragmentOf(HOSTILE)}`, (p) => p.addInitScript(WATCH));
    await page.waitForFunction(() => document.querySelector('#RichEdit1 .cm-content').innerText.includes('<script>'));
    assert.equal(await editorText(page), HOSTILE);
    await page.click('#Button1');
    await page.click('#Help');
    await page.waitForSelector('#Reference[open]');
    await page.keyboard.press('Escape');
    await page.click('#Share');
    await page.keyboard.press('Escape');
    await page.click('#Drafts');
    await page.keyboard.press('Escape');
    await page.waitForTimeout(100);
    assert.equal(await page.evaluate(() => window.ran), undefined);
    assert.deepEqual(await page.evaluate(() => window.cspViolations), []);
    assert.deepEqual(page.errors, []);
    const policy = await page.evaluate(() => document.querySelector('meta[http-equiv="Content-Security-Policy"]').content);
    assert.doesNotMatch(policy, /'unsafe-inline'|'unsafe-eval'/);
    await page.context().close();
  });
}

test('the accessibility statements name the standard and the contact address', () => {
  for (const name of ['pristupnost.html', 'accessibility.html']) {
    const statement = readFileSync(join(webBuild, 'site', name), 'utf8');
    assert.match(statement, /mailto:kmp@kmp\.test/);
    assert.match(statement, /EN 301 549/);
  }
});
