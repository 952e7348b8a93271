#include "skin/skin_palette.h"

#include <cmath>
#include <optional>
#include <utility>

namespace {

using Role = QPalette::ColorRole;

// in the order of kSkinPartKeys
constexpr Role kRoles[] = {QPalette::Window,
                           QPalette::WindowText,
                           QPalette::Button,
                           QPalette::ButtonText,
                           QPalette::Base,
                           QPalette::Text,
                           QPalette::Highlight,
                           QPalette::HighlightedText,
                           QPalette::Light,
                           QPalette::Midlight,
                           QPalette::Mid,
                           QPalette::Dark,
                           QPalette::Shadow,
                           QPalette::Link,
                           QPalette::LinkVisited,
                           QPalette::AlternateBase,
                           QPalette::ToolTipBase,
                           QPalette::ToolTipText,
                           QPalette::PlaceholderText,
                           QPalette::BrightText};
static_assert(std::size(kRoles) == kSkinPartKeys.size());

// Each text role with the background it is drawn on.
constexpr std::pair<Role, Role> kTexts[] = {{QPalette::WindowText, QPalette::Window},
                                            {QPalette::ButtonText, QPalette::Button},
                                            {QPalette::Text, QPalette::Base},
                                            {QPalette::HighlightedText, QPalette::Highlight},
                                            {QPalette::Link, QPalette::Window},
                                            {QPalette::LinkVisited, QPalette::Window},
                                            {QPalette::ToolTipText, QPalette::ToolTipBase},
                                            {QPalette::PlaceholderText, QPalette::Base},
                                            {QPalette::BrightText, QPalette::Dark}};

std::optional<QColor> Named(const SkinColors& colors, Role role) {
  for (std::size_t i = 0; i < std::size(kRoles); ++i)
    if (kRoles[i] == role && colors[i]) return QColor::fromRgb(*colors[i]);
  return std::nullopt;
}

bool IsText(Role role) {
  for (const auto& [text, background] : kTexts)
    if (text == role) return true;
  return false;
}

// `share` of `b`, the rest of `a`.
QColor Mix(const QColor& a, const QColor& b, double share) {
  auto channel = [share](int x, int y) { return static_cast<int>(std::lround(x + (y - x) * share)); };
  return QColor(channel(a.red(), b.red()), channel(a.green(), b.green()), channel(a.blue(), b.blue()));
}

// Styles shade a button's face lighter than the palette's button colour
// and with a gradient (Fusion, on dark skins); the dimmed text of a disabled
// button, the page button of the page on view among them, keeps this much
// contrast to the palette so that it still reads at kReadableContrast on
// the face.
constexpr double kDisabledContrast = 7.0;

// `text` moved towards black or white, whichever stands out more from
// `background`, by the least step that gives it `contrast` there.
QColor Readable(const QColor& text, const QColor& background, double contrast = kReadableContrast) {
  if (ContrastRatio(text, background) >= contrast) return text;
  QColor far = ContrastRatio(Qt::black, background) >= ContrastRatio(Qt::white, background) ? QColor(Qt::black)
                                                                                            : QColor(Qt::white);
  constexpr int kSteps = 40;
  for (int step = 1; step < kSteps; ++step) {
    QColor moved = Mix(text, far, static_cast<double>(step) / kSteps);
    if (ContrastRatio(moved, background) >= contrast) return moved;
  }
  return far;  // the most any colour reaches there: 4.58 : 1 at least
}

}  // namespace

double RelativeLuminance(const QColor& color) {
  auto linear = [](double c) { return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4); };
  return 0.2126 * linear(color.redF()) + 0.7152 * linear(color.greenF()) + 0.0722 * linear(color.blueF());
}

double ContrastRatio(const QColor& a, const QColor& b) {
  double la = RelativeLuminance(a), lb = RelativeLuminance(b);
  if (la < lb) std::swap(la, lb);
  return (la + 0.05) / (lb + 0.05);
}

QPalette SkinPalette(const SkinLook& look, const QPalette& builtIn) {
  QPalette palette = builtIn;
  const bool derive = look.Names();
  auto active = [&palette](Role role) { return palette.color(QPalette::Active, role); };
  auto set = [&palette](Role role, const QColor& color) { palette.setColor(QPalette::Active, role, color); };
  // a colour the file names, else (for a folder skin) the one derived from the colours before it
  auto take = [&](Role role, auto derived) {
    if (std::optional<QColor> named = Named(look.colors, role))
      set(role, *named);
    else if (derive)
      set(role, derived());
  };

  for (Role role : {QPalette::Window, QPalette::WindowText, QPalette::Button, QPalette::ButtonText, QPalette::Base,
                    QPalette::Text, QPalette::Highlight, QPalette::HighlightedText})
    if (std::optional<QColor> named = Named(look.colors, role)) set(role, *named);
  // bevels lit and shaded as the button colour is; outlines halfway to the text, so they show on dark skins too
  take(QPalette::Light, [&] { return active(QPalette::Button).lighter(150); });
  take(QPalette::Midlight, [&] { return Mix(active(QPalette::Button), active(QPalette::Light), 0.5); });
  take(QPalette::Dark, [&] { return active(QPalette::Button).darker(200); });
  take(QPalette::Mid, [&] { return Mix(active(QPalette::Button), active(QPalette::ButtonText), 0.4); });
  take(QPalette::Shadow, [&] { return active(QPalette::Dark).darker(150); });
  take(QPalette::Link, [&] { return active(QPalette::Highlight); });
  take(QPalette::LinkVisited, [&] { return active(QPalette::Link); });
  take(QPalette::AlternateBase, [&] { return Mix(active(QPalette::Base), active(QPalette::Text), 0.06); });
  take(QPalette::ToolTipBase, [&] { return active(QPalette::Base); });
  take(QPalette::ToolTipText, [&] { return active(QPalette::Text); });
  take(QPalette::PlaceholderText, [&] { return Mix(active(QPalette::Text), active(QPalette::Base), 0.5); });
  take(QPalette::BrightText, [&] { return active(QPalette::Light); });
  for (const auto& [text, background] : kTexts)
    if (!Named(look.colors, text)) set(text, Readable(active(text), active(background)));

  // Disabled controls: the backgrounds of enabled ones (a disabled field the
  // window's), their texts dimmed towards them but still readable.
  for (Role role : kRoles) {
    if (IsText(role)) continue;
    if (std::optional<QColor> named = Named(look.disabled, role))
      palette.setColor(QPalette::Disabled, role, *named);
    else if (derive)
      palette.setColor(QPalette::Disabled, role, active(role == QPalette::Base ? QPalette::Window : role));
  }
  for (const auto& [text, background] : kTexts) {
    if (std::optional<QColor> named = Named(look.disabled, text)) {
      palette.setColor(QPalette::Disabled, text, *named);
      continue;
    }
    QColor back = palette.color(QPalette::Disabled, background);
    QColor dimmed = derive ? Mix(active(text), back, 0.45) : palette.color(QPalette::Disabled, text);
    palette.setColor(QPalette::Disabled, text, Readable(dimmed, back, kDisabledContrast));
  }

  for (Role role : kRoles) palette.setColor(QPalette::Inactive, role, active(role));
  return palette;
}
