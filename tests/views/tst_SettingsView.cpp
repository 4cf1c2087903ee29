// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "FakeDialogs.h"
#include "QtDialogs.h"
#include "SettingsView.h"
#include "SettingsWindow.h"
#include "StatusBanner.h"
#include "StoreHarness.h"
#include "TestFiles.h"
#include "Theme.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>
#include <QTest>
#include <QTimer>

namespace {

// A settings view over a store in a temporary directory, answered by a
// FakeDialogs unless the test brings other dialogs. The clock stands at
// 5 December 2026, 22:04:07 in Berlin.
struct Fixture {
    explicit Fixture(Dialogs *answering = nullptr)
    {
        harness.open();
        view =
            std::make_unique<SettingsView>(*harness.settings, *harness.store,
                                           answering ? *answering : dialogs, harness.clock, theme);
        view->show();
        (void)QTest::qWaitForWindowExposed(view.get());
    }

    void click(const char *name)
    {
        auto *button = view->findChild<QPushButton *>(QLatin1String(name));
        QVERIFY2(button, name);
        QTest::mouseClick(button, Qt::LeftButton);
    }
    [[nodiscard]] QComboBox *combo(const char *name) const
    {
        return view->findChild<QComboBox *>(QLatin1String(name));
    }
    // The banner's text, empty while it is hidden.
    [[nodiscard]] QString banner() const
    {
        if (view->findChild<QWidget *>(QStringLiteral("banner"))->isHidden())
            return {};
        return view->findChild<QLabel *>(QStringLiteral("bannerText"))->text();
    }
    [[nodiscard]] QString aboutValue(const char *name) const
    {
        return view->findChild<QLabel *>(QLatin1String(name))->text();
    }

    StoreHarness harness;
    Theme theme{*harness.settings};
    FakeDialogs dialogs;
    std::unique_ptr<SettingsView> view;
};

QList<ClipboardItem> todayAndYesterday(const QDateTime &now)
{
    return {makeItem(QStringLiteral("today"), now.addSecs(-3600)),
            makeItem(QStringLiteral("yesterday"), now.addDays(-1))};
}

// What the user sees of the banner: whether it shows an error.
bool bannerIsError(const SettingsView &view)
{
    const auto *banner = view.findChild<StatusBanner *>(QStringLiteral("banner"));
    return banner && banner->isError();
}

} // namespace

