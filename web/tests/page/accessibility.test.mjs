// The page for everyone: axe-core (WCAG 2.1 A and AA, best practice) finds
// nothing in each state of the page; the lamps' names follow their state;
// a compile's result and a send's end are said in the live region.
import assert from 'node:assert/strict';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { Board, connectedPage } from './board.mjs';
import { browserAndSite, openPage, typeProgram } from './harness.mjs';

const shared = browserAndSite();
const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const TAGS = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'];

async function violations(page) {
  if (!(await page.evaluate(() => 'axe' in window))) await page.addScriptTag({ path: AXE });
  const result = await page.evaluate((tags) => window.axe.run(document, { runOnly: { type: 'tag', values: tags } }), TAGS);
  return result.violations.map((v) => `${v.id}: ${v.nodes.map((node) => node.target.join(' ')).join(' | ')}`);
}

const announced = (page) => page.waitForFunction(() => document.getElementById('Announce').textContent).then(() => page.locator('#Announce').textContent());

// Each state of the page, reached from a fresh page.
const STATES = [
  { name: 'start', reach: async () => {} },
  {
    name: 'a failed compile with its marks',
    reach: async (page) => {
      await typeProgram(page, 'PROGRAM p:\nVYSTUP(1,0) CAS 5\nrotuj\nKONIEC\n');
      await page.click('#Button1');
      await page.waitForSelector('#RichEdit1 .kmp-error');
    },
  },
  { name: 'the unsaved question', reach: async (page) => {
      await typeProgram(page, 'PROGRAM p:\nKONIEC\n');
      await page.click('#Button5');
      await page.waitForSelector('#MessageBox[open]');
    } },
  { name: 'the port choice', reach: (page) => page.click('#ChoosePort').then(() => page.waitForSelector('#PortChoice[open]')) },
  { name: 'the drafts list', reach: (page) => page.click('#Drafts').then(() => page.waitForSelector('#DraftList[open]')) },
  { name: 'the reference', reach: (page) => page.keyboard.press('F1').then(() => page.waitForSelector('#Reference[open]')) },
];

// English in the first state only: the markup is the same, the texts differ.
for (const [index, { name, reach }] of STATES.entries()) {
  for (const lang of index === 0 ? ['sk', 'en'] : ['sk']) {
    test(`axe finds nothing: ${name} (${lang})`, async () => {
      const page = await openPage(shared.browser, `${shared.site.url}?lang=${lang}`, (p) =>
        p.addInitScript(() => (window.showOpenFilePicker = () => new Promise(() => {}))),
      );
      await reach(page);
      assert.deepEqual(await violations(page), []);
      await page.context().close();
    });
  }
}

test('axe finds nothing while connected and while sending; the lamps say their state', async () => {
  const board = new Board({ dsr: true });
  const page = await openPage(shared.browser, shared.site.url, (p) => board.attach(p));
  const names = () => page.evaluate(() => ['ComLed1', 'ComLed2'].map((id) => document.getElementById(id).getAttribute('aria-label')));
  assert.deepEqual(await names(), ['Linka zatvorená', 'Doska nepripravená']);
  await page.click('#Button1');
  await page.click('#Button2');
  await page.waitForSelector('#Button4:enabled');
  assert.deepEqual(await names(), ['Linka otvorená', 'Doska pripravená (DSR)']);
  assert.deepEqual(await violations(page), []);
  board.dsr = false;
  await page.waitForSelector('#ComLed2:not(.on)');
  assert.deepEqual(await names(), ['Linka otvorená', 'Doska nepripravená']);
  board.dsr = true;
  await page.waitForSelector('#Button4:enabled');
  await page.evaluate(() => (document.getElementById('Announce').textContent = ''));
  await page.click('#Button4');
  await page.waitForSelector('#Button7:visible');
  assert.match(await page.locator('#ProgressBar1').getAttribute('aria-valuetext'), /^\d+ z 25 bajtov/);
  assert.deepEqual(await violations(page), []);
  await page.waitForSelector('#Button7', { state: 'hidden' });
  assert.equal(await announced(page), 'Odosielanie skončilo: 25 z 25 bajtov.');
  await page.context().close();
});

// The compile's result in the live region, with the Slovak count's forms.
const RESULTS = [
  { program: 'PROGRAM p:\nRESET\nKONIEC\n', said: 'Preklad prebehol úspešne.' },
  { program: 'PROGRAM p:\nrotuj\nKONIEC\n', said: 'Preklad zlyhal: 1 chyba.' },
  { program: 'PROGRAM p:\nOPAKUJ A: 2\nOPAKUJ B: 2\nKONIEC\n', said: 'Preklad zlyhal: 2 chyby.' },
  { program: 'PROGRAM p:\nrotuj\nrotuj\nKONIEC\n', said: 'Preklad zlyhal: 3 chyby.' },
  { program: `PROGRAM p:\n${'ABCDE'.split('').map((l) => `OPAKUJ ${l}: 2\n`).join('')}KONIEC\n`, said: 'Preklad zlyhal: 5 chýb.' },
];
test('a compile says its result in the live region', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  for (const { program, said } of RESULTS) {
    await typeProgram(page, program);
    await page.evaluate(() => (document.getElementById('Announce').textContent = ''));
    await page.click('#Button1');
    assert.equal(await announced(page), said, program);
  }
  await page.context().close();
});
