#pragma once

#include "BillDirection.h"

#include <QString>

// What tells an inbound bill from an outbound one: the direction's tables,
// columns, lists and print template (BillDirectionFacts), and above them the
// right codes and what the bill window and the reports show and say. The
// store, the bill window and the reports read them from here; everything else
// about the two kinds of bill is the same.
struct BillSetup : BillDirectionFacts {
    // The function rights of the bill window's actions, from FunCodeTable.
    struct Rights {
        QString save;   // a new bill
        QString update; // a stored bill
        QString remove; // delete
        QString pass;   // audit
        QString nopass; // un-audit
        QString print;
        QString billList; // the bill list opened from the bill window
    };
    Rights rights;

    // The function rights of the reports' actions, from FunCodeTable.
    struct ReportRights {
        QString listAdd; // the bill list's 新增
        QString listBrowse;
        QString listDelete;
        QString listPass;
        QString listNopass;
        QString listExport;
        QString detailBrowse;
        QString detailDelete;
        QString detailExport;
        QString sumExport;
    };
    ReportRights reportRights;

    // What the bill window names, shows and says.
    struct Window {
        QString title;           // 入库业务 / 出库业务
        QString word;            // import / export: names of the head panel, the type combo and the grid
        QString billTypeKind;    // importType / exportType: the dictionary type of the bill types
        QString priceBox;        // txt_inPrice / txt_salePrice
        QString partnerCaption;  // 供应商: / 客户:
        QString billNoCaption;   // 入库单号: / 出库单号:
        QString billTypeCaption; // 入库类别: / 出库类别:
        QString partnerMissing;  // the save's refusal without a partner
        QString billTypeMissing; // the save's refusal without a bill type
        QString locationMissing; // the save's refusal for a line without a location
        QString priceTooLong;    // the save's refusal for a price with too many digits
        QString headMissing;     // printing a bill whose head is gone
        QString lineMissing;     // printing a bill whose lines are gone
        QString billList;        // the object name of the bill list the window opens
        QString locationCaption; // the grid's location column: 存放库位 / 取货库位
        QString partnerDeleted;  // the save's refusal for a partner deleted since it was chosen
        QString locationDeleted; // the save's refusal for a line whose location was deleted since
    };
    Window window;

    // What the bill list, line detail and goods sums of the direction show and say.
    struct Reports {
        QString billTypeWord; // 入库类别 / 出库类别: column captions and the type conditions
        QString partnerWord;  // 供应商名称 / 客户名称
        QString priceWord;    // the line detail's price column: 价格 / 售价
        QString listTitle;    // 入库单据 / 出库单据
        QString detailTitle;  // 入库明细 / 出库明细
        QString sumTitle;     // 入库汇总 / 出库汇总
        QString sumMissing;   // printing goods sums that are gone
        QString sumTypeBox;   // the name of the goods sums' type box
    };
    Reports reports;

    static const BillSetup& In();
    static const BillSetup& Out();
    static const BillSetup& Of(BillDirection direction)
    {
        return direction == BillDirection::In ? In() : Out();
    }
};
