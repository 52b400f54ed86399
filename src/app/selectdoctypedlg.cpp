#include "selectdoctypedlg.h"

#include "gentools/errorhandle.h"

#include <QCommandLinkButton>
#include <QGridLayout>
#include <QScreen>

using namespace common;

namespace {

const int kIconSize = 200;
// The buttons fill a grid of two rows column by column.
const int kRows = 2;
// Smaller than this a picture no longer shows its device well; a screen that
// needs smaller ones keeps them at their size.
const int kSmallestIcon = 150;
// What a window manager's borders take of the screen's width.
const int kWindowFrame = 8;

} // namespace

SelectDocTypeDlg::SelectDocTypeDlg() : QBaseDialog(nullptr)
{
    setWindowTitle(QStringLiteral("Новый подбор"));
    auto* grid = new QGridLayout(this);
    int n = 0;
    for (const DocTypeInfo& type : docTypes()) {
        addButton(grid, n % kRows, n / kRows, type.type, QString::fromLatin1(type.picture));
        ++n;
    }
    // A 1024 px screen is narrower than three buttons side by side: smaller
    // pictures keep every button on it.
    const QScreen* shown = screen();
    if (!shown)
        return;
    const int side = iconSideFor(sizeHint().width(), shown->availableGeometry().width() - kWindowFrame,
                                 (n + kRows - 1) / kRows);
    if (side != kIconSize)
        for (QAbstractButton* btn : m_docTypesByCmd.keys())
            btn->setIconSize(QSize(side, side));
}

int SelectDocTypeDlg::iconSideFor(int wanted, int room, int columns)
{
    if (wanted <= room || columns < 1)
        return kIconSize;
    // Each column gives up its share of what is missing from its picture.
    const int side = kIconSize - (wanted - room + columns - 1) / columns;
    return side >= kSmallestIcon ? side : kIconSize;
}

QAbstractButton* SelectDocTypeDlg::button(DocType type) const
{
    return m_docTypesByCmd.key(type, nullptr);
}

void SelectDocTypeDlg::addButton(QGridLayout* grid, int row, int column, DocType type, const QString& picture)
{
    // The description starts two lines down so that it sits below the level of
    // the photo rather than beside its top edge.
    auto* btn = new QCommandLinkButton(
        QString(), QStringLiteral("\n\n") + docTypeDescription(type, QStringLiteral(" ")), this);
    auto icon = m_icons.find(picture);
    if (icon == m_icons.end())
        icon = m_icons.insert(picture, QIcon(picture));
    btn->setIcon(*icon);
    btn->setIconSize(QSize(kIconSize, kIconSize));
    QFont font = btn->font();
    if (font.pointSizeF() > 1)
        font.setPointSizeF(font.pointSizeF() - 1);
    btn->setFont(font);
    m_docTypesByCmd.insert(btn, type);
    connect(btn, &QAbstractButton::clicked, this, &SelectDocTypeDlg::onPress);
    grid->addWidget(btn, row, column);
}

void SelectDocTypeDlg::onPress()
{
    auto* btn = qobject_cast<QAbstractButton*>(sender());
    if (!GEH_ASSERT(m_docTypesByCmd.contains(btn)))
        return;
    m_docType = m_docTypesByCmd.value(btn);
    accept();
}
