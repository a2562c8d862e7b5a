#pragma once

#include <QList>
#include <QWidget>

// Stands in for a bill window: records which partner each new bill was started for.
class FakeBillWindow : public QWidget
{
    Q_OBJECT

  public:
    Q_INVOKABLE void Import_Add(int partnerId) { imports.append(partnerId); }
    Q_INVOKABLE void Export_Add(int partnerId) { exports.append(partnerId); }
    static inline QList<int> imports;
    static inline QList<int> exports;
};
