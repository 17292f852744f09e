// The page's real upload code over the serial stand-in: the connect, the
// exact bytes at the board and the exact log, a cancel's count, the
// handshake, a lost device, a busy port, DSR off, a read
// error, and a real pseudo-terminal with the project's echo peer.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { Board, connectedPage } from './board.mjs';
import { fileUrl, kmpc, messageBox, openPage, paneLines, root, browserAndSite, waitForLogLine } from './harness.mjs';
import { PtyBoard } from './pty_board.mjs';

const shared = browserAndSite();

const EXAMPLE = join(root, 'examples/priklad.txt');
const FRAME = (() => {
  const path = join(process.env.TMPDIR ?? '/tmp', `kmp-frame-${process.pid}.bin`);
  kmpc(['--frame', path, EXAMPLE]);
  return [...readFileSync(path)];
})();
const PORT = 'USB 1a86:7523';

// The log lines of a send whose every byte came back.
const ECHOED_SEND = [
  ' Odosielam dáta...',
  ...FRAME.flatMap((byte) => (byte === 255 ? [`Odosielam : ${byte}`, 'Koniec odosielania!'] : [`Odosielam : ${byte}`])),
  `Overenie: doska vrátila presne odoslané bajty (${FRAME.length}).`,
];

// A page with `board` behind its serial stand-in, the example compiled and
// the port connected.
const connected = (board, url = shared.site.url, options = {}) => connectedPage(shared.browser, url, board, options);

async function sendLines(page) {
  const lines = await paneLines(page, 'Memo1');
  return lines.slice(lines.indexOf(' Odosielam dáta...'));
}

for (const form of ['site', 'file']) {
  test(`connect and send (${form})`, async () => {
    const board = new Board();
    const page = await connected(board, form === 'site' ? shared.site.url : fileUrl());
    assert.deepEqual(board.openedWith, { baudRate: 300, dataBits: 8, parity: 'none', stopBits: 2, flowControl: 'none' });
    assert.deepEqual(board.signalsSet, [{ requestToSend: true, dataTerminalReady: false }]);
    assert.equal(await page.locator('#Button2').innerText(), 'Odpojiť');
    await page.click('#Button4');
    await waitForLogLine(page, ECHOED_SEND.at(-1));
    // The last echo may come back before the last byte's time is over.
    await page.waitForSelector('#Button7', { state: 'hidden' });
    assert.deepEqual(board.received, FRAME);
    assert.deepEqual(await sendLines(page), ECHOED_SEND);
    assert.equal(await page.locator('#ProgressText').innerText(), `${FRAME.length} z ${FRAME.length} bajtov`);
    assert.deepEqual(page.errors, []);
    await page.context().close();
  });
}

test('a real pseudo-terminal with the echo peer behind the board', async () => {
  const board = await PtyBoard.start();
  try {
    const page = await connected(board);
    await page.click('#Button4');
    await waitForLogLine(page, ECHOED_SEND.at(-1));
    assert.equal(await board.peerReceived(), Buffer.from(FRAME).toString('hex'));
    assert.deepEqual(await sendLines(page), ECHOED_SEND);
    await page.context().close();
  } finally {
    board.stop();
  }
});

// Sends ended early: the count in the line is what the board received.
const EARLY_ENDS = [
  {
    name: 'cancelled with Zrušiť',
    end: (page) => page.click('#Button7'),
    lines: (n) => [`Odosielanie zrušené: odoslaných bolo ${n} z ${FRAME.length} bajtov.`],
  },
  {
    name: 'cancelled with Esc',
    end: (page) => page.keyboard.press('Escape'),
    lines: (n) => [`Odosielanie zrušené: odoslaných bolo ${n} z ${FRAME.length} bajtov.`],
  },
  {
    name: 'the device lost mid-send',
    end: (page, board) => board.lose(),
    lines: (n) => [
      `Odoslaných bolo len ${n} z ${FRAME.length} bajtov: linka zlyhala.`,
      `Spojenie sa prerušilo: prevodník portu ${PORT} bol odpojený.`,
    ],
  },
];
for (const { name, end, lines } of EARLY_ENDS) {
  test(`a send ${name}`, async () => {
    const board = new Board({ echo: false });
    const page = await connected(board);
    await page.click('#Button4');
    await board.receivedCount(8);
    await end(page, board);
    const expected = lines(board.received.length);
    await waitForLogLine(page, expected.at(-1));
    const count = board.received.length;
    assert.ok(count >= 8 && count < FRAME.length, `${count}`);
    assert.deepEqual((await sendLines(page)).slice(1), lines(count));
    assert.equal(await page.locator('#ProgressText').innerText(), `${count} z ${FRAME.length} bajtov`);
    await page.context().close();
  });
}

