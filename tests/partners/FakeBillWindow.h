#pragma once

#include <QList>
#include <QStringList>
#include <QWidget>

// Stands in for a bill window: records which partner each new bill was started for.
class FakeBillWindow : public QWidget
{
    Q_OBJECT

  public:
    Q_INVOKABLE void Import_Add(int partnerId, const QString& name)
    {
        imports.append(partnerId);
        names.append(name);
    }
    Q_INVOKABLE void Export_Add(int partnerId, const QString& name)
    {
        exports.append(partnerId);
        names.append(name);
    }
    static inline QList<int> imports;
    static inline QList<int> exports;
    static inline QStringList names;
};
