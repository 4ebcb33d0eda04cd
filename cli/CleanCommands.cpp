// scan, clean and big.
#include "Commands.h"
#include "Terminal.h"

namespace Cli {

void cmdScan(bool, int64_t)
{
    printLine("scan: 该命令尚未提供");
}

void cmdClean(bool, bool, int64_t)
{
    printLine("clean: 该命令尚未提供");
}

void cmdBig(int64_t, int)
{
    printLine("big: 该命令尚未提供");
}

} // namespace Cli
