#pragma once
// The simulated brokerage as the client embeds it (its server unless
// --server names another): seed 7, on a loopback port, its books in the
// Documents folder, so that the orders, transfers and own stocks of the last
// run are there in the next, as a brokerage keeps them.
#include <string>

#include "platform/foundation/Paths.h"
#include "sim/SimServer.h"

inline constexpr const char* kEmbeddedBooksFile = "sim-books.journal";
inline constexpr uint64_t kEmbeddedSeed = 7;

// The embedded server's options: those given (port, clock...) with its seed
// and its books in the Documents folder (`fresh`: set aside, new from the seed).
inline SimOptions embeddedSimOptions(SimOptions options = {}, bool fresh = false) {
    options.seed = kEmbeddedSeed;
    options.booksPath = documentsPath(kEmbeddedBooksFile);
    options.freshBooks = fresh;
    return options;
}

// What the customer is told of the books the server opened: "" when there is
// nothing to tell (new books, or all of them read back).
inline std::string embeddedBooksNotice(const SimJournalReport& report) {
    if (!report.damagedLine) return "";
    return "模拟券商的帐本文件已损坏，原文件已另存为" + report.setAside + "；帐本恢复到损坏之前的" +
           std::to_string(report.entries) + "笔记录，之后的" + std::to_string(report.linesLost) + "笔记录无法恢复。";
}
