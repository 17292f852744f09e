// Open and save: the saved bytes as kmpc --to-kmp writes them, for files in
// every encoding; Ctrl+S to the same file; the question before unsaved text
// goes; the page offline after one visit.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { dropFile, kmpc, messageBox, openPage, root, browserAndSite, typeProgram } from './harness.mjs';

const shared = browserAndSite();

const temp = (name) => join(process.env.TMPDIR ?? '/tmp', `kmp-${process.pid}-${name}`);
const EXAMPLE = join(root, 'examples/priklad.txt');

// kmpc --to-kmp of `path`: the bytes the window's save writes.
function savedByKmpc(path) {
  const out = temp('expected.kmp');
  assert.equal(kmpc(['--to-kmp', path, out]).status, 0);
  return [...readFileSync(out)];
}

// A page with the picker stand-ins: `picked` is what the open picker gives,
// `saves` collects what the page writes.
async function pageWithPickers(picked = null) {
  const saves = [];
  const page = await openPage(shared.browser, shared.site.url, async (p) => {
    await p.exposeFunction('kmpPickOpen', () => picked);
    await p.exposeFunction('kmpSaved', (file) => saves.push(file));
    await p.addInitScript({ path: new URL('./file_pickers_stand_in.js', import.meta.url).pathname });
  });
  return { page, saves };
}

const ENCODED_FILES = [
  { name: 'priklad.txt', bytes: () => readFileSync(EXAMPLE) },
  { name: 'cp1250.txt', bytes: () => Buffer.from([0x2f, 0x2f, 0x20, 0x9d, 0x61, 0x9e, 0x6b, 0xfd, 0x0d, 0x0a, ...readFileSync(EXAMPLE)]) },
  { name: 'utf16.txt', bytes: () => Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(readFileSync(EXAMPLE, 'utf8'), 'utf16le')]) },
  { name: 'priklad.kmp', bytes: () => Buffer.from(savedByKmpc(EXAMPLE)) },
];
for (const file of ENCODED_FILES) {
  test(`open and save round trip: ${file.name}`, async () => {
    const bytes = file.bytes();
    const path = temp(file.name);
    writeFileSync(path, bytes);
    const { page, saves } = await pageWithPickers();
    await dropFile(page, file.name, bytes);
    await page.click('#Button6');
    await page.waitForFunction(() => !document.title.includes('*'));
    await page.waitForTimeout(50);
    assert.equal(saves.length, 1);
    assert.equal(saves[0].name, file.name.replace(/\.txt$/, '.kmp'));
    assert.deepEqual(saves[0].bytes, savedByKmpc(path));
    await page.context().close();
  });
}

test('Ctrl+S writes the opened file again', async () => {
  const { page, saves } = await pageWithPickers({ name: 'priklad.kmp', bytes: savedByKmpc(EXAMPLE) });
  await page.click('#Button5');
  await page.waitForFunction(() => document.title.startsWith('priklad.kmp – '));
  await page.click('#RichEdit1 .cm-content');
  await page.keyboard.press('Control+End');
  await page.keyboard.type('\n// doplnene');
  assert.match(await page.title(), /^priklad\.kmp\* – Prekladač/);
  await page.keyboard.press('Control+S');
  await page.waitForFunction(() => !document.title.includes('*'));
  const edited = temp('edited.txt');
  writeFileSync(edited, `${kmpc(['--text', EXAMPLE]).out}\n// doplnene`);
  assert.equal(saves.length, 1);
  assert.equal(saves[0].name, 'priklad.kmp');
  assert.deepEqual(saves[0].bytes, savedByKmpc(edited));
  await page.context().close();
});

test('an open where the browser has no open picker', async () => {
  const page = await openPage(shared.browser, shared.site.url, (p) => p.addInitScript(() => delete window.showOpenFilePicker));
  const [chooser] = await Promise.all([page.waitForEvent('filechooser'), page.click('#Button5')]);
  await chooser.setFiles({ name: 'iny.kmp', mimeType: 'application/rtf', buffer: Buffer.from(savedByKmpc(EXAMPLE)) });
  await page.waitForFunction(() => document.title.startsWith('iny.kmp – '));
  assert.equal(await page.locator('#RichEdit1 .cm-line').nth(2).innerText(), 'PROGRAM mojprogram:');
  await page.context().close();
});

test('a file larger than any program is refused', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await page.evaluate(() => {
    const transfer = new DataTransfer();
    transfer.items.add(new File([new Uint8Array((64 << 20) + 1)], 'velky.txt'));
    document.body.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  });
  assert.deepEqual(await messageBox(page), {
    caption: 'Prekladač programu na riadenie krokového motorčeka z HDD',
    text: 'Cannot open file "velky.txt". File too large.',
  });
  assert.equal(await page.locator('#RichEdit1 .cm-line').nth(2).innerText(), 'PROGRAM mojprogram:');
  await page.context().close();
});

test('a download where the browser has no save picker', async () => {
  const page = await openPage(shared.browser, shared.site.url, (p) => p.addInitScript(() => delete window.showSaveFilePicker));
  const text = 'PROGRAM stiahnuty:\nRESET\nKONIEC\n';
  await typeProgram(page, text);
  const [download] = await Promise.all([page.waitForEvent('download'), page.click('#Button6')]);
  assert.equal(download.suggestedFilename(), 'program.kmp');
  const path = temp('download.kmp');
  await download.saveAs(path);
  const typed = temp('typed.txt');
  writeFileSync(typed, text);
  assert.deepEqual([...readFileSync(path)], savedByKmpc(typed));
  await page.context().close();
});

// Changed text and an open: each answer to the question.
const ANSWERS = [
  { answer: 'cancel', opened: false, saved: 0 },
  { answer: 'no', opened: true, saved: 0 },
  { answer: 'yes', opened: true, saved: 1 },
];
for (const { answer, opened, saved } of ANSWERS) {
  test(`unsaved text and an open, answered ${answer}`, async () => {
    const { page, saves } = await pageWithPickers({ name: 'iny.txt', bytes: [...Buffer.from('PROGRAM iny:\nKONIEC\n')] });
    await typeProgram(page, 'PROGRAM zmeneny:\nKONIEC\n');
    await page.click('#Button5');
    assert.deepEqual(await messageBox(page), { caption: 'Program nie je uložený', text: 'Program sa od posledného uloženia zmenil. Chcete ho uložiť?' });
    await page.click(`#Answer-${answer}`);
    await page.waitForTimeout(300);
    const first = await page.locator('#RichEdit1 .cm-line').first().innerText();
    assert.equal(first, opened ? 'PROGRAM iny:' : 'PROGRAM zmeneny:');
    assert.equal(saves.length, saved);
    await page.context().close();
  });
}

// The browser asks before a reload or close when the page cancels the
// unload, which it does while the text is unsaved.
test('a reload or close asks only while the text is unsaved', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  const unloadCancelled = () =>
    page.evaluate(() => {
      const event = new Event('beforeunload', { cancelable: true });
      window.dispatchEvent(event);
      return event.defaultPrevented;
    });
  assert.equal(await unloadCancelled(), false);
  await page.click('#RichEdit1 .cm-content');
  await page.keyboard.type('x');
  assert.equal(await unloadCancelled(), true);
  await page.context().close();
});

test('after one visit the page works offline', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await page.evaluate(() => navigator.serviceWorker.ready);
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  await page.context().setOffline(true);
  await page.reload();
  await page.waitForSelector('body[data-ready]');
  await page.click('#Button1');
  assert.equal((await page.locator('#Memo1').innerText()).split('\n')[2], 'Preklad prebehol úspešne!');
  await page.context().close();
});
