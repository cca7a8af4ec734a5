#include "cli/exit_codes.h"

#include <QCoreApplication>

namespace kvn::cli {

QString ExitCodeTable() {
  QString table;
  for (const ExitCodeRow& row : kExitCodes)
    table += QStringLiteral("  %1  %2\n")
                 .arg(Status(row.code), 3)
                 .arg(QCoreApplication::translate("kvn::cli::ExitCode", row.meaning));
  return table;
}

}  // namespace kvn::cli
