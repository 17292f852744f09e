// Work kept in the browser: a reload, a closed tab and a reopened one bring
// the text, the timing values and the title back; two tabs keep a draft
// each; the drafts of closed tabs are listed; a full storage is said once.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { browserAndSite, fileUrl, messageBox, openPage, paneLines, typeProgram } from './harness.mjs';

const shared = browserAndSite();
const PROGRAM_A = 'PROGRAM prvy:\nRESET\nKONIEC\n';
const PROGRAM_B = 'PROGRAM druhy:\nVYSTUP(1,0,1) CAS 5\nKONIEC\n';
const RESTORED = /^Obnovený neuložený program z \d\d:\d\d\.$/;

// Resolves once this origin's drafts hold a text that includes `text`
// (asked from Node: a page function's promise is not waited for).
async function draftSaved(page, text) {
  for (;;) {
    const texts = await page.evaluate(async () => {
      const db = await new Promise((resolve) => {
        const request = indexedDB.open('kmp');
        request.onsuccess = () => resolve(request.result);
      });
      if (!db.objectStoreNames.contains('drafts')) return db.close(), [];
      const all = await new Promise((resolve) => {
        const request = db.transaction('drafts').objectStore('drafts').getAll();
        request.onsuccess = () => resolve(request.result);
      });
      db.close();
      return all.map((draft) => draft.text);
    });
    if (texts.some((saved) => saved.includes(text))) return;
    await page.waitForTimeout(100);
  }
}

async function newTab(context, url) {
  const page = await context.newPage();
  page.errors = [];
  page.on('pageerror', (error) => page.errors.push(error.message));
  await page.goto(url);
  await page.waitForSelector('body[data-ready]');
  return page;
}

// The editor's lines as shown (the programs here are short enough to be
// shown whole).
const editorText = async (page) =>
  (await page.locator('#RichEdit1 .cm-line').allInnerTexts()).map((line) => line.replace(/\n$/, '')).join('\n');

for (const form of ['site', 'file']) {
  test(`a reload brings the draft back (${form})`, async () => {
    const url = form === 'site' ? shared.site.url : fileUrl();
    const page = await openPage(shared.browser, url);
    const caption = await page.title();
    await page.fill('#TrackBar1Value', '77');
    await page.press('#TrackBar1Value', 'Enter');
    await typeProgram(page, PROGRAM_A);
    await draftSaved(page, PROGRAM_A);
    await page.reload();
    await page.waitForSelector('body[data-ready]');
    assert.equal(await editorText(page), PROGRAM_A);
    assert.equal(await page.inputValue('#TrackBar1Value'), '77');
    assert.equal(await page.title(), `${caption}*`);
    assert.match((await paneLines(page, 'Memo1'))[0], RESTORED);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });
}

test('a closed tab comes back in a new one; a second open tab starts afresh', async () => {
  const first = await openPage(shared.browser, shared.site.url);
  const context = first.context();
  const example = (await editorText(first)).split('\n')[0];
  await typeProgram(first, PROGRAM_A);
  await draftSaved(first, PROGRAM_A);
  // Opened while the first is open: the example, not the other's text.
  const second = await newTab(context, shared.site.url);
  assert.equal((await editorText(second)).split('\n')[0], example);
  await typeProgram(second, PROGRAM_B);
  await draftSaved(second, PROGRAM_B);
  await first.reload();
  await first.waitForSelector('body[data-ready]');
  assert.equal(await editorText(first), PROGRAM_A, 'the other tab did not overwrite it');
  await first.close();
  await second.close();
  // With no tab open, the draft changed last comes back.
  const third = await newTab(context, shared.site.url);
  assert.equal(await editorText(third), PROGRAM_B);
  assert.match((await paneLines(third, 'Memo1'))[0], RESTORED);

  // The other closed tab's draft is listed with its program's name.
  await third.click('#Drafts');
  await third.waitForSelector('#DraftList[open]');
  const entries = await third.locator('#DraftEntries button').allInnerTexts();
  assert.equal(entries.length, 1, entries.join('|'));
  assert.match(entries[0], /^prvy – /);
  await third.click('#DraftEntries button');
  // The restored text is unsaved: the question first; No lets it go.
  assert.equal((await messageBox(third)).caption, 'Program nie je uložený');
  await third.click('#Answer-no');
  await third.waitForFunction(() => document.querySelector('#RichEdit1').innerText.includes('prvy'));
  assert.equal(await editorText(third), PROGRAM_A);
  await third.click('#Drafts');
  await third.waitForSelector('#DraftList[open]');
  assert.equal(await third.locator('#DraftEntries button').count(), 0);
  assert.ok(await third.locator('#NoDrafts').isVisible());
  await third.keyboard.press('Escape');
  assert.deepEqual(third.errors, []);
  await context.close();
});

test('a refused storage is said once, and the page goes on', async () => {
  const page = await openPage(shared.browser, shared.site.url, (p) =>
    p.addInitScript(() => {
      IDBObjectStore.prototype.put = () => {
        throw new DOMException('The quota has been exceeded.', 'QuotaExceededError');
      };
    }),
  );
  await typeProgram(page, PROGRAM_A);
  await page.waitForFunction(() => document.getElementById('Memo1').innerText.includes('Prehliadač nedovolil'));
  await page.keyboard.type('RESET\n');
  await page.waitForTimeout(1200);
  const refusals = (await paneLines(page, 'Memo1')).filter((line) => line.startsWith('Prehliadač nedovolil'));
  assert.deepEqual(refusals, ['Prehliadač nedovolil uložiť koncept: QuotaExceededError: The quota has been exceeded.']);
  await page.click('#Button1');
  assert.equal((await paneLines(page, 'Memo2'))[0].length > 0, true);
  await page.context().close();
});
