// The own-stock list editor: opening, reorder and delete by finger, saving to
// the server or the table, cancelling, and adding the trading account's
// holdings.
#include "core/Utilities.h"
#include "tests/quotes/PortfolioTestSupport.h"
#include "tests/support/TradeLoginSupport.h"

namespace {

class EditPortfolioTest : public PortfolioTest {
protected:
    // "编辑" on the portfolio screen; waits for the editor's list.
    EditPortfolioViewController* openEditor() {
        if (!portfolio && !openPortfolio(false)) return nullptr;
        EXPECT_TRUE(settled());
        if (!host.tapText("编辑")) return nullptr;
        settle();
        EXPECT_TRUE(settled());
        return editor();
    }
    EditPortfolioViewController* editor() const {
        auto* modal = dynamic_cast<UINavigationController*>(nav->modalViewController());
        return modal ? dynamic_cast<EditPortfolioViewController*>(modal->topViewController()) : nullptr;
    }
    std::vector<std::string> editorIds() const {
        std::vector<std::string> out;
        for (const auto& s : editor()->tableData()) out.push_back(s->stockId());
        return out;
    }
    UITableViewCell* editorCell(int row) {
        auto* table = editor()->tableView();
        table->window()->layoutIfNeeded();
        return table->cellForRowAtIndexPath({0, row}).get();
    }
    // The row's grip dragged down by `rows` rows.
    void dragRow(int row, int rows) {
        auto* cell = editorCell(row);
        ASSERT_TRUE(cell && cell->reorderControl());
        CGRect g = cell->reorderControl()->convertRectToView(cell->reorderControl()->bounds(), nullptr);
        double x = g.origin.x + g.size.width / 2, y = g.origin.y + g.size.height / 2;
        host.drag(x, y, x, y + rows * editor()->tableView()->rowHeight(), 8);
        settle(0.3);
    }
    void deleteRow(int row) {
        auto* cell = editorCell(row);
        ASSERT_TRUE(cell && cell->editingControl());
        tapView(cell->editingControl());
        ASSERT_TRUE(cell->showingDeleteConfirmation());
        tapView(cell->deleteConfirmationButton());
    }
    bool editorClosed() {
        return waitFor([&] { return editor() == nullptr; }) && (settle(), true);
    }
};

}  // namespace

TEST_F(EditPortfolioTest, ItOpensWithTheServersListAndNamesInEditing) {
    liveOnServerAndDownloaded();
    storeLocally({"600000.2"});
    storeOnServer({"600036.2", "000002.1", "600519.2"});
    ASSERT_TRUE(openEditor());
    auto lists = sim->requestsOf(3710, 2);
    ASSERT_EQ(lists.size(), 1u);
    EXPECT_EQ(fieldOf(lists[0], "isreturnhq"), "1");
    EXPECT_EQ(fieldOf(lists[0], "field"), "3|1|4");
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"600036.2", "000002.1", "600519.2"}));
    EXPECT_EQ(localIds(), editorIds());
    EXPECT_EQ(portfolioTable().listPortfolioStocks()[1]->name(), "万科Ａ");
    EXPECT_TRUE(editor()->tableView()->isEditing());
    EXPECT_EQ(editorCell(0)->textLabel()->text(), "招商银行");
    EXPECT_EQ(editorCell(0)->detailTextLabel()->text(), "600036");
    EXPECT_TRUE(host.isTextVisible("自选股编辑") && host.isTextVisible("添加持仓股"));
    saveScreenshot("editor");

    // Nothing edited: "完成" closes at once and sends nothing.
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(editorClosed());
    EXPECT_TRUE(sim->requestsOf(3710, 5).empty());
}

