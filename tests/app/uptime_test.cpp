#include "app/uptime.h"
#include "tests/support/forms_fixture.h"
#include "tests/support/timer_clock.h"

namespace {

TEST(UptimeText, TotalsFromTheTickCount) {
  EXPECT_EQ(UptimeText(3725000), "Váš systém běží už 3725 Sekund. A to je 62 Minut.");
  EXPECT_EQ(UptimeText(999), "Váš systém běží už 0 Sekund. A to je 0 Minut.");
  EXPECT_EQ(UptimeText(0xFFFFFFFFu), "Váš systém běží už 4294967 Sekund. A to je 71582 Minut.");
}

using Uptime = FormsTest;

TEST_F(Uptime, TheLineShowsTheDesignedTextUntilTheFirstTick) {
  CreateForms();
  EXPECT_EQ(Form1->CasSystemu->text(), "Váš systém běží už Neznámo Sekund. A to je Neznámo minut.");
  ASSERT_TRUE(TimerClock(*Form1->Timer4).Tick());
  EXPECT_TRUE(Form1->CasSystemu->text().endsWith(" Minut."));
}

}  // namespace
