#include "cli/terminal.h"

#include <QRegularExpression>
#include <cstdio>
#include <string>

#include "cli/interrupt.h"
#include "platform/platform.h"
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

// How often a wait for a typed line looks whether it was interrupted.
constexpr int kInputPollMs = 100;

enum class LineRead { Line, Ended, Interrupted };

// One line of standard input without its line end. An interrupt ends the wait at once: the
// line typed next is no answer to this prompt.
LineRead ReadLine(std::string& line) {
  line.clear();
  for (;;) {
    if (Interrupted()) return LineRead::Interrupted;
    const int c = platform::ReadInputByte(kInputPollMs);
    if (c == platform::kNoInputYet) continue;
    if (c == platform::kInputEnded) return line.empty() ? LineRead::Ended : LineRead::Line;
    if (c == '\n') return LineRead::Line;
    if (line.size() < kSecretCap) line.push_back(static_cast<char>(c));
  }
}

QString FirstLine(const QByteArray& bytes) {
  QByteArray line = bytes.left(bytes.indexOf('\n') < 0 ? bytes.size() : bytes.indexOf('\n'));
  if (line.endsWith('\r')) line.chop(1);
  return QString::fromUtf8(line);
}

// Echo off for as long as it lives, on every way out.
class EchoOff {
 public:
  EchoOff() : on_(platform::SetInputEcho(false)) {}
  ~EchoOff() {
    if (on_) platform::SetInputEcho(true);
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  bool on_;
};

}  // namespace

bool InputIsTerminal() { return platform::IsTerminal(platform::Stream::Input); }

QString QuestionText(const QString& question) {
  // A sentence that names the window's buttons ("Press [OK] to proceed or [Cancel] to abort.")
  // means nothing where the answer is y or n.
  static const QRegularExpression buttons(QStringLiteral("\\[[^\\]]+\\]"));
  QString text = question;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(QLatin1Char('|'), QLatin1Char('\n'));
  QStringList lines;
  for (const QString& line : text.split(QLatin1Char('\n'))) {
    const QStringList sentences = line.split(QStringLiteral(". "));
    QStringList kept;
    for (const QString& sentence : sentences)
      if (!sentence.contains(buttons)) kept << sentence;
    QString shown = kept.join(QStringLiteral(". ")).trimmed();
    // The sentence kept last had its full stop before the one dropped after it.
    if (kept.size() < sentences.size() && !shown.isEmpty() && !shown.back().isPunct()) shown += QLatin1Char('.');
    if (!shown.isEmpty()) lines << shown;
  }
  return lines.join(QLatin1Char('\n'));
}

bool AskOnTerminal(const QString& question) {
  Tell(QuestionText(question) + QStringLiteral(" [y/N] "));
  std::string line;
  if (ReadLine(line) != LineRead::Line) {
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
    const LineRead read = ReadLine(line);
    if (read == LineRead::Interrupted) return {{}, Tr("interrupted")};
    if (read == LineRead::Ended) return {{}, Tr("standard input holds no password")};
    return {FirstLine(QByteArray::fromStdString(line)), {}};
  }
  const FileRead file = ReadGuardedFile(path, kSecretCap);
  if (file.Missing()) return {{}, Tr("%1 does not exist").arg(path)};
  if (!file.Ok()) return {{}, QStringLiteral("%1: %2").arg(path, file.error)};
  return {FirstLine(file.bytes), {}};
}

}  // namespace kvn::cli
