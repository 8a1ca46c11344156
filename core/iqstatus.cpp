#include "iqstatus.h"

#include "filestatustable.h"

const char *iqStatusText(IqStatus status)
{
    return FileStatusTable::row(status).text;
}
