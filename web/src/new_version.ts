// The site's worker keeps the page for offline use and fetches a new build
// when the browser looks for one (at a visit, or hourly while the tab stays
// open). The running page stays the old one until it is loaded again, so the
// user is told, but never in the middle of a send: a reload would cut it off.
import { tr } from './i18n';
import { pageTexts } from './page_texts';

const UPDATE_CHECK_MS = 60 * 60 * 1000;

export class NewVersionNotice {
  private fetched = false;

  constructor(
    private readonly notice: HTMLElement,
    private readonly isSending: () => boolean,
  ) {
    notice.querySelector('.notice-text')!.textContent = tr(pageTexts.newVersion);
    const reload = notice.querySelector('button')!;
    reload.textContent = tr(pageTexts.reload);
    reload.addEventListener('click', () => location.reload());
  }

  // Registers the worker; a worker that takes over from another one brings
  // a new version (the first one only takes over the page it came with).
  watch(worker: ServiceWorkerContainer): void {
    let inCharge = worker.controller;
    worker.addEventListener('controllerchange', () => {
      if (inCharge !== null) {
        this.fetched = true;
        this.render();
      }
      inCharge = worker.controller;
    });
    worker
      .register('sw.js')
      .then((registration) => setInterval(() => void registration.update().catch(() => {}), UPDATE_CHECK_MS))
      .catch(() => {});
  }

  // Called when a send starts or ends.
  render(): void {
    this.notice.hidden = !this.fetched || this.isSending();
  }
}
