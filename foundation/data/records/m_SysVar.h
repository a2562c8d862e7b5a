#pragma once

#include <QString>

// The settings record, held once as the global SysVar and filled by init_SysVar.
class m_SysVar
{
  public:
    QString Sys_dbName;
    int Sys_NotNullColor = 0; // 0xBBGGRR, as the colour was stored
    QString Sys_AmountFormat;
    QString Sys_PriceFormat;
    QString Sys_DateFormat;
    QString Sys_TimeFormat;
    // The column that breaks ties of an ordered list: paging and the calendar
    // lists order by their column, then by this one in the same direction.
    QString acc_OrderBy;
    QString Sys_importBill;
    QString Sys_exportBill;
    QString Sys_stockBill;
    QString Sys_importListBill;
    QString Sys_importDetailBill;
    QString Sys_importSumBill;
    QString Sys_exportListBill;
    QString Sys_exportDetailBill;
    QString Sys_exportSumBill;
    // Right lists of the current department: comma lists ending in "0".
    QString Sys_funJoinCode;
    QString Sys_locationJoinId;
    QString Sys_accountJoinId;
};
