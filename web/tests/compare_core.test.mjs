// The page's core (WebAssembly) against native kmpc: the same listing, log
// (time line masked), image, frame, --text and --to-kmp bytes, over the
// examples, the project's test files and 300 generated programs under three
// timing sets.
//   KMPC=build/tools/kmpc KMP_CORE=build-web/core/kmp_core.js node compare_core.test.mjs
import assert from 'node:assert/strict';
import { spawnSync } from 'node:child_process';
import { mkdtempSync, readdirSync, readFileSync, rmSync, writeFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import { tmpdir } from 'node:os';
import { dirname, join, resolve } from 'node:path';
import { after, test } from 'node:test';
import { fileURLToPath } from 'node:url';
import { generateProgram } from './program_generator.mjs';

const root = resolve(dirname(fileURLToPath(import.meta.url)), '../..');
const kmpc = resolve(process.env.KMPC ?? join(root, 'build/tools/kmpc'));
const core = await createRequire(import.meta.url)(resolve(process.env.KMP_CORE ?? join(root, 'build-web/core/kmp_core.js')))();
const work = mkdtempSync(join(tmpdir(), 'kmp-compare-'));
after(() => rmSync(work, { recursive: true, force: true }));

const TIMINGS = [
  { period: 200, delay: 1, prescaler: 3 }, // the window's start positions
  { period: 1, delay: 65535, prescaler: 0 }, // the ends of the ranges
  { period: 253, delay: 254, prescaler: 7 }, // a delay byte written as 253
];
const TIME = '<time>';

function runKmpc(args) {
  const result = spawnSync(kmpc, args, { env: { ...process.env, LC_ALL: 'C' } });
  return { status: result.status, out: result.stdout, err: result.stderr.toString('utf8') };
}

const lines = (text) => text.split('\n').slice(0, -1);
const readIfThere = (path) => {
  try {
    return readFileSync(path);
  } catch {
    return null;
  }
};

// The differences between the two compilers for one file and timing; the
// core may be given another timing (the test's own check that it can fail).
function compileDifferences(file, timing, coreTiming = timing) {
  const image = join(work, 'image.bin');
  const frame = join(work, 'frame.bin');
  rmSync(image, { force: true });
  rmSync(frame, { force: true });
  const args = ['--period', timing.period, '--delay', timing.delay, '--prescaler', timing.prescaler];
  const native = runKmpc([...args.map(String), '-o', image, '--frame', frame, file]);
  const text = core.openedText(readFileSync(file));
  const run = core.compile(text, coreTiming.period, coreTiming.delay, coreTiming.prescaler, TIME);
  const log = run.failure ? [...run.log.lines, run.failure] : run.log.lines;
  const nativeLog = lines(native.err).map((line, i) => (log[i] === TIME ? TIME : line));
  const differences = [];
  const expect = (what, ours, theirs) => {
    if (!Buffer.from(ours).equals(Buffer.from(theirs ?? []))) differences.push(what);
  };
  if (run.ok !== (native.status === 0)) differences.push(`status ${native.status}`);
  expect('listing', run.listing.lines.map((line) => `${line}\n`).join(''), native.out);
  expect('log', log.map((line) => `${line}\n`).join(''), nativeLog.map((line) => `${line}\n`).join(''));
  if (run.ok) {
    expect('image', run.image, readIfThere(image));
    expect('frame', core.uploadFrame(run.image), readIfThere(frame));
  }
  return differences;
}

function conversionDifferences(file) {
  const differences = [];
  const text = core.openedText(readFileSync(file));
  const printed = runKmpc(['--text', file]);
  if (!Buffer.from(text).equals(printed.out)) differences.push('--text');
  const saved = join(work, 'saved.kmp');
  runKmpc(['--to-kmp', file, saved]);
  if (!Buffer.from(core.programFileBytes(text)).equals(readFileSync(saved))) differences.push('--to-kmp');
  return differences;
}

// The project's own files: examples and the file tests' documents.
const projectFiles = [
  ...readdirSync(join(root, 'examples')).map((name) => join(root, 'examples', name)),
  ...readdirSync(join(root, 'tests/files/data'))
    .filter((name) => /\.(txt|rtf)$/.test(name))
    .map((name) => join(root, 'tests/files/data', name)),
];

// Generated programs in the encodings a file may have: UTF-8, a .kmp as the
// window saves it, UTF-16 with a byte-order mark.
function generatedFiles(count) {
  const files = [];
  for (let seed = 1; seed <= count; seed++) {
    const text = generateProgram(seed);
    const path = join(work, `p${seed}.${seed % 5 === 0 ? 'kmp' : 'txt'}`);
    let bytes = Buffer.from(text, 'utf8');
    if (seed % 5 === 0) bytes = Buffer.from(core.programFileBytes(text));
    if (seed % 7 === 0) bytes = Buffer.concat([Buffer.from([0xff, 0xfe]), Buffer.from(text, 'utf16le')]);
    writeFileSync(path, bytes);
    files.push(path);
  }
  return files;
}

test('project files compile alike', () => {
  for (const file of projectFiles) {
    for (const timing of TIMINGS) assert.deepEqual(compileDifferences(file, timing), [], `${file} ${JSON.stringify(timing)}`);
    assert.deepEqual(conversionDifferences(file), [], file);
  }
});

test('300 generated programs compile and convert alike', () => {
  const files = generatedFiles(300);
  let failed = 0;
  for (const file of files) {
    for (const timing of TIMINGS) {
      const differences = compileDifferences(file, timing);
      if (differences.length > 0 && failed++ < 5) console.log(`${file} ${JSON.stringify(timing)}: ${differences}`);
    }
    const differences = conversionDifferences(file);
    if (differences.length > 0 && failed++ < 5) console.log(`${file}: ${differences}`);
  }
  assert.equal(failed, 0);
});

// The comparison itself must see a difference: one wrong timing value.
test('a wrong timing value is caught', () => {
  const file = join(root, 'examples/priklad.txt');
  assert.deepEqual(compileDifferences(file, TIMINGS[0], { ...TIMINGS[0], period: 201 }), ['listing', 'image', 'frame']);
});
