#pragma once
// What a screen made by the dispatcher can be handed: the menu item it was
// opened for and the message of the screen that opened it. The older screens
// (VTAViewControllers) have both; a newer screen that wants them implements
// this too, and the dispatcher and the menu lists fill it in.
#include <memory>

class VTAMenu;
class VTAMessage;

class VTAMenuScreen {
public:
    virtual ~VTAMenuScreen() = default;
    virtual void setViewMenu(std::shared_ptr<VTAMenu> menu) = 0;
    virtual std::shared_ptr<VTAMenu> viewMenu() const = 0;
    virtual void setViewMessage(std::shared_ptr<VTAMessage> message) = 0;
    virtual std::shared_ptr<VTAMessage> viewMessage() const = 0;
};
