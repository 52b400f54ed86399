#include "selectdoctypedlg.h"

#include "gentools/errorhandle.h"

#include <QCommandLinkButton>
#include <QGridLayout>
#include <QIcon>

using namespace common;

namespace {

struct DocTypeButton
{
    int row;
    int column;
    DocType type;
    const char* picture;
};

// Valves, regulators and the Kv calculation in the first column and last cell;
// the two cabinets share one photo, since only their equipment differs.
const DocTypeButton kButtons[] = {
    {0, 0, docValve, ":icons/foto_valve2.png"},    {1, 0, docRegulator, ":icons/foto_regulator.png"},
    {0, 1, docStdCabinet, ":icons/foto_lmsh.png"}, {1, 1, docFanCabinet, ":icons/foto_lmsh.png"},
    {0, 2, docFlowMeter, ":icons/foto_lmf_m.png"}, {1, 2, docKv, ":icons/calcKv.png"},
};

const int kIconSize = 200;

} // namespace

SelectDocTypeDlg::SelectDocTypeDlg() : QBaseDialog(nullptr)
{
    setWindowTitle(QStringLiteral("Новый подбор"));
    auto* grid = new QGridLayout(this);
    for (const DocTypeButton& b : kButtons)
        addButton(grid, b.row, b.column, b.type, QString::fromLatin1(b.picture));
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
    btn->setIcon(QIcon(picture));
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
