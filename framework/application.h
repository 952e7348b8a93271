// The application's title: the caption of plain and error boxes and the
// name the desktop shows for the program.
#pragma once

#include <QString>

namespace Application {

void SetTitle(const QString& title);
QString Title();

}  // namespace Application
