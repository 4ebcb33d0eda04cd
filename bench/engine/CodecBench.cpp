// SPDX-License-Identifier: GPL-3.0-or-later
// Time of the engine's pure readers on generated input of growing size: the
// folder-size tree's cache (encode and the strict decode a cache hit runs) and
// the ps and du output parsers. Run: build/bench/engine_bench
// (--benchmark_filter=Tree for one group).
#include "DiskTree.h"
#include "Parsers.h"
#include "Records.h"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <string>

namespace {

// A tree of about `folders` folders, ten children per folder, each folder
// with two named files, as a measuring run of a home would give.
DiskNode generatedTree(int64_t folders)
{
    int64_t made = 1;
    FolderDraft root{.name = "home", .path = "/home/u"};
    auto grow = [&](auto& self, FolderDraft& node, int level) -> void {
        for (int i = 0; i < 10 && made < folders && level < 8; ++i) {
            const std::string name = "folder-" + std::to_string(made);
            FolderDraft child{
                .name = name, .path = node.path + "/" + name, .size = 4096 * (made % 97 + 1)};
            child.fileCount = 2;
            child.fileBytes = 3000;
            child.files = {{"a.bin", 2000}, {"b.txt", 1000}};
            ++made;
            node.children.push_back(std::move(child));
        }
        for (FolderDraft& child : node.children)
            self(self, child, level + 1);
    };
    while (made < folders) {
        const int64_t before = made;
        grow(grow, root, 0);
        if (made == before)
            break;
    }
    return DiskNode(root);
}

void TreeEncode(benchmark::State& state)
{
    const DiskNode tree = generatedTree(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(DiskTree::encode(tree));
}
BENCHMARK(TreeEncode)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void TreeDecode(benchmark::State& state)
{
    const std::string json = DiskTree::encode(generatedTree(state.range(0)));
    for (auto _ : state)
        benchmark::DoNotOptimize(DiskTree::decode(json));
    state.SetBytesProcessed(int64_t(state.iterations()) * int64_t(json.size()));
}
BENCHMARK(TreeDecode)->Arg(1000)->Arg(20000)->Unit(benchmark::kMillisecond);

void ProcessLines(benchmark::State& state)
{
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += "  " + std::to_string(1000 + i) + " " + std::to_string(4096 + i) +
                " /usr/bin/program-" + std::to_string(i) + "\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(Parse::processLines(text, true));
}
BENCHMARK(ProcessLines)->Arg(500)->Arg(5000);

void DuSizeMap(benchmark::State& state)
{
    std::string text;
    for (int64_t i = 0; i < state.range(0); ++i)
        text += std::to_string(4 * (i % 1000 + 1)) + "\t/home/u/folder-" + std::to_string(i / 10) +
                "/sub-" + std::to_string(i) + "\n";
    for (auto _ : state)
        benchmark::DoNotOptimize(Parse::duSizeMap(text));
}
BENCHMARK(DuSizeMap)->Arg(1000)->Arg(20000);

} // namespace