TEST_F(EditPortfolioTest, AListTheServerDoesNotGiveLeavesTheTableAndIsSaidOnlyWhenItAnswered) {
    liveOnServerAndDownloaded();
    storeLocally({"600000.2"});
    storeOnServer({"600036.2", "000002.1"});
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(settled());
    struct Case {
        const char* name;
        std::function<void()> answer;
        const char* text;  // "" none
    };
    const std::vector<Case> cases = {
        {"not given, though stocks came with it",
         [&] {
             sim->answerNext(PortfolioContract::kDownload, TCRSWriter()
                                                               .beginSet()
                                                               .addField("result", TCRSFieldType::Integer, 4)
                                                               .addField("message", TCRSFieldType::VarText)
                                                               .addRecord({0, "用户未登记"})
                                                               .beginSet()
                                                               .addField("code", TCRSFieldType::VarText)
                                                               .addField("exchid", TCRSFieldType::Integer, 4)
                                                               .addField("name", TCRSFieldType::VarText)
                                                               .addRecord({"600036", 2, "招商银行"})
                                                               .bytes());
         },
         "下载自选股失败"},
        {"unreadable", [&] { sim->answerNext(PortfolioContract::kDownload, {9, 9, 9}); }, "数据解析错误"},
        {"line lost", [&] { sim->dropConnection(3710, 2); }, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        c.answer();
        ASSERT_TRUE(host.tapText("编辑"));
        ASSERT_TRUE(waitFor([&] { return editor() && !editor()->hasRequestInFlight(); }));
        settle();
        if (*c.text) {
            EXPECT_EQ(topAlertTitle(), c.text);
            ASSERT_TRUE(host.pressAlertButton("确定"));
        } else {
            EXPECT_FALSE(topAlert()) << "the lists fail silently on the way";
        }
        EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2"}));
        EXPECT_EQ(editorIds(), localIds()) << "the table, as it stands";
        ASSERT_TRUE(host.tapText("取消"));
        ASSERT_TRUE(editorClosed());
    }
    // Kept on the phone, the quote server's names lost on the line say nothing either.
    keptOnPhoneOnly();
    sim->dropConnection(31000, 4);
    ASSERT_TRUE(host.tapText("编辑"));
    ASSERT_TRUE(waitFor([&] { return editor() && !editor()->hasRequestInFlight(); }));
    settle();
    EXPECT_FALSE(topAlert());
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"600000.2"}));
}

TEST_F(EditPortfolioTest, ReorderedAndTrimmedTheListIsSavedOnceOnTheServerAndTheTable) {
    startWith({"600000.2", "000001.1", "600036.2", "000002.1"});
    ASSERT_TRUE(openEditor());
    dragRow(0, 2);
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"000001.1", "600036.2", "600000.2", "000002.1"}));
    deleteRow(3);
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"000001.1", "600036.2", "600000.2"}));
    EXPECT_TRUE(editor()->isEdited());
    saveScreenshot("edited");

    // "完成" again while the save is on its way: still one save.
    sim->holdReply(3710, 5);
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(editor()->isUpdateSuccess());
    editor()->doneAction();
    sim->releaseHeldReplies();
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "编辑自选股成功"; }));
    auto saves = sim->requestsOf(3710, 5);
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(fieldOf(saves[0], "code"), "000001.1|600036.2|600000.2");
    EXPECT_EQ(serverIds(), (std::vector<std::string>{"000001.1", "600036.2", "600000.2"}));
    EXPECT_EQ(localIds(), serverIds());
    EXPECT_EQ(portfolioTable().listPortfolioStocks()[0]->name(), "平安银行") << "names kept";
    saveScreenshot("saved");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(editorClosed());
    // Back on the portfolio: the new list in its order.
    ASSERT_TRUE(settled());
    EXPECT_EQ(rowNames(), (std::vector<std::string>{"平安银行", "招商银行", "浦发银行"}));
}

TEST_F(EditPortfolioTest, AFailedSaveKeepsTheEditsAndDoneWorksAgain) {
    startWith({"600000.2", "000001.1"});
    ASSERT_TRUE(openEditor());
    deleteRow(0);
    sim->forceErrorSet(-1, "自选股服务暂停", 3710, 5);
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "自选股服务暂停"; }));
    EXPECT_FALSE(editor()->isUpdateSuccess());
    ASSERT_TRUE(host.pressAlertButton("确定"));
    // Refused by the server ("result" 0): its message under the failure.
    sim->answerNext(PortfolioContract::kReplace, TCRSWriter()
                                                     .beginSet()
                                                     .addField("result", TCRSFieldType::Integer, 4)
                                                     .addField("message", TCRSFieldType::VarText)
                                                     .addRecord({0, "自选股已满"})
                                                     .bytes());
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "编辑自选股失败"; }));
    EXPECT_EQ(topAlert()->message(), "自选股已满");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    // The connection lost on the way: its description.
    sim->dropConnection(3710, 5);
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    EXPECT_FALSE(topAlertTitle().empty());
    ASSERT_TRUE(host.pressAlertButton("确定"));
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600000.2", "000001.1"}));
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"000001.1"}));
    // And then it goes through.
    ASSERT_TRUE(host.tapText("完成"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "编辑自选股成功"; }));
    EXPECT_EQ(sim->requestsOf(3710, 5).size(), 4u);
    EXPECT_EQ(localIds(), (std::vector<std::string>{"000001.1"}));
}

