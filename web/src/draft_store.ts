// Drafts kept in the browser (IndexedDB), one per tab, so that a closed
// tab, a reload, a crash or a PC switched off loses no work. A tab knows
// its draft by an id in sessionStorage, which a reload keeps and a new tab
// does not. Each open tab holds a Web Lock named by its id (held while the
// page lives, also when the browser freezes a background tab), or where
// locks are missing (a page that is not secure) answers on a
// BroadcastChannel; so a tab never takes or overwrites the draft of
// another open tab.

export interface Draft {
  id: string;
  text: string;
  values: number[]; // period, delay, prescaler
  name: string; // the file name, '' for none
  modified: boolean; // not saved since the last change
  time: number; // ms since the epoch
}

const DATABASE = 'kmp';
const STORE = 'drafts';
const TAB_KEY = 'kmp-draft';
const CHANNEL = 'kmp-tabs';
const LOCK_PREFIX = 'kmp-tab:';
// How long the open tabs have to answer: messages are not throttled in
// hidden tabs, so an open tab answers in a few milliseconds.
const ANSWER_MS = 120;
// The drafts of closed tabs kept: the newest 10, none older than 30 days.
const KEPT = 10;
const KEPT_MS = 30 * 24 * 3600 * 1000;

function done<T>(request: IDBRequest<T>): Promise<T> {
  return new Promise((resolve, reject) => {
    request.onsuccess = () => resolve(request.result);
    request.onerror = () => reject(request.error);
  });
}

function openDatabase(): Promise<IDBDatabase> {
  const request = indexedDB.open(DATABASE, 1);
  request.onupgradeneeded = () => request.result.createObjectStore(STORE, { keyPath: 'id' });
  return done(request);
}

function newId(): string {
  return `${Date.now().toString(36)}-${Math.random().toString(36).slice(2, 10)}`;
}

type TabMessage = { kind: 'who' } | { kind: 'here'; id: string };

export class DraftStore {
  private database: IDBDatabase | null = null;
  private releaseLock: () => void = () => {};
  private readonly channel: BroadcastChannel | null;

  private constructor(private id: string) {
    this.channel = !navigator.locks && typeof BroadcastChannel === 'function' ? new BroadcastChannel(CHANNEL) : null;
    this.channel?.addEventListener('message', (event: MessageEvent<TabMessage>) => {
      if (event.data?.kind === 'who') this.channel?.postMessage({ kind: 'here', id: this.id } satisfies TabMessage);
    });
  }

  // This tab's store and the draft it starts with: its own after a reload;
  // in a new tab with no other tab open, the draft changed last (which this
  // tab then keeps); otherwise none. Rejects where the browser refuses
  // storage; the store then keeps nothing.
  static async start(): Promise<{ store: DraftStore; draft: Draft | null }> {
    let id = sessionStorage.getItem(TAB_KEY);
    const store = new DraftStore('');
    const open = await store.openTabs();
    store.database = await openDatabase();
    let draft: Draft | null = null;
    if (id && !open.has(id)) {
      draft = (await store.get(id)) ?? null;
    } else {
      id = newId();
      if (open.size === 0) draft = (await store.closedDrafts(open))[0] ?? null;
    }
    store.id = id;
    sessionStorage.setItem(TAB_KEY, id);
    store.hold(id);
    if (draft && draft.id !== id) {
      await store.remove(draft.id);
      draft = { ...draft, id };
      await store.put(draft);
    }
    await store.prune(open);
    return { store, draft };
  }

  // Leaves the tab's draft as it stands, listed from now on with the closed
  // tabs' drafts, and keeps the tab's further work under a new id.
  detach(): void {
    const release = this.releaseLock;
    this.id = newId();
    sessionStorage.setItem(TAB_KEY, this.id);
    this.hold(this.id);
    release();
  }

  // The lock that tells other tabs this one is open: held until the page
  // goes or the tab detaches from the id.
  private hold(id: string): void {
    void navigator.locks?.request(LOCK_PREFIX + id, () => new Promise<void>((resolve) => (this.releaseLock = resolve)));
  }

  // Stores this tab's draft.
  async save(draft: Omit<Draft, 'id'>): Promise<void> {
    await this.put({ ...draft, id: this.id });
  }

  // The drafts of tabs that are closed now, newest first.
  async others(): Promise<Draft[]> {
    return this.closedDrafts(await this.openTabs());
  }

  // Takes a closed tab's draft over: it goes from the list.
  async take(draft: Draft): Promise<void> {
    await this.remove(draft.id);
  }

  private async closedDrafts(open: Set<string>): Promise<Draft[]> {
    const all = (await this.all()).filter((draft) => draft.id !== this.id && !open.has(draft.id));
    return all.sort((a, b) => b.time - a.time);
  }

  private async prune(open: Set<string>): Promise<void> {
    const closed = await this.closedDrafts(open);
    const now = Date.now();
    for (const [index, draft] of closed.entries()) {
      if (index >= KEPT || now - draft.time > KEPT_MS) await this.remove(draft.id);
    }
  }

  // The ids of the other open tabs of this page.
  private async openTabs(): Promise<Set<string>> {
    if (navigator.locks) {
      const { held = [] } = await navigator.locks.query();
      const ids = held.map((lock) => lock.name ?? '').filter((name) => name.startsWith(LOCK_PREFIX));
      const open = new Set(ids.map((name) => name.slice(LOCK_PREFIX.length)));
      open.delete(this.id);
      return open;
    }
    const channel = this.channel;
    if (!channel) return Promise.resolve(new Set());
    // A channel does not hear its own messages: a second one listens.
    const listener = new BroadcastChannel(CHANNEL);
    const ids = new Set<string>();
    listener.onmessage = (event: MessageEvent<TabMessage>) => {
      if (event.data?.kind === 'here' && event.data.id) ids.add(event.data.id);
    };
    listener.postMessage({ kind: 'who' } satisfies TabMessage);
    return new Promise((resolve) =>
      setTimeout(() => {
        listener.close();
        ids.delete(this.id);
        resolve(ids);
      }, ANSWER_MS),
    );
  }

  private transaction(mode: IDBTransactionMode): IDBObjectStore {
    if (!this.database) throw new Error('no storage');
    return this.database.transaction(STORE, mode).objectStore(STORE);
  }

  private async get(id: string): Promise<Draft | undefined> {
    return done(this.transaction('readonly').get(id));
  }

  private async all(): Promise<Draft[]> {
    return done(this.transaction('readonly').getAll());
  }

  // The write counts once its transaction is committed: a full disk fails
  // the commit, not the request.
  private put(draft: Draft): Promise<void> {
    const store = this.transaction('readwrite');
    const transaction = store.transaction;
    return new Promise<void>((resolve, reject) => {
      transaction.oncomplete = () => resolve();
      transaction.onabort = () => reject(transaction.error ?? new DOMException('aborted', 'AbortError'));
      store.put(draft);
    });
  }

  private async remove(id: string): Promise<void> {
    await done(this.transaction('readwrite').delete(id));
  }
}
