// Says a result to a screen reader through the page's polite live region
// (the end of a compile, the end of a send); a sighted user reads it in
// the log.
export function announce(text: string): void {
  const region = document.getElementById('Announce');
  if (!region) return;
  // The same text twice in a row is said again only when it changes.
  region.textContent = '';
  setTimeout(() => (region.textContent = text), 50);
}
