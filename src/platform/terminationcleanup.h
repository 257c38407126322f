#pragma once

#include <QString>
#include <mutex>

// Removing the folder a command is writing when it is asked to stop (SIGTERM, SIGINT,
// SIGHUP). The signals are taken by a thread of their own, which holds the writing thread
// (with SIGUSR2) so that it cannot refill the folder, removes the folder, and ends the
// process by the same signal.
namespace platform::terminationcleanup {

// Starts the watching thread. Called first thing in main(), before any other thread
// exists, so that every thread leaves these signals to it; the calling thread is the one
// that writes the folders.
void install();

// The folders removed on a stop. A folder is registered while it is being written; the
// swap that turns it into the output holds lock(), so a stop happens before or after it.
void track(const QString& folder);
void untrack(const QString& folder);
std::mutex& lock();

}  // namespace platform::terminationcleanup
