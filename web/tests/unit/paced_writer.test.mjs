// The paced writer over a fake port and a fake clock: in front (timers on
// time) and in a hidden tab (timers at whole seconds). Every byte in order,
// none handed over before its time on the line begins, and the end within
// the line time plus the lateness of one timer.
import assert from 'node:assert/strict';
import { test } from 'node:test';
import { loadPageModule } from './load_ts.mjs';

const { writePaced, LOST } = await loadPageModule('paced_writer.ts');
const BYTE_MS = 110 / 3; // 11 bits at 300 baud

function fakeClock(throttled) {
  const clock = { t: 0, now: () => clock.t };
  // A hidden tab's timer runs at the next whole second, however short.
  clock.sleep = async (ms) => {
    clock.t = throttled ? Math.ceil((clock.t + ms + 1e-9) / 1000) * 1000 : clock.t + ms;
    clock.onTime?.(clock.t);
  };
  return clock;
}

function fakePort(clock, { failAt = -1, ctsFrom = 0 } = {}) {
  const port = { handed: [] };
  port.writeByte = async (byte) => {
    if (port.handed.length === failAt) throw new Error('lost');
    port.handed.push({ byte, at: clock.now() });
  };
  port.clearToSend = async () => clock.now() >= ctsFrom;
  return port;
}

const frame = Uint8Array.from({ length: 130 }, (_, i) => (i === 129 ? 255 : i));
const lineMs = frame.length * BYTE_MS;

const CASES = [
  { name: 'in front', throttled: false, end: 'completed', written: 130, maxEnd: lineMs + 1 },
  { name: 'hidden', throttled: true, end: 'completed', written: 130, maxEnd: lineMs + 1500 },
  { name: 'hidden, cancelled at 2 s', throttled: true, cancelAt: 2000, end: 'cancelled', maxWritten: Math.floor(2000 / BYTE_MS) + 1 },
  { name: 'hidden, the device lost at 2 s', throttled: true, lostAt: 2000, end: 'failed', maxWritten: Math.floor(2000 / BYTE_MS) + 1 },
  { name: 'handshake held, cancelled while held', throttled: true, handshake: true, ctsFrom: 1e9, cancelAt: 3000, end: 'cancelled', written: 0 },
  { name: 'in front, the port fails at byte 40', throttled: false, failAt: 40, end: 'failed', written: 40 },
  { name: 'hidden, the port fails at byte 40', throttled: true, failAt: 40, end: 'failed', written: 40 },
  { name: 'handshake, CTS off for 1 s', throttled: false, handshake: true, ctsFrom: 1000, end: 'completed', written: 130, maxEnd: 1000 + lineMs + 60 },
  { name: 'hidden handshake, CTS off for 1 s', throttled: true, handshake: true, ctsFrom: 1000, end: 'completed', written: 130, maxEnd: 1000 + lineMs + 1500 },
];

for (const c of CASES) {
  test(`paced writer: ${c.name}`, async () => {
    const clock = fakeClock(c.throttled);
    const port = fakePort(clock, c);
    const controller = new AbortController();
    const send = { frame, written: 0, heldSince: 0, signal: controller.signal };
    if (c.cancelAt) clock.onTime = (t) => t >= c.cancelAt && controller.abort();
    if (c.lostAt) clock.onTime = (t) => t >= c.lostAt && controller.abort(LOST);
    const end = await writePaced(port, send, { byteMs: BYTE_MS, limitMs: 60000, handshake: !!c.handshake, clock });
    assert.equal(end, c.end);
    if (c.written !== undefined) assert.equal(send.written, c.written);
    if (c.maxWritten !== undefined) assert.ok(send.written <= c.maxWritten && send.written > 0, `${send.written}`);
    assert.equal(port.handed.length, send.written);
    assert.deepEqual(port.handed.map((h) => h.byte), [...frame.slice(0, send.written)]);
    const lineStart = c.ctsFrom ?? 0;
    port.handed.forEach(({ at }, i) => assert.ok(at >= lineStart + i * BYTE_MS - 1e-6, `byte ${i} at ${at}`));
    if (c.maxEnd !== undefined) assert.ok(clock.now() <= c.maxEnd, `ended at ${clock.now()}`);
  });
}
