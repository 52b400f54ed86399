#pragma once

// What the opening of a document could not use. A document travels between
// colleagues, program versions and broken disks: a field may hold a code its
// list does not offer, a value of the wrong kind, a number no box can show or
// a text no one could have typed. Such a field is opened as not filled in (or
// its text cut), and the user hears of all of them at once, in one warning,
// rather than meet a result built on a stand-in value.

#include "documents/doc.h"

#include <QString>
#include <QStringList>
#include <QVariant>

class UnusableValues
{
public:
    // A field shown to the user: its caption and what was done to it
    // ("не заполнено", "сокращено до 1000 знаков").
    void addShown(const QString& fieldName, const QString& whatDone, const QString& detail);
    // A field the form does not show: logged only.
    void addUnshown(const QString& detail);

    bool isEmpty() const { return m_shown.isEmpty() && m_details.isEmpty(); }
    // The lines of the warning, one per shown field.
    const QStringList& shownFields() const { return m_shown; }

    // The warning "Предупреждение" naming the shown fields of the document,
    // when there are any; every detail goes to the log.
    void report(const QString& documentName) const;

    // A stored value as the log shows it: its type and, for a long text, its
    // beginning and length.
    static QString rawValueText(const QVariant& value);
    // What the log says of one stored field: its key, its raw value and what
    // was done to it ("поле 105, индекс 0: double 160 → не заполнено").
    static QString fieldDetail(const Doc& stored, const DocKey& key, const QString& done);

private:
    QStringList m_shown;
    QStringList m_details;
};
