// Serves a static site from a folder on 127.0.0.1, as any static host would: each file with its
// type, gzip-compressed when the browser accepts it, nothing outside the folder. Used by
// scripts/web.sh to try the page, and by its tests.
//   node scripts/serve_site.mjs FOLDER [PORT]
import {createServer} from 'node:http';
import {readFile} from 'node:fs/promises';
import {extname, join, normalize, resolve} from 'node:path';
import {fileURLToPath} from 'node:url';
import {gzipSync} from 'node:zlib';

const TYPES = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.webmanifest': 'application/manifest+json',
  '.svg': 'image/svg+xml',
  '.png': 'image/png',
};

// Starts the server; resolves to it once it listens (port 0: any free port).
export function serveSite(folder, port = 0) {
  const root = resolve(folder);
  const server = createServer(async (request, response) => {
    const path = normalize(decodeURIComponent(new URL(request.url, 'http://x').pathname));
    const file = join(root, path.endsWith('/') ? `${path}index.html` : path);
    let body;
    try {
      if (!file.startsWith(root)) throw new Error('outside');
      body = await readFile(file);
    } catch {
      response.writeHead(404).end();
      return;
    }
    const headers = {'Content-Type': TYPES[extname(file)] ?? 'application/octet-stream',
      'Cache-Control': 'no-cache'};
    if (/\bgzip\b/.test(request.headers['accept-encoding'] ?? '')) {
      body = gzipSync(body);
      headers['Content-Encoding'] = 'gzip';
    }
    response.writeHead(200, headers).end(body);
  });
  return new Promise((done) => server.listen(port, '127.0.0.1', () => done(server)));
}

if (process.argv[1] === fileURLToPath(import.meta.url)) {
  const [folder, port = '8080'] = process.argv.slice(2);
  const server = await serveSite(folder, Number(port));
  console.log(`http://127.0.0.1:${server.address().port}/`);
}
