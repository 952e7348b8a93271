// The application's icon: a power button on a blue tile, drawn at whatever
// size the desktop asks for, when it first asks.
#pragma once

#include <QIcon>

QIcon ApplicationIcon();
