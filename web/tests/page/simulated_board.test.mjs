// The simulated board: the page's real upload code (SerialLink, the bar,
// the echo check, the lost line) against a board in the page, with each of
// its faults, and the only board offered where Web Serial is missing.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { core, echoLine } from './core_in_node.mjs';
import { browserAndSite, kmpc, openPage, paneLines, root, waitForLogLine } from './harness.mjs';

const shared = browserAndSite();

const FRAME = (() => {
  const path = join(process.env.TMPDIR ?? '/tmp', `kmp-sim-frame-${process.pid}.bin`);
  kmpc(['--frame', path, join(root, 'examples/priklad.txt')]);
  return [...readFileSync(path)];
})();
const texts = core.texts();
const NOTE = 'Simulovaná doska: nič sa neposiela do skutočného zariadenia.';
const NO_WEB_SERIAL =
  'Tento prehliadač nevie pracovať so sériovým portom (Web Serial). Otvorte stránku v prehliadači Google Chrome, Microsoft Edge alebo Opera na počítači (Windows, Linux, macOS alebo ChromeOS).';
const NOT_SECURE =
  'Sériový port sa dá použiť len na stránke otvorenej cez https://, z adresy localhost alebo zo súboru v počítači (file://).';

// The log of a send from its first line on.
async function sendLines(page) {
  const lines = await paneLines(page, 'Memo1');
  return lines.slice(lines.indexOf(texts.sendingLine));
}

// The example compiled and the simulated board connected through ChoosePort.
async function connectedToBoard(url = shared.site.url, prepare = undefined) {
  const page = await openPage(shared.browser, url, prepare);
  await page.click('#Button1');
  await page.click('#ChoosePort');
  await page.waitForSelector('#PortChoice[open]');
  await page.click('#ChooseSimulatedBoard');
  await page.waitForSelector('#Button4:enabled');
  return page;
}

const half = Math.ceil(FRAME.length / 2);
const changed = FRAME.map((byte, i) => (i === 2 ? (byte + 1) & 0xff : byte));
const SENDS = [
  {
    name: 'every byte returned',
    faults: [],
    log: [texts.sendingLine, ...core.returnedByteLines(Uint8Array.from(FRAME)), echoLine(Uint8Array.from(FRAME), Uint8Array.from(FRAME))],
  },
  {
    name: 'no reply',
    faults: ['SimNoReply'],
    log: [texts.sendingLine, echoLine(Uint8Array.from(FRAME), new Uint8Array())],
  },
  {
    name: 'a changed byte',
    faults: ['SimChangeByte'],
    log: [texts.sendingLine, ...core.returnedByteLines(Uint8Array.from(changed)), echoLine(Uint8Array.from(FRAME), Uint8Array.from(changed))],
  },
];

for (const { name, faults, log } of SENDS) {
  test(`simulated board: ${name}`, async () => {
    const page = await connectedToBoard();
    assert.equal((await paneLines(page, 'Memo1')).at(-1), NOTE);
    assert.equal(await page.locator('#SimFaults').isVisible(), true);
    for (const fault of faults) await page.check(`#${fault}`);
    await page.click('#Button4');
    await waitForLogLine(page, log.at(-1));
    await page.waitForSelector('#Button7', { state: 'hidden' });
    assert.deepEqual(await sendLines(page), log);
    assert.equal(await page.locator('#ProgressText').innerText(), `${FRAME.length} z ${FRAME.length} bajtov`);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });
}

test('simulated board: pulled after half the frame', async () => {
  const page = await connectedToBoard();
  await page.check('#SimPull');
  await page.click('#Button4');
  const lost = texts.lineLostPrefix + 'Simulovaná doska' + texts.lineLostEnd;
  await waitForLogLine(page, lost);
  const lines = await sendLines(page);
  assert.ok(lines.includes(core.sendEndLine(half, FRAME.length, 'failed', false)), lines.join('\n'));
  assert.equal(lines.at(-1), lost);
  assert.equal(lines.filter((line) => line.startsWith('Odosielam : ')).length, half);
  assert.equal(await page.locator('#Button2').innerText(), 'Pripojiť');
  assert.equal(await page.locator('#ComLed1.on').count(), 0);
  assert.equal(await page.locator('#SimFaults').isVisible(), false);
  // Plugged back: the next connect opens it again.
  await page.click('#Button2');
  await page.waitForSelector('#Button4:enabled');
  await page.context().close();
});

const NO_REAL_PORTS = [
  { name: 'no Web Serial', reason: NO_WEB_SERIAL, prepare: (page) => page.addInitScript(() => Object.defineProperty(Navigator.prototype, 'serial', { get: () => undefined })) },
  { name: 'a page outside a secure context', reason: NOT_SECURE, host: 'kmp.test' },
];
for (const { name, reason, prepare, host } of NO_REAL_PORTS) {
  test(`only the simulated board where real ports cannot be had: ${name}`, async () => {
    const url = host ? shared.site.url.replace('127.0.0.1', host) : shared.site.url;
    const page = await openPage(shared.browser, url, prepare);
    await page.click('#Button1');
    await page.click('#Button2');
    await page.waitForSelector('#Button4:enabled');
    assert.equal(await page.locator('#MessageBox[open]').count(), 0);
    await page.click('#Button2');
    await page.click('#ChoosePort');
    assert.equal(await page.locator('#ChooseSerialPort').isDisabled(), true);
    await page.click('#ChooseSimulatedBoard');
    await page.waitForSelector('#Button4:enabled');
    // The reason once, the board's line at each connect.
    const log = await paneLines(page, 'Memo1');
    assert.equal(log.filter((line) => line === reason).length, 1);
    assert.equal(log.filter((line) => line === NOTE).length, 2);
    await page.click('#Button4');
    await waitForLogLine(page, echoLine(Uint8Array.from(FRAME), Uint8Array.from(FRAME)));
    await page.context().close();
  });
}
