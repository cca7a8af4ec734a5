#include "cli/records_push.h"

#include <optional>

#include "cli/options.h"
#include "cli/output.h"
#include "records/records_deadline.h"
#include "texts/program_settings.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli)

bool Recording(const Options& o) {
  switch (o.command) {
    case Command::Read:
    case Command::Backup:
    case Command::Program:
    case Command::RestoreDefault:
    case Command::SaveDefault:
    case Command::Fleet: return true;
    case Command::Records: return o.words.value(0) == QLatin1String("import");
    default: return false;
  }
}

}  // namespace

QString PendingNote(const SyncOutcome& sync) {
  if (sync.pending == 0 && sync.error.isEmpty()) return {};
  return Tr("Records: %1 not on the server: %2").arg(sync.pending).arg(sync.error);
}

void AddPendingFields(const SyncOutcome& sync, QJsonObject& fields) {
  if (sync.pending == 0 && sync.error.isEmpty()) return;
  fields.insert(QStringLiteral("records_pending"), sync.pending);
  fields.insert(QStringLiteral("records_error"), sync.error);
}

void PushRecordsAtEnd(const Options& options) {
  if (!Recording(options) || options.recordsTimeout <= 0) return;
  const QString work = options.workDir.isEmpty() ? WorkDirectory(DefaultWorkBase()) : options.workDir;
  const int timeoutMs = options.recordsTimeout * 1000;
  // Several results (one per port) share the one push, made before the first is told.
  Output::SetBeforeResult([work, timeoutMs, pushed = std::optional<SyncOutcome>()](QJsonObject& fields) mutable {
    QString note;
    if (!pushed) {
      QString error;
      // Nothing this station holds is missing on the server (or no server is set): no network.
      if (Records(work).Pending(&error) == 0) {
        pushed = SyncOutcome{};
        return QString();
      }
      pushed = SyncWithin(work, timeoutMs);
      note = PendingNote(*pushed);
    }
    AddPendingFields(*pushed, fields);
    return note;
  });
}

}  // namespace kvn::cli
