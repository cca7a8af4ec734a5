#include "support/as_user.h"

#include <gtest/gtest.h>
#include <grp.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <string>

namespace kvn::test {
namespace {

constexpr char kMarker[] = "KVN_TEST_AS_USER";
constexpr uid_t kNobody = 65534;

std::string CurrentTestFilter() {
  const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
  return std::string("--gtest_filter=") + info->test_suite_name() + "." + info->name();
}

// A copy of the program in a fresh folder under /tmp that every user may enter and run from;
// empty when it could not be made.
QString ReachableCopy(const QString& program) {
  QByteArray folder = "/tmp/kvn-as-user-XXXXXX";
  if (::mkdtemp(folder.data()) == nullptr) return {};
  const QString copy = QFile::decodeName(folder) + QStringLiteral("/") + QFileInfo(program).fileName();
  if (::chmod(folder.constData(), 0755) != 0 || !QFile::copy(program, copy) ||
      ::chmod(QFile::encodeName(copy).constData(), 0755) != 0) {
    QDir(QFile::decodeName(folder)).removeRecursively();
    return {};
  }
  return copy;
}

// In the child, between fork and exec: the folder of the program run becomes the current one,
// so nothing is looked up in a folder the user may not read.
[[noreturn]] void BecomeUserAndRun(const std::string& program, const std::string& filter) {
  if (::geteuid() == 0) {
    if (::setgroups(0, nullptr) != 0 || ::setresgid(kNobody, kNobody, kNobody) != 0 ||
        ::setresuid(kNobody, kNobody, kNobody) != 0)
      ::_exit(kCannotRunAsUser);
    const std::string folder = program.substr(0, program.rfind('/'));
    if (::chdir(folder.c_str()) != 0) ::_exit(kCannotRunAsUser);
  }
  const char* argv[] = {program.c_str(), filter.c_str(), nullptr};
  ::execv(program.c_str(), const_cast<char* const*>(argv));
  ::_exit(kCannotRunAsUser);
}

}  // namespace

bool RunningAsUser() { return qEnvironmentVariableIsSet(kMarker); }

bool InContinuousIntegration() { return qEnvironmentVariable("CI") == QLatin1String("true"); }

void DenyToUser(const QString& path) {
  ASSERT_EQ(::chmod(QFile::encodeName(path).constData(), ::geteuid() == 0 ? 0600 : 0000), 0);
}

int RerunAsUser(const std::map<QString, QString>& env) {
  const std::string filter = CurrentTestFilter();
  const QString self = QFile::symLinkTarget(QStringLiteral("/proc/self/exe"));
  const QString copy = ::geteuid() == 0 ? ReachableCopy(self) : QString();
  const std::string program = QFile::encodeName(copy.isEmpty() ? self : copy).toStdString();
  // Prepared before the fork: the child only changes identity and starts the program.
  const QByteArray home = qgetenv("HOME");
  for (const auto& [name, value] : env) qputenv(name.toLocal8Bit().constData(), value.toLocal8Bit());
  qputenv(kMarker, "1");
  qputenv("HOME", "/tmp");  // root's home is closed to the user
  const pid_t child = ::fork();
  if (child == 0) BecomeUserAndRun(program, filter);
  qunsetenv(kMarker);
  qputenv("HOME", home);
  for (const auto& entry : env) qunsetenv(entry.first.toLocal8Bit().constData());
  int status = 0;
  const bool waited = child >= 0 && ::waitpid(child, &status, 0) == child;
  if (!copy.isEmpty()) QDir(QFileInfo(copy).path()).removeRecursively();
  if (!waited) return -1;
  return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
}

}  // namespace kvn::test
