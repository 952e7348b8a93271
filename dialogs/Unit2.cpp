#include "dialogs/Unit2.h"

#include <QApplication>
#include <QFrame>

#include "framework/handler_guard.h"
#include "framework/widgets.h"

TForm2::TForm2(QWidget* owner) : TForm(owner, QStringLiteral("Form2"), QStringLiteral("O programu")) {
  setFixedSize(233, 215);
}

void TForm2::CreateControls() {
  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("sPanel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(4, 4, 225, 172);
  QLabel* icon = MakeLabel(panel, "Image1", "", {8, 8, 32, 32});
  icon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
  MakeLabel(panel, "sLabel1", "2004 Ovlix", {48, 8, 170, 16});
  MakeLabel(panel, "sLabel2", "Naprogramoval: tým Ovlix", {48, 24, 170, 16});
  MakeLabel(panel, "sLabel3", "E-Mail:", {8, 50, 40, 16});
  MailLink = new TLinkLabel(panel, "sWebLabel1", kMail, QString("mailto:") + kMail);
  MailLink->setGeometry(50, 50, 168, 16);
  MakeLabel(panel, "sLabel4", "Informace, nové verze a doplňky na:", {8, 72, 210, 16});
  WebLink = new TLinkLabel(panel, "sWebLabel2", kWeb, kWeb);
  WebLink->setGeometry(8, 88, 210, 16);
  QLabel* disclaimer = MakeLabel(
      panel, "sLabel5", "Autor se zprošťuje jakékoli zodpovědnosti za poškození systému používáním tohoto programu.",
      {8, 112, 210, 52});
  disclaimer->setWordWrap(true);
  sButton1 = MakeButton(this, "sButton1", "OK", {79, 183, 75, 25});
  Bind(sButton1, &QPushButton::clicked, this, &TForm2::Button1Click);
}

void TForm2::Button1Click() { close(); }
