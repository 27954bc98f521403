#include "WindowUpdates.h"

#include <algorithm>
#include <vector>

#include "Controls.h"

namespace vcl {
namespace {

// Made before the application object (Forms.cpp), so that a control still
// listed when the forms go at the program's end leaves a list that exists.
std::vector<TWinControl *> PendingWindowUpdates __attribute__((init_priority(150)));

} // namespace

void AddWindowUpdate(TWinControl *Control) {
    auto &list = PendingWindowUpdates;
    if (std::find(list.begin(), list.end(), Control) == list.end()) list.push_back(Control);
}

void CancelWindowUpdate(TWinControl *Control) {
    auto &list = PendingWindowUpdates;
    list.erase(std::remove(list.begin(), list.end(), Control), list.end());
}

void FlushWindowUpdates() {
    // Each control once: one whose update is not due puts itself back at the
    // end. Read from the list itself, which forgets a control destroyed meanwhile.
    auto &list = PendingWindowUpdates;
    for (std::size_t n = list.size(); n > 0 && !list.empty(); --n) {
        TWinControl *c = list.front();
        list.erase(list.begin());
        c->FlushWindowUpdate();
    }
}

bool WindowUpdatesPending() { return !PendingWindowUpdates.empty(); }

} // namespace vcl
