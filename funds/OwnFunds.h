#pragma once
// The customer's own (watched) funds: the fund codes of the setting "fund
// you care", in the order added or arranged. The fund query hub adds to the
// list and asks for it; the own-fund editor arranges it.
#include <string>
#include <vector>

inline constexpr const char* kOwnFundsKey = "fund you care";
// A name the server gives for a missing field: no fund to add.
inline constexpr const char* kMissingFieldText = "not found field";

// The codes as stored (texts only; an absent list is empty).
std::vector<std::string> ownFundCodes();
// Stores the list and saves the settings file.
void setOwnFundCodes(const std::vector<std::string>& codes);

// Adds a fund at the end; answers the text to show: "添加失败，非法代码！" for
// a missing name or a code empty or longer than 6 characters, "添加失败，
// <name>已经存在" for a code listed already, "成功添加<name>" once added.
std::string addOwnFund(const std::string& name, const std::string& code);
