#pragma once
// The simulated brokerage as the client embeds it (its server unless
// --server names another): seed 7, its books in the Documents folder, so that
// the orders, transfers and own stocks of the last run are there in the next,
// as a brokerage keeps them. It serves its client alone:
//  - It listens on no port but on a Unix-domain socket in a folder made new
//    at the client's start, the user's alone (0700): a program of another
//    user cannot connect to it at all, nor hold its connections.
//  - Every request must carry a secret the client makes at its start and
//    holds in memory only (never on a command line, in the environment or in
//    a file, where another program could read it), so that no other program
//    of this user that connects reaches the customer's books either.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "core/security/RandomBytes.h"
#include "net/HTTPEngine.h"
#include "platform/foundation/Paths.h"
#include "platform/foundation/Value.h"
#include "platform/services/RemoteNotifications.h"
#include "sim/SimHttpServer.h"
#include "sim/SimServer.h"

inline constexpr const char* kEmbeddedBooksFile = "sim-books.journal";
inline constexpr uint64_t kEmbeddedSeed = 7;
inline constexpr size_t kEmbeddedSecretBytes = 32;

// The folder of the embedded server's socket: made new, the user's alone
// (0700), and removed with the socket in it when it goes (as the client
// ends). In $XDG_RUNTIME_DIR when that is the user's alone, else in /tmp;
// in either only where the socket's path fits a socket's address (107
// bytes), never cut short.
class EmbeddedSocketFolder {
public:
    static constexpr const char* kSocketName = "sim.sock";

    EmbeddedSocketFolder() {
        std::vector<std::string> places;
        if (const char* runtime = std::getenv("XDG_RUNTIME_DIR"); runtime && usersAlone(runtime))
            places.push_back(runtime);
        places.push_back("/tmp");
        for (const std::string& place : places) {
            std::string folder = place + "/roduvede-XXXXXX";
            if (folder.size() + 1 + std::strlen(kSocketName) > SimHttpServer::kMaxSocketPath) {
                error_ = place + ": the socket's path would be longer than a socket's address holds";
                continue;
            }
            if (!::mkdtemp(folder.data())) {
                error_ = place + ": " + std::strerror(errno);
                continue;
            }
            folder_ = folder;
            // Made 0700 whatever the umask left, and checked for what it is.
            struct stat made {};
            if (::chmod(folder.c_str(), S_IRWXU) != 0 || ::lstat(folder.c_str(), &made) != 0 ||
                !S_ISDIR(made.st_mode) || made.st_uid != ::geteuid() || (made.st_mode & 07777) != S_IRWXU) {
                error_ = folder + ": not a folder of the user's alone";
                remove();
                continue;
            }
            socketPath_ = folder + "/" + kSocketName;
            error_.clear();
            return;
        }
        error_ = "no folder of the user's alone for the simulated server's socket (" + error_ + ")";
    }
    ~EmbeddedSocketFolder() { remove(); }
    EmbeddedSocketFolder(const EmbeddedSocketFolder&) = delete;
    EmbeddedSocketFolder& operator=(const EmbeddedSocketFolder&) = delete;

    bool made() const { return !socketPath_.empty(); }
    const std::string& path() const { return folder_; }
    const std::string& socketPath() const { return socketPath_; }  // "" when not made
    const std::string& error() const { return error_; }            // why not

private:
    // A folder of this user's that no one else may enter, list or write in.
    static bool usersAlone(const std::string& path) {
        struct stat s {};
        return !path.empty() && path.front() == '/' && ::stat(path.c_str(), &s) == 0 && S_ISDIR(s.st_mode) &&
               s.st_uid == ::geteuid() && (s.st_mode & (S_IRWXG | S_IRWXO)) == 0;
    }
    void remove() {
        if (!socketPath_.empty()) ::unlink(socketPath_.c_str());  // left by a server that did not stop
        if (!folder_.empty()) ::rmdir(folder_.c_str());
        socketPath_.clear();
        folder_.clear();
    }

    std::string folder_, socketPath_, error_;
};

// The embedded server's options: those given (clock...) with its seed, its
// socket in `folder` and its books in the Documents folder (`fresh`: set
// aside, new from the seed), never with replies in clear, and a new secret
// of the client's from the cryptographic source. Its control routes it serves
// only when the options given ask for them (--sim-controls, for a test), and
// then only to requests that carry the secret, as every route.
inline SimOptions embeddedSimOptions(const EmbeddedSocketFolder& folder, SimOptions options = {}, bool fresh = false) {
    options.socketPath = folder.socketPath();
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
// and push services), reaches the server's URL through its socket and sends
// the server's secret with each request to it and to no other host; a pushed
// message arrives as a push notification.
inline void attachToClient(SimServer& sim) {
    HTTPEngine::shared().setPrivateOrigin(
        {sim.url(), sim.options().socketPath, kSimSecretHeader, simSecretHeaderValue(sim.options().clientSecret)});
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
