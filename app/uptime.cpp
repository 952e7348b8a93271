#include "app/uptime.h"

std::string UptimeText(DWORD milliseconds) {
  DWORD seconds = milliseconds / 1000;
  DWORD minutes = seconds / 60;
  return "Váš systém běží už " + std::to_string(seconds) + " Sekund. A to je " + std::to_string(minutes) + " Minut.";
}
