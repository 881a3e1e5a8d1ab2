#pragma once
// The rules the books were kept under. The books on disk hold requests, not
// their outcomes: a replay runs each record through today's handler and must
// book what its customer was told when it ran. So a change to what a handler
// or the night does with what the books may already hold (a refusal where
// there was an answer, a purchase the night makes or not) keeps the earlier
// behaviour for records written under the earlier rules: the journal's format
// says which rules wrote its records (SimJournal.h), the replay runs them
// under those, and live requests run under today's.
#include <cstdint>

enum class SimBooksRules : int {
    // The night meets no fixed-investment plan: books whose snapshot is of
    // version 1, appended to only by the versions before plans invested. A
    // bank transfer's amount is read at any length.
    PlansPayNothing = 1,
    // Plans pay on their calendar days, a closed market's too; a plan past
    // its end date is still open; a wealth plan takes a dividend setting; a
    // fund company account opens with an address of any length; a bank
    // transfer's amount with a digit past the fen is none.
    PlansByCalendar = 2,
    // Today's.
    Current = 3,
};

// The rules of a journal's records, by the journal's format and the version
// of the snapshot it names (0: none). Format 3 was written by two versions
// that a journal alone cannot tell apart: one whose plans never paid, and
// one whose plans paid on calendar days. A format-3 journal naming a
// snapshot of version 1 was appended to only by the first (the second
// refused such books); any other format-3 journal is read as the second
// read it, since a journal that version opened has shown its customer its
// plans' purchases. Format 4 is today's, whatever snapshot it names.
inline SimBooksRules simBooksRulesOf(int journalFormat, uint32_t snapshotVersion) {
    if (journalFormat >= 4) return SimBooksRules::Current;
    return snapshotVersion == 1 ? SimBooksRules::PlansPayNothing : SimBooksRules::PlansByCalendar;
}
