#pragma once
#include <QString>
#include <QTemporaryDir>
#include <cstdint>
#include <vector>

namespace kvn::test {

// A raw pseudo-terminal pair for link tests: the program opens SlavePath() like any serial
// port; the test reads and writes the other end directly.
class PtyPair {
 public:
  PtyPair();
  ~PtyPair();
  PtyPair(const PtyPair&) = delete;
  PtyPair& operator=(const PtyPair&) = delete;

  QString SlavePath() const { return slavePath_; }
  int MasterFd() const { return master_; }

  void Send(const std::vector<uint8_t>& bytes);
  // The far end goes away, as when an adapter is unplugged.
  void CloseMaster();
  // Everything the program wrote, waiting up to timeoutMs for the first byte.
  std::vector<uint8_t> Receive(int timeoutMs = 200);

 private:
  int master_ = -1;
  int slave_ = -1;
  QString slavePath_;
};

// A ports folder with COMn links, as the engineer or the simulator would make them.
class PortsFolder {
 public:
  PortsFolder();
  QString Path() const { return dir_.path(); }
  void Link(int comNumber, const QString& target);

 private:
  QTemporaryDir dir_;
};

}  // namespace kvn::test
