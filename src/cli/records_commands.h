#pragma once
#include <QString>

#include "cli/options.h"

namespace kvn::cli {

struct Context;

// korvane-cli records log [SERIAL], records show SERIAL[@REV] [-o FILE.kvn], records diff
// SERIAL [REV [REV]]: what the records hold, read with the same texts as the rest of the
// command line. words: the words after "records".
QString RecordsUsageProblem(const Options& options, const QStringList& words);
int RunRecords(Context& c);

}  // namespace kvn::cli
