import { openPage } from './harness.mjs';

// A page with `board` behind its serial stand-in (and `prepare` before it
// loads), the example compiled and the port connected.
export async function connectedPage(browser, url, board, { handshake = false, prepare = async () => {} } = {}) {
  const page = await openPage(browser, url, async (p) => {
    await board.attach(p);
    await prepare(p);
  });
  await page.click('#Button1');
  if (handshake) await page.check('#CheckBox1');
  await page.click('#Button2');
  await page.waitForSelector('#ComLed1.on');
  if (board.dsr) await page.waitForSelector('#Button4:enabled');
  return page;
}

// The board behind the page's serial stand-in, in Node: it records what the
// page opened, set and wrote, answers with its modem lines, echoes every
// byte like the project's echo peer, and can be made busy, silent or lost.
export class Board {
  constructor({ dsr = true, cts = true, echo = true, busy = false } = {}) {
    Object.assign(this, { dsr, cts, echo, busy, lost: false });
    this.received = [];
    this.openedWith = null;
    this.signalsSet = [];
    this.waiters = [];
    this.page = null;
  }

  // Connects the board to a page before it loads.
  async attach(page) {
    this.page = page;
    await page.exposeFunction('kmpBoardOpen', (options) => {
      if (this.busy) return 'Failed to open serial port.';
      this.openedWith = options;
      return '';
    });
    await page.exposeFunction('kmpBoardWrite', (bytes) => this.take(bytes));
    await page.exposeFunction('kmpBoardSignals', () =>
      this.lost ? null : { dataSetReady: this.dsr, clearToSend: this.cts, dataCarrierDetect: false, ringIndicator: false },
    );
    await page.exposeFunction('kmpBoardSetSignals', (signals) => this.signalsSet.push(signals));
    await page.exposeFunction('kmpBoardClose', () => {});
    await page.addInitScript({ path: new URL('./serial_stand_in.js', import.meta.url).pathname });
  }

  take(bytes) {
    if (this.lost) return false;
    this.received.push(...bytes);
    if (this.echo) void this.send(bytes);
    this.wake();
    return true;
  }

  // Bytes from the board to the page.
  send(bytes) {
    return this.page.evaluate((b) => window.kmpStandIn.deliver(b), bytes);
  }

  async lose() {
    this.lost = true;
    await this.page.evaluate(() => window.kmpStandIn.lose());
  }

  // Resolves once the board has received `count` bytes.
  receivedCount(count) {
    return new Promise((resolve) => {
      this.waiters.push({ count, resolve });
      this.wake();
    });
  }

  wake() {
    this.waiters = this.waiters.filter((waiter) => {
      if (this.received.length < waiter.count) return true;
      waiter.resolve();
      return false;
    });
  }
}
