// Each cause of a failed connect as Chrome reports it, the adapter line,
// and Button2 opening a port that the page was allowed before without the
// chooser, also after the adapter was pulled and plugged back in.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { Board } from './board.mjs';
import { browserAndSite, messageBox, openPage, paneLines } from './harness.mjs';

const shared = browserAndSite();

const NO_PORT = [
  'Nebol vybraný žiadny port.',
  'Ak prevodník v zozname nebol: je zapojený do USB? Vo Windows potrebuje ovládač svojho čipu (CH340/CH341, CP210x, FTDI, PL2303). V Linuxe s prehliadačom zo snapu: snap connect chromium:raw-usb. Prázdny zoznam môže byť aj pravidlom správcu školy (DefaultSerialGuardSetting).',
];
const BLOCKED =
  'Nastavenia prehliadača alebo správca školy nedovoľujú tejto stránke používať sériové porty (pravidlo DefaultSerialGuardSetting). Požiadajte správcu, aby ich pre túto stránku povolil.';

async function boardPage(standIn = {}) {
  const board = new Board();
  const page = await openPage(shared.browser, shared.site.url, (p) => board.attach(p));
  await page.evaluate((settings) => Object.assign(window.kmpStandIn, settings), standIn);
  return { board, page };
}

const standIn = (page) => page.evaluate(() => ({ ...window.kmpStandIn }));

test('a chooser closed without a port: no box, what to check in the log', async () => {
  const { page } = await boardPage({ chooser: 'NotFoundError' });
  await page.click('#Button2');
  await page.waitForFunction(() => document.getElementById('Memo1').innerText.includes('Nebol vybraný'));
  assert.deepEqual((await paneLines(page, 'Memo1')).slice(-2), NO_PORT);
  assert.equal(await page.locator('#MessageBox[open]').count(), 0);
  assert.equal(await page.locator('#ComLed1.on').count(), 0);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

test('serial ports forbidden by a policy: a box that names it', async () => {
  const { page } = await boardPage({ chooser: 'SecurityError' });
  await page.click('#Button2');
  assert.deepEqual(await messageBox(page), { caption: 'Chyba!', text: BLOCKED });
  await page.click('#Answer-ok');
  assert.equal(await page.locator('#ComLed1.on').count(), 0);
  await page.context().close();
});

const ADAPTERS = [
  { info: { usbVendorId: 0x1a86, usbProductId: 0x7523 }, line: 'Prevodník: CH340 (USB 1a86:7523).' },
  { info: { usbVendorId: 0x10c4, usbProductId: 0xea60 }, line: 'Prevodník: CP210x (USB 10c4:ea60).' },
  { info: { usbVendorId: 0x067b, usbProductId: 0x2303 }, line: 'Prevodník: PL2303 (USB 067b:2303).' },
  { info: { usbVendorId: 0x2341, usbProductId: 0x0043 }, line: 'Prevodník: USB 2341:0043.' },
  { info: {}, line: null },
];
for (const { info, line } of ADAPTERS) {
  test(`the adapter line for ${JSON.stringify(info)}`, async () => {
    const { page } = await boardPage({ info });
    await page.click('#Button2');
    await page.waitForSelector('#ComLed1.on');
    const lines = await paneLines(page, 'Memo1');
    assert.deepEqual(lines.filter((text) => text.startsWith('Prevodník')), line ? [line] : []);
    await page.context().close();
  });
}

test('Button2 opens the allowed port without the chooser; ChoosePort always asks', async () => {
  const { board, page } = await boardPage();
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1.on');
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1:not(.on)');
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1.on');
  assert.equal((await standIn(page)).chooserOpened, 1);

  // Pulled out: the line is lost; plugged back in, Button2 opens it again.
  await board.lose();
  await page.waitForSelector('#ComLed1:not(.on)');
  board.lost = false;
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1.on');
  assert.equal((await standIn(page)).chooserOpened, 1);
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1:not(.on)');

  // The browser forgot the adapter (no serial number): the chooser comes.
  await page.evaluate(() => (window.kmpStandIn.plugged = false));
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1.on');
  assert.equal((await standIn(page)).chooserOpened, 2);
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1:not(.on)');

  // "Iný port…" goes to the chooser although a port is allowed.
  await page.evaluate(() => (window.kmpStandIn.plugged = true));
  await page.click('#ChoosePort');
  await page.click('#ChooseSerialPort');
  await page.waitForSelector('#ComLed1.on');
  assert.equal((await standIn(page)).chooserOpened, 3);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});
