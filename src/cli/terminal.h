#pragma once
#include <QString>

namespace kvn::cli {

// Standard input is a terminal a person answers at.
bool InputIsTerminal();

// Asks a question on the terminal (stderr, answered on stdin): true only for "y" or "yes"; an
// interrupt answers no at once.
// The text's line breaks ("|" and CR LF of the text table) show as lines.
bool AskOnTerminal(const QString& question);

// A question as the terminal shows it: the text's line breaks as lines, without the sentence
// that names the window's buttons.
QString QuestionText(const QString& question);

// A line typed on the terminal without echo (a password); empty when input ended.
QString ReadHiddenLine(const QString& prompt);

// A secret from the first line of a file ("-": standard input), the line end dropped: a
// regular file under a small cap, as every file the program reads. Empty error when read.
struct Secret {
  QString text;
  QString error;
};
Secret ReadSecret(const QString& path);

}  // namespace kvn::cli
