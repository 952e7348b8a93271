#include "tweaks/ProgramFilesGroup.h"

#include "framework/handler_guard.h"
#include "framework/message_box.h"
#include "framework/registry_access.h"
#include "framework/widgets.h"

ProgramFilesGroup::ProgramFilesGroup(QWidget* page)
    : QGroupBox(QStringLiteral("Defaultní složka pro instalaci programů"), page) {
  setObjectName(title());
  setGeometry(4, 212, 425, 82);
  Edit1 = MakeEdit(this, "Edit1", "C:\\Program Files", {8, 18, 409, 22});
  sButton21 = MakeButton(this, "sButton21", "Informace o funkci", {8, 46, 140, 24});
  progres1 = new QProgressBar(this);
  progres1->setObjectName(QStringLiteral("progres1"));
  progres1->setGeometry(156, 49, 120, 18);
  progres1->setRange(0, 100);
  progres1->setValue(0);
  progres1->setTextVisible(true);
  progres1->hide();
  sButton22 = MakeButton(this, "sButton22", "Potvrdit", {284, 46, 133, 24});
  Bind(sButton21, &QPushButton::clicked, this, &ProgramFilesGroup::RbButton23Click);
  Bind(sButton22, &QPushButton::clicked, this, &ProgramFilesGroup::RbButton24Click);
}

void ProgramFilesGroup::RbButton23Click() {
  ShowBox(BoxKind::Information,
          QStringLiteral("Tato funkce nastavuje složku, která bude uváděna místo C:\\Program Files v instalačních "
                         "programech. Což zajístí o mnoho rychlejší nastavení adresáře, kam se má daný program "
                         "nainstalovat."
                         // no Linux desktop or installer reads the folder
                         " Na linuxové ploše se toto nastavení neprojeví: instalační programy pro Linux tuto "
                         "složku nečtou."));
}

void ProgramFilesGroup::RbButton24Click() {
  progres1->show();
  TRegistry reg(platform::RootKey::LocalMachine);
  reg.OpenKey("\\software\\Microsoft\\windows\\CurrentVersion", true);
  reg.WriteString("ProgramFilesDir", Edit1->text().toStdString());
  progres1->setValue(50);
  reg.WriteString("ProgramFilesPath", Edit1->text().toStdString());
  reg.CloseKey();
  progres1->setValue(100);
  ShowBox(BoxKind::Information, QStringLiteral("Vaše nastavení bylo přijato."));
  progres1->hide();
}