TEST_F(EditPortfolioTest, CancelAsksOnlyAfterEdits) {
    startWith({"600000.2", "000001.1"});
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(host.tapText("取消"));
    ASSERT_TRUE(editorClosed());
    EXPECT_FALSE(topAlert());

    ASSERT_TRUE(openEditor());
    deleteRow(1);
    ASSERT_TRUE(host.tapText("取消"));
    EXPECT_EQ(topAlertTitle(), "您已编辑自选股，是否保存?");
    saveScreenshot("ask");
    ASSERT_TRUE(host.pressAlertButton("取消"));
    ASSERT_TRUE(editorClosed());
    EXPECT_EQ(serverIds(), (std::vector<std::string>{"600000.2", "000001.1"}));
    EXPECT_EQ(localIds(), serverIds());

    ASSERT_TRUE(openEditor());
    deleteRow(1);
    ASSERT_TRUE(host.tapText("取消"));
    ASSERT_TRUE(host.pressAlertButton("保存"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "编辑自选股成功"; }));
    EXPECT_EQ(serverIds(), (std::vector<std::string>{"600000.2"}));
    EXPECT_EQ(localIds(), serverIds());
}

TEST_F(EditPortfolioTest, KeptOnThePhoneTheQuoteServerOnlyNamesTheRowsAndDoneStoresTheTable) {
    keptOnPhoneOnly();
    storeLocally({"600000.2", "000001.1"});
    storeOnServer({"600000.2", "000001.1"});
    ASSERT_TRUE(openPortfolio());
    ASSERT_TRUE(settled());
    keptOnPhoneOnly();  // the upload on the way in made the server the keeper
    // A stock the quote server does not know stays in the list, unnamed.
    storeLocally({"600000.2", "999999.1", "000001.1"});
    ASSERT_TRUE(openEditor());
    auto names = sim->requestsOf(31000, 4).back();
    EXPECT_EQ(fieldOf(names, "field"), "3|1|4");
    EXPECT_EQ(fieldOf(names, "code"), "600000.2|999999.1|000001.1");
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"600000.2", "999999.1", "000001.1"}));
    EXPECT_EQ(editorCell(0)->textLabel()->text(), "浦发银行");
    EXPECT_EQ(editorCell(1)->textLabel()->text(), "");
    EXPECT_TRUE(sim->requestsOf(3710, 2).empty());

    dragRow(2, -2);
    EXPECT_EQ(editorIds(), (std::vector<std::string>{"000001.1", "600000.2", "999999.1"}));
    ASSERT_TRUE(host.tapText("完成"));
    EXPECT_EQ(localIds(), (std::vector<std::string>{"000001.1", "600000.2", "999999.1"}));
    ASSERT_TRUE(editorClosed());
    EXPECT_TRUE(sim->requestsOf(3710, 5).empty()) << "kept on the phone: only the table";
}

TEST_F(EditPortfolioTest, AnEmptyTableFirstTimeTurnsToTheServerAndAnEmptyListThereIsNoFailure) {
    keptOnPhoneOnly();
    storeOnServer({});
    ASSERT_TRUE(openEditor());
    EXPECT_TRUE(ownStocksLiveOnServer());
    EXPECT_EQ(sim->requestsOf(3710, 2).size(), 2u) << "the portfolio's download, then the editor's list";
    EXPECT_FALSE(topAlert()) << "an empty list is a list";
    EXPECT_TRUE(editor()->tableData().empty());
    EXPECT_TRUE(isPortfolioDownloaded());
    // A refusal says so.
    sim->forceErrorSet(-1, "查询自选股失败", 3710, 2);
    ASSERT_TRUE(host.tapText("取消"));
    ASSERT_TRUE(editorClosed());
    ASSERT_TRUE(host.tapText("编辑"));
    ASSERT_TRUE(waitFor([&] { return topAlert() != nullptr; }));
    EXPECT_EQ(topAlertTitle(), "查询自选股失败");
}

