// The idle handler both programs share: the update runs when the event loop is about to wait,
// only for a shown and enabled window, without a modal window and while nobody suspends it.
#include "IdleHandler.h"

#include <QDialog>
#include <QSignalSpy>
#include <QWidget>
#include <gtest/gtest.h>
#include <memory>

namespace {

TEST(IdleHandlerTest, RunsOnlyForAShownEnabledWindowWithoutModalOrSuspension) {
    QWidget window;
    int runs = 0;
    auto* idle = new vxg::TIdleHandler(&window, [&runs] { ++runs; });

    const struct {
        const char* name;
        bool shown, enabled, modal, suspended;
        bool runs;
    } cases[] = {
        {"hidden", false, true, false, false, false},   {"shown", true, true, false, false, true},
        {"disabled", true, false, false, false, false}, {"modal window open", true, true, true, false, false},
        {"suspended", true, true, false, true, false},
    };
    for (const auto& c : cases) {
        window.setVisible(c.shown);
        window.setEnabled(c.enabled);
        QDialog modal(&window);
        modal.setModal(true);
        modal.setVisible(c.modal);
        std::unique_ptr<vxg::TIdleSuspend> suspend;
        if (c.suspended)
            suspend = std::make_unique<vxg::TIdleSuspend>(*idle);
        runs = 0;
        EXPECT_EQ(idle->Run(), c.runs) << c.name;
        EXPECT_EQ(runs, c.runs ? 1 : 0) << c.name;
    }

    // From the event loop itself, once the window is shown again.
    QSignalSpy updated(idle, &vxg::TIdleHandler::Updated);
    window.setEnabled(true);
    window.show();
    EXPECT_TRUE(updated.wait(2000));
}

} // namespace
