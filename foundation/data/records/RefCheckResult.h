#pragma once

#include <QString>

// The answer of the reference check before a delete.
struct RefCheckResult {
    int fkCount = 0; // the count of the refusing check; 0 when the delete may go ahead
    QString strMsg;  // the message of the refusing check; empty when the delete may go ahead
    bool isOK = true;
};
