#pragma once
// The records' server over ssh: who we are (the ssh agent's keys, else the user's default key
// files) and whether the server is the one the user trusts ($HOME/.ssh/known_hosts, which the
// program only reads). Set as libgit2's callbacks of one connection.
#include <QByteArray>
#include <QString>
#include <git2.h>

#include <atomic>

namespace kvn::records_git {

// One connection's state, the callbacks' payload.
struct SshSession {
  SshSession(const QString& url, const std::atomic<bool>* canceled);

  QString host;
  int port = 22;
  int credentialRequests = 0;  // each agent or key file is offered once, then we give up
  QString refusal;             // why the connection was refused, in the user's words
  QString updateRefused;       // the server's reason for not moving its branch
  const std::atomic<bool>* canceled = nullptr;  // set: the deadline passed, stop at the next step
};

// The callbacks of a fetch or push to the server, with session as payload; each of them ends
// the work once session->canceled is set.
void SetSshCallbacks(git_remote_callbacks& callbacks, SshSession* session);

// known_hosts' verdict on a host key. line: what would add it ("[host]:port type base64").
enum class HostKnown { Match, Mismatch, Unknown, Revoked };
struct HostCheck {
  HostKnown known = HostKnown::Unknown;
  QString line;
};
// host: as the URL names it; key: the server's raw public key blob.
HostCheck CheckKnownHost(const QString& knownHostsPath, const QString& host, int port, const QByteArray& key);

}  // namespace kvn::records_git
