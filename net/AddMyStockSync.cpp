#include "net/AddMyStockSync.h"

#include "core/ParsedReply.h"
#include "core/contracts/ResultContract.h"
#include "net/XXNetworkManager.h"

AddMyStockResult addMyStockAndSync(const std::optional<std::string>& name, const std::optional<std::string>& code,
                                   int marketId) {
    AddMyStockResult result = addMyStock(name, code, marketId);
    if (result.added && result.needsServerAdd && code)
        XXNetworkManager::sharedManager().requestAddPortfolio(*code + "." + std::to_string(marketId));
    return result;
}

OwnStockAnswer readOwnStockAnswer(const std::vector<uint8_t>& data) {
    ParsedReply reply(data);
    if (!reply.readable() || reply.sets().empty()) return {false, "数据解析错误"};
    if (reply.isError()) return {false, reply.errorText()};
    VTATCRS* result = reply.firstRecord();
    return {result && result->toIntWithFieldName(ResultContract::Col::kResult) == 1, ""};
}
