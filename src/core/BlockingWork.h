// SPDX-License-Identifier: MIT
#pragma once

class QThreadPool;

namespace skyloft {

// Threads of our own for work that waits on a child process or sleeps (killall, the port search,
// blocking rclone runs). Qt's global pool also serves its painting and image work, and on a
// one-CPU machine it has a single thread: blocking it would freeze the window.
namespace BlockingWork {

// Side by side, for independent jobs such as asking rclone what it supports.
QThreadPool &pool();
// One job at a time, in the order queued: the authorizations, so that each press's steps run
// only once the authorization it replaces has ended.
QThreadPool &authorizations();

// Waits until both are idle (msecs < 0: for as long as it takes).
bool waitForDone(int msecs = -1);

} // namespace BlockingWork
} // namespace skyloft
