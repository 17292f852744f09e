// The page without a mouse: the tab chain in the visual order with a visible
// focus at every stop; Escape then Tab leaves the editor; the arrow keys and
// Enter in the panes do what a click does; dialogs hold the focus, close
// with Escape and give it back. And the page at 320 pixels and at 200 %.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { browserAndSite, errorExample, openPage } from './harness.mjs';

const shared = browserAndSite();

// The stops of Tab from the page's start, in the order they stand on screen.
const CHAIN = [
  'cm-content', 'Memo2', 'Button5', 'Button6', 'Button1', 'Drafts', 'Share', 'Help',
  'CheckBox1', 'Button2', 'ChoosePort', 'TrackBar3', 'TrackBar3Value', 'TrackBar1', 'TrackBar1Value',
  'TrackBar2', 'TrackBar2Value', 'Memo1', 'Label16', 'Statement',
];

// The focused element's name in CHAIN and whether its focus can be seen
// (the editor shows it on its frame).
const focused = (page) =>
  page.evaluate(() => {
    const active = document.activeElement;
    const framed = active.classList.contains('cm-content') ? active.closest('.cm-editor') : active;
    const style = getComputedStyle(framed);
    return { name: active.id || active.className.split(' ')[0], visible: style.outlineStyle !== 'none' && parseFloat(style.outlineWidth) >= 1 };
  });

test('Tab walks every control in the visual order, each with a visible focus', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  const walked = [];
  for (let i = 0; i < CHAIN.length; i += 1) {
    await page.keyboard.press('Tab');
    const { name, visible } = await focused(page);
    walked.push(name);
    assert.ok(visible, `the focus on ${name} shows`);
  }
  assert.deepEqual(walked, CHAIN);
  // Back the other way from the listing: the editor.
  await page.focus('#Memo2');
  await page.keyboard.press('Shift+Tab');
  assert.equal((await focused(page)).name, 'cm-content');
  await page.context().close();
});

test('without a mouse: compile, leave the editor, choose an error and a listing line', async () => {
  const { places, lines } = errorExample();
  const page = await openPage(shared.browser, shared.site.url);
  await page.keyboard.press('Tab');
  await page.keyboard.press('Control+A');
  await page.keyboard.press('Delete');
  // Typed as keys; the letters of the example are ASCII.
  await page.keyboard.type(lines.join('\n'));
  await page.keyboard.press('F5');
  await page.waitForSelector('#RichEdit1 .kmp-error');
  await page.keyboard.press('Escape');
  await page.keyboard.press('Tab');
  assert.equal((await focused(page)).name, 'Memo2', 'Escape then Tab leaves the editor');
  // Shift+Tab back and on to the log: its lines by the arrow keys.
  for (let i = 0; i < CHAIN.indexOf('Memo1') - CHAIN.indexOf('Memo2'); i += 1) await page.keyboard.press('Tab');
  assert.equal((await focused(page)).name, 'Memo1');
  const log = (await page.locator('#Memo1').innerText()).split('\n');
  const place = places.find((p) => p.length > 0);
  const target = log.findIndex((line) => line.includes(`Chyba č. ${place.number} :`));
  await page.keyboard.press('Home');
  for (let i = 0; i < target; i += 1) await page.keyboard.press('ArrowDown');
  assert.equal(await page.getAttribute('#Memo1', 'aria-activedescendant'), `Memo1-${target}`);
  assert.equal(await page.locator('#Memo1 .current').innerText(), log[target]);
  await page.keyboard.press('Enter');
  const token = lines[place.line - 1].slice(place.column - 1, place.column - 1 + place.length);
  assert.equal(await page.evaluate(() => document.getSelection().toString()), token);
  assert.equal(await page.locator('#Label18').innerText(), `${place.line}:${place.column + place.length}`);
  await page.context().close();
});

test('a listing line chosen by the keys lights its source line', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  await page.keyboard.press('F5');
  await page.waitForFunction(() => document.getElementById('Memo2').textContent.length > 0);
  await page.focus('#Memo2');
  await page.keyboard.press('End');
  await page.keyboard.press('ArrowUp');
  const chosen = await page.locator('#Memo2 .current').innerText();
  await page.keyboard.press('Enter');
  await page.waitForSelector('#RichEdit1 .kmp-lit');
  assert.match(chosen, /^\d+:/);
  assert.equal((await focused(page)).name, 'Memo2', 'the focus stays in the pane');
  await page.context().close();
});

// Each dialog opened from its control by Enter: Tab stays inside, Escape
// closes it as Cancel or No, and the focus goes back to the control.
const DIALOGS = [
  { control: 'Drafts', dialog: 'DraftList' },
  { control: 'Share', dialog: 'ShareDialog' },
  { control: 'ChoosePort', dialog: 'PortChoice' },
  { control: 'Help', dialog: 'Reference' },
];

test('dialogs keep the focus, close with Escape and give the focus back', async () => {
  const page = await openPage(shared.browser, shared.site.url);
  for (const { control, dialog } of DIALOGS) {
    await page.focus(`#${control}`);
    await page.keyboard.press('Enter');
    await page.waitForSelector(`#${dialog}[open]`);
    for (let i = 0; i < 6; i += 1) {
      await page.keyboard.press('Tab');
      assert.ok(await page.evaluate((id) => document.getElementById(id).contains(document.activeElement), dialog), `Tab ${i + 1} stays in ${dialog}`);
    }
    await page.keyboard.press('Escape');
    await page.waitForSelector(`#${dialog}:not([open])`, { state: 'attached' });
    assert.equal((await focused(page)).name, control, `${dialog} gives the focus back`);
  }
  await page.context().close();
});

// A phone's width, and a desktop window zoomed to 200 % (1280 × 900 CSS
// pixels become 640 × 450).
const SCREENS = [
  { name: '320 pixels wide', width: 320, height: 640 },
  { name: '200 % zoom', width: 640, height: 450 },
];

for (const screen of SCREENS) {
  test(`${screen.name}: no horizontal scroll and nothing cut off`, async () => {
    const page = await openPage(shared.browser, shared.site.url);
    await page.setViewportSize({ width: screen.width, height: screen.height });
    await page.keyboard.press('F5');
    await page.waitForFunction(() => document.getElementById('Memo2').textContent.length > 0);
    const shot = await page.screenshot({ fullPage: true });
    assert.equal(shot.readUInt32BE(16), screen.width, 'the whole page is as wide as the screen');
    const outside = await page.evaluate((width) => {
      const controls = document.querySelectorAll('button, input, a, label, legend, .memo, #RichEdit1, #Label18, footer p');
      return [...controls]
        .filter((control) => control.getClientRects().length > 0)
        .filter((control) => {
          const box = control.getBoundingClientRect();
          return box.left < -0.5 || box.right > width + 0.5;
        })
        .map((control) => control.id || control.textContent);
    }, screen.width);
    assert.deepEqual(outside, []);
    for (const id of ['Share', 'Drafts']) {
      await page.click(`#${id}`);
      const box = await page.locator('dialog[open]').boundingBox();
      assert.ok(box.x >= 0 && box.x + box.width <= screen.width, `${id}'s dialog fits`);
      await page.keyboard.press('Escape');
    }
    await page.context().close();
  });
}
