// Texts that only the page has (the browser's own limits); every other text
// comes from the core or the window's files. The English of each is in
// po/en.po (a page test checks that).
import texts from './page_texts.json';

export const pageTexts: Readonly<typeof texts> = texts;
