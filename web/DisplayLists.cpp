// SPDX-License-Identifier: MIT
#include "DisplayLists.h"

#include <utility>

namespace {
// As deep as OpenGL lets lists call lists.
const int kMaxNesting = 64;
}

DisplayLists::DisplayLists()
    : next(1)
    , open(0)
    , runAsWell(false)
    , listBase(0)
    , depth(0)
{
}

unsigned DisplayLists::generate(int range)
{
    if (range <= 0)
        return 0;
    const unsigned first = next;
    next += (unsigned)range;
    return first;
}

void DisplayLists::begin(unsigned list, bool executeToo)
{
    if (list == 0 || open != 0)
        return;
    open = list;
    runAsWell = executeToo;
    lists[list].clear();
}

void DisplayLists::end()
{
    open = 0;
    runAsWell = false;
}

void DisplayLists::record(std::function<void()> call)
{
    lists[open].push_back(std::move(call));
}

void DisplayLists::call(unsigned list)
{
    auto found = lists.find(list);
    if (found == lists.end() || depth >= kMaxNesting)
        return;
    depth++;
    for (const auto& step : found->second)
        step();
    depth--;
}
