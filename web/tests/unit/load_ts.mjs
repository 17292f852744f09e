// A module of the page's TypeScript for Node: bundled by esbuild in memory.
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';

const src = resolve(dirname(fileURLToPath(import.meta.url)), '../../src');

export async function loadPageModule(name) {
  return load({ entryPoints: [join(src, name)] });
}

// A module made of `code`, which imports from the page's sources and its
// packages as a file of src/ would.
export async function loadPageCode(code) {
  return load({ stdin: { contents: code, resolveDir: src, loader: 'ts' } });
}

async function load(entry) {
  const built = await esbuild.build({ ...entry, bundle: true, format: 'esm', write: false, logLevel: 'error' });
  return import(`data:text/javascript;base64,${Buffer.from(built.outputFiles[0].text).toString('base64')}`);
}
