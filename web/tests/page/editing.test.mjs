// The page as an editor and compiler: typing and compiling, in both forms
// of the page; every error line selecting its token; listing and source
// lighting each other; the timing bars in the image's header.
import assert from 'node:assert/strict';
import { writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import {
  browserAndSite, dropFile, errorExample, fileUrl, kmpc, logLines, messageBox, openPage, paneLines, root, typeProgram,
} from './harness.mjs';

const shared = browserAndSite();

const TYPED = 'PROGRAM motor:\nZaciatok:\nVYSTUP(1,0,1) CAS 50\nROTUJ STALE DOPRAVA, ROZBEH 3 CAS 9\nOPAKUJ Zaciatok: 4\nKONIEC\n';

// The listing and the log of kmpc for the same text, the log's time masked.
function expectedPanes(text, args = []) {
  const file = join(process.env.TMPDIR ?? '/tmp', `kmp-typed-${process.pid}.txt`);
  writeFileSync(file, text);
  const native = kmpc([...args, file]);
  const log = native.err.split('\n').slice(0, -1).map((line, i) => (i === 1 ? '<time>' : line));
  return { listing: native.out.toString('utf8').split('\n').slice(0, -1), log };
}

for (const form of ['site', 'file']) {
  test(`typing a program and compiling it (${form})`, async () => {
    const page = await openPage(shared.browser, form === 'site' ? shared.site.url : fileUrl());
    await typeProgram(page, TYPED);
    await page.keyboard.press('F5');
    const expected = expectedPanes(TYPED);
    assert.deepEqual(await paneLines(page, 'Memo2'), expected.listing);
    assert.deepEqual(await logLines(page), expected.log);
    assert.equal(await page.locator('#Memo2').evaluate((pane) => getComputedStyle(pane).color), 'rgb(0, 255, 0)');
    assert.equal(await page.locator('#Label18').innerText(), '7:1');
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });
}

test('every error line selects its token', async () => {
  const { places, lines, bytes } = errorExample();
  const page = await openPage(shared.browser, shared.site.url);
  await dropFile(page, 'chyby.txt', bytes);
  await page.click('#Button1');
  const log = await paneLines(page, 'Memo1');
  assert.equal(await page.locator('#Memo2').evaluate((pane) => getComputedStyle(pane).color), 'rgb(255, 0, 0)');
  for (const place of places) {
    const logLine = log.findIndex((line) => line.includes(`Chyba č. ${place.number} :`));
    await page.locator('#Memo1 .line').nth(logLine).click();
    const token = lines[place.line - 1].slice(place.column - 1, place.column - 1 + place.length);
    assert.equal(await page.evaluate(() => document.getSelection().toString()), token, `error ${place.number}`);
    assert.equal(await page.locator('#Label18').innerText(), `${place.line}:${place.column + place.length}`);
  }
  // Enter on a chosen line does the same.
  const last = places.at(-1);
  await page.locator('#Memo1 .line').nth(log.findIndex((line) => line.includes('Chyba č. 1 :'))).click();
  await page.locator('#Memo1').focus();
  await page.keyboard.press('Enter');
  assert.equal(await page.locator('#Label18').innerText(), `${places[0].line}:${places[0].column + places[0].length}`);
  // Each mark carries its message as tooltip.
  const titles = await page.locator('#RichEdit1 .kmp-error').evaluateAll((marks) => marks.map((mark) => mark.title));
  assert.ok(titles.includes(last.message), titles.join('|'));
  await page.context().close();
});

test('a program too long for the image', async () => {
  const text = ['PROGRAM dlhy:', ...Array(63).fill('RESET'), 'KONIEC', ''].join('\n');
  const page = await openPage(shared.browser, shared.site.url);
  await dropFile(page, 'dlhy.txt', Buffer.from(text));
  await page.click('#Button1');
  assert.deepEqual(await messageBox(page), {
    caption: 'Prekladač programu na riadenie krokového motorčeka z HDD',
    text: 'Range check error.',
  });
  // The statement that no longer fits is marked, with the hint that says why.
  await page.click('#Answer-ok');
  const mark = page.locator('#RichEdit1 .kmp-error');
  assert.deepEqual(await mark.allInnerTexts(), ['RESET']);
  assert.equal(await mark.getAttribute('title'), 'Range check error\nProgram môže mať najviac 62 príkazov.');
  await mark.click();
  assert.match(await page.locator('#Label18').innerText(), /^64:/);
  await page.context().close();
});

test('a listing line lights its source line, and the cursor its listing lines', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await page.click('#Button1');
  const listing = await paneLines(page, 'Memo2');
  const cycle = listing.indexOf('10: Moj cyklus');
  await page.locator('#Memo2 .line').nth(cycle).click();
  assert.equal(await page.locator('#RichEdit1 .kmp-lit').innerText(), 'Moj cyklus:');
  assert.equal(await page.locator('#Label18').innerText(), '1:1', 'the cursor stays');
  await page.locator('#RichEdit1 .cm-line', { hasText: 'VYSTUP(0,1,0) CAS 20' }).click();
  assert.deepEqual(await page.locator('#Memo2 .lit').allInnerTexts(), ['12: 2 20']);
  await page.context().close();
});

// The bars and their number fields set the image's header, as kmpc's options do.
const TIMINGS = [
  { fields: { TrackBar1Value: 1, TrackBar2Value: 65535, TrackBar3Value: 0 }, args: ['--period', '1', '--delay', '65535', '--prescaler', '0'] },
  { fields: { TrackBar1Value: 300, TrackBar2Value: 254, TrackBar3Value: 9 }, args: ['--period', '253', '--delay', '254', '--prescaler', '7'] },
];
for (const { fields, args } of TIMINGS) {
  test(`timing ${args.join(' ')}`, async () => {
    const page = await openPage(shared.browser, shared.site.url);
    for (const [id, value] of Object.entries(fields)) await page.fill(`#${id}`, String(value)).then(() => page.press(`#${id}`, 'Enter'));
    await page.click('#Button1');
    const expected = kmpc([...args, join(root, 'examples/priklad.txt')]).out.toString('utf8').split('\n')[0];
    assert.equal((await paneLines(page, 'Memo2'))[0], expected);
    await page.context().close();
  });
}
