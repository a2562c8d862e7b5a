#pragma once

#include "RecordSet.h"

#include <QString>

// The paging and ordering state of one report window.
class m_PageInfor
{
  public:
    int recordCount = 0;
    RecordSetPtr recordSet;
    RecordSetPtr subTotalRecordSet;
    int int_PageSize = 0;
    int int_currentPageIndex = 0; // counted from 1
    QString str_orderBy;          // the order column; empty: no order
    bool isDesc = false;
    QString str_MsgBox;
};
