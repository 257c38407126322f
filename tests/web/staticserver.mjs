// A static file server on the loopback address for the browser tests: serves FOLDER on
// 127.0.0.1 at a free port, prints "port N" once listening, and serves nothing outside the
// folder. It stops when its standard input closes, so it never outlives its test.
//   node staticserver.mjs FOLDER
import http from "node:http";
import fs from "node:fs";
import path from "node:path";

const root = fs.realpathSync(process.argv[2]);
const types = {
  ".html": "text/html; charset=utf-8", ".js": "text/javascript; charset=utf-8",
  ".mjs": "text/javascript; charset=utf-8", ".css": "text/css; charset=utf-8",
  ".png": "image/png", ".json": "application/json", ".webmanifest": "application/manifest+json",
};

const server = http.createServer((request, response) => {
  let file;
  try {
    const name = decodeURIComponent(new URL(request.url, "http://127.0.0.1").pathname);
    file = path.join(root, name.endsWith("/") ? name + "index.html" : name);
  } catch (e) {
    file = null;
  }
  if (!file || !file.startsWith(root + path.sep) || !fs.existsSync(file) ||
      !fs.statSync(file).isFile()) {
    response.writeHead(404).end();
    return;
  }
  response.writeHead(200, { "Content-Type": types[path.extname(file)] || "application/octet-stream",
                            "Cache-Control": "no-cache" });
  fs.createReadStream(file).pipe(response);
});
server.listen(0, "127.0.0.1", () => console.log("port " + server.address().port));
process.stdin.on("end", () => process.exit(0));
process.stdin.resume();
