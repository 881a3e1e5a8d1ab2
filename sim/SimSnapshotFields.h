#pragma once
// The fields of the books' snapshot (SimSnapshot.h), one list per struct of
// the rooms, read and written by the same list (SimSnapshotCoding.h). Every
// field a request or the passing of time can change is here, and the seeded
// catalogues beside them (they are made for the day a room is first used).
// An order's ledger goes by its name (SimOrderLedger::snapshotName). The
// secrets (passwords, typed codes, token seeds) go through the archive's
// secret(), which enciphers them.
#include "sim/SimBank.h"
#include "sim/SimBonds.h"
#include "sim/SimBooks.h"
#include "sim/SimFunds.h"
#include "sim/SimInfoRadar.h"
#include "sim/SimMargin.h"
#include "sim/SimMessages.h"
#include "sim/SimNewIssues.h"
#include "sim/SimNews.h"
#include "sim/SimOrders.h"
#include "sim/SimPlans.h"
#include "sim/SimPortfolio.h"
#include "sim/SimRepo.h"
#include "sim/SimSnapshotCoding.h"
#include "sim/SimSystem.h"
#include "sim/SimTrade.h"
#include "sim/SimWarrants.h"
#include "sim/SimWealth.h"

// ---- the books (SimTradeRoom) ----
template <class A>
void simFields(A& a, SimBranch& b) {
    a(b.code, b.name);
}
template <class A>
void simFields(A& a, SimBalance& b) {
    a(b.balance, b.frozen, b.salesToday);
}
template <class A>
void simFields(A& a, SimFundAccount& f) {
    a(f.fundid, f.main, f.balances);
}
template <class A>
void simFields(A& a, SimShareholder& s) {
    a(s.market, s.secuid, s.fundid);
}
template <class A>
void simFields(A& a, SimHolding& h) {
    a(h.secuid, h.market, h.code, h.name, h.quantity, h.available, h.costBasis);
}
template <class A>
void simFields(A& a, SimOrder& o) {
    a(o.ordersno, o.date, o.time, o.fundid, o.secuid, o.market, o.code, o.name, o.bsflag, o.price, o.quantity,
      o.matched, o.status, o.frozen, o.metQuote, o.creditFlag);
    a.ledger(o.ledger);
}
template <class A>
void simFields(A& a, SimDeal& d) {
    a(d.ordersno, d.date, d.time, d.price, d.quantity, d.amount);
}
template <class A>
void simFields(A& a, SimBankBinding& b) {
    a(b.bankcode, b.bankname, b.fundid, b.moneytype, b.bankBalance);
    a.secret(b.bankPassword);
}
template <class A>
void simFields(A& a, SimCreditAccount& c) {
    a(c.fundid, c.cash, c.financingLimit, c.financingDebt, c.shortLimit, c.shortProceeds, c.positions, c.owed,
      c.autoRepay);
}
template <class A>
void simFields(A& a, SimSoftToken& t) {
    a.secret(t.seed);
    a(t.counter, t.phone);
}
template <class A>
void simFields(A& a, SimCustomer& c) {
    a(c.custid, c.name, c.orgid);
    a.secret(c.password);
    a.secret(c.typedCode);
    a(c.token, c.fundAccounts, c.shareholders, c.holdings, c.orders, c.deals, c.pastOrders, c.pastDeals,
      c.bankBindings, c.credit, c.riskTolerance);
}
template <class A>
void simFields(A& a, SimBooks::Failures& f) {
    a(f.count, f.lockedUntil);
}
// The trade sessions are the running server's: none is kept.
template <class A>
void simFields(A& a, SimBooks& b) {
    a(b.branches, b.customers, b.lastOrderNumber_, b.failures_);
}
template <class A>
void simFields(A& a, SimTradeRoom& r) {
    a(r.books, r.tokenDirection, r.tokenRiskInfo, r.tokenPromotion, r.relatedAccounts);
}

