#pragma once
// The simulated brokerage as the client embeds it (its server unless
// --server names another): seed 7, on a loopback port, its books in the
// Documents folder, so that the orders, transfers and own stocks of the last
// run are there in the next, as a brokerage keeps them. It serves its client
// alone: every request must carry a secret the client makes at its start and
// holds in memory only (never on a command line, in the environment or in a
// file, where another program could read it), so that no other program on
// the machine, of this user or another, reaches the customer's books through
// the loopback port.
#include <algorithm>
#include <string>

#include "core/security/RandomBytes.h"
#include "net/HTTPEngine.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Value.h"
#include "platform/services/RemoteNotifications.h"
#include "sim/SimServer.h"

inline constexpr const char* kEmbeddedBooksFile = "sim-books.journal";
inline constexpr uint64_t kEmbeddedSeed = 7;
inline constexpr size_t kEmbeddedSecretBytes = 32;

// The embedded server's options: those given (port, clock...) with its seed
// and its books in the Documents folder (`fresh`: set aside, new from the seed),
// never with replies in clear, and a new secret of the client's from the
// cryptographic source. Its control routes it serves only when the options
// given ask for them (--sim-controls, for a test), and then only to requests
// that carry the secret, as every route.
inline SimOptions embeddedSimOptions(SimOptions options = {}, bool fresh = false) {
    options.seed = kEmbeddedSeed;
    options.booksPath = documentsPath(kEmbeddedBooksFile);
    options.freshBooks = fresh;
    options.dumpHeader = false;  // no reply of the customer's in clear, whatever a request asks
    options.holdAllocatorThresholds = false;  // the process is the client's: its drawing is the allocator's to tune
    options.clientSecret = randomHex(kEmbeddedSecretBytes);
    return options;
}

// A message pushed to the embedded server arrives as the platform's push
// notification, as the brokerage's push service would send it.
inline void deliverPushedMessages(SimServer& sim) {
    sim.setPushObserver([](const SimMessage& m) {
        Value::Dict aps;
        aps["alert"] = m.title;
        aps["sound"] = "default";
        Value::Dict payload;
        payload["aps"] = Value(aps);
        payload["msg_id"] = std::to_string(m.msgId);
        RemoteNotificationService::shared().deliver(Value(payload));
    });
}

// The client's side of the started embedded server: its HTTP engine, the one
// road of every request (the request service, images, web pages, the own-stock
// and push services), sends the server's secret with each request to the
// server's origin and to no other host; a pushed message arrives as a push
// notification.
inline void attachToClient(SimServer& sim) {
    HTTPEngine::shared().setOriginHeader(sim.url(), kSimSecretHeader, simSecretHeaderValue(sim.options().clientSecret));
    deliverPushedMessages(sim);
}

// What the customer is told of the books the server opened: "" when there is
// nothing to tell (new books, or all of them read back). The count of what
// was not restored is the journal's own: the records numbered after the
// damage; "至少" when the file ends cut short (more may have followed). The
// file set aside is named by its name alone: it lies beside the books, in the
// Documents folder.
inline std::string embeddedBooksNotice(const SimJournalReport& report) {
    if (!report.damaged()) return "";
    const std::string setAside = report.setAside.substr(report.setAside.rfind('/') + 1);
    std::string text = "模拟券商的帐本文件已损坏，原文件已另存为" + setAside + "；";
    if (report.keyLost) text += "帐本的密钥文件丢失或损坏，";
    if (report.lostUnknown) return text + "帐本已从初始状态重新开始，原有的记录均无法恢复。";
    if (report.damagedLine) {
        text += "帐本恢复到损坏之前的" + std::to_string(report.entries) + "笔记录";
        if (report.recordsLost || report.lostAtLeast)
            text += std::string("，之后") + (report.lostAtLeast ? "至少" : "") + "有" +
                    std::to_string(std::max<size_t>(report.recordsLost, report.lostAtLeast ? 1 : 0)) +
                    "笔记录无法恢复";
        text += "。";
    } else {
        text += "帐本的" + std::to_string(report.entries) + "笔记录均已恢复。";
    }
    if (report.repeatsDropped)
        text += "文件中重复写入的" + std::to_string(report.repeatsDropped) + "笔记录已略去，未重复入帐。";
    return text;
}
