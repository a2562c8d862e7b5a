#include "dal_setting.h"

#include "DataAccess.h"
#include "Numbers.h"
#include "sqlHelper.h"

namespace
{

m_setting readModel(const RecordSet& rs)
{
    m_setting m;
    m.id = int(ReadNumber(rs.value(0, QStringLiteral("id"))));
    m.setKey = rs.text(0, QStringLiteral("setKey"));
    m.setValue = rs.text(0, QStringLiteral("setValue"));
    return m;
}

} // namespace

m_setting dal_setting::GetModel(const QString& strKey)
{
    ParamMap p;
    p.Add(QStringLiteral("@setKey"), strKey);
    return ReadFirstShared(QStringLiteral("SELECT id,setKey,setValue  from tb_setting  where setKey=@setKey"),
                           p, &readModel);
}

m_DBresult dal_setting::Update(const m_setting& obj_Model)
{
    return RunTrans([&] {
        ParamMap p;
        p.Add(QStringLiteral("@setKey"), obj_Model.setKey);
        p.Add(QStringLiteral("@setValue"), obj_Model.setValue);
        if (ExecuteParaSql(QStringLiteral("update tb_setting  set setValue=@setValue  where setKey=@setKey"),
                           p) > 0)
            return;
        // A database without the row gets it, so the choice is kept.
        p.Add(QStringLiteral("@id"),
              GetMaxValue(QStringLiteral("id"), QStringLiteral("tb_setting")).toInt() + 1);
        ExecuteParaSql(
            QStringLiteral("insert into tb_setting (id,setKey,setValue) values (@id,@setKey,@setValue)"), p);
    });
}
