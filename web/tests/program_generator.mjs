// Control programs made up from a seed: valid statements and the slips that
// users make (wrong blanks, numbers out of range, lower case, unknown labels,
// missing KONIEC, too many statements), with diacritics and every line end.

// A small seeded generator (mulberry32), so that a failure can be rerun.
export function randomFrom(seed) {
  let state = seed >>> 0;
  const next = () => {
    state = (state + 0x6d2b79f5) >>> 0;
    let t = state;
    t = Math.imul(t ^ (t >>> 15), t | 1);
    t ^= t + Math.imul(t ^ (t >>> 7), t | 61);
    return ((t ^ (t >>> 14)) >>> 0) / 4294967296;
  };
  const int = (low, high) => low + Math.floor(next() * (high - low + 1));
  const pick = (items) => items[int(0, items.length - 1)];
  return { next, int, pick, chance: (p) => next() < p };
}

const LABELS = ['Moj cyklus', 'Dalej', 'Podmienka', 'Slučka', 'Koniec cesty', 'A1'];
const SOURCES = ['DIGITAL', 'KOMPARATOR'];
const INPUTS = ['VSTUP1', 'VSTUP2', 'NEG_VSTUP1', 'NEG_VSTUP2'];
const OPERATIONS = ['AND', 'OR', 'NAND', 'NOR'];

// A number mostly in `[low, high]`, sometimes just outside or odd.
function number(random, low, high) {
  if (!random.clean && random.chance(0.06)) return random.pick([String(high + 1), String(low - 1), '', '1x', '65536', '007']);
  return String(random.int(low, high));
}

function statement(random, labels) {
  const bit = () => (!random.clean && random.chance(0.04) ? '2' : String(random.int(0, 1)));
  switch (random.int(0, 6)) {
    case 0:
      return `VYSTUP(${bit()},${bit()},${bit()}) CAS ${number(random, 0, 253)}`;
    case 1:
      return `CASOVANIE ${number(random, 0, 7)}, PERIODA ${number(random, 0, 253)}`;
    case 2:
      return 'RESET';
    case 3: {
      const way = random.pick(['DOLAVA', 'DOPRAVA']);
      const always = random.chance(0.5) ? 'STALE ' : '';
      return `ROTUJ ${always}${way}, ROZBEH ${number(random, 0, 15)} CAS ${number(random, 0, 253)}`;
    }
    case 4:
      return `OPAKUJ ${random.pick(labels)}: ${number(random, 0, 255)}`;
    case 5: {
      // Both inputs negated or neither, the first input first.
      const inputs = random.clean ? random.pick([INPUTS.slice(0, 2), INPUTS.slice(2)]) : [random.pick(INPUTS), random.pick(INPUTS)];
      return `AK ${random.pick(SOURCES)} (${inputs[0]}) ${random.pick(OPERATIONS)} (${inputs[1]}) SKOK ${random.pick(labels)}:`;
    }
    default:
      // A clean program defines its one label once, at its start.
      return random.clean ? 'RESET' : `${random.pick(labels)}:`;
  }
}

// One slip in a line: a blank doubled or lost, a tab, lower case, a letter
// with a diacritic, a character cut off.
function slip(random, line) {
  const at = random.int(0, Math.max(line.length - 1, 0));
  switch (random.int(0, 5)) {
    case 0:
      return line.replace(' ', '  ');
    case 1:
      return line.replace(' ', '');
    case 2:
      return line.replace(' ', '\t');
    case 3:
      return line.toLowerCase();
    case 4:
      return line.slice(0, at) + random.pick(['á', 'č', 'ž', 'Ô', '€', '😀']) + line.slice(at);
    default:
      return line.slice(0, at) + line.slice(at + 1);
  }
}

// About half of the programs are written without a slip, with jumps to
// their own labels only; they compile, or are too long for the image.
export function generateProgram(seed) {
  const random = randomFrom(seed);
  random.clean = random.chance(0.5);
  const labels = random.clean ? [random.pick(['Moj cyklus', 'Dalej', 'A1'])] : LABELS;
  const lines = random.clean ? [`${labels[0]}:`] : [];
  if (random.chance(0.3)) lines.unshift(`// program č. ${seed}: ťažký ľahký`);
  lines.unshift(random.clean || random.chance(0.93) ? `PROGRAM ${random.pick(random.clean ? ['p', 'motor'] : ['p', 'motor', 'Skúška'])}:` : 'PROGRAM bez dvojbodky');
  const count = random.chance(0.12) ? random.int(58, 70) : random.int(0, 25);
  for (let i = 0; i < count; i++) {
    let line = statement(random, labels);
    if (!random.clean && random.chance(0.08)) line = slip(random, line);
    if (random.chance(0.1)) line = `  ${line}`;
    if (random.chance(0.1)) line += ` / ${random.pick(['poznámka', 'x', ''])}`;
    lines.push(line);
    if (random.chance(0.1)) lines.push('');
  }
  if (random.clean || random.chance(0.9)) lines.push(random.clean || random.chance(0.95) ? 'KONIEC' : 'KONIEC  ');
  if (random.chance(0.2)) lines.push('VYSTUP(9,9,9) CAS 999 / po konci');
  const end = random.pick(['\n', '\r\n', '\r']);
  return lines.join(end) + (random.chance(0.7) ? end : '');
}
