// Serves a folder on 127.0.0.1 with the types a browser needs for a WebAssembly page, and prints the address once
// listening:  node server.js FOLDER [PORT]   (PORT 0: any free one).
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

// A port that cannot be had is one line and status 2, as a usage error.
function refuse(why) {
  console.error(`serve: ${why}`);
  process.exit(2);
}

if (require.main === module) {
  const [folder, text = '8000'] = process.argv.slice(2);
  const port = Number(text);
  if (!/^[0-9]{1,5}$/.test(text) || port < 1 || port > 65535) refuse(`the port must be a number from 1 to 65535, not '${text}'`);
  const server = serve(folder || 'build-web', port, (s, address) => console.log(`serving ${address}kestrel.html`));
  server.on('error', (error) => {
    if (error.code === 'EADDRINUSE') refuse(`port ${port} on 127.0.0.1 is in use; name another: scripts/web.sh serve PORT`);
    if (error.code === 'EACCES') refuse(`port ${port} needs privileges this user lacks; name one above 1023`);
    refuse(`cannot serve on 127.0.0.1:${port}: ${error.message}`);
  });
}
