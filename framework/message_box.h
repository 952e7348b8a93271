// The message boxes of the original framework: a plain box captioned with
// the application title, "Information" and "Warning" boxes with their
// icons, and the error box of the handler guard (application title, stop
// icon). All have one "OK" button and are modal to the window that opened
// them. Tests replace the presenter to see what would have been shown.
#pragma once

#include <QString>
#include <functional>
#include <memory>

class QMessageBox;
class QWidget;

// Question: the icon of AskFirst's box, which is made by MakeBox too.
enum class BoxKind { Plain, Information, Warning, Error, Question };

using BoxPresenter = std::function<void(BoxKind kind, const QString& caption, const QString& text)>;

void ShowBox(BoxKind kind, const QString& text);
inline void ShowMessage(const QString& text) { ShowBox(BoxKind::Plain, text); }

// Installs a presenter (an empty one restores the real boxes); returns the
// previous one.
BoxPresenter SetBoxPresenter(BoxPresenter presenter);

// A question before an action that cannot be undone, asked where no window
// of the program need be in front (a global key): captioned with the
// application title, over every other window as far as the desktop allows,
// with "Ano" and "Ne", "Ne" the default. Esc, the close box or 30 seconds
// without an answer mean no. True only for "Ano".
bool AskFirst(const QString& question);

using QuestionPresenter = std::function<bool(const QString& caption, const QString& text)>;
// As SetBoxPresenter, for the questions.
QuestionPresenter SetQuestionPresenter(QuestionPresenter presenter);

// The real box, not yet shown: a dialog of `owner` (none: of nothing), wide
// enough for the window manager to show its whole caption.
std::unique_ptr<QMessageBox> MakeBox(BoxKind kind, const QString& caption, const QString& text, QWidget* owner);
