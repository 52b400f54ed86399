#include "framework/linebreaks.h"

#include <QHash>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace framework {

namespace {

const QChar kNoBreak(0x00A0);
// Invisible and of no width; no line breaks on either side of it.
const QChar kWordJoiner(0x2060);

// The units the program writes after its figures.
const QStringList& units()
{
    static const QStringList list{
        QStringLiteral("МПа"), QStringLiteral("кПа"),  QStringLiteral("Па"),  QStringLiteral("бар"),
        QStringLiteral("атм"), QStringLiteral("кгс"),  QStringLiteral("°C"),  QStringLiteral("°С"),
        QStringLiteral("%"),   QStringLiteral("м/с"),  QStringLiteral("м/c"), QStringLiteral("м³/ч"),
        QStringLiteral("нм³"), QStringLiteral("м³"),   QStringLiteral("т/ч"), QStringLiteral("кг"),
        QStringLiteral("л/"),  QStringLiteral("Гкал"), QStringLiteral("кВт"), QStringLiteral("МВт"),
        QStringLiteral("мм"),  QStringLiteral("В"),    QStringLiteral("мА"),  QStringLiteral("шт."),
        QStringLiteral("ед."),
    };
    return list;
}

// The text as the reader sees it, without the tags of a rich text.
QString visible(const QString& text)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    return QString(text).remove(tag);
}

bool isFigure(const QString& word)
{
    static const QRegularExpression figure(QStringLiteral("^[-+−]?\\d+([.,]\\d+)?$"));
    return figure.match(word).hasMatch();
}

bool isUnit(const QString& word)
{
    for (const QString& unit : units())
        if (word.startsWith(unit))
            return true;
    return false;
}

// A word of one or two letters: a preposition, a conjunction, "DN".
bool isShortWord(const QString& word)
{
    return !word.isEmpty() && word.size() <= 2 &&
           std::all_of(word.cbegin(), word.cend(), [](QChar c) { return c.isLetter(); });
}

// A short last word that is a symbol, such as "G" or "P1".
bool isShortLast(const QString& word)
{
    QString bare = word;
    while (!bare.isEmpty() && bare.back().isPunct())
        bare.chop(1);
    return !bare.isEmpty() && bare.size() <= 3 &&
           std::any_of(bare.cbegin(), bare.cend(), [](QChar c) { return c.isUpper() || c.isDigit(); });
}

// A slash between letters, as in a unit ("л/имп.", "м³/ч"): a line may break
// after a slash, and the unit would be parted in two.
bool isSlashInWord(const QString& text, int i)
{
    return text.at(i) == QLatin1Char('/') && i > 0 && i + 1 < text.size() && text.at(i + 1).isLetter() &&
           (text.at(i - 1).isLetter() || text.at(i - 1) == QChar(0x00B3) || text.at(i - 1) == QChar(0x00B2));
}

struct Word
{
    int begin; // in the text, the first character after the space before it
    int end;   // one past its last character
};

} // namespace

namespace {

QString joinedWords(const QString& text)
{
    // The spaces outside tags split the text into words; a line break of a
    // rich text ("<br>") or a plain one ends a line of words.
    QString result = text;
    QList<Word> words;
    QList<int> spaces;  // the space before words[i + 1], -1 at a line's start
    QList<int> slashes; // those between letters, outside tags
    int depth = 0;
    int begin = 0;
    const auto lineBreakAt = [&text](int i) {
        return text.at(i) == QLatin1Char('\n') ||
               text.midRef(i, 4).compare(QLatin1String("<br>"), Qt::CaseInsensitive) == 0;
    };
    for (int i = 0; i <= text.size(); ++i) {
        const bool end = i == text.size();
        if (!end && text.at(i) == QLatin1Char('<'))
            ++depth;
        else if (!end && text.at(i) == QLatin1Char('>'))
            depth = qMax(0, depth - 1);
        const bool lineBreak = !end && lineBreakAt(i);
        const bool space = !end && depth == 0 && text.at(i) == QLatin1Char(' ');
        if (!end && depth == 0 && isSlashInWord(text, i))
            slashes.append(i);
        if (end || space || lineBreak) {
            words.append({begin, i});
            spaces.append(space ? i : -1);
            begin = i + 1;
        }
    }
    for (int i = 0; i + 1 < words.size(); ++i) {
        const int space = spaces.at(i);
        if (space < 0)
            continue;
        const QString word = visible(text.mid(words.at(i).begin, words.at(i).end - words.at(i).begin));
        const QString next =
            visible(text.mid(words.at(i + 1).begin, words.at(i + 1).end - words.at(i + 1).begin));
        const bool nextEndsLine = i + 2 >= words.size() || spaces.at(i + 1) < 0;
        const bool together = (isFigure(word) && isUnit(next)) || (isShortWord(word) && !next.isEmpty()) ||
                              (nextEndsLine && isShortLast(next));
        if (together)
            result[space] = kNoBreak;
    }
    // From the end, so that the places before stay where they were.
    for (auto slash = slashes.crbegin(); slash != slashes.crend(); ++slash)
        result.insert(*slash + 1, kWordJoiner);
    return result;
}

} // namespace

QString keepTogether(const QString& text)
{
    // The results are rebuilt on every keystroke with the same captions and
    // notes: each text is looked at word by word once. A session of ever new
    // figures is bounded; the texts in use come back at the next rebuild.
    static QHash<QString, QString> joined;
    const auto known = joined.constFind(text);
    if (known != joined.constEnd())
        return known.value();
    if (joined.size() >= 1024)
        joined.clear();
    return joined.insert(text, joinedWords(text)).value();
}

namespace {

// The lines a greedy wrap at `width` makes of one line of words.
int linesAt(const QFontMetrics& metrics, const QStringList& words, int width)
{
    int lines = 1;
    QString line;
    for (const QString& word : words) {
        const QString longer = line.isEmpty() ? word : line + QLatin1Char(' ') + word;
        if (!line.isEmpty() && metrics.horizontalAdvance(longer) > width) {
            ++lines;
            line = word;
        } else {
            line = longer;
        }
    }
    return lines;
}

} // namespace

int balancedTextWidth(const QFontMetrics& metrics, const QString& text, int maxLines)
{
    // Only an ordinary space breaks a line; the words are what lies between.
    QList<QStringList> lines;
    QList<int> candidates;
    int widestWord = 0;
    for (const QString& line : text.split(QLatin1Char('\n'))) {
        const QStringList words = line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
        lines.append(words);
        // A line can only be as wide as a run of its words.
        for (int first = 0; first < words.size(); ++first) {
            QString run;
            for (int last = first; last < words.size(); ++last) {
                run += (last == first ? QString() : QStringLiteral(" ")) + words.at(last);
                candidates.append(metrics.horizontalAdvance(run));
            }
            widestWord = qMax(widestWord, metrics.horizontalAdvance(words.at(first)));
        }
    }
    std::sort(candidates.begin(), candidates.end());
    for (int width : qAsConst(candidates)) {
        if (width < widestWord)
            continue;
        int count = 0;
        for (const QStringList& words : qAsConst(lines))
            count += linesAt(metrics, words, width);
        if (count <= maxLines)
            return width;
    }
    return qMax(widestWord, candidates.isEmpty() ? 0 : candidates.last());
}

} // namespace framework
