// Why a port does not open, on real pseudo-terminals: free, held by another program, missing,
// not a terminal, and refused to a user outside the port's group.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include "device_link/pause.h"
#include "device_link/port_state.h"
#include "device_link/serial_link.h"
#include "support/as_user.h"
#include "support/pty_pair.h"

namespace kvn {
namespace {

class PortProbe : public ::testing::Test {
 protected:
  QByteArray Path() const { return QFile::encodeName(pty.SlavePath()); }
  test::PtyPair pty;
  QTemporaryDir dir;
};

TEST_F(PortProbe, StatesOfPortsThatOpenAreHeldOrAreMissing) {
  QFile file(dir.filePath(QStringLiteral("not-a-port")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  const struct {
    const char* what;
    QString path;
    PortState state;
  } cases[] = {{"free", pty.SlavePath(), PortState::Free},
               {"missing", dir.filePath(QStringLiteral("ttyUSB9")), PortState::Absent},
               {"regular file", file.fileName(), PortState::Unusable}};
  for (const auto& c : cases) EXPECT_EQ(ProbePortState(c.path), c.state) << c.what;

  const int holder = ::open(Path().constData(), O_RDWR | O_NOCTTY);
  ASSERT_EQ(::flock(holder, LOCK_EX | LOCK_NB), 0);
  EXPECT_EQ(ProbePortState(pty.SlavePath()), PortState::InUse) << "locked by another program";
  ::close(holder);
  EXPECT_EQ(ProbePortState(pty.SlavePath()), PortState::Free) << "the probe keeps nothing open";
}

TEST_F(PortProbe, PortTheUserMayNotOpenIsNoPermissionToTheProbeAndTheLink) {
  if (!test::RunningAsUser()) {
    test::DenyToUser(pty.SlavePath());
    const int status = test::RerunAsUser({{QStringLiteral("KVN_DENIED_PORT"), pty.SlavePath()}});
    KVN_EXPECT_RERUN_PASSED(status);
    return;
  }
  const QString denied = qEnvironmentVariable("KVN_DENIED_PORT");
  EXPECT_EQ(ProbePortState(denied), PortState::NoPermission);

  test::PortsFolder folder;
  folder.Link(1, pty.SlavePath());
  folder.Link(3, denied);
  InterfaceSettings settings;
  settings.usb = true;
  settings.com_num = QStringLiteral("COM3");
  PortMap ports(folder.Path());
  Pause pause;
  SerialLink link(settings, ports, pause);
  EXPECT_FALSE(link.Open());
  EXPECT_EQ(link.OpenRefusal(), PortState::NoPermission);
  link.ScanPorts();
  EXPECT_EQ(link.PortStates()[0], PortState::Free);
  EXPECT_EQ(link.PortStates()[2], PortState::NoPermission);
  EXPECT_FALSE(link.PortPresent()[2]);
}

}  // namespace
}  // namespace kvn
