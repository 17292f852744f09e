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

// "1 chyba", "2 chyby" … "4 chyby", "5 chýb": which of the three forms of
// a Slovak count.
export function countForm(count: number): 'one' | 'few' | 'many' {
  if (count === 1) return 'one';
  return count >= 2 && count <= 4 ? 'few' : 'many';
}
