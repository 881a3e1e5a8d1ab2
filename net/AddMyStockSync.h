#pragma once
// "加入自选" of the older chart and detail screens, whole: the stock goes into
// the own-stock table (addMyStock, which also keeps "your stocks" in step), and
// when own stocks live on the server ("SaveMyStockInServer") the addition is
// sent to the server at once (3710/3 through XXNetworkManager, whose answer the
// client handles itself). The screen shows result.message with showAlert.
//
// The screens that wait for the server before they change the table read its
// answer with readOwnStockAnswer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/storage/AddMyStock.h"

AddMyStockResult addMyStockAndSync(const std::optional<std::string>& name, const std::optional<std::string>& code,
                                   int marketId);

// The own-stock service's answer to adding or deleting one stock (3710/3,
// 3710/4): `done` when set 0 holds a record whose "result" is 1. Otherwise
// `failure` is the text to show for bytes that are no record sets
// ("数据解析错误") or for the server's error set (its own text), and empty for
// a refusal, which each screen words itself.
struct OwnStockAnswer {
    bool done = false;
    std::string failure;
};
OwnStockAnswer readOwnStockAnswer(const std::vector<uint8_t>& data);
