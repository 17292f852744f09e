// A board that is a real pseudo-terminal: the project's echo peer holds its
// master end, this board writes the page's bytes to its slave end and hands
// back what returns, as a USB adapter would.
import { spawn, spawnSync } from 'node:child_process';
import { closeSync, openSync, writeSync } from 'node:fs';
import { createInterface } from 'node:readline';
import { ReadStream } from 'node:tty';
import { join } from 'node:path';
import { Board } from './board.mjs';
import { root } from './harness.mjs';

export class PtyBoard extends Board {
  // Starts the echo peer; resolves once its port end is open and raw.
  static async start() {
    const board = new PtyBoard({ echo: false });
    board.peer = spawn('/usr/bin/python3', [join(root, 'tests/tools/echo_peer.py'), '5']);
    board.peerLines = createInterface({ input: board.peer.stdout })[Symbol.asyncIterator]();
    const path = (await board.peerLines.next()).value;
    // 300 baud 8N2 raw, as the page opens it; a pty takes the settings and
    // moves the bytes at once.
    spawnSync('stty', ['-F', path, 'raw', '-echo', '300', 'cs8', 'cstopb', '-parenb']);
    board.fd = openSync(path, 'r+');
    board.tty = new ReadStream(board.fd);
    board.tty.on('data', (data) => void board.send(Array.from(data)));
    return board;
  }

  take(bytes) {
    if (this.lost) return false;
    writeSync(this.fd, Buffer.from(bytes));
    this.received.push(...bytes);
    this.wake();
    return true;
  }

  // The bytes that the echo peer received, as it reports them (hex).
  async peerReceived() {
    return (await this.peerLines.next()).value;
  }

  stop() {
    this.tty.destroy();
    try {
      closeSync(this.fd);
    } catch {}
    this.peer.kill();
  }
}
