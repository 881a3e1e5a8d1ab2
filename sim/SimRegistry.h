#pragma once
// The functions the simulated server answers, by main and sub function number.
// Each family of functions lives in its own file (SimSystem.cpp, SimQuotes.cpp,
// SimPortfolio.cpp, SimMessages.cpp ...) with a registerXxxFunctions(SimRegistry&)
// that SimFamilies.cpp calls; a later family adds one file and one line there.
//
// A handler runs with the server's state lock held and answers record-set
// bytes (TCRSWriter), an error set for business errors.
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "core/contracts/FunctionId.h"
#include "sim/SimRequest.h"

class SimServer;
struct SimSession;

struct SimCall {
    SimServer& server;
    const SimRequest& request;          // clear and deciphered fields together
    SimSession* session;                // null before the session login
    double now;                         // the simulator's clock
    const std::string& sessionKeyText;  // TC_KEY of a session login ("" otherwise)
};

using SimHandler = std::function<std::vector<uint8_t>(SimCall&)>;

class SimRegistry {
public:
    // kAnySub: every sub function of the main function not registered on its own.
    static constexpr int kAnySub = -1;
    void add(FunctionId function, SimHandler handler);
    const SimHandler* find(int main, int sub) const;
    size_t size() const { return handlers_.size(); }

private:
    std::map<std::pair<int, int>, SimHandler> handlers_;
};

// One error-set reply (TCRSWriter::errorSet).
std::vector<uint8_t> simErrorSet(int code, const std::string& text);
// A one-record "result" set: "result" (integer), "message" (text) and, when
// given, "code" (text).
std::vector<uint8_t> simResultSet(int result, const std::string& message, const std::string* code = nullptr);

// Every family of the simulator (SimFamilies.cpp).
void registerAllSimFunctions(SimRegistry& registry);
void registerSystemFunctions(SimRegistry& registry);     // 100/x, 3504, 3730
void registerQuoteFunctions(SimRegistry& registry);      // 31000/x
void registerPortfolioFunctions(SimRegistry& registry);  // 3710/x
void registerMessageFunctions(SimRegistry& registry);    // 3780/x
void registerNewsMenuFunctions(SimRegistry& registry);   // 504/1
