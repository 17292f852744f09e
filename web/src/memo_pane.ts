// A read-only pane of lines (the log, the listing): one span a line, a line
// end between them, blanks kept, so the pane's text is its lines joined by
// line ends. A click or Enter chooses the line of the selection's start.
export class MemoPane {
  private lines: HTMLSpanElement[] = [];

  constructor(readonly element: HTMLElement) {
    element.addEventListener('click', () => this.choose());
    element.addEventListener('keydown', (event) => {
      if (event.key !== 'Enter') return;
      event.preventDefault();
      this.choose();
    });
  }

  // Called with the 0-based line that the user chose.
  onLineChosen: (line: number) => void = () => {};

  setLines(lines: readonly string[], color?: number): void {
    this.element.replaceChildren();
    this.lines = [];
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
    line.textContent = text;
    parent.appendChild(line);
    this.lines.push(line);
  }

  private choose(): void {
    const selection = document.getSelection();
    if (!selection || selection.rangeCount === 0) return;
    const range = selection.getRangeAt(0);
    if (!this.element.contains(range.startContainer)) return;
    const index = this.lineOf(range.startContainer, range.startOffset);
    if (index >= 0) this.onLineChosen(index);
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
