// A static file server for the site, on 127.0.0.1 only.
//
//   node serve.js SITE-DIR [PORT]      (PORT 0 or none: any free port)
//
// As a module, serve() also takes `folder`: names whose answer is given
// instead of the file's (a Buffer), or withheld (null: 404), or either once a
// promise settles. Tests use it to give the game another folder, to hold a
// file back, and may change it while serving.
//
// As a web host should, it lets the browser keep what it fetched (each
// answer has a validator, and an unchanged file is answered 304) and sends
// compressible files gzipped.
'use strict';

const crypto = require('crypto');
const fs = require('fs');
const http = require('http');
const path = require('path');
const zlib = require('zlib');

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.sf2': 'application/octet-stream',
  '.txt': 'text/plain; charset=utf-8',
  '.webmanifest': 'application/manifest+json',
};
// PNG is compressed already.
const kStored = new Set(['.png']);

// Files as read and gzipped, by the file's number, size and time (or the
// Buffer's digest): each is read and compressed once.
const read = new Map();
const zipped = new Map();
function gzipOnce(key, bytes) {
  if (!zipped.has(key)) zipped.set(key, zlib.gzipSync(bytes, {level: 6}));
  return zipped.get(key);
}

function serve({root, port = 0, folder = {}}) {
  const top = path.resolve(root);
  const server = http.createServer((request, response) => {
    let name;
    try {
      name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    } catch {
      response.writeHead(400).end();
      return;
    }
    if (name.endsWith('/')) name += 'index.html';
    const key = name.replace(/^\/+/, '');
    const extension = path.extname(name).toLowerCase();
    const type = kTypes[extension] || 'application/octet-stream';
    const gzip = !kStored.has(extension) &&
        /\bgzip\b/.test(request.headers['accept-encoding'] || '');
    // An answer from bytes in memory, or 304 when the browser has them.
    const answer = (bytes, tag) => {
      const etag = `"${tag}${gzip ? '-gz' : ''}"`;
      const headers = {'Content-Type': type, 'Cache-Control': 'no-cache', 'ETag': etag,
        'Vary': 'Accept-Encoding'};
      if (request.headers['if-none-match'] === etag) {
        response.writeHead(304, headers).end();
        return;
      }
      const body = gzip ? gzipOnce(tag, bytes) : bytes;
      if (gzip) headers['Content-Encoding'] = 'gzip';
      headers['Content-Length'] = body.length;
      response.writeHead(200, headers);
      response.end(request.method === 'HEAD' ? undefined : body);
    };
    if (Object.prototype.hasOwnProperty.call(folder, key)) {
      Promise.resolve(folder[key]).then((bytes) => {
        if (bytes === null) {
          response.writeHead(404).end();
        } else {
          answer(bytes, crypto.createHash('sha1').update(bytes).digest('hex'));
        }
      });
      return;
    }
    const file = path.join(top, name);
    if (file !== top && !file.startsWith(top + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.stat(file, (error, stat) => {
      if (error || !stat.isFile()) {
        response.writeHead(404).end();
        return;
      }
      const tag = [stat.ino, stat.size, stat.mtimeMs].map((n) => n.toString(36)).join('-');
      if (read.has(tag)) {
        answer(read.get(tag), tag);
        return;
      }
      fs.readFile(file, (readError, bytes) => {
        if (readError) {
          response.writeHead(404).end();
        } else {
          read.set(tag, bytes);
          answer(bytes, tag);
        }
      });
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const url = `http://127.0.0.1:${server.address().port}/`;
      resolve({url, server, close: () => new Promise((done) => {
        server.close(done);
        server.closeAllConnections();
      })});
    });
  });
}

module.exports = {serve};

if (require.main === module) {
  const [root, port] = process.argv.slice(2);
  if (!root) {
    console.error('usage: node serve.js SITE-DIR [PORT]');
    process.exit(2);
  }
  serve({root, port: Number(port || 0)}).then(({url}) => {
    console.log(`Vintaro is served at ${url}  (Ctrl+C stops it)`);
  }, (error) => {
    console.error(`serve.js: ${error.message}`);
    process.exit(1);
  });
}
