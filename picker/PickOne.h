#pragma once

#include "DialogRunner.h"
#include "frm_select.h"

#include <QString>
#include <functional>

// Runs the picker on utbName for one record (no check column), after setup
// has given it its own conditions or keyword: the first record picked, or a
// default record (id 0) when the picker closed without one.
template <class Model>
Model PickOne(QWidget* parent, const QString& utbName, const std::function<void(frm_select&)>& setup = {})
{
    frm_select picker(parent);
    picker.utbName = utbName;
    picker.isHideCheckCol = true;
    if (setup)
        setup(picker);
    picker.RunSearch();
    DialogRunner::Exec(&picker);
    if (!picker.resultVal.isHasObject || picker.resultVal.resultValue.isEmpty())
        return Model();
    return picker.resultVal.resultValue.at(0).template value<Model>();
}
