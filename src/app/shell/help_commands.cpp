// The Help menu: its commands and their handlers.

#include "app/shell/about_dialog.h"
#include "app/shell/command_router.h"
#include "core/strings/strings.h"
#include "app/shell/network_check.h"
#include "app/shell/product_info.h"

namespace veltrane {

std::vector<CommandRouter::CommandRow> CommandRouter::helpCommands() {
    using M = CommandMenu;
    return {
        {CommandId::Content, M::Help, Str::ItemContent, Str::PromptContent, std::nullopt, {},
         &CommandRouter::onContent},
        {CommandId::About, M::Help, Str::ItemAbout, Str::PromptAbout, std::nullopt, {}, &CommandRouter::onAbout},
    };
}

void CommandRouter::onContent() {
    // Without a configured check nothing is known about the network, so the browser is tried;
    // with one, only a check that found the network reachable lets the page open.
    const NetworkCheck& check = m_context.networkCheck;
    const bool networkKnownDown = check.enabled() && check.lastResult() != std::optional<bool>(true);
    if (networkKnownDown) {
        m_context.document.prompter().messageWithDetail(veltrane::tr(Str::ProductLinkFailed),
                                                        veltrane::tr(Str::ProductLinkNetworkDown));
        return;
    }
    if (!m_context.openUrl || !m_context.openUrl(QUrl(QString::fromLatin1(kProductUrl))))
        m_context.document.prompter().messageWithDetail(veltrane::tr(Str::ProductLinkFailed),
                                                        format(Str::ProductLinkNoBrowser, {kProductUrl}));
}

void CommandRouter::onAbout() {
    auto* dialog = new AboutDialog(m_context.window);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->open();
}

} // namespace veltrane
