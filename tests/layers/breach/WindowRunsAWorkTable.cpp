// A window source that declares the work-table transaction itself and fills a table.
#include "m_DBresult.h"

#include <functional>

m_DBresult RunWorkTableTrans(const std::function<void()>& body);

bool FillReport()
{
    return RunWorkTableTrans([] {}).isResult;
}
