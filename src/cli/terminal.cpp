#include "cli/terminal.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <string>

#include "texts/guarded_file.h"
#include "texts/tr_context.h"

namespace kvn::cli {
namespace {

KVN_TR_CONTEXT(kvn::cli::Terminal)

// A password file holds one line; anything larger is not one.
constexpr qint64 kSecretCap = 4 * 1024;

void Tell(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stderr);
  std::fflush(stderr);
}

// One line of standard input without its line end; nullopt-like false at end of input.
bool ReadLine(std::string& line) {
  line.clear();
  for (int c = std::getchar(); c != EOF; c = std::getchar()) {
    if (c == '\n') return true;
    if (line.size() < kSecretCap) line.push_back(static_cast<char>(c));
  }
  return !line.empty();
}

QString FirstLine(const QByteArray& bytes) {
  QByteArray line = bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n'));
  if (line.endsWith('\r')) line.chop(1);
  return QString::fromUtf8(line);
}

// Echo off for as long as it lives, on every way out. Whatever was typed before it is dropped
// (it was no answer to a prompt not yet shown); what is typed after it ends is kept.
class EchoOff {
 public:
  EchoOff() : on_(tcgetattr(STDIN_FILENO, &saved_) == 0) {
    if (!on_) return;
    termios quiet = saved_;
    quiet.c_lflag &= static_cast<tcflag_t>(~ECHO);
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
  }
  ~EchoOff() {
    if (on_) tcsetattr(STDIN_FILENO, TCSANOW, &saved_);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  termios saved_{};
  bool on_;
};

}  // namespace

bool InputIsTerminal() { return isatty(STDIN_FILENO) == 1; }

bool AskOnTerminal(const QString& question) {
  QString text = question;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('|'), QLatin1Char('\n'));
  Tell(text + QStringLiteral(" [y/N] "));
  std::string line;
  if (!ReadLine(line)) {
    Tell(QStringLiteral("\n"));
    return false;
  }
  const QString answer = QString::fromLocal8Bit(line.c_str()).trimmed().toLower();
  return answer == QLatin1String("y") || answer == QLatin1String("yes");
}

// The echo goes off before the prompt shows: an answer typed as soon as it shows is neither
// echoed nor dropped.
QString ReadHiddenLine(const QString& prompt) {
  std::string line;
  {
    const EchoOff quiet;
    Tell(prompt);
    ReadLine(line);
  }
  Tell(QStringLiteral("\n"));
  return QString::fromLocal8Bit(line.c_str());
}

Secret ReadSecret(const QString& path) {
  if (path == QLatin1String("-")) {
    std::string line;
    if (!ReadLine(line)) return {{}, Tr("standard input holds no password")};
    return {FirstLine(QByteArray::fromStdString(line)), {}};
  }
  const FileRead file = ReadGuardedFile(path, kSecretCap);
  if (file.Missing()) return {{}, Tr("%1 does not exist").arg(path)};
  if (!file.Ok()) return {{}, QStringLiteral("%1: %2").arg(path, file.error)};
  return {FirstLine(file.bytes), {}};
}

}  // namespace kvn::cli
