// The local server of make run-web and the page tests: it serves its folder
// and nothing beside it, however the path is written.
import assert from 'node:assert/strict';
import { mkdirSync, mkdtempSync, rmSync, writeFileSync } from 'node:fs';
import { request } from 'node:http';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { after, before, test } from 'node:test';
import { serve } from '../../scripts/serve.mjs';

const work = mkdtempSync(join(tmpdir(), 'kmp-serve-'));
let site;

before(async () => {
  mkdirSync(join(work, 'site/sub'), { recursive: true });
  mkdirSync(join(work, 'site2'));
  writeFileSync(join(work, 'site/index.html'), 'index');
  writeFileSync(join(work, 'site/sub/index.html'), 'sub');
  writeFileSync(join(work, 'site/..notes.txt'), 'dots');
  writeFileSync(join(work, 'site/app.webmanifest'), '{}');
  writeFileSync(join(work, 'site2/x.txt'), 'outside');
  writeFileSync(join(work, 'secret.txt'), 'outside');
  site = await serve(join(work, 'site'));
});
after(() => {
  site.server.close();
  rmSync(work, { recursive: true, force: true });
});

// The raw path as sent, not as a URL parser would tidy it.
function get(path) {
  return new Promise((done, fail) => {
    const { port } = site.server.address();
    request({ host: '127.0.0.1', port, path }, (response) => {
      let body = '';
      response.on('data', (chunk) => (body += chunk));
      response.on('end', () => done({ status: response.statusCode, type: response.headers['content-type'], body }));
    })
      .on('error', fail)
      .end();
  });
}

const CASES = [
  { path: '/', status: 200, body: 'index' },
  { path: '/index.html', status: 200, body: 'index' },
  { path: '/sub/', status: 200, body: 'sub' },
  { path: '/..notes.txt', status: 200, body: 'dots' },
  { path: '/app.webmanifest', status: 200, type: 'application/manifest+json' },
  { path: '/missing.js', status: 404 },
  // A sibling whose name begins with the folder's.
  { path: '/..%2fsite2%2fx.txt', status: 403 },
  { path: '/%2e%2e%2fsite2%2fx.txt', status: 403 },
  { path: '/..%2f..%2fsecret.txt', status: 403 },
  { path: '/..%2fsecret.txt', status: 403 },
  { path: '/sub/..%2f..%2fsite2/x.txt', status: 403 },
];

for (const { path, status, body, type } of CASES) {
  test(`GET ${path} answers ${status}`, async () => {
    const answer = await get(path);
    assert.equal(answer.status, status);
    if (body !== undefined) assert.equal(answer.body, body);
    if (type !== undefined) assert.equal(answer.type, type);
    if (status !== 200) assert.doesNotMatch(answer.body, /outside/);
  });
}
