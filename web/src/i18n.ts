// The page speaks Slovak as the window does, or English through the
// project's catalogue (po/en.po) when the browser prefers English or the
// address asks for it (?lang=en).
import windowTexts from 'kmp-window-texts';

function chosenLanguage(): 'sk' | 'en' {
  const asked = new URLSearchParams(location.search).get('lang');
  if (asked === 'sk' || asked === 'en') return asked;
  for (const language of navigator.languages ?? [navigator.language]) {
    if (/^(sk|cs)\b/i.test(language)) return 'sk';
    if (/^en\b/i.test(language)) return 'en';
  }
  return 'sk';
}

export const language = chosenLanguage();

// The text to show for a Slovak source text.
export function tr(text: string): string {
  return language === 'en' ? (windowTexts.english[text] ?? text) : text;
}

// A property of a window control as its Designer file has it.
export function widgetProperty(widget: string, property: string): string | number | undefined {
  return windowTexts.widgets[widget]?.[property];
}

export function widgetText(widget: string): string {
  return tr(String(widgetProperty(widget, 'text') ?? ''));
}
