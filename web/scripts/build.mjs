// Builds the page: build-web/site/ for any static web server, and
// build-web/kmp.html, one file that works when opened from disk.
//   node scripts/build.mjs CORE_JS OUT_DIR
import { createHash } from 'node:crypto';
import { copyFileSync, mkdirSync, readdirSync, readFileSync, writeFileSync } from 'node:fs';
import { dirname, join, resolve } from 'node:path';
import { fileURLToPath } from 'node:url';
import * as esbuild from 'esbuild';
import { catalogue, widgetTexts } from './window_texts.mjs';

const web = resolve(dirname(fileURLToPath(import.meta.url)), '..');
const root = resolve(web, '..');
const [coreJs, outDir] = process.argv.slice(2).map((path) => resolve(path));
const site = join(outDir, 'site');
const generated = join(outDir, 'gen');
mkdirSync(site, { recursive: true });
mkdirSync(generated, { recursive: true });

// The packages that the bundle holds code of, with their licenses: the
// minified script keeps no comments, and the licenses ask for their notice
// to go with every copy.
function bundledLicenses(metafile) {
  const packages = new Set();
  for (const input of Object.keys(metafile.inputs)) {
    const match = input.match(/node_modules\/((?:@[^/]+\/)?[^/]+)\//);
    if (match) packages.add(match[1]);
  }
  const sections = [...packages].sort().map((name) => {
    const folder = join(web, 'node_modules', name);
    const { version, license } = JSON.parse(readFileSync(join(folder, 'package.json'), 'utf8'));
    const file = readdirSync(folder).find((entry) => /^licen[cs]e/i.test(entry));
    const text = file ? readFileSync(join(folder, file), 'utf8').trim() : license;
    return `${name} ${version} (${license})\n\n${text}\n`;
  });
  return `The page's script (app.js) holds code of these packages:\n\n${sections.join('\n---\n\n')}`;
}

const textsJson = join(generated, 'window_texts.json');
writeFileSync(
  textsJson,
  JSON.stringify({
    widgets: widgetTexts(join(root, 'app/TForm1.ui')),
    english: catalogue(join(root, 'po/en.po')),
  }),
);

const bundle = await esbuild.build({
  entryPoints: [join(web, 'src/main.ts')],
  bundle: true,
  format: 'iife',
  minify: true,
  target: 'chrome89',
  write: false,
  legalComments: 'none',
  alias: { 'kmp-core': coreJs, 'kmp-window-texts': textsJson },
  // The core's Node branches never run in a page.
  external: ['fs', 'path', 'crypto', 'ws', 'worker_threads'],
  logLevel: 'warning',
  metafile: true,
});
const script = bundle.outputFiles[0].text;
const style = readFileSync(join(web, 'src/style.css'), 'utf8');
const pageSource = readFileSync(join(web, 'static/index.html'), 'utf8');

writeFileSync(join(site, 'app.js'), script);
writeFileSync(join(site, 'licenses.txt'), bundledLicenses(bundle.metafile));
writeFileSync(join(site, 'style.css'), style);
// The editor's style sheet is let in by a nonce, new with every build.
const styleNonce = createHash('sha256').update('style nonce').update(script).update(style).digest('base64url').slice(0, 22);
const page = pageSource.replace('__STYLE_NONCE__', styleNonce);
writeFileSync(join(site, 'index.html'), page);
// The accessibility statements name the window's contact address.
const contact = readFileSync(join(root, 'app/app_texts.h'), 'utf8').match(/kContactAddress = "([^"]+)"/)[1];
const statements = ['pristupnost.html', 'accessibility.html'];
for (const name of statements) {
  const statement = readFileSync(join(web, 'static', name), 'utf8').replaceAll('__CONTACT__', contact);
  writeFileSync(join(site, name), statement);
  // Beside kmp.html too, where its footer links to them.
  writeFileSync(join(outDir, name), statement);
}
copyFileSync(join(web, 'static/manifest.webmanifest'), join(site, 'manifest.webmanifest'));
for (const size of [128, 256]) {
  copyFileSync(join(root, `dist/icons/kmp-studio-${size}.png`), join(site, `icon-${size}.png`));
}
// The worker keeps every file of the site for offline use; a new build
// has a new cache name, so an old copy is replaced as a whole.
const files = ['./', 'index.html', 'app.js', 'style.css', 'manifest.webmanifest', 'icon-128.png', 'icon-256.png', 'licenses.txt', ...statements];
// The name carries kmp's version (as the core's build wrote it) and the
// build's own digest, which also changes between commits of one version.
const version = readFileSync(join(dirname(coreJs), 'generated/version.txt'), 'utf8').trim();
const digest = createHash('sha256').update(script).update(style).update(page).digest('hex').slice(0, 12);
const worker = readFileSync(join(web, 'static/sw.js'), 'utf8')
  .replace('__CACHE_NAME__', `kmp-${version}-${digest}`)
  .replace('__FILES__', JSON.stringify(files));
writeFileSync(join(site, 'sw.js'), worker);

// The one-file form: style and script inline; no manifest or worker, which a
// page from disk cannot have. Its policy allows that one script and that one
// style by their digests, and nothing else inline.
const inlineScript = script.replaceAll('</script', '<\\/script');
const inlineStyle = `\n${style}`;
const sha256 = (text) => `'sha256-${createHash('sha256').update(text).digest('base64')}'`;
const inline = page
  .replace(/<link rel="manifest"[^>]*>\n?/, '')
  .replace(/<link rel="icon"[^>]*>\n?/, '')
  .replace(/script-src 'self'/, () => `script-src ${sha256(inlineScript)}`)
  .replace(/style-src 'self'/, () => `style-src ${sha256(inlineStyle)}`)
  .replace('<link rel="stylesheet" href="style.css">', () => `<style>${inlineStyle}</style>`)
  .replace('<script src="app.js"></script>', () => `<script>${inlineScript}</script>`);
writeFileSync(join(outDir, 'kmp.html'), inline);
console.log(`web: ${site}/ and ${join(outDir, 'kmp.html')}`);
