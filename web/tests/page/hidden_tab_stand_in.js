// Injected before the page's script: the throttling that Chrome applies to
// a hidden tab, which headless chromium never does. window.kmpHideTab()
// hides the tab: visibility "hidden", every timer run at the next whole
// second (however short its delay), no animation frames.
(() => {
  let hidden = false;
  const realSetTimeout = window.setTimeout.bind(window);
  const realSetInterval = window.setInterval.bind(window);
  const realClearTimeout = window.clearTimeout.bind(window);
  const realAnimationFrame = window.requestAnimationFrame.bind(window);
  const toWholeSecond = (delay) => {
    const now = performance.now();
    return Math.ceil((now + Math.max(0, Number(delay) || 0) + 0.001) / 1000) * 1000 - now;
  };
  window.setTimeout = (callback, delay, ...args) =>
    realSetTimeout(callback, hidden ? toWholeSecond(delay) : delay, ...args);
  // An interval while hidden: a chain of aligned timers under one id.
  const intervals = new Map();
  let nextInterval = 1e9;
  window.setInterval = (callback, delay, ...args) => {
    if (!hidden) return realSetInterval(callback, delay, ...args);
    const id = nextInterval++;
    const tick = () => {
      intervals.set(id, realSetTimeout(tick, toWholeSecond(delay)));
      callback(...args);
    };
    intervals.set(id, realSetTimeout(tick, toWholeSecond(delay)));
    return id;
  };
  const realClearInterval = window.clearInterval.bind(window);
  window.clearInterval = (id) => (intervals.has(id) ? (realClearTimeout(intervals.get(id)), intervals.delete(id)) : realClearInterval(id));
  window.requestAnimationFrame = (callback) => (hidden ? 0 : realAnimationFrame(callback));
  Object.defineProperty(Document.prototype, 'visibilityState', { get: () => (hidden ? 'hidden' : 'visible'), configurable: true });
  Object.defineProperty(Document.prototype, 'hidden', { get: () => hidden, configurable: true });
  window.kmpHideTab = () => {
    hidden = true;
    document.dispatchEvent(new Event('visibilitychange'));
  };
})();
