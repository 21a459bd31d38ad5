#include "platform/ui/UserInterface.h"

#include <unistd.h>

#include <atomic>
#include <iostream>

#include "platform/ui/ConsoleUserInterface.h"

namespace xan::plat {

namespace {

std::atomic<IUserInterface*> g_installed{nullptr};

IUserInterface& ConsoleDefault() {
    static ConsoleUserInterface console(std::cin, std::cout, std::cerr, isatty(STDIN_FILENO) == 1);
    return console;
}

}  // namespace

IUserInterface& UI() {
    IUserInterface* ui = g_installed.load(std::memory_order_acquire);
    return ui ? *ui : ConsoleDefault();
}

void SetUI(IUserInterface* ui) noexcept { g_installed.store(ui, std::memory_order_release); }

MsgBoxStyle DecodeMsgBoxStyle(Integer code) noexcept {
    auto bits = static_cast<std::uint32_t>(code);
    std::uint32_t buttons = bits & 7;
    std::uint32_t type = (bits >> 4) & 7;
    return {buttons <= 5 ? static_cast<DlgButtons>(buttons) : DlgButtons::Ok,
            type <= 3 ? static_cast<DlgType>(type) : DlgType::Information};
}

UString StandardCaption(DlgType type) {
    switch (type) {
        case DlgType::Error: return u"Error";
        case DlgType::Confirmation: return u"Confirm";
        case DlgType::Warning: return u"Warning";
        case DlgType::Information: break;
    }
    return u"Information";
}

DlgResult UnattendedAnswer(DlgButtons buttons) noexcept {
    switch (buttons) {
        case DlgButtons::AbortRetryIgnore: return DlgResult::Abort;
        case DlgButtons::YesNoCancel:
        case DlgButtons::YesNo: return DlgResult::Yes;
        case DlgButtons::RetryCancel: return DlgResult::Cancel;
        case DlgButtons::Ok:
        case DlgButtons::OkCancel: break;
    }
    return DlgResult::Ok;
}

}  // namespace xan::plat
