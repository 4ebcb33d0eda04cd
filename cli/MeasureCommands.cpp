// overview, tree, types, dupes, names and procs.
#include "Commands.h"
#include "Terminal.h"

namespace Cli {

void cmdOverview()
{
    printLine("overview: 该命令尚未提供");
}

int cmdTree(const std::string&, int, int)
{
    printLine("tree: 该命令尚未提供");
    return 0;
}

void cmdDupes(int64_t)
{
    printLine("dupes: 该命令尚未提供");
}

void cmdNames()
{
    printLine("names: 该命令尚未提供");
}

void cmdTypes()
{
    printLine("types: 该命令尚未提供");
}

void cmdProcs()
{
    printLine("procs: 该命令尚未提供");
}

} // namespace Cli
