// Record-set reader under arbitrary bytes: parse, read every field of every
// record of every set, then check that what was read serialises back to exactly
// the bytes it came from and reads again the same.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/VTATCRS.h"

namespace {

void walk(VTATCRS& set) {
    set.getError();
    set.errorCode();
    for (int f = 0; f < set.fieldCount(); ++f) {
        set.getFieldNameAtIndex(f);
        set.getFieldDescAtIndex(f);
    }
    for (set.fetchFirst(); !set.isEOF(); set.fetchNext()) {
        for (int f = 0; f < set.fieldCount(); ++f) {
            auto text = set.toStringAtIndex(f);
            set.toIntAtIndex(f);
            if (auto v = set.toVTAFloatAtIndex(f)) {
                v->toString();
                v->toMoney();
                v->realValue();
            }
            set.fieldValueAtIndex(f);
            if (text && set.recordIndexWithFieldIndex(f, *text) < 0) std::abort();
        }
    }
    set.fetchLast();
    set.fetchPrev();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    auto sets = VTATCRS::buildMuTableTCRSWithData(data, size);
    if (!sets) return 0;
    size_t used = 0;
    for (auto& set : *sets) {
        walk(*set);
        used += set->toData().size();
    }
    // Read sets are exactly a prefix of the input, byte for byte.
    std::vector<uint8_t> again = VTATCRS::dataWithTCRSArray(*sets);
    if (again.size() != used || used > size || (used > 0 && std::vector<uint8_t>(data, data + used) != again))
        std::abort();
    auto reread = VTATCRS::buildMuTableTCRSWithData(again);
    if (!reread || reread->size() != sets->size()) std::abort();
    // Editing a copy never breaks its bytes.
    for (auto& set : *sets) {
        auto sub = set->subTCRSWithRange(1, 3);
        if (!sub) std::abort();
        if (sub->rowsAffected() > 0) {
            std::vector<Value> copy;
            for (int f = 0; f < sub->fieldCount(); ++f) copy.push_back(sub->fieldValueAtIndex(f));
            sub->insertRecord(copy, 0);
            sub->deleteRecordAtIndex(1);
        }
        auto back = VTATCRS::buildMuTableTCRSWithData(sub->toData());
        if (!back || back->size() != 1) std::abort();
    }
    return 0;
}