// ---- the families' rooms ----
template <class A>
void simFields(A& a, SimOrdersRoom& r) {
    a(r.riskCodes, r.settledDay);
}
template <class A>
void simFields(A& a, SimBank& b) {
    a(b.code, b.name, b.bankPasswordFor, b.fundPasswordFor);
}
template <class A>
void simFields(A& a, SimBankRecord& r) {
    a(r.serial, r.time, r.business, r.bankname, r.fundid, r.moneytype, r.amount, r.note);
}
template <class A>
void simFields(A& a, SimBankRoom& r) {
    a(r.banks, r.history, r.lastSerial);
}
template <class A>
void simFields(A& a, SimExchangeProduct& p) {
    a(p.kind, p.code, p.name, p.market, p.stockCode, p.stockName, p.conversionPrice, p.putBackOpen, p.putBackPrice,
      p.nav, p.minimum);
}
template <class A>
void simFields(A& a, SimBondsRoom& r) {
    a(r.products);
}
template <class A>
void simFields(A& a, SimFundCompany& c) {
    a(c.tacode, c.name);
}
template <class A>
void simFields(A& a, SimFundType& t) {
    a(t.style, t.name);
}
template <class A>
void simFields(A& a, SimFund& f) {
    a(f.code, f.name, f.tacode, f.style, f.status, f.nav, f.risk, f.minimum, f.returns, f.rating, f.fixedInvestment);
}
template <class A>
void simFields(A& a, SimFundHolding& h) {
    a(h.code, h.units, h.available, h.dividendMethod);
}
template <class A>
void simFields(A& a, SimFundOrder& o) {
    a(o.sno, o.date, o.time, o.business, o.code, o.name, o.amount, o.units, o.redeemType, o.status);
}
template <class A>
void simFields(A& a, SimFundCustomer& c) {
    a(c.companyAccounts, c.holdings, c.orders, c.settledDay);
}
template <class A>
void simFields(A& a, SimFundsRoom& r) {
    a(r.companies, r.types, r.funds, r.customers, r.lastOrderNumber);
}
template <class A>
void simFields(A& a, SimRadarItem& i) {
    a(i.time, i.content);
}
template <class A>
void simFields(A& a, SimInfoRadarRoom& r) {
    a(r.items);
}
template <class A>
void simFields(A& a, SimMarginTarget& t) {
    a(t.financing, t.shortSelling, t.lendable, t.collateralRate);
}
template <class A>
void simFields(A& a, SimMarginRoom& r) {
    a(r.targets);
}
template <class A>
void simFields(A& a, SimMessage& m) {
    a(m.msgId, m.detailId, m.senderCode, m.senderName, m.sendTime, m.needConfirm, m.type, m.level, m.title, m.content,
      m.longText, m.channel, m.stockCode, m.stockName, m.url, m.delivered);
}
template <class A>
void simFields(A& a, SimMessageRoom& r) {
    a(r.messages, r.nextMessageId);
}
template <class A>
void simFields(A& a, SimNewIssue& i) {
    a(i.code, i.name, i.market, i.price, i.issueDate, i.issueQuantity, i.pe, i.maxQuantity, i.stockCode,
      i.allotPercent);
}
template <class A>
void simFields(A& a, SimNewIssuesRoom& r) {
    a(r.today, r.issues);
}
template <class A>
void simFields(A& a, SimArticle& x) {
    a(x.id, x.column, x.title, x.source, x.published, x.paragraphs, x.stockCode);
}
template <class A>
void simFields(A& a, SimNewsColumn& c) {
    a(c.id, c.title);
}
template <class A>
void simFields(A& a, SimNewsRoom& r) {
    a(r.columns, r.articles);
}
template <class A>
void simFields(A& a, SimPlan& p) {
    a(p.code, p.tacode, p.amount, p.weekly, p.payDay, p.beginDate, p.endDate, p.running);
}
// (A snapshot of version 1 kept the plans alone: SimSnapshot.cpp reads it.)
template <class A>
void simFields(A& a, SimPlansRoom& r) {
    a(r.plans, r.settledDay);
}
template <class A>
void simFields(A& a, SimPortfolioRoom& r) {
    a(r.ownStocks);
}
template <class A>
void simFields(A& a, SimRepoProduct& p) {
    a(p.code, p.name, p.market, p.yield, p.earlyYield, p.term);
}
template <class A>
void simFields(A& a, SimRepoDeal& d) {
    a(d.matchCode, d.matchDate, d.code, d.name, d.market, d.secuid, d.amount, d.status, d.paidBack);
}
template <class A>
void simFields(A& a, SimRepoRoom& r) {
    a(r.products, r.deals, r.lastMatchCode);
}
template <class A>
void simFields(A& a, SimSystemRoom& r) {
    a(r.registeredPhones, r.pushTokens, r.feedback, r.menuVersion, r.newestVersion);
}
template <class A>
void simFields(A& a, SimWarrant& w) {
    a(w.code, w.tradingCode, w.name, w.market, w.underlying, w.underlyingName, w.call, w.exercisePrice, w.ratio,
      w.expiry);
}
template <class A>
void simFields(A& a, SimWarrantsRoom& r) {
    a(r.warrants);
}
template <class A>
void simFields(A& a, SimWealthPlan& p) {
    a(p.code, p.name, p.status, p.risk, p.minimum, p.days, p.expectedYield);
}
template <class A>
void simFields(A& a, SimConversion& c) {
    a(c.sno, c.date, c.time, c.code, c.otherCode, c.units, c.redeemType, c.status);
}
template <class A>
void simFields(A& a, SimDividendSetting& s) {
    a(s.sno, s.date, s.time, s.code, s.method);
}
template <class A>
void simFields(A& a, SimAccountOpening& o) {
    a(o.sno, o.date, o.time, o.tacode, o.account, o.added, o.name, o.idType, o.idNo, o.sex, o.address, o.postCode,
      o.phone);
}
template <class A>
void simFields(A& a, SimPersonalData& p) {
    a(p.sex, p.idType, p.idNo, p.address, p.postCode);
}
template <class A>
void simFields(A& a, SimWealthCustomer& c) {
    a(c.conversions, c.dividendSettings, c.openings, c.settledDay);
}
template <class A>
void simFields(A& a, SimWealthRoom& r) {
    a(r.plans, r.personal, r.customers);
}
