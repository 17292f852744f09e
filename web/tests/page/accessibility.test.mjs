// The page for everyone: axe-core (WCAG 2.1 A and AA, best practice) finds
// nothing in each state of the page; the lamps' names follow their state;
// a compile's result and a send's end are said in the live region.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { test } from 'node:test';
import { Board, connectedPage } from './board.mjs';
import { browserAndSite, openPage, typeProgram } from './harness.mjs';

const shared = browserAndSite();
const AXE = createRequire(import.meta.url).resolve('axe-core/axe.min.js');
const TAGS = ['wcag2a', 'wcag2aa', 'wcag21a', 'wcag21aa', 'best-practice'];

async function violations(page) {
  // Evaluated, not added as a script tag, which the page's policy refuses.
  if (!(await page.evaluate(() => 'axe' in window))) await page.evaluate(readFileSync(AXE, 'utf8'));
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
  { name: 'the share dialog', reach: (page) => page.click('#Share').then(() => page.waitForSelector('#ShareDialog[open]')) },
  {
    name: 'a link that cannot be read',
    reach: async (page) => {
      await page.evaluate(() => (location.hash = 'p=***'));
      await page.waitForFunction(() => document.getElementById('Memo1').textContent.includes('Odkaz'));
    },
  },
  {
    name: 'the keyboard on a listing line',
    reach: async (page) => {
      await page.click('#Button1');
      await page.focus('#Memo2');
      await page.keyboard.press('ArrowDown');
      await page.keyboard.press('ArrowDown');
      await page.waitForSelector('#Memo2 .current');
    },
  },
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

// WCAG's contrast of two sRGB colours.
function contrast(a, b) {
  const luminance = (rgb) => {
    const [r, g, b2] = rgb.map((v) => (v / 255 <= 0.03928 ? v / 255 / 12.92 : ((v / 255 + 0.055) / 1.055) ** 2.4));
    return 0.2126 * r + 0.7152 * g + 0.0722 * b2;
  };
  const [light, dark] = [luminance(a), luminance(b)].sort((x, y) => y - x);
  return (light + 0.05) / (dark + 0.05);
}

test('disabled controls and the coloured panes keep 4.5:1', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await page.click('#Button1');
  // Text colour and the background it stands on (transparent layers laid
  // over what is behind them).
  const colours = await page.evaluate(() => {
    const rgba = (text) => (text.match(/[\d.]+/g) ?? []).map(Number);
    const backgroundOf = (element) => {
      const layers = [];
      for (let at = element; at; at = at.parentElement) layers.push(rgba(getComputedStyle(at).backgroundColor));
      let colour = [255, 255, 255];
      for (const [r, g, b, a = 1] of layers.reverse()) colour = colour.map((c, i) => c * (1 - a) + [r, g, b][i] * a);
      return colour;
    };
    const disabled = document.getElementById('Button1');
    disabled.disabled = true;
    const found = ['Button4', 'Button1', 'Memo1', 'Memo2'].map((id) => {
      const element = document.getElementById(id);
      return { id, text: rgba(getComputedStyle(element).color).slice(0, 3), ground: backgroundOf(element) };
    });
    disabled.disabled = false;
    return found;
  });
  for (const { id, text, ground } of colours) assert.ok(contrast(text, ground) >= 4.5, `${id}: ${contrast(text, ground).toFixed(2)}:1`);
  await page.context().close();
});
