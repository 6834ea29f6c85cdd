// SPDX-License-Identifier: MIT
// A stand-in for `rclone rcd` in tests, run by the fake rclone with `exec node rcd.js` so that
// its listener belongs to the child Skyloft started. Like rcd it binds 127.0.0.1 at a port of its
// choosing, says so on stderr and answers POSTs with the user and password of its environment.
// Every request is appended to $HOME/.fake-rclone/rcd-requests as one JSON line
// ({method, params}; {method, params, aborted: true} when the client gave up on it). The test's
// $HOME/.fake-rclone/rcd-handler.js, when present, exports
//     (method, params, answer, state) => true if it answered or will answer, else falsy,
// where answer(status, object) replies with JSON, answer(status, null, text) with raw text and
// answer.raw(bytes) writes bytes to the socket as they are; `state` is shared between requests
// and holds the `server`.
'use strict';
const fs = require('fs');
const http = require('http');

const dir = process.env.HOME + '/.fake-rclone';
const log = (entry) => fs.appendFileSync(dir + '/rcd-requests', JSON.stringify(entry) + '\n');
const user = process.env.RCLONE_RC_USER || '';
const expected = 'Basic ' + Buffer.from(user + ':' + (process.env.RCLONE_RC_PASS || '')).toString('base64');
let handler = () => false;
if (fs.existsSync(dir + '/rcd-handler.js'))
    handler = require(dir + '/rcd-handler.js');
const state = {};

const defaults = {
    'operations/copyfile': () => ({}),
    'operations/publiclink': (params) => ({ url: 'https://enlace.example/' + params.remote }),
    'core/stats': () => ({ bytes: 0, totalBytes: 0, speed: 0, eta: null, transfers: 0 }),
    'core/bwlimit': (params) => ({ rate: params.rate || 'off' }),
};

const server = http.createServer((request, response) => {
    let body = '';
    request.on('data', (chunk) => { body += chunk; });
    request.on('end', () => {
        const method = request.url.slice(1);
        let params = {};
        try { params = JSON.parse(body); } catch (e) { params = { unreadable: body }; }
        log({ method, params });
        response.on('close', () => {
            if (!response.writableFinished)
                log({ method, params, aborted: true });
        });
        const answer = (status, object, text) => {
            response.writeHead(status, { 'Content-Type': 'application/json' });
            response.end(object === null ? text : JSON.stringify(object));
        };
        answer.raw = (bytes) => { request.socket.end(bytes); };
        if (request.headers.authorization !== expected)
            return answer(401, null, 'Unauthorized\n');
        if (handler(method, params, answer, state))
            return;
        answer(200, (defaults[method] || (() => ({})))(params));
    });
});
state.server = server;
server.listen(0, '127.0.0.1', () => {
    process.stderr.write('2026/01/01 00:00:00 NOTICE: Serving remote control on http://127.0.0.1:'
        + server.address().port + '/\n');
});
