// A module of the page's TypeScript for Node: bundled by esbuild in memory.
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';

const src = resolve(dirname(fileURLToPath(import.meta.url)), '../../src');

export async function loadPageModule(name) {
  const built = await esbuild.build({ entryPoints: [join(src, name)], bundle: true, format: 'esm', write: false, logLevel: 'error' });
  return import(`data:text/javascript;base64,${Buffer.from(built.outputFiles[0].text).toString('base64')}`);
}
