#pragma once
#include <QJsonObject>
#include <QString>

#include "records/records.h"

namespace kvn::cli {

struct Options;

// The records' push at the end of a command that records (read, backup, program,
// restore-default, save-default, fleet, records import): before its result is told, what the
// server does not hold yet goes there within --records-timeout; when not all went, the result
// gains records_pending and records_error and "Records: N not on the server: why" goes to
// stderr. The device's outcome and the exit status stay as they are. Several ports: the
// children run with --records-timeout 0, the parent pushes once after all of them.
void PushRecordsAtEnd(const Options& options);

// The note for a sync that left commits here; empty when the server holds them all.
QString PendingNote(const SyncOutcome& sync);
// The same as result fields (records_pending, records_error); none when all went.
void AddPendingFields(const SyncOutcome& sync, QJsonObject& fields);

}  // namespace kvn::cli
