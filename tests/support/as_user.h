#pragma once
#include <QString>
#include <map>

namespace kvn::test {

// Ports a user may not open. The suite runs as root in CI, where no file mode stops anything,
// so such a test runs itself again in a new process as a plain user and reports its result.
//
//   if (!RunningAsUser()) {                 // the suite's own process
//     PtyPair port; DenyToUser(port.SlavePath());
//     EXPECT_EQ(RerunAsUser({{"KVN_PORT", port.SlavePath()}}), 0);
//     return;
//   }
//   ... the checks, as a user who may not open $KVN_PORT
bool RunningAsUser();
// Makes the port one a plain user may not open: root's with mode 0600 where the suite runs as
// root, mode 0000 (which denies its owner) where it runs as a plain user.
void DenyToUser(const QString& path);
// Runs the current test again in a new process of this test program, as nobody where the
// suite runs as root, with env added to its environment. Returns its exit status; 77 when a
// plain user cannot run the test program from where it lies.
int RerunAsUser(const std::map<QString, QString>& env);

inline constexpr int kCannotRunAsUser = 77;

}  // namespace kvn::test
