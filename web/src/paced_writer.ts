// Hands a frame to the port in step with the line (300 baud 8N2: 11/300 s a
// byte), so that progress, a CTS hold and a cancel count exactly: Web Serial
// cannot say what is still queued. The pace is kept by the clock, not by
// the timers: a hidden tab's timers come at most once a second, and each
// wake-up hands over every byte that is due by then, so the send ends about
// when the line is done, never ahead of what the line could have carried.
import type { WriteEnd } from './core';

export interface PacedSend {
  readonly frame: Uint8Array;
  written: number;
  heldSince: number; // 0 while CTS lets the bytes go
  // Aborted by a cancel, or with the reason LOST when the device went.
  readonly signal: AbortSignal;
}

export const LOST = 'lost';

// How an aborted send ends, or null while it runs.
function abortEnd(signal: AbortSignal): WriteEnd | null {
  if (!signal.aborted) return null;
  return signal.reason === LOST ? 'failed' : 'cancelled';
}

export interface PacedPort {
  writeByte(byte: number): Promise<void>;
  // Whether CTS lets bytes go; rejects when the device failed.
  clearToSend(): Promise<boolean>;
}

export interface Clock {
  now(): number;
  sleep(ms: number): Promise<void>;
}

// How often a CTS hold is looked at.
const CTS_POLL_MS = 50;

export async function writePaced(
  port: PacedPort,
  send: PacedSend,
  { byteMs, limitMs, handshake, clock }: { byteMs: number; limitMs: number; handshake: boolean; clock: Clock },
): Promise<WriteEnd> {
  const total = send.frame.length;
  const deadline = clock.now() + limitMs;
  // When the line would have begun this send's first byte, were it never held.
  let start = clock.now();
  while (send.written < total) {
    const aborted = abortEnd(send.signal);
    if (aborted) return aborted;
    if (handshake) {
      const before = clock.now();
      const held = await waitForCts(port, send, deadline, clock);
      if (held !== 'completed') return held;
      start += clock.now() - before;
    }
    // Every byte whose time on the line has begun by now (a timer that comes
    // on the dot counts as on time, whatever the rounding).
    const due = Math.min(total, Math.floor((clock.now() - start) / byteMs + 1e-6) + 1);
    while (send.written < due) {
      if (send.signal.aborted && send.signal.reason === LOST) return 'failed';
      try {
        // CTS is looked at before each byte; when it went off, the hold above.
        if (handshake && !(await port.clearToSend())) break;
        await port.writeByte(send.frame[send.written]);
      } catch {
        return 'failed';
      }
      send.written += 1;
    }
    // Until the next byte's time (or the last one's end); a hidden tab's
    // timer would come a second late for nothing when that time is here.
    const wait = start + send.written * byteMs - clock.now();
    if (wait > 0) await clock.sleep(wait);
  }
  return send.signal.aborted && send.signal.reason === LOST ? 'failed' : 'completed';
}

async function waitForCts(port: PacedPort, send: PacedSend, deadline: number, clock: Clock): Promise<WriteEnd> {
  for (;;) {
    let clear: boolean;
    try {
      clear = await port.clearToSend();
    } catch {
      return 'failed';
    }
    if (clear) {
      send.heldSince = 0;
      return 'completed';
    }
    if (send.heldSince === 0) send.heldSince = clock.now();
    const aborted = abortEnd(send.signal);
    if (aborted) return aborted;
    if (clock.now() > deadline) return 'timedOut';
    await clock.sleep(CTS_POLL_MS);
  }
}
