#include "RegisterWindows.h"

#include "WindowRegistry.h"

// Each window joins with its header here and one line in its subsystem's
// function below, for example:
//     #include "frmGoods.h"
//     WindowRegistry::add("frmGoods", [] { return new frmGoods; });
// The main frame opens it under that name (frmGoods, frm_customer, frmImport, ...).

namespace
{

void RegisterShellWindows() {}

void RegisterCatalogueWindows() {}

void RegisterPartnersWindows() {}

void RegisterInboundWindows() {}

void RegisterOutboundWindows() {}

void RegisterStockWindows() {}

void RegisterReportsInWindows() {}

void RegisterReportsOutWindows() {}

void RegisterScheduleWindows() {}

} // namespace

void RegisterWindows()
{
    RegisterShellWindows();
    RegisterCatalogueWindows();
    RegisterPartnersWindows();
    RegisterInboundWindows();
    RegisterOutboundWindows();
    RegisterStockWindows();
    RegisterReportsInWindows();
    RegisterReportsOutWindows();
    RegisterScheduleWindows();
}
