// The page's core loaded in Node, for expected values that come from the
// same C++ as the page's (and the window's) own.
import { createRequire } from 'node:module';
import { join } from 'node:path';
import { webBuild } from './harness.mjs';

export const core = await createRequire(import.meta.url)(join(webBuild, 'core/kmp_core.js'))();

// The log line that checks `returned` against `frame`.
export function echoLine(frame, returned) {
  const check = new core.EchoCheck();
  check.start(Uint8Array.from(frame));
  check.take(Uint8Array.from(returned));
  const line = check.line();
  check.delete();
  return line;
}