// Ways out of an open line, each back to the closed state.
const CLOSES = [
  { name: 'Odpojiť', close: (page) => page.click('#Button2'), line: null },
  { name: 'the device lost', close: (page, board) => board.lose(), line: `Spojenie sa prerušilo: prevodník portu ${PORT} bol odpojený.` },
];
for (const { name, close, line } of CLOSES) {
  test(`the closed state after ${name}`, async () => {
    const board = new Board();
    const page = await connected(board);
    const logLength = (await paneLines(page, 'Memo1')).length;
    await close(page, board);
    await page.waitForFunction(() => document.getElementById('Button2').innerText === 'Pripojiť');
    assert.equal(await page.locator('#ComLed1.on, #ComLed2.on').count(), 0);
    assert.ok(await page.locator('#Button4').isDisabled());
    assert.ok(await page.locator('#CheckBox1').isEnabled());
    if (line) await waitForLogLine(page, line);
    assert.deepEqual((await paneLines(page, 'Memo1')).slice(logLength), line ? [line] : []);
    await page.context().close();
  });
}

test('the handshake holds every byte while CTS is off', async () => {
  const board = new Board({ cts: false });
  const page = await connected(board, shared.site.url, { handshake: true });
  await page.click('#Button4');
  await page.waitForFunction(() => document.getElementById('ProgressText').innerText.startsWith('Doska nie je'));
  assert.equal(await page.locator('#ProgressText').innerText(), `Doska nie je pripravená (CTS vypnuté): 0 z ${FRAME.length} bajtov`);
  assert.deepEqual(board.received, []);
  board.cts = true;
  await waitForLogLine(page, ECHOED_SEND.at(-1));
  assert.deepEqual(board.received, FRAME);
  await page.context().close();
});

test('a board without DSR', async () => {
  const board = new Board({ dsr: false });
  const page = await connected(board);
  await waitForLogLine(page, `Doska na porte ${PORT} nezapla signál DSR do 1 s: nie je pripojená, zapnutá alebo pripravená.`);
  assert.ok(await page.locator('#Button4').isDisabled());
  board.dsr = true;
  await page.waitForSelector('#ComLed2.on');
  await page.waitForSelector('#Button4:enabled');
  await page.context().close();
});

test('a read error: the reading goes on, nothing lost', async () => {
  const board = new Board();
  const page = await connected(board);
  await page.evaluate(() => window.kmpStandIn.readError('BreakError'));
  await waitForLogLine(page, 'Linka hlásila chybu príjmu; prijímam ďalej: BreakError');
  await board.send([7, 255]);
  await waitForLogLine(page, 'Koniec odosielania!');
  assert.deepEqual((await paneLines(page, 'Memo1')).slice(-3), ['Odosielam : 7', 'Odosielam : 255', 'Koniec odosielania!']);
  await page.context().close();
});

// Connects that cannot happen, each with its message.
const REFUSED_CONNECTS = [
  {
    name: 'a busy port',
    prepare: (page) => new Board({ busy: true }).attach(page),
    caption: 'Chyba!',
    text: `Nemôžem sa pripojiť cez PORT ${PORT}. Tento port je obsadený iným programom alebo to nie je sériový port!!! Skúste vybrať iný port.`,
    log: 'Ak port nepoužíva iný program: Nemáte oprávnenie otvoriť zariadenie /dev/ttyUSB* alebo /dev/ttyACM*. Na Debiane sa pridajte do skupiny dialout, ktorá ho vlastní (sudo usermod -aG dialout $USER), potom sa odhláste a znova prihláste.',
  },
];
for (const { name, host, prepare, caption, text, log } of REFUSED_CONNECTS) {
  test(`connect refused: ${name}`, async () => {
    const page = await openPage(shared.browser, host ? shared.site.url.replace('127.0.0.1', host) : shared.site.url, prepare);
    await page.click('#Button2');
    assert.deepEqual(await messageBox(page), { caption, text });
    await page.click('#MessageBox button');
    if (log) await waitForLogLine(page, log);
    assert.equal(await page.locator('#Button2').innerText(), 'Pripojiť');
    assert.equal(await page.locator('#ComLed1.on').count(), 0);
    await page.context().close();
  });
}

// The window's two questions before a send.
test('a send asks for a compile first, and before sending an older image', async () => {
  const board = new Board();
  const page = await openPage(shared.browser, shared.site.url, (p) => board.attach(p));
  await page.click('#Button2');
  await page.waitForSelector('#Button4:enabled');
  await page.click('#Button4');
  assert.deepEqual(await messageBox(page), { caption: 'Nemôžem odoslať program', text: 'Najprv treba preložiť program a potom sa môže odoslať!' });
  await page.click('#Answer-ok');
  await page.click('#Button1');
  await page.click('#RichEdit1 .cm-content');
  await page.keyboard.type('x');
  await page.click('#Button4');
  assert.deepEqual(await messageBox(page), { caption: 'Program bol zmenený a nepreložený', text: 'Chcete nahrať posledný preložený binárny výstup?' });
  await page.click('#Answer-no');
  await page.waitForTimeout(200);
  assert.deepEqual(board.received, []);
  await page.context().close();
});
