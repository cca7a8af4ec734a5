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
// suite runs as root, with env added to its environment. Root's build tree may lie where
// nobody can reach it: the program then runs from a copy in a fresh folder under /tmp that
// the plain user may enter, with that folder as its current one. Returns its exit status; 77 when the rerun could still not start
// as a plain user.
int RerunAsUser(const std::map<QString, QString>& env);

inline constexpr int kCannotRunAsUser = 77;

// CI sets CI=true: there a test that cannot run as a plain user fails instead of skipping,
// since nobody reads a skip there.
bool InContinuousIntegration();

}  // namespace kvn::test

// The outcome of RerunAsUser in a test: its status 0, or a skip on a developer's machine
// (a failure in CI) when it could not start as a plain user.
#define KVN_EXPECT_RERUN_PASSED(status)                                                     \
  do {                                                                                      \
    const int kvnRerunStatus = (status);                                                    \
    if (kvnRerunStatus == ::kvn::test::kCannotRunAsUser) {                                  \
      if (::kvn::test::InContinuousIntegration()) FAIL() << "a plain user cannot run the tests from here"; \
      GTEST_SKIP() << "a plain user cannot run the tests from here";                        \
    }                                                                                       \
    EXPECT_EQ(kvnRerunStatus, 0);                                                           \
  } while (false)

namespace kvn::test {

}  // namespace kvn::test
