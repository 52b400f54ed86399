#include "formhost.h"

#include <QApplication>
#include <QScrollArea>
#include <QtTest>

namespace orxtest {

FormHost::FormHost(Showing showing, int height) : m_showing(showing)
{
    tabs.resize(1600, height);
}

void FormHost::addTab(MdiChild* form, const QString& title)
{
    auto* area = new QScrollArea();
    area->setWidgetResizable(true);
    area->setFrameStyle(0);
    area->setWidget(form);
    QObject::connect(form, &MdiChild::titleChanged, area,
                     [this, area](const QString& text) { tabs.setTabText(tabs.indexOf(area), text); });
    const int index = tabs.addTab(area, title);
    if (m_showing == ShowOnAdd) {
        tabs.setCurrentIndex(index);
        tabs.show();
    }
}

bool FormHost::show()
{
    tabs.show();
    QApplication::setActiveWindow(&tabs);
    return QTest::qWaitForWindowActive(&tabs);
}

Doc savedAndReopened(MdiChild& form, const QString& fileName)
{
    Doc doc;
    if (!form.saveToFile(fileName) || !Doc::loadFromFile(fileName, doc)) {
        qWarning("%s was not saved and read back", qPrintable(fileName));
        return Doc();
    }
    return doc;
}

} // namespace orxtest
