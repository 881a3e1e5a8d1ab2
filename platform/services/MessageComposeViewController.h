#pragma once
// The SMS composer: a sheet that shows the recipients and the text of a message
// the application prepared. "发送" hands the message to the device (here: the sent
// log, which tests and the simulated server read) and reports Sent, or Failed when
// the device refused it; "取消" reports Cancelled. As on the phone, the delegate
// dismisses the sheet.
#include "platform/uikit/UIViewController.h"

#include <functional>
#include <string>
#include <vector>

class UILabel;
class MFMessageComposeViewController;

enum class MessageComposeResult { Cancelled = 0, Sent = 1, Failed = 2 };

class MFMessageComposeViewControllerDelegate {
public:
    virtual ~MFMessageComposeViewControllerDelegate() = default;
    virtual void messageComposeViewControllerDidFinishWithResult(MFMessageComposeViewController& controller,
                                                                 MessageComposeResult result) = 0;
};

struct SentTextMessage {
    std::vector<std::string> recipients;
    std::string body;
    double time = 0;  // Clock seconds
};

// The messages the device sent. The handler (the simulated server's SMS gateway)
// decides whether the device manages to send: false makes the send fail.
class SentMessageLog {
public:
    static SentMessageLog& shared();
    const std::vector<SentTextMessage>& messages() const { return messages_; }
    void clear() { messages_.clear(); }
    void setSendHandler(std::function<bool(const SentTextMessage&)> h) { handler_ = std::move(h); }
    // Records a message; answers whether it went out.
    bool send(const SentTextMessage& message);

private:
    std::vector<SentTextMessage> messages_;
    std::function<bool(const SentTextMessage&)> handler_;
};

class MFMessageComposeViewController : public UIViewController {
public:
    MFMessageComposeViewController();
    ~MFMessageComposeViewController() override;

    // Whether the device can send text messages (a setting; true unless set false).
    static bool canSendText();
    static void setCanSendText(bool can);

    const std::vector<std::string>& recipients() const { return recipients_; }
    void setRecipients(std::vector<std::string> r);
    const std::string& body() const { return body_; }
    void setBody(const std::string& b);
    // Not owned: the owner clears it before it goes away.
    MFMessageComposeViewControllerDelegate* messageComposeDelegate() const { return delegate_; }
    void setMessageComposeDelegate(MFMessageComposeViewControllerDelegate* d) { delegate_ = d; }

    // What the two buttons do. send() does nothing without a recipient.
    void send();
    void cancel();
    // Whether the sheet has reported its result (it reports once).
    bool isFinished() const { return finished_; }

    void loadView() override;

private:
    void refresh();
    void finish(MessageComposeResult result);

    std::vector<std::string> recipients_;
    std::string body_;
    MFMessageComposeViewControllerDelegate* delegate_ = nullptr;
    bool finished_ = false;
    std::shared_ptr<UILabel> recipientsLabel_, bodyLabel_;
    std::shared_ptr<UIBarButtonItem> sendItem_;
};
