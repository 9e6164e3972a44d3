// Serves a folder on 127.0.0.1, with the types a browser needs for a
// WebAssembly page:  node server.js FOLDER [PORT]   (PORT 0: any free one).
// Prints the address once listening.
'use strict';
const http = require('http');
const fs = require('fs');
const path = require('path');

const kTypes = {
  '.html': 'text/html; charset=utf-8',
  '.js': 'text/javascript',
  '.wasm': 'application/wasm',
  '.data': 'application/octet-stream',
};

function serve(folder, port, onListening) {
  const root = path.resolve(folder);
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://127.0.0.1').pathname);
    const file = path.join(root, name === '/' ? 'kestrel.html' : name);
    if (!file.startsWith(root + path.sep)) {
      response.writeHead(403).end();
      return;
    }
    fs.readFile(file, (error, bytes) => {
      if (error) {
        response.writeHead(404).end();
        return;
      }
      response.writeHead(200, { 'Content-Type': kTypes[path.extname(file)] || 'application/octet-stream' });
      response.end(bytes);
    });
  });
  server.listen(port, '127.0.0.1', () => onListening(server, `http://127.0.0.1:${server.address().port}/`));
  return server;
}

module.exports = { serve };

if (require.main === module) {
  const [folder, port] = process.argv.slice(2);
  serve(folder || 'build-web', Number(port || 8000), (server, address) => console.log(`serving ${address}kestrel.html`));
}
