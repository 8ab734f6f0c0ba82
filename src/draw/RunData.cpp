#include "RunData.h"

void RunData::resetTables()
{
    entryTable.clear();
    excludeList.clear();
    drawOrder.clear();
    winnerList.clear();
}
