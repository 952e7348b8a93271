#include <QCursor>

#include "platform/cursor.h"

namespace platform {

BOOL GetCursorPos(POINT* point) {
  if (point == nullptr) return FALSE_;
  QPoint at = QCursor::pos();
  point->x = at.x();
  point->y = at.y();
  return TRUE_;
}

}  // namespace platform
