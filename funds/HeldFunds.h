#pragma once
// The funds a customer holds as the fund forms share them: the holdings set
// (500/41: "ofcode", "ofname", "ofavl") kept in the session value "the funds
// you have", the picker rows made of its names, and a holdings reply taken
// as the forms take it.
#include <memory>
#include <string>
#include <vector>

struct RequestReply;
class VTATCRS;

std::shared_ptr<VTATCRS> sessionHeldFunds();
void keepHeldFunds(std::shared_ptr<VTATCRS> set);
void forgetHeldFunds();
// A field of the set's current record ("" when missing).
std::string fieldText(const VTATCRS& set, const char* name);
// The names of all records, the set's cursor left where it was.
std::vector<std::string> heldFundNames(VTATCRS& set);
// The row of the text among the rows; 0 when it is none of them.
int rowOfText(const std::vector<std::string>& rows, const std::string& text);
// Set 0 of a holdings reply with at least one fund; null after telling the
// customer (its error text, or `noFundsText`) or for a reply without sets.
std::shared_ptr<VTATCRS> heldFundsOfReply(const RequestReply& reply, const char* noFundsText);
