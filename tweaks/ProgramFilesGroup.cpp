#include "tweaks/ProgramFilesGroup.h"

#include "framework/widgets.h"

ProgramFilesGroup::ProgramFilesGroup(QWidget* page)
    : QGroupBox(QStringLiteral("Defaultní složka pro instalaci programů"), page) {
  setObjectName(title());
  setGeometry(4, 198, 425, 72);
  Edit1 = MakeEdit(this, "Edit1", "C:\\Program Files", {8, 20, 409, 22});
}
