// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "AppDelegate.h"
#include "AppWindowManager.h"
#include "ClipboardStore.h"
#include "FakeDialogs.h"
#include "HistoryCodec.h"
#include "MenuBarController.h"
#include "StoreHarness.h"

#include <QApplication>
#include <QTest>

namespace {

// The delegate launched over stand-ins: settings in memory (capture on),
// a history of three items in a temporary directory, a fake clipboard and
// dialogs answered from a queue.
struct Shell {
    Shell()
    {
        const QString history = dir.filePath(QStringLiteral("clipboard-history.json"));
        StoreHarness::writeFileAt(
            history, HistoryCodec::encode({makeItem(u"newest"_qs, localTime(2026, 12, 5, 9, 0)),
                                           makeItem(u"middle"_qs, localTime(2026, 12, 4, 9, 0)),
                                           makeItem(u"oldest"_qs, localTime(2026, 12, 3, 9, 0))}));
        delegate = std::make_unique<AppDelegate>(
            AppDelegate::Desktop{[] { return std::make_unique<MemorySettingsBackend>(); },
                                 [] { return std::make_unique<FakeLoginItem>(); },
                                 [this] {
                                     auto fake = std::make_unique<FakePasteboard>();
                                     pasteboard = fake.get();
                                     return fake;
                                 },
                                 [this](const Theme &) {
                                     auto fake = std::make_unique<FakeDialogs>();
                                     dialogs = fake.get();
                                     return fake;
                                 },
                                 history});
        delegate->applicationDidFinishLaunching();
    }
    ~Shell()
    {
        delegate.reset();
        qDeleteAll(QApplication::topLevelWidgets());
    }

    void ask(AppRequest::Action action, qint64 item = 0)
    {
        delegate->handleRequest({action, {}, item});
    }
    [[nodiscard]] bool historyShown() const
    {
        return delegate->shared().windowManager.isMainWindowVisible();
    }
    [[nodiscard]] bool popoverShown() const
    {
        return delegate->shared().menuBarController.isPopoverShown();
    }
    [[nodiscard]] static bool settingsShown()
    {
        const QWidgetList windows = QApplication::topLevelWidgets();
        return std::any_of(windows.begin(), windows.end(), [](const QWidget *window) {
            return window->isVisible() && window->objectName() == QLatin1String("settingsView");
        });
    }

    QTemporaryDir dir;
    FakePasteboard *pasteboard = nullptr;
    FakeDialogs *dialogs = nullptr;
    std::unique_ptr<AppDelegate> delegate;
};

} // namespace

// Every way in (tray, shortcut, command line, later launch) ends in
// handleRequest; these are its routes.
class TestAppDelegate : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void windowsOpenAsAsked()
    {
        Shell shell;
        QVERIFY(!shell.historyShown() && !shell.popoverShown() && !Shell::settingsShown());

        shell.ask(AppRequest::Action::togglePopover);
        QVERIFY(shell.popoverShown());
        shell.ask(AppRequest::Action::togglePopover);
        QVERIFY(!shell.popoverShown());

        // A later plain launch brings the history back only when nothing
        // of ours shows.
        shell.ask(AppRequest::Action::openSettings);
        QVERIFY(Shell::settingsShown());
        shell.ask(AppRequest::Action::reopen);
        QVERIFY(!shell.historyShown());
        shell.delegate->shared().windowManager.hideMainWindow();
        for (QWidget *window : QApplication::topLevelWidgets())
            window->hide();
        shell.ask(AppRequest::Action::reopen);
        QVERIFY(shell.historyShown());
    }

    void copyPutsTheNthNewestBack()
    {
        Shell shell;
        shell.ask(AppRequest::Action::copyItem, 2);
        QCOMPARE(shell.pasteboard->stringForType().value_or(QString()), u"middle"_qs);
        shell.ask(AppRequest::Action::copyItem, 3);
        QCOMPARE(shell.pasteboard->stringForType().value_or(QString()), u"oldest"_qs);
        // The history may have shrunk since the command line checked it.
        const qint64 before = shell.pasteboard->changeCount();
        shell.ask(AppRequest::Action::copyItem, 4);
        shell.ask(AppRequest::Action::copyItem, 0);
        QCOMPARE(shell.pasteboard->changeCount(), before);
        QVERIFY(!shell.historyShown() && !shell.popoverShown());
    }

    void quitAsksFirst()
    {
        Shell shell;
        ClipboardStore &store = shell.delegate->shared().store;
        QVERIFY(store.isMonitoring());
        shell.ask(AppRequest::Action::quit); // dismissed
        QCOMPARE(shell.dialogs->confirmations().size(), 1);
        QVERIFY(store.isMonitoring());
        shell.dialogs->pressButton(u"Quit Quillmark"_qs);
        shell.ask(AppRequest::Action::quit);
        QCOMPARE(shell.dialogs->confirmations().size(), 2);
        QVERIFY(!store.isMonitoring());
    }
};

QTEST_MAIN(TestAppDelegate)
#include "tst_AppDelegate.moc"
