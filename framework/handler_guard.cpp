#include "framework/handler_guard.h"

#include "framework/message_box.h"

void ReportException(const std::exception& e) { ShowBox(BoxKind::Error, QString::fromUtf8(e.what())); }

void ReportUnknownException() { ShowBox(BoxKind::Error, QStringLiteral("Neznámá chyba")); }
