#include "app/shell/about_dialog.h"
#include "app/shell/bottom_pane.h"
#include "app/shell/command_router.h"
#include "support/gui_test_support.h"
#include "app/shell/network_check.h"
#include "app/shell/product_info.h"

#include <QDir>
#include <QSignalSpy>
#include <QSplashScreen>
#include <QTcpServer>
#include <QTest>

#include "app/shell/splash_screen.h"

#include <gtest/gtest.h>

using namespace veltrane;
using namespace veltrane::test;

namespace {
const char* const kLinkFailed = "Failed to open the product link, please check the network status!";

// A loopback port with nothing listening on it.
quint16 closedPort() {
    QTcpServer server;
    EXPECT_TRUE(server.listen(QHostAddress::LocalHost));
    const quint16 port = server.serverPort();
    server.close();
    return port;
}

NetworkCheckTarget loopback(quint16 port) {
    NetworkCheckTarget target;
    target.host = QStringLiteral("127.0.0.1");
    target.port = port;
    target.timeoutMs = 3000;
    return target;
}
} // namespace

TEST(Content, OpensTheProductPageWhenTheLastCheckReachedTheNetwork) {
    ensureApplication();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    WindowHarness h(loopback(server.serverPort()));
    QSignalSpy checked(&h.window->networkCheck(), &NetworkCheck::checked);
    ASSERT_TRUE(checked.count() > 0 || checked.wait(5000));
    EXPECT_TRUE(checked.at(0).at(0).toBool());
    EXPECT_TRUE(h.window->bottomPane().newsText().startsWith("The network is reachable"));

    h.window->router().trigger(CommandId::Content);
    ASSERT_EQ(h.openedUrls.size(), 1u);
    EXPECT_EQ(h.openedUrls[0], QUrl(QString::fromLatin1(kProductUrl)));
    EXPECT_TRUE(h.prompter.shown().empty());

    // The browser fails to start.
    h.browserWorks = false;
    h.window->router().trigger(CommandId::Content);
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{std::string(kLinkFailed) +
                                                             "\nNo web browser could be started to show " +
                                                             kProductUrl + "."}));
}

TEST(Content, RefusesWhenTheNetworkWasNotReachable) {
    WindowHarness h(loopback(closedPort()));
    QSignalSpy checked(&h.window->networkCheck(), &NetworkCheck::checked);
    ASSERT_TRUE(checked.count() > 0 || checked.wait(5000));
    EXPECT_FALSE(checked.at(0).at(0).toBool());
    EXPECT_TRUE(h.window->bottomPane().newsText().startsWith("The network is not reachable"));

    h.window->router().trigger(CommandId::Content);
    EXPECT_TRUE(h.openedUrls.empty());
    EXPECT_EQ(h.prompter.shown(), (std::vector<std::string>{std::string(kLinkFailed) +
                                                             "\nThe last network check did not reach the network."}));
}

TEST(Content, WithoutACheckTheBrowserIsTried) {
    WindowHarness h; // the check is off
    EXPECT_FALSE(h.window->networkCheck().enabled());
    EXPECT_EQ(h.window->bottomPane().newsText(), "The network check is off.");
    h.window->router().trigger(CommandId::Content);
    EXPECT_EQ(h.openedUrls.size(), 1u);
}

TEST(NetworkCheck, RepeatsAtItsInterval) {
    ensureApplication();
    QTcpServer server;
    ASSERT_TRUE(server.listen(QHostAddress::LocalHost));
    NetworkCheckTarget target = loopback(server.serverPort());
    target.intervalMs = 50;
    NetworkCheck check(target);
    QSignalSpy checked(&check, &NetworkCheck::checked);
    check.start();
    for (int i = 0; i < 50 && checked.count() < 3; ++i)
        checked.wait(200);
    EXPECT_GE(checked.count(), 3);
    server.close();
    checked.clear();
    ASSERT_TRUE(checked.wait(5000));
    EXPECT_FALSE(check.lastResult().value_or(true)) << "a server that went away is noticed";
}

TEST(Periphery, AboutShowsNameAndVersionWithoutTouchingTheProject) {
    WindowHarness h;
    h.window->show();
    const Project before = h.window->document().project();
    h.window->router().trigger(CommandId::About);
    auto* about = h.window->findChild<AboutDialog*>("aboutDialog");
    ASSERT_NE(about, nullptr);
    EXPECT_TRUE(about->isVisible());
    EXPECT_EQ(about->versionText(), QStringLiteral("Veltrane Version " VELTRANE_EXPECTED_VERSION));
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(about->grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/about.png")));
    about->accept();
    EXPECT_FALSE(about->isVisible());
    EXPECT_TRUE(h.window->document().project() == before);
    EXPECT_FALSE(h.window->document().state().ProjectModified);
}

TEST(Periphery, SplashClosesOnceTheWindowIsShown) {
    WindowHarness h;
    auto splash = makeSplashScreen();
    splash->show();
    EXPECT_TRUE(splash->isVisible());
    QDir().mkpath(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots"));
    EXPECT_TRUE(splash->grab().save(QStringLiteral(VELTRANE_BINARY_DIR "/screenshots/splash.png")));
    h.window->show();
    splash->finish(h.window.get());
    EXPECT_FALSE(splash->isVisible());
}
