#pragma once

// Where the program's wrapped texts may break their lines, and how wide a short
// text must be to break them well.

#include <QFontMetrics>
#include <QString>

namespace framework {

// The text (plain or rich) with non-breaking spaces where a wrapped line must
// not break: between a figure and its unit ("2.5 МПа", "150.0 °C", "DN 40"),
// after a word of one or two letters ("в клапане", "и вибрации"), and before a
// short last word of a line, a symbol left alone otherwise ("…, Tобр, G"); and
// an invisible word joiner after a slash between letters ("л/имп.", "м³/ч").
// The text reads the same; only the places it may break are fewer.
QString keepTogether(const QString& text);

// The narrowest width, px, at which the plain text (its own line breaks kept)
// wraps at its spaces into at most `maxLines` lines; the width of its longest
// unbreakable word when even that needs more lines.
int balancedTextWidth(const QFontMetrics& metrics, const QString& text, int maxLines);

} // namespace framework
