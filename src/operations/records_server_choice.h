#pragma once
#include <QString>

namespace kvn {

// The records' server as the engineer chooses it in the window: an address is set through
// Records::SetServer; an empty one takes the server away, so that the records stay on this
// station alone (what was sent stays on the server). Empty, or why it could not be changed.
QString ChooseRecordsServer(const QString& workDirectory, const QString& address);

}  // namespace kvn
