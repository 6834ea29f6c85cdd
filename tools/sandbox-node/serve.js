// SPDX-License-Identifier: MIT
// s3rver's own command line, plus one thing: the server ends when the sandbox script that started
// it is gone, even if that script was killed without a chance to stop it.
'use strict';

const parent = process.ppid;
setInterval(() => {
  if (process.ppid !== parent) process.exit(0);
}, 500).unref();

require('s3rver/bin/s3rver.js');
