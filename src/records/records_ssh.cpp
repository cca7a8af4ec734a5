#include "records/records_ssh.h"

#include <QCoreApplication>
#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QMessageAuthenticationCode>
#include <QRegularExpression>
#include <QStringList>
#include <QUrl>

#include "platform/platform.h"
#include "texts/guarded_file.h"
#include "texts/tr_context.h"

namespace kvn::records_git {
namespace {

KVN_TR_CONTEXT(kvn::records_git)  // lupdate files the texts of this namespace under it

constexpr qint64 kKnownHostsCap = 4 * 1024 * 1024;
// The key files ssh itself tries, in its order.
constexpr const char* kDefaultKeys[] = {"id_ed25519", "id_ecdsa", "id_rsa"};

QString SshFolder() { return QDir::homePath() + QStringLiteral("/.ssh"); }

// What ssh offers the server, in order: the agent's keys, then each default key file there is.
QStringList Identities() {
  QStringList identities;
  if (!qEnvironmentVariableIsEmpty("SSH_AUTH_SOCK")) identities << QString();  // the agent
  for (const char* name : kDefaultKeys) {
    const QString path = SshFolder() + QLatin1Char('/') + QLatin1String(name);
    if (QFileInfo(path).isFile()) identities << path;
  }
  return identities;
}

QString Described(const QString& identity) {
  return identity.isEmpty() ? Tr("the ssh agent's keys") : QDir::toNativeSeparators(identity);
}

int Refuse(SshSession& s, int code, const QString& why) {
  s.refusal = why;
  git_error_set_str(GIT_ERROR_SSH, why.toUtf8().constData());
  return code;
}

bool Canceled(const SshSession& s) { return s.canceled && s.canceled->load(); }

int RefuseCanceled(SshSession& s) { return Refuse(s, GIT_EUSER, Tr("The records' server did not answer in time.")); }

int Credentials(git_credential** out, const char*, const char* userFromUrl, unsigned int allowed, void* payload) {
  auto& s = *static_cast<SshSession*>(payload);
  if (Canceled(s)) return RefuseCanceled(s);
  const QByteArray user = userFromUrl ? QByteArray(userFromUrl) : platform::LoginName().toUtf8();
  if (allowed & GIT_CREDENTIAL_USERNAME) return git_credential_username_new(out, user.constData());
  if (!(allowed & GIT_CREDENTIAL_SSH_KEY))
    return Refuse(s, GIT_EAUTH, Tr("The server %1 takes no ssh key; the records need one (a password is never stored).").arg(s.host));
  const QStringList identities = Identities();
  if (identities.isEmpty())
    return Refuse(s, GIT_EAUTH,
                  Tr("No ssh key to reach %1: neither an ssh agent (SSH_AUTH_SOCK) nor %2/id_ed25519, id_ecdsa or id_rsa. "
                     "Make one with ssh-keygen -t ed25519 and add its .pub to the server's authorized_keys.")
                      .arg(s.host, QDir::toNativeSeparators(SshFolder())));
  // libgit2 asks again after each refusal: each identity is offered once.
  if (s.credentialRequests >= identities.size()) {
    QStringList tried;
    for (const QString& identity : identities) tried << Described(identity);
    return Refuse(s, GIT_EAUTH,
                  Tr("The server %1 refused this station's ssh keys (%2) for %3: add the public key to its authorized_keys.")
                      .arg(s.host, tried.join(QStringLiteral(", ")), QString::fromUtf8(user)));
  }
  const QString identity = identities[s.credentialRequests++];
  if (identity.isEmpty()) return git_credential_ssh_key_from_agent(out, user.constData());
  const QByteArray key = QFile::encodeName(identity);
  const QByteArray pub = key + ".pub";
  return git_credential_ssh_key_new(out, user.constData(), QFileInfo(QFile::decodeName(pub)).isFile() ? pub.constData() : nullptr,
                                    key.constData(), nullptr);
}

int CertificateCheck(git_cert* cert, int, const char*, void* payload) {
  auto& s = *static_cast<SshSession*>(payload);
  s.credentialRequests = 0;  // a connection of its own: every identity may be offered again
  if (Canceled(s)) return RefuseCanceled(s);
  if (cert->cert_type != GIT_CERT_HOSTKEY_LIBSSH2) return GIT_PASSTHROUGH;
  const auto* hostkey = reinterpret_cast<const git_cert_hostkey*>(cert);
  if (!(hostkey->type & GIT_CERT_SSH_RAW))
    return Refuse(s, GIT_ECERTIFICATE, Tr("The server %1 showed no host key: refused.").arg(s.host));
  const QByteArray key(hostkey->hostkey, static_cast<qsizetype>(hostkey->hostkey_len));
  const QString knownHosts = SshFolder() + QStringLiteral("/known_hosts");
  const HostCheck check = CheckKnownHost(knownHosts, s.host, s.port, key);
  const QString fingerprint =
      QStringLiteral("SHA256:") + QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha256)
                                                         .toBase64(QByteArray::OmitTrailingEquals));
  switch (check.known) {
    case HostKnown::Match: return 0;
    case HostKnown::Revoked:
      return Refuse(s, GIT_ECERTIFICATE, Tr("The host key of %1 (%2) is revoked in %3: refused.")
                                             .arg(s.host, fingerprint, QDir::toNativeSeparators(knownHosts)));
    case HostKnown::Mismatch:
      return Refuse(s, GIT_ECERTIFICATE,
                    Tr("The host key of %1 (%2) is not the one %3 holds for it: refused; someone may be in between. "
                       "Only if the server's administrator confirms the new key, replace its line with:\n%4")
                        .arg(s.host, fingerprint, QDir::toNativeSeparators(knownHosts), check.line));
    case HostKnown::Unknown: break;
  }
  return Refuse(s, GIT_ECERTIFICATE,
                Tr("The server %1 is not known: its host key (%2) is not in %3, so it is refused. "
                   "Once the server's administrator confirms that fingerprint, add this line to %3:\n%4")
                    .arg(s.host, fingerprint, QDir::toNativeSeparators(knownHosts), check.line));
}

