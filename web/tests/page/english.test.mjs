// The page in English: the window's captions and the page's own texts come
// from the project's catalogue, po/en.po.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { catalogue } from '../../scripts/window_texts.mjs';
import { openPage, root, browserAndSite } from './harness.mjs';

// Log lines stay Slovak in every language, as the window's do; "OK" is
// the same in English, and a catalogue keeps no entry that changes nothing.
const UNTRANSLATED = new Set(['permissionIf', 'linuxDevices', 'readFault', 'noSerial', 'notSecure', 'simulatedNote', 'draftRestored', 'draftRefused', 'noPortChosen', 'noPortHint', 'ok']);

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
  assert.equal(await page.locator('#ChoosePort').innerText(), 'Other port…');
  assert.equal(await page.locator('#Help').innerText(), 'Language reference');
  // Without Web Serial, Button2 connects the simulated board.
  await page.click('#Button2');
  await page.waitForSelector('#SimFaults:visible');
  assert.deepEqual(await page.locator('#SimFaults label').allInnerTexts(), ['Returns nothing', 'Changes a byte', 'Pulled mid-send']);
  await page.click('#Button2');
  await page.click('#ChoosePort');
  assert.deepEqual(await page.locator('#PortChoice button').allInnerTexts(), ['Serial port…', 'Simulated board', 'Cancel']);
  assert.equal(await page.locator('#PortChoiceCaption').innerText(), 'Connect to');
  await page.keyboard.press('Escape');
  await page.context().close();
});
