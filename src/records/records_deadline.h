#pragma once
// A sync with the records' server that ends in time, whatever the server does.
#include <QString>

#include "records/records.h"

namespace kvn {

// The default of korvane-cli --records-timeout.
inline constexpr int kRecordsTimeoutSeconds = 10;

// Records::Sync of the records in workDirectory, ended by timeoutMs: libgit2 has no time-out
// of its own, so the sync runs on a thread of its own and, near the deadline, is told to stop
// and its connections to the server are shut down (a server that stalls in the middle of a
// read lets go of it). A sync that still does not end is left behind; its commits stay here
// and go with the next sync. The outcome then says the server did not answer in time.
SyncOutcome SyncWithin(const QString& workDirectory, int timeoutMs);

}  // namespace kvn
