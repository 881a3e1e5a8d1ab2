#pragma once
// "加入自选" of the older chart and detail screens, whole: the stock goes into
// the own-stock table (addMyStock, which also keeps "your stocks" in step), and
// when own stocks live on the server ("SaveMyStockInServer") the addition is
// sent to the server at once (3710/3 through XXNetworkManager, whose answer the
// client handles itself). The screen shows result.message with showAlert.
#include <optional>
#include <string>

#include "core/storage/AddMyStock.h"

AddMyStockResult addMyStockAndSync(const std::optional<std::string>& name, const std::optional<std::string>& code,
                                   int marketId);