class TestSettingsView : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    // Cancelling any question, with the real dialogs, is keystrokeNeverConfirms'.
    void clearAsksFirst_data()
    {
        QTest::addColumn<QByteArray>("button");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QStringList>("remaining");
        QTest::addColumn<QString>("banner");
        QTest::newRow("today") << QByteArray("clearTodayButton") << "Delete Today"
                               << QStringList{QStringLiteral("yesterday")}
                               << "Today's history deleted successfully.";
        QTest::newRow("all") << QByteArray("clearAllButton") << "Delete All" << QStringList{}
                             << "History deleted successfully.";
    }

    void clearAsksFirst()
    {
        QFETCH(QByteArray, button);
        QFETCH(QString, answer);
        QFETCH(QStringList, remaining);
        QFETCH(QString, banner);

        Fixture f;
        f.harness.store->replaceAll(todayAndYesterday(f.harness.clock.now()));
        f.dialogs.pressButton(answer);
        f.click(button.constData());

        QCOMPARE(f.dialogs.confirmations().size(), 1);
        QCOMPARE(f.harness.contents(), remaining);
        QCOMPARE(f.banner(), banner);
        QVERIFY(!bannerIsError(*f.view));
    }

    void importAsksThenReplaces_data()
    {
        QTest::addColumn<bool>("chooseFile");
        QTest::addColumn<bool>("goodFile"); // a backup, or a file that holds no history
        QTest::addColumn<QStringList>("expected");
        QTest::addColumn<QString>("banner"); // for an error, how it starts

        const QStringList before{QStringLiteral("today"), QStringLiteral("yesterday")};
        QTest::newRow("file chosen")
            << true << true
            << QStringList{QStringLiteral("backup new"), QStringLiteral("backup old")}
            << "History imported successfully.";
        QTest::newRow("bad file chosen") << true << false << before << "Import failed: ";
        QTest::newRow("panel cancelled") << false << true << before << QString();
    }

    void importAsksThenReplaces()
    {
        QFETCH(bool, chooseFile);
        QFETCH(bool, goodFile);
        QFETCH(QStringList, expected);
        QFETCH(QString, banner);

        Fixture f;
        const QDateTime now = f.harness.clock.now();
        f.harness.store->replaceAll(todayAndYesterday(now));
        const QByteArray fileBefore = f.harness.fileBytes();
        const QString backup =
            f.harness.writeBackup({makeItem(QStringLiteral("backup old"), now.addDays(-3)),
                                   makeItem(QStringLiteral("expired"), now.addDays(-40)),
                                   makeItem(QStringLiteral("backup new"), now.addDays(-2))});
        if (!goodFile)
            QVERIFY(writeFileContents(backup, R"([{"content": "no id or time"}])"));

        f.dialogs.pressButton(QStringLiteral("Continue"));
        if (chooseFile)
            f.dialogs.chooseFile(backup);
        else
            f.dialogs.dismiss();
        f.click("importButton");

        QCOMPARE(f.dialogs.confirmations().size(), 1);
        QCOMPARE(f.dialogs.openRequests().size(), 1);
        QCOMPARE(f.harness.contents(), expected);
        if (goodFile) {
            QCOMPARE(f.banner(), banner);
        } else {
            // The reason follows the words.
            QVERIFY2(f.banner().startsWith(banner) && f.banner().size() > banner.size(),
                     qPrintable(f.banner()));
        }
        QCOMPARE(bannerIsError(*f.view), !goodFile);
        if (banner.isEmpty() || !goodFile)
            QCOMPARE(f.harness.fileBytes(), fileBefore);
    }

    void exportWritesTheWholeHistory_data()
    {
        QTest::addColumn<int>("target"); // 0 cancelled, 1 good path, 2 missing directory
        QTest::addColumn<QString>("bannerStart");
        QTest::addColumn<QDateTime>("now");
        QTest::addColumn<QString>("name"); // proposed
        // Proposed names in Berlin local time: 24-hour clock, time before date,
        // two-digit year.
        QTest::newRow("written, afternoon")
            << 1 << "History exported successfully."
            << QDateTime(QDate(2026, 12, 5), QTime(13, 5, 9), Qt::UTC)
            << "quillmark-backup-14-05-09_05.12.26.json";
        QTest::newRow("cancelled, just after midnight")
            << 0 << QString() << QDateTime(QDate(2026, 12, 31), QTime(23, 0, 1), Qt::UTC)
            << "quillmark-backup-00-00-01_01.01.27.json";
        QTest::newRow("missing directory, summer time")
            << 2 << "Export failed: " << QDateTime(QDate(2026, 7, 4), QTime(21, 59, 59), Qt::UTC)
            << "quillmark-backup-23-59-59_04.07.26.json";
    }

    void exportWritesTheWholeHistory()
    {
        QFETCH(int, target);
        QFETCH(QString, bannerStart);
        QFETCH(QDateTime, now);
        QFETCH(QString, name);

        Fixture f;
        f.harness.clock.set(now);
        f.harness.store->replaceAll(todayAndYesterday(now));
        const QString path = target == 2 ? f.harness.dir.filePath(QStringLiteral("gone/b.json"))
                                         : f.harness.dir.filePath(QStringLiteral("b.json"));
        if (target == 0)
            f.dialogs.dismiss();
        else
            f.dialogs.chooseFile(path);
        f.click("exportButton");

        QCOMPARE(f.dialogs.saveRequests().size(), 1);
        const Dialogs::FileRequest &request = f.dialogs.saveRequests().constFirst();
        QCOMPARE(request.proposedName, name);
        QVERIFY(!request.directory.isEmpty() && QDir(request.directory).exists());
        QVERIFY2(f.banner().startsWith(bannerStart) &&
                     f.banner().isEmpty() == bannerStart.isEmpty(),
                 qPrintable(f.banner()));
        QCOMPARE(bannerIsError(*f.view), target == 2);
        if (target == 1) {
            QCOMPARE(fileContents(path), HistoryCodec::encode(f.harness.store->items()));
            QCOMPARE(fileMode(path) & 0044, 0); // neither group nor others may read it
        }
    }

    void retentionChangeAsksFirst_data()
    {
        QTest::addColumn<RetentionPeriod>("chosen");
        QTest::addColumn<QString>("answer");
        QTest::newRow("shorter, changed") << RetentionPeriod::oneWeek << "Change";
        QTest::newRow("longer, changed") << RetentionPeriod::twelveMonths << "Change";
        QTest::newRow("cancelled") << RetentionPeriod::oneWeek << "Cancel";
    }

    void retentionChangeAsksFirst()
    {
        QFETCH(RetentionPeriod, chosen);
        QFETCH(QString, answer);
        const bool changed = answer == QLatin1String("Change");
        const RetentionPeriod stored = changed ? chosen : RetentionPeriod::oneMonth;

        Fixture f;
        f.harness.store->replaceAll(
            {makeItem(QStringLiteral("ten days old"), f.harness.clock.now().addDays(-10))});
        f.dialogs.pressButton(answer);
        QComboBox *picker = f.combo("retentionPicker");
        picker->setCurrentIndex(int(caseIndex(chosen)));

        // One question: putting the picker back after a cancel asks nothing.
        QCOMPARE(f.dialogs.confirmations().size(), 1);
        QCOMPARE(f.harness.settings->retentionPeriod(), stored);
        QCOMPARE(picker->currentIndex(), int(caseIndex(stored)));
        QCOMPARE(f.banner(), changed ? QStringLiteral("Retention period updated.") : QString());
        // A confirmed week prunes the ten-day-old clip; anything else keeps it.
        QCOMPARE(f.harness.store->items().size(), stored == RetentionPeriod::oneWeek ? 0 : 1);
    }

    void suppressionRowFollowsCaptureMode()
    {
        Fixture f;
        auto *row = f.view->findChild<QWidget *>(QStringLiteral("suppressionWindowRow"));
        f.harness.settings->setDuplicateSuppressionWindow(DuplicateSuppressionWindow::thirty);
        QVERIFY(row->isVisibleTo(f.view.get()));

        f.combo("captureModePicker")->setCurrentIndex(int(caseIndex(CaptureMode::recordEveryCopy)));
        QCOMPARE(f.harness.settings->captureMode(), CaptureMode::recordEveryCopy);
        QVERIFY(!row->isVisibleTo(f.view.get()));

        // Changed elsewhere, and the stored window comes back with the row.
        f.harness.settings->setCaptureMode(CaptureMode::suppressConsecutiveDuplicates);
        QVERIFY(row->isVisibleTo(f.view.get()));
        QCOMPARE(f.combo("suppressionWindowPicker")->currentText(), QStringLiteral("30 Seconds"));
        QCOMPARE(f.harness.settings->duplicateSuppressionWindow(),
                 DuplicateSuppressionWindow::thirty);
    }

    void aboutFollowsTheStore()
    {
        Fixture f;
        f.harness.store->replaceAll(todayAndYesterday(f.harness.clock.now()));
        QTRY_COMPARE(f.aboutValue("entriesValue"), QStringLiteral("2"));
        f.harness.store->handleCopiedText(QStringLiteral("a new copy"));
        QTRY_COMPARE(f.aboutValue("entriesValue"), QStringLiteral("3"));
        QTRY_COMPARE(f.aboutValue("storageValue"),
                     SettingsView::formattedFileSize(f.harness.fileBytes().size()));

        QFile::remove(f.harness.historyPath);
        f.harness.store->clearAll();
        QTRY_COMPARE(f.aboutValue("entriesValue"), QStringLiteral("0"));
    }

    void fileSizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("one") << qint64(1) << "1 byte";
        QTest::newRow("under a kilobyte") << qint64(999) << "999 bytes";
        QTest::newRow("a kilobyte") << qint64(1000) << "1 KB";
        QTest::newRow("megabytes") << qint64(1'234'567) << "1.2 MB";
        QTest::newRow("rounds up to a megabyte") << qint64(999'600) << "1 MB";
    }

    void fileSizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(SettingsView::formattedFileSize(bytes), text);
    }

    void oneWindowOnly()
    {
        StoreHarness harness;
        harness.open();
        FakeDialogs dialogs;
        Theme theme(*harness.settings);
        SettingsWindow window(*harness.settings, *harness.store, dialogs, harness.clock, theme);
        window.showOrRaise();
        SettingsView *first = window.view();
        QVERIFY(first && first->isVisible());
        first->close();
        QVERIFY(!first->isVisible());
        window.showOrRaise();
        QCOMPARE(window.view(), first);
        QVERIFY(first->isVisible());
    }

    void keystrokeNeverConfirms_data()
    {
        QTest::addColumn<QByteArray>("control");
        QTest::addColumn<int>("key");
        for (const char *control :
             {"clearTodayButton", "clearAllButton", "importButton", "retentionPicker"})
            for (const auto &[name, key] :
                 {std::pair{"Return", Qt::Key_Return}, std::pair{"Escape", Qt::Key_Escape}})
                QTest::addRow("%s, %s", control, name) << QByteArray(control) << int(key);
    }

    // The real dialogs, answered from the keyboard: Return presses the default
    // button, which is never the one that deletes, and Escape cancels.
    void keystrokeNeverConfirms()
    {
        QFETCH(QByteArray, control);
        QFETCH(int, key);

        QtDialogs dialogs;
        Fixture f(&dialogs);
        const QDateTime now = f.harness.clock.now();
        const QList<ClipboardItem> history{makeItem(QStringLiteral("today"), now.addSecs(-3600)),
                                           makeItem(QStringLiteral("old"), now.addDays(-10))};
        f.harness.store->replaceAll(history);

        // Answers the question with the key; any dialog after it (the import's
        // file dialog) is a wrong answer and is closed.
        int dialogsSeen = 0;
        QWidget *current = nullptr;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, f.view.get(), [&] {
            QWidget *modal = QApplication::activeModalWidget();
            if (!modal || modal == current)
                return;
            current = modal;
            ++dialogsSeen;
            QWidget *target = modal->focusWidget() ? modal->focusWidget() : modal;
            QTest::keyClick(target, dialogsSeen == 1 ? Qt::Key(key) : Qt::Key_Escape);
        });
        answer.start();
        if (control == "retentionPicker")
            f.combo(control.constData())->setCurrentIndex(int(caseIndex(RetentionPeriod::oneWeek)));
        else
            f.click(control.constData());

        QCOMPARE(dialogsSeen, 1);
        QCOMPARE(f.harness.store->items(), history);
        QCOMPARE(f.harness.settings->retentionPeriod(), RetentionPeriod::oneMonth);
        QVERIFY(f.banner().isEmpty());
    }
};

QTEST_MAIN(TestSettingsView)
#include "tst_SettingsView.moc"
