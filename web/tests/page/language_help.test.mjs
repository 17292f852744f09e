// The language's help in the page, from the core's one source: F1 and Help
// open the reference at the statement of the cursor's line and give the
// focus back; a keyword's hover and Ctrl+I show its form and ranges; the
// templates on Ctrl+Space and two letters, with the first value selected.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { core } from './core_in_node.mjs';
import { browserAndSite, openPage, paneLines, typeProgram } from './harness.mjs';

const shared = browserAndSite();

const PROGRAM = [
  'PROGRAM p:',
  '  VYSTUP(0,0,0) CAS 1',
  'CASOVANIE 4, PERIODA 120',
  'RESET',
  'Z:',
  'ROTUJ STALE DOLAVA, ROZBEH 2 CAS 3',
  'OPAKUJ Z: 2',
  'AK DIGITAL (VSTUP1) AND (VSTUP2) SKOK Z:',
  'KONIEC',
].join('\n');

// Puts the cursor at the start of `line` (0-based) of the editor.
async function cursorToLine(page, line) {
  await page.click('#RichEdit1 .cm-content');
  await page.keyboard.press('Control+Home');
  for (let i = 0; i < line; i += 1) await page.keyboard.press('ArrowDown');
  await page.keyboard.press('End');
}

const focusedId = (page) => page.evaluate(() => document.activeElement?.closest('[id]')?.id);

test('F1 opens the reference at the statement of the line, Escape gives the focus back', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await typeProgram(page, PROGRAM);
  const cases = [
    [1, 'VYSTUP'],
    [2, 'CASOVANIE'],
    [3, 'RESET'],
    [5, 'ROTUJ'],
    [6, 'OPAKUJ'],
    [7, 'AK … SKOK'],
  ];
  for (const [line, heading] of cases) {
    await cursorToLine(page, line);
    await page.keyboard.press('F1');
    await page.waitForSelector('#Reference[open]');
    assert.equal(await page.locator('#Reference h3[aria-current="true"]').innerText(), heading);
    assert.equal(await page.evaluate(() => document.activeElement.getAttribute('aria-current')), 'true', heading);
    await page.keyboard.press('Escape');
    await page.waitForFunction(() => !document.getElementById('Reference').open);
    assert.equal(await focusedId(page), 'RichEdit1', heading);
  }
  // A line without a statement opens the reference at its start.
  await cursorToLine(page, 4);
  await page.keyboard.press('F1');
  assert.equal(await page.locator('#Reference h3[aria-current="true"]').count(), 0);
  assert.equal(await page.locator('#ReferenceTitle').innerText(), 'Jazyk riadiaceho programu');
  await page.click('#ReferenceClose');
  // Help, from the keyboard, returns the focus to itself.
  await page.focus('#Help');
  await page.keyboard.press('Enter');
  await page.waitForSelector('#Reference[open]');
  await page.keyboard.press('Escape');
  assert.equal(await focusedId(page), 'Help');
  assert.equal(await page.locator('#Help').innerText(), 'Príručka jazyka');
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('the reference is English when the page is', async () => {
  const page = await openPage(shared.browser, `${shared.site.url}?lang=en`);
  await page.click('#Help');
  assert.equal(await page.locator('#ReferenceTitle').innerText(), core.referenceMarkdown(true).split('\n')[0].slice(2));
  assert.equal(await page.locator('#Help').innerText(), 'Language reference');
  await page.context().close();
});

test("a keyword's hover and Ctrl+I show its statement's form and ranges", async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await typeProgram(page, PROGRAM);
  for (const keyword of ['VYSTUP', 'CAS', 'CASOVANIE', 'PERIODA', 'ROZBEH', 'OPAKUJ', 'DIGITAL', 'SKOK']) {
    await page.mouse.move(0, 0);
    await page.locator('#RichEdit1 .kmp-keyword', { hasText: new RegExp(`^${keyword}$`) }).first().hover();
    const tip = page.locator('.kmp-keyword-help');
    await tip.waitFor();
    assert.equal(await tip.innerText(), core.keywordForm(keyword, false), keyword);
  }
  assert.match(core.keywordForm('PERIODA', false), /^Tvar: CASOVANIE n, PERIODA p\./);
  await page.mouse.move(0, 0);
  await page.locator('.kmp-keyword-help').waitFor({ state: 'detached' });
  // The keyboard's way: Ctrl+I at the cursor, Escape closes it.
  await cursorToLine(page, 3);
  await page.keyboard.press('Home');
  await page.keyboard.press('Control+I');
  assert.equal(await page.locator('.kmp-keyword-help').innerText(), core.keywordForm('RESET', false));
  await page.keyboard.press('Escape');
  assert.equal(await page.locator('.kmp-keyword-help').count(), 0);
  await page.context().close();
});

// The offered templates with their trailing blanks.
const offered = (page) => page.locator('.cm-tooltip-autocomplete li').evaluateAll((items) => items.map((item) => item.textContent));
// The list of templates once it takes keys: CodeMirror ignores them for its
// interaction delay (75 ms) after it opens.
async function templateList(page) {
  await page.waitForSelector('.cm-tooltip-autocomplete');
  await page.waitForTimeout(150);
}

// The editor's line (1-based) as shown.
const lineText = (page, line) => page.locator('#RichEdit1 .cm-line').nth(line - 1).textContent();

test('the templates: Ctrl+Space offers all, VY offers VYSTUP, the first value is selected', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await typeProgram(page, 'PROGRAM p:\n');
  await page.keyboard.press('Control+Space');
  await page.waitForSelector('.cm-tooltip-autocomplete');
  assert.deepEqual(await offered(page), core.statementTemplates());
  assert.equal((await offered(page)).length, 11);
  await page.keyboard.press('Escape');
  await page.keyboard.type('VY');
  await templateList(page);
  assert.deepEqual(await offered(page), ['VYSTUP(0,0,0) CAS 0']);
  await page.keyboard.press('Enter');
  assert.equal(await lineText(page, 2), 'VYSTUP(0,0,0) CAS 0');
  assert.equal(await page.evaluate(() => document.getSelection().toString()), '0');
  await page.keyboard.type('1');
  assert.equal(await lineText(page, 2), 'VYSTUP(1,0,0) CAS 0');
  // ROTUJ: four of them; after the whole keyword none, and Enter after
  // KONIEC makes a new line.
  await page.keyboard.press('End');
  await page.keyboard.type('\nRO');
  await templateList(page);
  assert.equal((await offered(page)).length, 4);
  await page.keyboard.press('ArrowDown');
  await page.keyboard.press('Enter');
  assert.equal(await lineText(page, 3), 'ROTUJ DOPRAVA, ROZBEH 0 CAS 0');
  await page.keyboard.press('End');
  await page.keyboard.type('\nKONIEC');
  assert.equal(await page.locator('.cm-tooltip-autocomplete').count(), 0);
  await page.keyboard.press('Enter');
  await page.keyboard.press('F5');
  assert.ok((await paneLines(page, 'Memo1')).includes('Preklad prebehol úspešne!'));
  assert.equal(await page.evaluate(() => document.querySelector('#RichEdit1 .cm-content').innerText.trimEnd()), 'PROGRAM p:\nVYSTUP(1,0,0) CAS 0\nROTUJ DOPRAVA, ROZBEH 0 CAS 0\nKONIEC');
  assert.equal(await page.locator('#Label18').innerText(), '5:1');
  await page.context().close();
});
