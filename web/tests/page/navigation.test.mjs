// The run's places follow edits: after lines are inserted above, an error
// line still selects its token and a listing line lights its source line;
// a deleted token or a newly opened file leaves the old lines doing nothing.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { browserAndSite, dropFile, errorExample, openPage, paneLines, root } from './harness.mjs';

const shared = browserAndSite();
const INSERTED = 2;

async function selection(page) {
  return page.evaluate(() => document.getSelection().toString());
}

// Two empty lines typed at the very start of the text.
async function insertLinesAbove(page) {
  await page.click('#RichEdit1 .cm-content');
  await page.keyboard.press('Control+Home');
  for (let i = 0; i < INSERTED; i += 1) await page.keyboard.press('Enter');
}

test('error lines select their tokens after lines were inserted above', async () => {
  const { places, lines, bytes } = errorExample();
  const page = await openPage(shared.browser, shared.site.url);
  await dropFile(page, 'chyby.txt', bytes);
  await page.click('#Button1');
  const log = await paneLines(page, 'Memo1');
  await insertLinesAbove(page);
  const logLineOf = (place) => log.findIndex((line) => line.includes(`Chyba č. ${place.number} :`));
  for (const place of places) {
    await page.locator('#Memo1 .line').nth(logLineOf(place)).click();
    const token = lines[place.line - 1].slice(place.column - 1, place.column - 1 + place.length);
    assert.equal(await selection(page), token, `error ${place.number}`);
    assert.equal(await page.locator('#Label18').innerText(), `${place.line + INSERTED}:${place.column + place.length}`);
  }
  // The first error's token deleted: its line does nothing, the others still work.
  const [first, second] = places.filter((place) => place.length > 0);
  await page.locator('#Memo1 .line').nth(logLineOf(first)).click();
  await page.keyboard.press('Delete');
  await page.keyboard.press('Control+Home');
  await page.locator('#Memo1 .line').nth(logLineOf(first)).click();
  assert.equal(await page.locator('#Label18').innerText(), '1:1');
  await page.locator('#Memo1 .line').nth(logLineOf(second)).click();
  assert.equal(await selection(page), lines[second.line - 1].slice(second.column - 1, second.column - 1 + second.length));
  // A file opened since: the old log's lines do nothing.
  await dropFile(page, 'priklad.txt', readFileSync(join(root, 'examples/priklad.txt')));
  await page.click('#Answer-no');
  await page.waitForSelector('#RichEdit1 .cm-line:has-text("PROGRAM mojprogram:")');
  await page.locator('#Memo1 .line').nth(logLineOf(second)).click();
  assert.equal(await page.locator('#Label18').innerText(), '1:1');
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('a listing line lights its source line after lines were inserted above', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await page.click('#Button1');
  const listing = await paneLines(page, 'Memo2');
  await insertLinesAbove(page);
  await page.locator('#Memo2 .line').nth(listing.indexOf('10: Moj cyklus')).click();
  assert.equal(await page.locator('#RichEdit1 .kmp-lit').innerText(), 'Moj cyklus:');
  // And the cursor on a moved line lights its listing line.
  await page.locator('#RichEdit1 .cm-line', { hasText: 'VYSTUP(0,1,0) CAS 20' }).click();
  assert.deepEqual(await page.locator('#Memo2 .lit').allInnerTexts(), ['12: 2 20']);
  await page.context().close();
});