// The transfer's own callbacks: only to stop it once the deadline passed.
int Transferred(const git_indexer_progress*, void* payload) {
  auto& s = *static_cast<SshSession*>(payload);
  return Canceled(s) ? RefuseCanceled(s) : 0;
}
int Pushing(unsigned int, unsigned int, size_t, void* payload) { return Transferred(nullptr, payload); }
int Told(const char*, int, void* payload) { return Transferred(nullptr, payload); }

// A known_hosts pattern: * and ? are wildcards, everything else is itself ("[host]:port" too).
bool PatternMatches(const QString& pattern, const QString& name) {
  if (!pattern.contains(QLatin1Char('*')) && !pattern.contains(QLatin1Char('?')))
    return pattern.compare(name, Qt::CaseInsensitive) == 0;
  QString expression = QRegularExpression::escape(pattern);
  expression.replace(QStringLiteral("\\*"), QStringLiteral(".*")).replace(QStringLiteral("\\?"), QStringLiteral("."));
  return QRegularExpression(QRegularExpression::anchoredPattern(expression), QRegularExpression::CaseInsensitiveOption)
      .match(name)
      .hasMatch();
}

// The host field of a line: "|1|salt|hash" (hashed by HashKnownHosts) or a list of patterns,
// "!" before one that excludes.
bool HostsMatch(const QString& field, const QString& name) {
  if (field.startsWith(QLatin1String("|1|"))) {
    const QStringList parts = field.split(QLatin1Char('|'));
    if (parts.size() != 4) return false;
    const QByteArray salt = QByteArray::fromBase64(parts[2].toLatin1());
    return QMessageAuthenticationCode::hash(name.toUtf8(), salt, QCryptographicHash::Sha1) ==
           QByteArray::fromBase64(parts[3].toLatin1());
  }
  bool matched = false;
  for (const QString& pattern : field.split(QLatin1Char(','))) {
    const bool negated = pattern.startsWith(QLatin1Char('!'));
    if (!PatternMatches(negated ? pattern.mid(1) : pattern, name)) continue;
    if (negated) return false;
    matched = true;
  }
  return matched;
}

// The key's type, the first string of its blob ("ssh-ed25519").
QString KeyType(const QByteArray& key) {
  if (key.size() < 4) return QStringLiteral("unknown");
  const auto* b = reinterpret_cast<const uchar*>(key.constData());
  const qsizetype length = (qsizetype(b[0]) << 24) | (b[1] << 16) | (b[2] << 8) | b[3];
  return length > 0 && length <= key.size() - 4 ? QString::fromLatin1(key.mid(4, length)) : QStringLiteral("unknown");
}

}  // namespace

SshSession::SshSession(const QString& url, const std::atomic<bool>* canceled) : canceled(canceled) {
  if (url.contains(QLatin1String("://"))) {
    const QUrl parsed(url);
    host = parsed.host();
    port = parsed.port(22);
    return;
  }
  // user@host:path, as scp writes it.
  const QString authority = url.section(QLatin1Char(':'), 0, 0);
  host = authority.section(QLatin1Char('@'), -1);
}

void SetSshCallbacks(git_remote_callbacks& callbacks, SshSession* session) {
  callbacks.credentials = Credentials;
  callbacks.certificate_check = CertificateCheck;
  callbacks.transfer_progress = Transferred;
  callbacks.push_transfer_progress = Pushing;
  callbacks.sideband_progress = Told;
  callbacks.payload = session;
}

HostCheck CheckKnownHost(const QString& knownHostsPath, const QString& host, int port, const QByteArray& key) {
  const QString name = port == 22 ? host.toLower() : QStringLiteral("[%1]:%2").arg(host.toLower()).arg(port);
  HostCheck check;
  check.line = name + QLatin1Char(' ') + KeyType(key) + QLatin1Char(' ') + QString::fromLatin1(key.toBase64());
  const FileRead file = ReadGuardedFile(knownHostsPath, kKnownHostsCap);
  if (!file.Ok()) return check;
  bool matched = false;
  bool mismatched = false;
  for (const QByteArray& raw : file.bytes.split('\n')) {
    QStringList fields = QString::fromUtf8(raw).simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
    if (fields.isEmpty() || fields.front().startsWith(QLatin1Char('#'))) continue;
    const QString marker = fields.front().startsWith(QLatin1Char('@')) ? fields.takeFirst() : QString();
    // A certificate authority's line vouches for certificates, which libssh2 does not show.
    if (fields.size() < 3 || marker == QLatin1String("@cert-authority") || !HostsMatch(fields[0], name)) continue;
    const bool same = QByteArray::fromBase64(fields[2].toLatin1()) == key;
    if (marker == QLatin1String("@revoked")) {
      if (same) {
        check.known = HostKnown::Revoked;
        return check;
      }
      continue;
    }
    (same ? matched : mismatched) = true;
  }
  check.known = matched ? HostKnown::Match : mismatched ? HostKnown::Mismatch : HostKnown::Unknown;
  return check;
}

}  // namespace kvn::records_git
