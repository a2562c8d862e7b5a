#include "RegisterWindows.h"

#include "FrmCalendar.h"
#include "FrmHelp.h"
#include "FrmModifypwd.h"
#include "WindowRegistry.h"
#include "dal_rpt_stock.h"
#include "frmBill.h"
#include "frmBrowser.h"
#include "frmGoods.h"
#include "frmLocation.h"
#include "frmLogin.h"
#include "frmOptions.h"
#include "frm_customer.h"
#include "frm_department_fun.h"
#include "frm_dictionary.h"
#include "frm_rpt_Detail.h"
#include "frm_rpt_Head.h"
#include "frm_rpt_Sum.h"
#include "frm_rpt_stock.h"
#include "frm_user.h"
#include "mod_public.h"

// Each window joins with its header here and one line in its subsystem's
// function below, for example:
//     #include "frmGoods.h"
//     WindowRegistry::add("frmGoods", [] { return new frmGoods; });
// The main frame opens it under that name (frmGoods, frm_customer, frmImport, ...).

namespace
{

void RegisterShellWindows()
{
    WindowRegistry::add("frm_user", [] { return new frm_user; });
    WindowRegistry::add("frm_department_fun", [] { return new frm_department_fun; });
    WindowRegistry::add("FrmModifypwd", [] { return new FrmModifypwd; });
    WindowRegistry::add("frmOptions", [] { return new frmOptions; });
    WindowRegistry::add("frmBrowser", [] { return new frmBrowser; });
    WindowRegistry::add("FrmHelp", [] { return new FrmHelp; });
    WindowRegistry::add("FrmHelpQZ", [] { return new FrmHelpQZ; });
    // The older calendar main window logs in again when it first opens.
    WindowRegistry::add("frmLogin", [] { return new frmLogin; });
}

void RegisterCatalogueWindows()
{
    WindowRegistry::add("frm_dictionary", [] { return new frm_dictionary; });
    WindowRegistry::add("frmGoods", [] { return new frmGoods; });
}

void RegisterPartnersWindows()
{
    WindowRegistry::add("frm_customer", [] { return new frm_customer; });
    WindowRegistry::add("frmLocation", [] { return new frmLocation; });
}

void RegisterInboundWindows()
{
    WindowRegistry::add("frmImport", [] { return new frmImport; });
}

void RegisterOutboundWindows()
{
    WindowRegistry::add("frmExport", [] { return new frmExport; });
    // The negative-stock question reads the goods item's live balance over the
    // account tags the user may see.
    frmBill::SetStockProbe(
        [](int goodsId) { return dal_rpt_stock().GetLiveStock(SysVar.Sys_accountJoinId, goodsId); });
}

void RegisterStockWindows()
{
    WindowRegistry::add("frm_rpt_stock", [] { return new frm_rpt_stock; });
}

void RegisterReportsWindows()
{
    WindowRegistry::add("frm_rpt_rkHead", [] { return new frm_rpt_rkHead; });
    WindowRegistry::add("frm_rpt_rkDetail", [] { return new frm_rpt_rkDetail; });
    WindowRegistry::add("frm_rpt_rkSum", [] { return new frm_rpt_rkSum; });
    WindowRegistry::add("frm_rpt_ckHead", [] { return new frm_rpt_ckHead; });
    WindowRegistry::add("frm_rpt_ckDetail", [] { return new frm_rpt_ckDetail; });
    WindowRegistry::add("frm_rpt_ckSum", [] { return new frm_rpt_ckSum; });
}

void RegisterScheduleWindows()
{
    WindowRegistry::add("FrmCalendar", [] { return new FrmCalendar; });
}

} // namespace

void RegisterWindows()
{
    RegisterShellWindows();
    RegisterCatalogueWindows();
    RegisterPartnersWindows();
    RegisterInboundWindows();
    RegisterOutboundWindows();
    RegisterStockWindows();
    RegisterReportsWindows();
    RegisterScheduleWindows();
}
