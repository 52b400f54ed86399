#pragma once

// What the main window and the desktop give a form under test.

#include "documents/doc.h"
#include "framework/mdichild.h"

#include <QDesktopServices>
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

    bool show(); // the window up and active; false when it never became active

private:
    void addTab(MdiChild* form, const QString& title);
    Showing m_showing;
};

// A form of the given kind made with the arguments, hosted and shown.
template <class Form>
struct Hosted : FormHost
{
    Form* form;
    template <class... Args>
    explicit Hosted(Args&&... args) : form(add(new Form(std::forward<Args>(args)...)))
    {
        if (!show())
            qWarning("the hosted form never became active");
    }
};

// The form's document saved into the file and read back as the main window reads
// it; empty (with a warning) when either way failed.
Doc savedAndReopened(MdiChild& form, const QString& fileName);

// Receives the URLs of the reports a form hands to the desktop; no viewer starts.
class ViewerStub : public QObject
{
    Q_OBJECT
public:
    ViewerStub() { QDesktopServices::setUrlHandler(QStringLiteral("file"), this, "openFile"); }
    ~ViewerStub() override { QDesktopServices::unsetUrlHandler(QStringLiteral("file")); }
    QList<QUrl> opened;

private slots:
    void openFile(const QUrl& url) { opened.append(url); }
};

} // namespace orxtest
