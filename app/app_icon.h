// The application's icon, drawn at the sizes the desktop asks for.
#pragma once

#include <QIcon>

QIcon ApplicationIcon();
