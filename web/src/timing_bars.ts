// The three timing track bars with the window's ranges and start positions
// (from its Designer file), their value labels, and a number field each for
// an exact value.
import { tr, widgetProperty } from './i18n';
import { pageTexts } from './page_texts';

// Each bar and the label that shows its position, as the window pairs them.
const BARS = [
  { bar: 'TrackBar1', label: 'Label7' }, // period
  { bar: 'TrackBar2', label: 'Label10' }, // additional delay
  { bar: 'TrackBar3', label: 'Label14' }, // prescaler
] as const;

export class TimingBars {
  onChange: () => void = () => {};

  constructor() {
    for (const { bar, label } of BARS) {
      const range = document.getElementById(bar) as HTMLInputElement;
      const exact = document.getElementById(`${bar}Value`) as HTMLInputElement;
      const shown = document.getElementById(label) as HTMLElement;
      for (const input of [range, exact]) {
        input.min = String(widgetProperty(bar, 'minimum'));
        input.max = String(widgetProperty(bar, 'maximum'));
        input.step = '1';
        input.value = String(widgetProperty(bar, 'value'));
      }
      exact.title = tr(pageTexts.exactValue);
      // Named for a screen reader by the bar's caption, not by its tooltip.
      const caption = document.querySelector(`label[for="${bar}"]`)?.textContent ?? '';
      exact.setAttribute('aria-label', tr(pageTexts.exactValueOf).replace('%1', caption));
      shown.textContent = range.value;
      range.addEventListener('input', () => {
        exact.value = range.value;
        shown.textContent = range.value;
        this.onChange();
      });
      exact.addEventListener('change', () => {
        // A value outside the bar's range goes to its nearest end.
        const value = Math.round(Number(exact.value));
        const clamped = Math.min(Math.max(Number.isFinite(value) ? value : Number(range.value), Number(range.min)), Number(range.max));
        exact.value = String(clamped);
        if (String(clamped) === range.value) return;
        range.value = String(clamped);
        shown.textContent = range.value;
        this.onChange();
      });
    }
  }

  // Period (TrackBar1), delay (TrackBar2), prescaler (TrackBar3).
  values(): [number, number, number] {
    const value = (bar: string) => Number((document.getElementById(bar) as HTMLInputElement).value);
    return [value('TrackBar1'), value('TrackBar2'), value('TrackBar3')];
  }

  // Sets the bars as values() reads them; a value out of range goes to the
  // bar's nearest end.
  setValues(values: readonly number[]): void {
    BARS.forEach(({ bar, label }, index) => {
      const range = document.getElementById(bar) as HTMLInputElement;
      const value = Number(values[index]);
      if (!Number.isFinite(value)) return;
      range.value = String(Math.min(Math.max(Math.round(value), Number(range.min)), Number(range.max)));
      (document.getElementById(`${bar}Value`) as HTMLInputElement).value = range.value;
      (document.getElementById(label) as HTMLElement).textContent = range.value;
    });
  }
}
