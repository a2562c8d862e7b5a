#pragma once

#include <QVariantList>

// The picker's answer: the chosen row records (resultValue[0], [1], ...) when
// the dialog was closed by choosing.
class m_result
{
  public:
    QVariantList resultValue;
    bool isHasObject = false;
};
