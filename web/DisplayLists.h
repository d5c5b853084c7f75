// SPDX-License-Identifier: MIT
#ifndef DISPLAYLISTS_H
#define DISPLAYLISTS_H

#include <functional>
#include <map>
#include <vector>

// OpenGL's display lists as recorded calls: between newList and endList a
// call is kept instead of run, and callList runs what was kept.
class DisplayLists {
public:
    DisplayLists();

    unsigned generate(int range);
    void begin(unsigned list, bool executeToo);
    void end();
    bool recording() const { return open != 0; }
    bool executing() const { return open == 0 || runAsWell; }
    void record(std::function<void()> call);
    void call(unsigned list);
    void setBase(unsigned base) { listBase = base; }
    unsigned base() const { return listBase; }

private:
    unsigned next;
    unsigned open;
    bool runAsWell;
    unsigned listBase;
    int depth;
    std::map<unsigned, std::vector<std::function<void()>>> lists;
};

#endif
