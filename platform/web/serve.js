// A static file server for the site, on 127.0.0.1 only.
//
//   node serve.js SITE-DIR [PORT]      (PORT 0 or none: any free port)
//
// As a module, serve() also takes `folder`: names whose answer is given
// instead of the file's (a Buffer), or withheld (null: 404). Tests use it to
// give the game another folder.
'use strict';

const fs = require('fs');
const http = require('http');
const path = require('path');

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.wasm': 'application/wasm',
  '.png': 'image/png',
  '.sf2': 'application/octet-stream',
  '.txt': 'text/plain; charset=utf-8',
};

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
    const type = kTypes[path.extname(name).toLowerCase()] || 'application/octet-stream';
    const headers = {'Content-Type': type, 'Cache-Control': 'no-cache'};
    if (Object.prototype.hasOwnProperty.call(folder, key)) {
      if (folder[key] === null) {
        response.writeHead(404).end();
      } else {
        response.writeHead(200, headers).end(folder[key]);
      }
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
      headers['Content-Length'] = stat.size;
      response.writeHead(200, headers);
      if (request.method === 'HEAD') {
        response.end();
      } else {
        fs.createReadStream(file).pipe(response);
      }
    });
  });
  return new Promise((resolve, reject) => {
    server.once('error', reject);
    server.listen(port, '127.0.0.1', () => {
      const url = `http://127.0.0.1:${server.address().port}/`;
      resolve({url, server, close: () => new Promise((done) => server.close(done))});
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
