#include "framework/message_box.h"

#include <QFontDatabase>
#include <algorithm>
#include <QGridLayout>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QScreen>

#include "framework/application.h"
#include "framework/dialog_window.h"
#include "framework/window_frame.h"

namespace {

constexpr int kQuestionSeconds = 30;

// The window manager writes the caption in its title font between the
// window's icon and its close box; a box narrower than that gets the
// caption cut short. The room for the icon, the box and the padding is
// counted in line heights of that font.
int CaptionWidth(const QString& caption) {
  QFont title = QFontDatabase::systemFont(QFontDatabase::TitleFont);
  title.setBold(true);
  QFontMetrics metrics(title);
  return metrics.horizontalAdvance(caption) + 6 * metrics.height();
}

void RealBox(BoxKind kind, const QString& caption, const QString& text) {
  std::unique_ptr<QMessageBox> box = MakeBox(kind, caption, text, ActiveOwner());
  RunModal(*box, box->parentWidget());
}

bool RealQuestion(const QString& caption, const QString& text) {
  // the icon is set by MakeBox: setting it later lays the box out anew,
  // without what holds it open for the caption
  std::unique_ptr<QMessageBox> box = MakeBox(BoxKind::Question, caption, text, nullptr);
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  box->setStandardButtons(QMessageBox::NoButton);  // deletes the "OK" of MakeBox
  QPushButton* yes = box->addButton(QStringLiteral("Ano"), QMessageBox::YesRole);
  QPushButton* no = box->addButton(QStringLiteral("Ne"), QMessageBox::NoRole);
  box->setDefaultButton(no);
  box->setEscapeButton(no);
  auto* timeout = new QTimer(box.get());
  timeout->setObjectName(QStringLiteral("QuestionTimeout"));
  timeout->setSingleShot(true);
  QObject::connect(timeout, &QTimer::timeout, no, &QPushButton::click);
  timeout->start(kQuestionSeconds * 1000);
  // The program is not the active one when a global key asks: the box must
  // take the keyboard to answer Esc and Enter.
  QTimer::singleShot(0, box.get(), [b = box.get()] {
    b->raise();
    b->activateWindow();
  });
  RunModal(*box, nullptr);
  return box->clickedButton() == yes;
}

QuestionPresenter& Asker() {
  static QuestionPresenter asker = RealQuestion;
  return asker;
}

BoxPresenter& Presenter() {
  static BoxPresenter presenter = RealBox;
  return presenter;
}

}  // namespace

std::unique_ptr<QMessageBox> MakeBox(BoxKind kind, const QString& caption, const QString& text, QWidget* owner) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  if (kind == BoxKind::Information) icon = QMessageBox::Information;
  if (kind == BoxKind::Warning) icon = QMessageBox::Warning;
  if (kind == BoxKind::Error) icon = QMessageBox::Critical;
  if (kind == BoxKind::Question) icon = QMessageBox::Question;
  auto box = std::make_unique<QMessageBox>(icon, caption, text, QMessageBox::Ok, owner, kDialogWindowFlags);
  box->setObjectName(QStringLiteral("MessageBox"));
  // QMessageBox sizes itself to its layout's minimum width: a strut across
  // the layout holds it open for the caption, short of the screen's width
  int width = CaptionWidth(caption);
  if (QScreen* desktop = box->screen()) width = std::min(width, desktop->availableGeometry().width() * 3 / 4);
  if (auto* grid = qobject_cast<QGridLayout*>(box->layout()))
    grid->addItem(new QSpacerItem(width, 0, QSizePolicy::Fixed, QSizePolicy::Minimum), grid->rowCount(), 0, 1,
                  grid->columnCount());
  FrameFixedWindow(box.get());
  return box;
}

void ShowBox(BoxKind kind, const QString& text) {
  QString caption = Application::Title();
  if (kind == BoxKind::Information) caption = QStringLiteral("Information");
  if (kind == BoxKind::Warning) caption = QStringLiteral("Warning");
  Presenter()(kind, caption, text);
}

bool AskFirst(const QString& question) { return Asker()(Application::Title(), question); }

QuestionPresenter SetQuestionPresenter(QuestionPresenter presenter) {
  QuestionPresenter old = Asker();
  Asker() = presenter ? std::move(presenter) : QuestionPresenter(RealQuestion);
  return old;
}

BoxPresenter SetBoxPresenter(BoxPresenter presenter) {
  BoxPresenter old = Presenter();
  Presenter() = presenter ? std::move(presenter) : BoxPresenter(RealBox);
  return old;
}
