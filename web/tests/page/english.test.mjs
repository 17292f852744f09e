// The page in English: the window's captions and the page's own texts come
// from the project's catalogue, po/en.po.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { catalogue } from '../../scripts/window_texts.mjs';
import { messageBox, openPage, root, browserAndSite } from './harness.mjs';

// Log lines stay Slovak in every language, as the window's do; "OK" is
// the same in English, and a catalogue keeps no entry that changes nothing.
const UNTRANSLATED = new Set(['permissionIf', 'linuxDevices', 'readFault', 'ok']);

test('every text of the page has its English in po/en.po', () => {
  const english = catalogue(join(root, 'po/en.po'));
  const texts = JSON.parse(readFileSync(join(root, 'web/src/page_texts.json'), 'utf8'));
  for (const [name, text] of Object.entries(texts)) {
    if (!UNTRANSLATED.has(name)) assert.ok(english[text], `no English text for ${name}: "${text}"`);
  }
});

const shared = browserAndSite();

test('the page in English', async () => {
  const page = await openPage(shared.browser, `${shared.site.url}?lang=en`, (p) =>
    p.addInitScript(() => Object.defineProperty(Navigator.prototype, 'serial', { get: () => undefined })),
  );
  assert.equal(await page.locator('#Button1').innerText(), 'Compile program into binary form');
  assert.equal(await page.title(), 'Compiler of programs that drive an HDD stepper motor.');
  await page.click('#Button2');
  const box = await messageBox(page);
  assert.equal(box.caption, 'No serial port available');
  assert.match(box.text, /^This browser cannot use a serial port \(Web Serial\)\./);
  await page.context().close();
});
