// A send started in front and continued in a hidden tab (timers at whole
// seconds, no animation frames, as Chrome throttles it): it ends within the
// line time plus 1.5 s with every byte at the board in order and the log of
// a send in front; a cancel and a lost adapter count what the port was handed.
import assert from 'node:assert/strict';
import { readFileSync, writeFileSync } from 'node:fs';
import { join } from 'node:path';
import { test } from 'node:test';
import { Board, connectedPage } from './board.mjs';
import { core, echoLine } from './core_in_node.mjs';
import { browserAndSite, dropFile, kmpc, paneLines, waitForLogLine } from './harness.mjs';

const shared = browserAndSite();
const hideable = { prepare: (page) => page.addInitScript({ path: new URL('./hidden_tab_stand_in.js', import.meta.url).pathname }) };

// A program whose frame is the longest there is: 61 outputs and KONIEC.
const LONG = `PROGRAM dlhy:\r\n${'VYSTUP(1,0,1) CAS 20\r\n'.repeat(61)}KONIEC\r\n`;
const FRAME = (() => {
  const base = join(process.env.TMPDIR ?? '/tmp', `kmp-hidden-${process.pid}`);
  writeFileSync(`${base}.txt`, LONG);
  kmpc(['--frame', `${base}.bin`, `${base}.txt`]);
  return [...readFileSync(`${base}.bin`)];
})();
const LINE_MS = (FRAME.length * 11 * 1000) / 300;

// Connected to `board`, the long program compiled.
async function readyToSend(board) {
  const page = await connectedPage(shared.browser, shared.site.url, board, hideable);
  await dropFile(page, 'dlhy.txt', Buffer.from(LONG));
  await page.click('#Button1');
  return page;
}

const sendLines = async (page) => {
  const lines = await paneLines(page, 'Memo1');
  return lines.slice(lines.lastIndexOf(core.texts().sendingLine));
};

test('a send continued in a hidden tab ends with the line, every byte in order', async () => {
  assert.ok(FRAME.length > 120, `${FRAME.length}`);
  const board = new Board();
  const page = await readyToSend(board);
  const started = Date.now();
  await page.click('#Button4');
  await page.evaluate(() => window.kmpHideTab());
  assert.equal(await page.evaluate(() => document.visibilityState), 'hidden');
  await page.waitForSelector('#Button7', { state: 'hidden', timeout: 60000 });
  const took = Date.now() - started;
  assert.ok(took <= LINE_MS + 1500, `${took} ms for a line time of ${Math.round(LINE_MS)} ms`);
  const echo = echoLine(Uint8Array.from(FRAME), Uint8Array.from(FRAME));
  await waitForLogLine(page, echo);
  assert.deepEqual(board.received, FRAME);
  assert.deepEqual(await sendLines(page), [
    core.texts().sendingLine,
    ...core.returnedByteLines(Uint8Array.from(FRAME)),
    echo,
  ]);
  assert.deepEqual(page.errors, []);
  await page.context().close();
});

const EARLY_ENDS = [
  { name: 'cancelled', end: (page) => page.click('#Button7'), lines: (n) => [core.sendEndLine(n, FRAME.length, 'cancelled', false)] },
  {
    name: 'the adapter lost',
    end: (page, board) => board.lose(),
    lines: (n) => [core.sendEndLine(n, FRAME.length, 'failed', false), `${core.texts().lineLostPrefix}USB 1a86:7523${core.texts().lineLostEnd}`],
  },
];
for (const { name, end, lines } of EARLY_ENDS) {
  test(`a send in a hidden tab ${name}: the count is what the port was handed`, async () => {
    const board = new Board({ echo: false });
    const page = await readyToSend(board);
    const started = Date.now();
    await page.click('#Button4');
    await page.evaluate(() => window.kmpHideTab());
    await board.receivedCount(40);
    await end(page, board);
    await page.waitForSelector('#Button7', { state: 'hidden' });
    const count = board.received.length;
    // Never ahead of the line: the board can have had every byte handed over.
    assert.ok(count <= Math.floor((Date.now() - started) / (LINE_MS / FRAME.length)) + 1, `${count}`);
    assert.ok(count >= 40 && count < FRAME.length, `${count}`);
    await waitForLogLine(page, lines(count).at(-1));
    assert.deepEqual((await sendLines(page)).slice(1), lines(count));
    await page.context().close();
  });
}