TEST_F(EditPortfolioTest, HoldingsNeedATradeLoginAndAreAddedToTheServersList) {
    startWith({"600519.2"});
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(host.tapText("添加持仓股"));
    EXPECT_EQ(topAlertTitle(), EditPortfolioViewController::kNoTradeTitle);
    EXPECT_EQ(topAlert()->message(), EditPortfolioViewController::kNoTradeText);
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(host.tapText("取消"));
    ASSERT_TRUE(editorClosed());

    ASSERT_TRUE(logInToTrade(kTradeCustomerA));
    ASSERT_EQ(top(), portfolio.get());
    ASSERT_TRUE(openEditor());
    // Edits first: the customer removes 贵州茅台, then adds the holdings.
    deleteRow(0);
    ASSERT_TRUE(host.tapText("添加持仓股"));
    EXPECT_EQ(topAlertTitle(), "是否将当前帐户0101****1234的持仓股加入自选股");
    saveScreenshot("holdings-question");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "添加持仓股成功"; }));
    auto save = sim->requestsOf(3710, 5);
    auto bind = sim->requestsOf(3710, 6);
    ASSERT_EQ(save.size(), 1u);
    ASSERT_EQ(bind.size(), 1u);
    EXPECT_EQ(fieldOf(save[0], "code"), "");
    EXPECT_EQ(fieldOf(bind[0], "inputid"), "010110001234");
    // The account's stocks (the bond is no quote of the list's kind but a stock id all the same).
    const std::vector<std::string> holdings = serverIds();
    EXPECT_TRUE(std::find(holdings.begin(), holdings.end(), "600519.2") == holdings.end());
    for (const char* id : {"000001.1", "000002.1", "600000.2", "600036.2"})
        EXPECT_TRUE(std::find(holdings.begin(), holdings.end(), id) != holdings.end()) << id;
    EXPECT_EQ(localIds(), holdings);
    // The rows go on showing names, not bare codes.
    ASSERT_TRUE(settled());
    for (int row = 0; row < static_cast<int>(holdings.size()); ++row) {
        EXPECT_GE(utf8Length(editorCell(row)->textLabel()->text()), 2u) << holdings[static_cast<size_t>(row)];
        EXPECT_FALSE(editor()->tableData()[static_cast<size_t>(row)]->name().empty());
    }
    EXPECT_TRUE(host.isTextVisible("平安银行"));
    saveScreenshot("holdings-added");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(editorClosed());
    ASSERT_TRUE(settled());
    EXPECT_EQ(portfolio->tableData().size(), holdings.size());
}

TEST_F(EditPortfolioTest, KeptOnThePhoneTheHoldingsAreAddedAndNothingIsTakenAway) {
    ASSERT_TRUE(logInToTrade(kTradeCustomerC));
    keptOnPhoneOnly();
    storeOnServer({});
    storeLocally({"600519.2"});
    ASSERT_TRUE(openPortfolio());
    keptOnPhoneOnly();
    storeLocally({"600519.2", "000063.1"});
    ASSERT_TRUE(openEditor());
    ASSERT_TRUE(host.tapText("添加持仓股"));
    EXPECT_EQ(topAlertTitle(), "是否将当前帐户0102****9999的持仓股加入自选股");
    ASSERT_TRUE(host.pressAlertButton("确定"));
    ASSERT_TRUE(waitFor([&] { return topAlertTitle() == "添加持仓股成功"; }));
    EXPECT_EQ(localIds(), (std::vector<std::string>{"600519.2", "000063.1", "000651.1"}));
    ASSERT_TRUE(settled());
    std::vector<std::string> names;
    for (const auto& s : editor()->tableData()) names.push_back(s->name());
    EXPECT_EQ(names, (std::vector<std::string>{"贵州茅台", "中兴通讯", "格力电器"}));
}

TEST(EditPortfolioMasking, ShortAccountsAreHiddenWholeLongOnesInTheMiddle) {
    EXPECT_EQ(EditPortfolioViewController::maskedFundId("10001234"), "******");
    EXPECT_EQ(EditPortfolioViewController::maskedFundId(""), "******");
    EXPECT_EQ(EditPortfolioViewController::maskedFundId("123456789"), "1234****9");
    EXPECT_EQ(EditPortfolioViewController::maskedFundId("010110001234"), "0101****1234");
}
