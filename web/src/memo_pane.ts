// Keys that move the keyboard's line, and how far.
const MOVES: Record<string, (current: number, count: number, page: number) => number> = {
  ArrowDown: (current) => current + 1,
  ArrowUp: (current) => current - 1,
  PageDown: (current, _count, page) => current + page,
  PageUp: (current, _count, page) => current - page,
  Home: () => 0,
  End: (_current, count) => count - 1,
};

// A read-only pane of lines (the log, the listing): one span a line, a line
// end between them, blanks kept, so the pane's text is its lines joined by
// line ends. A click or Enter chooses the line of the selection's start.
// From the keyboard it is a list box: the arrow keys move a current line
// (its option is the active descendant a screen reader reads) and Enter
// chooses that line.
export class MemoPane {
  private lines: HTMLSpanElement[] = [];
  private current = -1;

  constructor(readonly element: HTMLElement) {
    element.setAttribute('role', 'listbox');
    element.addEventListener('click', () => {
      const index = this.selectedLine();
      if (index >= 0) this.setCurrent(index);
      this.choose();
    });
    element.addEventListener('keydown', (event) => this.key(event));
  }

  // Called with the 0-based line that the user chose.
  onLineChosen: (line: number) => void = () => {};

  setLines(lines: readonly string[], color?: number): void {
    this.element.replaceChildren();
    this.lines = [];
    this.setCurrent(-1);
    const fragment = document.createDocumentFragment();
    for (const text of lines) this.add(fragment, text);
    this.element.append(fragment);
    if (color !== undefined) this.setColor(color);
  }

  appendLine(text: string): void {
    this.add(this.element, text);
    this.element.scrollTop = this.element.scrollHeight;
  }

  // A colour of the compiler's panes: 24 bits with red in the lowest byte.
  setColor(value: number): void {
    this.element.style.color = `rgb(${value & 255}, ${(value >> 8) & 255}, ${(value >> 16) & 255})`;
  }

  // Lights the given lines and scrolls the first into view.
  light(indices: readonly number[]): void {
    for (const line of this.element.querySelectorAll('.lit')) line.classList.remove('lit');
    for (const index of indices) this.lines[index]?.classList.add('lit');
    this.lines[indices[0]]?.scrollIntoView({ block: 'nearest' });
  }

  private add(parent: Node, text: string): void {
    if (this.lines.length > 0) parent.appendChild(document.createTextNode('\n'));
    const line = document.createElement('span');
    line.className = 'line';
    line.id = `${this.element.id}-${this.lines.length}`;
    line.setAttribute('role', 'option');
    line.setAttribute('aria-selected', 'false');
    line.textContent = text;
    parent.appendChild(line);
    this.lines.push(line);
  }

  private key(event: KeyboardEvent): void {
    if (event.ctrlKey || event.metaKey || event.altKey) return;
    const move = MOVES[event.key];
    if (event.key === 'Enter') {
      event.preventDefault();
      if (this.current >= 0) this.onLineChosen(this.current);
      else this.choose();
    } else if (move && this.lines.length > 0) {
      event.preventDefault();
      const lineHeight = this.lines[0].getBoundingClientRect().height || 16;
      const page = Math.max(1, Math.floor(this.element.clientHeight / lineHeight) - 1);
      // The first arrow key takes the line of the selection (or the first
      // line) as it is; every other key moves from there.
      const from = this.current >= 0 ? this.current : Math.max(0, this.selectedLine());
      const firstArrow = this.current < 0 && (event.key === 'ArrowDown' || event.key === 'ArrowUp');
      const to = firstArrow ? from : move(from, this.lines.length, page);
      this.setCurrent(Math.min(Math.max(to, 0), this.lines.length - 1));
    }
  }

  // The keyboard's line: marked, scrolled into view, and read out.
  private setCurrent(index: number): void {
    this.lines[this.current]?.classList.remove('current');
    this.lines[this.current]?.setAttribute('aria-selected', 'false');
    this.current = index;
    const line = this.lines[index];
    if (!line) {
      this.element.removeAttribute('aria-activedescendant');
      return;
    }
    line.classList.add('current');
    line.setAttribute('aria-selected', 'true');
    this.element.setAttribute('aria-activedescendant', line.id);
    line.scrollIntoView({ block: 'nearest' });
  }

  private choose(): void {
    const index = this.selectedLine();
    if (index >= 0) this.onLineChosen(index);
  }

  // The line of the selection's start in this pane, or -1.
  private selectedLine(): number {
    const selection = document.getSelection();
    if (!selection || selection.rangeCount === 0) return -1;
    const range = selection.getRangeAt(0);
    if (!this.element.contains(range.startContainer)) return -1;
    return this.lineOf(range.startContainer, range.startOffset);
  }

  // The line of a selection point: inside a line's span, on the line end
  // after it, or between the pane's children.
  private lineOf(node: Node, offset: number): number {
    let at: Node | null = node;
    if (node === this.element) at = this.element.childNodes[Math.min(offset, this.element.childNodes.length - 1)] ?? null;
    while (at && at.parentNode !== this.element) at = at.parentNode;
    if (!at) return -1;
    if (at.nodeType === Node.TEXT_NODE) at = at.previousSibling;
    return this.lines.indexOf(at as HTMLSpanElement);
  }
}
