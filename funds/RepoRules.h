#pragma once
// The rules of the quoted-repo screens (澄穗通), apart from their views: the
// amount check and the quantity it becomes, the texts of the confirmation
// sheets, the request texts, and the customer's shareholder account of a
// market.
#include <optional>
#include <string>

#include "core/RequestBuilder.h"

inline constexpr const char* kRepoBadAmountText = "请仔细确认委托金额";
inline constexpr const char* kRepoNoAccountText = "无对应股东代码";
inline constexpr const char* kRepoUnknownText = "无此证券信息!";

// The order quantity of an amount in 元: the amount in hundreds of 元 with two
// decimals ("10000" -> "100.00", "12345" -> "123.45", "10.0" -> "0.10"),
// computed exactly. nullopt when the amount fails the check (no number, a
// leading zero, zero, inner blanks, a second point) or needs more than two
// decimals there ("1.05", "0.5"): such an amount is never rounded.
std::optional<std::string> repoQuantityOfAmount(const std::string& amount);

// "请仔细确认以下信息:\n交易类型：买入（澄穗通）\n证券名称：..\n委托金额：..".
std::string repoBuySummary(const std::string& product, const std::string& amount);
// "请确认以下信息:\n交易类型:提前终止（澄穗通）\n证券名称：..\n证券代码：..\n委托数量：..\n".
std::string repoEndSummary(const std::string& name, const std::string& code, const std::string& quantity);

// The "secuid" of the first record of the login's customer set whose
// "market" reads as the market; "" when there is none.
std::string repoSecuIdOfMarket(int market);

// The product list for the buy screen's picker (500/54, "|market|" unlisted).
RequestBuilder repoProductsRequest();
// The product's information and the cash (100/27).
RequestBuilder repoInfoRequest(const std::string& code);
RequestBuilder repoBuyRequest(int market, const std::string& secuid, const std::string& code,
                              const std::string& quantity);
RequestBuilder repoEndRequest(int market, const std::string& secuid, const std::string& code,
                              const std::string& quantity, const std::string& matchDate, const std::string& matchCode);
