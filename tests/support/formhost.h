#pragma once

// What the main window and the desktop give a form under test: a tab with a
// scroll area to live in, and a PDF viewer that only records what it is handed.

#include "framework/mdichild.h"

#include <QList>
#include <QObject>
#include <QTabWidget>
#include <QUrl>

namespace orxtest {

// The main window's way of holding a form: a scroll area in a tab.
class FormHost
{
public:
    enum Showing {
        ShowOnRequest, // show() puts the window up and waits until it is active
        ShowOnAdd,     // every add() puts the window up with the new tab current, without waiting
    };

    explicit FormHost(Showing showing = ShowOnRequest, int height = 900);
    Q_DISABLE_COPY(FormHost)

    QTabWidget tabs;

    // Puts the form in a new tab named after its document; the tab follows its title.
    template <class Form>
    Form* add(Form* form)
    {
        addTab(form, form->doc().name());
        return form;
    }

    // Puts the window up and makes it the active one; false when it never became active.
    bool show();

private:
    void addTab(MdiChild* form, const QString& title);

    Showing m_showing;
};

// Receives the URLs of the reports a form hands to the desktop; no viewer starts.
class ViewerStub : public QObject
{
    Q_OBJECT
public:
    ViewerStub();
    ~ViewerStub() override;

    QList<QUrl> opened;

private slots:
    void openFile(const QUrl& url);
};

} // namespace orxtest
