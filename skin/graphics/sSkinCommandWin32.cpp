#include <cassert>

#include "sSkinCommand.h"

namespace skin {

namespace {

// The innermost send of this thread that carries a record; null when none.
thread_local TvlRecordInFlight *Innermost = nullptr;

} // namespace

TvlRecordInFlight::TvlRecordInFlight(unsigned SubCommand, LPARAM Record)
    : FSubCommand(SubCommand), FRecord(Record), FOuter(Innermost) {
    Innermost = this;
}

TvlRecordInFlight::~TvlRecordInFlight() {
    assert(Innermost == this && "the sends of records end in the order opposite to their start");
    Innermost = FOuter;
}

bool TvlRecordInFlight::Contains(unsigned SubCommand, LPARAM Record) {
    for (const TvlRecordInFlight *r = Innermost; r; r = r->FOuter)
        if (r->FSubCommand == SubCommand && r->FRecord == Record) return true;
    return false;
}

} // namespace skin
