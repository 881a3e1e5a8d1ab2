#pragma once
// The rules the books were kept under. The books on disk hold requests, not
// their outcomes: a replay runs each record through today's handler and must
// book what its customer was told when it ran. So a change to what a handler
// or the night does with what the books may already hold (a refusal where
// there was an answer, a purchase the night makes or not) keeps the earlier
// behaviour for records written under the earlier rules: the journal's format
// says which rules wrote its records (SimJournal.h), the replay runs them
// under those, and live requests run under today's.
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
