#pragma once
// A sync with the records' server that ends in time, whatever the server does.
#include <QString>
#include <atomic>

#include "records/records.h"

namespace kvn {

// The default of korvane-cli --records-timeout.
inline constexpr int kRecordsTimeoutSeconds = 10;

// Records::Sync of the records in workDirectory, ended by timeoutMs: libgit2 has no time-out
// of its own, so the sync runs on a thread of its own and, near the deadline, is told to stop
// and its connections to the server are shut down (a server that stalls in the middle of a
// read lets go of it). A sync that still does not end is left behind; its commits stay here
// and go with the next sync. The outcome then says the server did not answer in time. stop,
// when given and set meanwhile (the window quits), ends the sync as the deadline does, at once.
SyncOutcome SyncWithin(const QString& workDirectory, int timeoutMs, const std::atomic<bool>* stop = nullptr);

// True once a sync was left behind still running: the process then ends without running its
// exit handlers, which would tear down the Git library and its TLS under that thread.
bool SyncLeftRunning();

}  // namespace kvn
