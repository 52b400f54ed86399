#pragma once

// One way for every part of the program to keep persistent values: the
// program's own settings file (Local) or the user's native settings of the
// organisation and application (Global). A Local request without a settings
// file falls back to the Global store.

#include <QString>
#include <QVariant>

class QSettings;

class SmartSettings
{
public:
    enum Scope { Local = 1, Global = 2 };

    explicit SmartSettings(int scope = Global) : m_scope(scope) {}

    int scope() const { return m_scope; }

    // The value stored under the key; a Local store without the key answers
    // from the Global store, with the default when neither holds it.
    QVariant value(const QString& key, const QVariant& defaultValue = QVariant()) const;
    void setValue(const QString& key, const QVariant& value);
    // Moves the value of an existing key to a new key.
    void renameKey(const QString& oldKey, const QString& newKey);

    // The store of a scope; a scope that cannot be served gets the Global store.
    static QSettings* data(int v);

    // Base name of the program's settings file; empty (the default) means the
    // program keeps no Local store.
    static void setFileName(const QString& fileName);
    static QString fileName();
    // "<application folder>/settings/<file name>", seeded from "<that>.default"
    // when only the template exists. Creates the settings folder.
    static QString iniFileName();

private:
    int m_scope;

    static QString m_fileName;
};
