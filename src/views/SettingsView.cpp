// SPDX-FileCopyrightText: 2026 The Quillmark developers
// SPDX-License-Identifier: GPL-3.0-or-later

#include "SettingsView.h"

#include "AppSettings.h"
#include "ClipboardStore.h"
#include "Clock.h"
#include "Dialogs.h"
#include "KeyCombinationLabel.h"
#include "SettingsLabels.h"
#include "StatusBanner.h"
#include "Theme.h"
#include "ToggleSwitch.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QGraphicsDropShadowEffect>
#include <QHBoxLayout>
#include <QLabel>
#include <QLocale>
#include <QPainter>
#include <QPushButton>
#include <QScrollArea>
#include <QStandardPaths>
#include <QTimer>
#include <QVBoxLayout>

namespace {

constexpr int rowInset = 14;

const QString importMessage =
    QStringLiteral("Retention Period should match the timeline of your backup file.\n\n"
                   "Only the selected retention period is displayed in the Data Board.\n\n"
                   "Remaining data is not shown.");

// One group of rows on a rounded plate, with hairlines between the rows.
class GroupCard : public QWidget {
public:
    explicit GroupCard(QWidget *parent) : QWidget(parent), m_layout(new QVBoxLayout(this))
    {
        m_layout->setContentsMargins(0, 2, 0, 2);
        m_layout->setSpacing(0);
    }

    void addRow(QWidget *row) { m_layout->addWidget(row); }
    void setColors(const QColor &fill, const QColor &separator)
    {
        m_fill = fill;
        m_separator = separator;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(m_separator, 1));
        painter.setBrush(m_fill);
        painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), 10, 10);

        QList<QWidget *> visibleRows;
        for (int i = 0; i < m_layout->count(); ++i)
            if (QWidget *row = m_layout->itemAt(i)->widget(); row && row->isVisible())
                visibleRows.append(row);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (qsizetype i = 0; i + 1 < visibleRows.size(); ++i) {
            const int y = visibleRows[i]->geometry().bottom() + 1;
            painter.drawLine(rowInset, y, width() - rowInset, y);
        }
    }

private:
    QVBoxLayout *m_layout;
    QColor m_fill;
    QColor m_separator;
};

// A row of the form: the label on the left, `control` on the right.
QWidget *formRow(QWidget *parent, const QString &label, QWidget *control)
{
    auto *row = new QWidget(parent);
    auto *layout = new QHBoxLayout(row);
    layout->setContentsMargins(rowInset, 9, rowInset, 9);
    layout->setSpacing(12);
    auto *text = new QLabel(label, row);
    text->setFont(Theme::font(13));
    layout->addWidget(text, 0, Qt::AlignVCenter);
    layout->addStretch(1);
    if (control) {
        // A screen reader reads the row's label with the control (a button
        // says what it does and where: "Delete (Clear Today)"); a value
        // label reads its value.
        if (!qobject_cast<QLabel *>(control)) {
            text->setBuddy(control);
            const auto *button = qobject_cast<QPushButton *>(control);
            if (control->accessibleName().isEmpty())
                control->setAccessibleName(
                    button ? QStringLiteral("%1 (%2)").arg(button->text(), label) : label);
        }
        control->setParent(row);
        layout->addWidget(control, 0, Qt::AlignVCenter);
    }
    row->setMinimumHeight(44);
    return row;
}

template <typename E> QComboBox *picker(QWidget *parent, const char *name)
{
    auto *combo = new QComboBox(parent);
    combo->setObjectName(QLatin1String(name));
    for (E value : allCases<E>())
        combo->addItem(SettingsLabels::label(value));
    combo->setMinimumWidth(220);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    return combo;
}

template <typename E> E caseAt(int index)
{
    const auto cases = allCases<E>();
    return cases[static_cast<std::size_t>(qBound(0, index, int(cases.size()) - 1))];
}

template <typename E> void select(QComboBox *combo, E value)
{
    const QSignalBlocker blocker(combo);
    combo->setCurrentIndex(static_cast<int>(caseIndex(value)));
}

} // namespace

SettingsView::SettingsView(AppSettings &settings, ClipboardStore &store, Dialogs &dialogs,
                           const Clock &clock, const Theme &theme, QWidget *parent)
    : QWidget(parent), m_settings(settings), m_store(store), m_dialogs(dialogs), m_clock(clock),
      m_theme(theme), m_retentionSelection(settings.retentionPeriod()),
      m_bannerTimer(new QTimer(this)), m_statisticsTimer(new QTimer(this))
{
    setObjectName(QStringLiteral("settingsView"));
    setWindowTitle(QStringLiteral("Settings"));
    setMinimumSize(700, 820);
    resize(900, 820);

    m_bannerTimer->setObjectName(QStringLiteral("bannerTimer"));
    m_bannerTimer->setSingleShot(true);
    m_bannerTimer->setInterval(3000);
    connect(m_bannerTimer, &QTimer::timeout, this, [this] { m_banner->hide(); });
    m_statisticsTimer->setSingleShot(true);
    m_statisticsTimer->setInterval(0);
    connect(m_statisticsTimer, &QTimer::timeout, this, &SettingsView::refreshStatistics);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(24, 24, 24, 24);
    layout->setSpacing(16);
    layout->addWidget(buildHeader());
    m_banner = new StatusBanner(m_theme, this);
    m_banner->setObjectName(QStringLiteral("banner"));
    m_banner->hide();
    layout->addWidget(m_banner);
    layout->addWidget(buildForm(), 1);

    // All pickers one width, so that their left edges line up down the form.
    const QList<QComboBox *> pickers{m_retentionPicker,    m_captureModePicker, m_suppressionPicker,
                                     m_previewLinesPicker, m_themePicker,       m_fontSizePicker,
                                     m_accentPicker};
    int pickerWidth = 0;
    for (QComboBox *picker : pickers)
        pickerWidth = std::max(pickerWidth, picker->sizeHint().width());
    for (QComboBox *picker : pickers)
        picker->setFixedWidth(pickerWidth);

    syncControls();
    applyTheme();
    refreshStatistics();
    connect(&m_theme, &Theme::changed, this, &SettingsView::applyTheme);

    connect(&m_settings, &AppSettings::launchAtLoginChanged, this, &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::startMonitoringImmediatelyChanged, this,
            &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::showDockIconChanged, this, &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::retentionPeriodChanged, this,
            &SettingsView::revertRetentionSelection);
    connect(&m_settings, &AppSettings::captureModeChanged, this, &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::duplicateSuppressionWindowChanged, this,
            &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::previewLineCountChanged, this, &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::themeModeChanged, this, &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::fontSizeChoiceChanged, this, &SettingsView::syncControls);
    connect(&m_settings, &AppSettings::accentColorChoiceChanged, this, &SettingsView::syncControls);

    connect(&m_store, &ClipboardStore::itemsInserted, this,
            &SettingsView::scheduleStatisticsRefresh);
    connect(&m_store, &ClipboardStore::itemsRemoved, this,
            &SettingsView::scheduleStatisticsRefresh);
    connect(&m_store, &ClipboardStore::itemsReset, this, &SettingsView::scheduleStatisticsRefresh);
    connect(&m_store, &ClipboardStore::historySaved, this,
            &SettingsView::scheduleStatisticsRefresh);
}

SettingsView::~SettingsView() = default;

// ---- building ---------------------------------------------------------------

QWidget *SettingsView::buildHeader()
{
    auto *header = new QWidget(this);
    auto *layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 0, 0, 4);
    layout->setSpacing(6);
    auto *title = new QLabel(QStringLiteral("Settings"), header);
    title->setFont(Theme::font(34, QFont::Bold));
    m_primaryLabels.append(title);
    auto *subtitle = new QLabel(
        QStringLiteral("Control clipboard capture, appearance, launch behavior, and backups."),
        header);
    subtitle->setFont(Theme::font(14, QFont::Medium));
    m_secondaryLabels.append(subtitle);
    layout->addWidget(title);
    layout->addWidget(subtitle);
    return header;
}

QWidget *SettingsView::buildForm()
{
    auto *scroll = new QScrollArea(this);
    scroll->setObjectName(QStringLiteral("settingsForm"));
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setAutoFillBackground(false);
    scroll->viewport()->setAutoFillBackground(false);

    auto *content = new QWidget(scroll);
    content->setAutoFillBackground(false);
    auto *layout = new QVBoxLayout(content);
    layout->setContentsMargins(0, 0, 6, 8);
    layout->setSpacing(10);
    const QList<QWidget *> sections{buildGeneralSection(), buildDataBoardSection(),
                                    buildAppearanceSection(), buildBackupSection(),
                                    buildAboutSection()};
    for (qsizetype i = 0; i < sections.size(); ++i) {
        if (i > 0)
            layout->addSpacing(14);
        sections[i]->setParent(content);
        layout->addWidget(sections[i]);
    }
    layout->addStretch(1);
    scroll->setWidget(content);
    // setWidget() makes the content opaque; the backdrop must show through.
    content->setAutoFillBackground(false);
    return scroll;
}

QWidget *SettingsView::sectionHeader(const QString &title, const QString &subtitle)
{
    auto *header = new QWidget(this);
    auto *layout = new QVBoxLayout(header);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(6);
    auto *titleLabel = new QLabel(title, header);
    QFont titleFont = Theme::font(18, QFont::Bold);
    titleFont.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    titleLabel->setFont(titleFont);
    m_primaryLabels.append(titleLabel);
    auto *subtitleLabel = new QLabel(subtitle, header);
    subtitleLabel->setFont(Theme::font(13, QFont::Medium));
    m_secondaryLabels.append(subtitleLabel);
    layout->addWidget(titleLabel);
    layout->addWidget(subtitleLabel);
    return header;
}

QLabel *SettingsView::caption(const QString &text)
{
    auto *label = new QLabel(text, this);
    label->setWordWrap(true);
    label->setFont(Theme::font(11));
    label->setContentsMargins(rowInset, 8, rowInset, 8);
    m_secondaryLabels.append(label);
    return label;
}

namespace {

QWidget *section(QWidget *parent, QWidget *header, GroupCard *card, QList<QWidget *> &cards)
{
    auto *box = new QWidget(parent);
    auto *layout = new QVBoxLayout(box);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(8);
    header->setParent(box);
    card->setParent(box);
    layout->addWidget(header);
    layout->addWidget(card);
    cards.append(card);
    return box;
}

} // namespace

QWidget *SettingsView::buildGeneralSection()
{
    auto *card = new GroupCard(this);
    m_launchAtLogin = new ToggleSwitch(this);
    m_launchAtLogin->setObjectName(QStringLiteral("launchAtLoginToggle"));
    m_startMonitoring = new ToggleSwitch(this);
    m_startMonitoring->setObjectName(QStringLiteral("startMonitoringToggle"));
    m_showDockIcon = new ToggleSwitch(this);
    m_showDockIcon->setObjectName(QStringLiteral("showDockIconToggle"));
    connect(m_launchAtLogin, &QAbstractButton::toggled, &m_settings,
            &AppSettings::setLaunchAtLogin);
    connect(m_startMonitoring, &QAbstractButton::toggled, &m_settings,
            &AppSettings::setStartMonitoringImmediately);
    connect(m_showDockIcon, &QAbstractButton::toggled, &m_settings, &AppSettings::setShowDockIcon);
    card->addRow(formRow(card, QStringLiteral("Launch at Login"), m_launchAtLogin));
    card->addRow(formRow(card, QStringLiteral("Start Monitoring Immediately"), m_startMonitoring));
    card->addRow(formRow(card, QStringLiteral("Show Dock Icon"), m_showDockIcon));

    // The shortcut is fixed; the row only tells it. Keyboards here say Alt
    // where the symbol says Option, hence the tooltip.
    auto *shortcut = new QWidget(this);
    auto *shortcutLayout = new QVBoxLayout(shortcut);
    shortcutLayout->setContentsMargins(0, 0, 0, 0);
    shortcutLayout->setSpacing(4);
    auto *keys = new KeyCombinationLabel(QStringLiteral("⌥ ⇧ V"), shortcut);
    keys->setObjectName(QStringLiteral("globalShortcutKeys"));
    keys->setFont(Theme::monospacedFont(16, QFont::Medium));
    auto *explanation = new QLabel(QStringLiteral("Opens the menu bar popover even when "
                                                  "Quillmark is running in the background."),
                                   shortcut);
    explanation->setFont(Theme::font(11));
    explanation->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    m_secondaryLabels.append(explanation);
    shortcutLayout->addWidget(keys, 0, Qt::AlignRight);
    shortcutLayout->addWidget(explanation, 0, Qt::AlignRight);
    QWidget *shortcutRow = formRow(card, QStringLiteral("Global Shortcut"), shortcut);
    shortcutRow->setToolTip(QStringLiteral("Alt+Shift+V"));
    keys->setToolTip(QStringLiteral("Alt+Shift+V"));
    keys->setAccessibleName(QStringLiteral("Alt+Shift+V"));
    card->addRow(shortcutRow);

    return section(this,
                   sectionHeader(QStringLiteral("GENERAL"),
                                 QStringLiteral("Launch behavior and quick access options")),
                   card, m_cards);
}

QWidget *SettingsView::buildDataBoardSection()
{
    auto *card = new GroupCard(this);
    m_retentionPicker = picker<RetentionPeriod>(this, "retentionPicker");
    connect(m_retentionPicker, &QComboBox::currentIndexChanged, this,
            [this](int index) { retentionSelectionChanged(caseAt<RetentionPeriod>(index)); });
    card->addRow(formRow(card, QStringLiteral("Retention Period"), m_retentionPicker));
    card->addRow(caption(QStringLiteral("Reducing the retention will immediately wipe off your "
                                        "previous clips. Increasing it only affects future "
                                        "saves.")));

    m_captureModePicker = picker<CaptureMode>(this, "captureModePicker");
    connect(m_captureModePicker, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.setCaptureMode(caseAt<CaptureMode>(index)); });
    card->addRow(formRow(card, QStringLiteral("Capture Mode"), m_captureModePicker));

    m_suppressionPicker = picker<DuplicateSuppressionWindow>(this, "suppressionWindowPicker");
    connect(m_suppressionPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_settings.setDuplicateSuppressionWindow(caseAt<DuplicateSuppressionWindow>(index));
    });
    m_suppressionRow = formRow(card, QStringLiteral("Suppression Window"), m_suppressionPicker);
    m_suppressionRow->setObjectName(QStringLiteral("suppressionWindowRow"));
    card->addRow(m_suppressionRow);
    m_suppressionCaption =
        caption(QStringLiteral("Repeated identical copies within the selected time window are "
                               "ignored. Default: 5 seconds."));
    m_suppressionCaption->setObjectName(QStringLiteral("suppressionCaption"));
    card->addRow(m_suppressionCaption);
    m_everyCopyCaption = caption(
        QStringLiteral("Deduplication is turned off and every clipboard change is recorded."));
    m_everyCopyCaption->setObjectName(QStringLiteral("everyCopyCaption"));
    card->addRow(m_everyCopyCaption);

    m_previewLinesPicker = picker<PreviewLineCount>(this, "previewLinesPicker");
    connect(m_previewLinesPicker, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.setPreviewLineCount(caseAt<PreviewLineCount>(index)); });
    card->addRow(formRow(card, QStringLiteral("Preview Lines"), m_previewLinesPicker));

    return section(
        this,
        sectionHeader(QStringLiteral("DATA BOARD"),
                      QStringLiteral("Capture behavior, retention, and preview settings")),
        card, m_cards);
}

QWidget *SettingsView::buildAppearanceSection()
{
    auto *card = new GroupCard(this);
    m_themePicker = picker<ThemeMode>(this, "themePicker");
    connect(m_themePicker, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.setThemeMode(caseAt<ThemeMode>(index)); });
    card->addRow(formRow(card, QStringLiteral("Theme"), m_themePicker));
    card->addRow(caption(QStringLiteral(
        "Aurora themes only affect the menu bar popover, Settings, accent buttons, and hover "
        "treatment. Clipboard rows remain clean and readable.")));

    m_fontSizePicker = picker<FontSizeChoice>(this, "fontSizePicker");
    connect(m_fontSizePicker, &QComboBox::currentIndexChanged, this,
            [this](int index) { m_settings.setFontSizeChoice(caseAt<FontSizeChoice>(index)); });
    card->addRow(formRow(card, QStringLiteral("Font Size"), m_fontSizePicker));

    m_accentPicker = picker<AccentColorChoice>(this, "accentPicker");
    connect(m_accentPicker, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_settings.setAccentColorChoice(caseAt<AccentColorChoice>(index));
    });
    card->addRow(formRow(card, QStringLiteral("Accent / Copy Icon Color"), m_accentPicker));
    card->addRow(caption(
        QStringLiteral("The accent color is used for copy buttons and the menu bar icon.")));

    return section(this,
                   sectionHeader(QStringLiteral("APPEARANCE"),
                                 QStringLiteral("Colors, fonts, and display style")),
                   card, m_cards);
}

QWidget *SettingsView::buildBackupSection()
{
    auto *card = new GroupCard(this);
    QPushButton *exportButton = accentButton(QStringLiteral("Export"), std::nullopt);
    exportButton->setObjectName(QStringLiteral("exportButton"));
    connect(exportButton, &QPushButton::clicked, this, &SettingsView::exportHistory);
    QPushButton *importButton = accentButton(QStringLiteral("Import"), std::nullopt);
    importButton->setObjectName(QStringLiteral("importButton"));
    connect(importButton, &QPushButton::clicked, this, &SettingsView::confirmImport);
    QPushButton *clearTodayButton = accentButton(QStringLiteral("Delete"), NamedColors::red());
    clearTodayButton->setObjectName(QStringLiteral("clearTodayButton"));
    connect(clearTodayButton, &QPushButton::clicked, this,
            [this] { requestConfirmation(PendingAction::clearToday); });
    QPushButton *clearAllButton = accentButton(QStringLiteral("Delete"), NamedColors::red());
    clearAllButton->setObjectName(QStringLiteral("clearAllButton"));
    connect(clearAllButton, &QPushButton::clicked, this,
            [this] { requestConfirmation(PendingAction::clearAll); });

    card->addRow(formRow(card, QStringLiteral("Export History"), exportButton));
    card->addRow(formRow(card, QStringLiteral("Import History"), importButton));
    card->addRow(formRow(card, QStringLiteral("Clear Today"), clearTodayButton));
    card->addRow(formRow(card, QStringLiteral("Clear All"), clearAllButton));
    card->addRow(caption(
        QStringLiteral("Clear actions require confirmation to avoid accidental deletion.")));

    return section(this,
                   sectionHeader(QStringLiteral("DATA & BACKUP"),
                                 QStringLiteral("Export, import, and deletion tools")),
                   card, m_cards);
}

QWidget *SettingsView::buildAboutSection()
{
    auto *card = new GroupCard(this);
    const QFont emphasis = Theme::font(14, QFont::DemiBold);
    auto value = [this](const QString &text, const char *name) {
        auto *label = new QLabel(text, this);
        label->setObjectName(QLatin1String(name));
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        return label;
    };
    QLabel *application = value(QStringLiteral("Quillmark"), "applicationValue");
    application->setFont(emphasis);
    QLabel *version = value(AppSettings::appVersion() + QStringLiteral(" (") +
                                AppSettings::buildNumber() + QStringLiteral(")"),
                            "versionValue");
    m_entriesValue = value(QString(), "entriesValue");
    m_storageValue = value(QString(), "storageValue");
    QLabel *developer = value(QStringLiteral("Quillmark contributors"), "developerValue");
    developer->setFont(emphasis);

    card->addRow(formRow(card, QStringLiteral("Application"), application));
    card->addRow(formRow(card, QStringLiteral("Version"), version));
    card->addRow(formRow(card, QStringLiteral("Clipboard Entries Stored"), m_entriesValue));
    card->addRow(formRow(card, QStringLiteral("Storage Usage"), m_storageValue));
    card->addRow(formRow(card, QStringLiteral("Developer"), developer));

    return section(
        this,
        sectionHeader(QStringLiteral("ABOUT"), QStringLiteral("App version and storage details")),
        card, m_cards);
}

QPushButton *SettingsView::accentButton(const QString &title, std::optional<QColor> tint)
{
    auto *button = new QPushButton(title, this);
    button->setCursor(Qt::PointingHandCursor);
    button->setMinimumWidth(84);
    m_accentButtons.append({button, tint});
    return button;
}

// ---- state ------------------------------------------------------------------

void SettingsView::syncControls()
{
    auto setChecked = [](QAbstractButton *button, bool checked) {
        const QSignalBlocker blocker(button);
        button->setChecked(checked);
        button->update();
    };
    setChecked(m_launchAtLogin, m_settings.launchAtLogin());
    setChecked(m_startMonitoring, m_settings.startMonitoringImmediately());
    setChecked(m_showDockIcon, m_settings.showDockIcon());
    select(m_captureModePicker, m_settings.captureMode());
    select(m_suppressionPicker, m_settings.duplicateSuppressionWindow());
    select(m_previewLinesPicker, m_settings.previewLineCount());
    select(m_themePicker, m_settings.themeMode());
    select(m_fontSizePicker, m_settings.fontSizeChoice());
    select(m_accentPicker, m_settings.accentColorChoice());
    updateCaptureRows();
}

void SettingsView::updateCaptureRows()
{
    const bool suppress = m_settings.captureMode() == CaptureMode::suppressConsecutiveDuplicates;
    m_suppressionRow->setVisible(suppress);
    m_suppressionCaption->setVisible(suppress);
    m_everyCopyCaption->setVisible(!suppress);
}

void SettingsView::applyTheme()
{
    m_theme.applyTo(this);
    for (QLabel *label : std::as_const(m_secondaryLabels)) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, m_theme.secondaryText());
        label->setPalette(p);
    }
    for (QLabel *label : std::as_const(m_primaryLabels)) {
        QPalette p = label->palette();
        p.setColor(QPalette::WindowText, m_theme.primaryText());
        label->setPalette(p);
    }
    for (QWidget *card : std::as_const(m_cards))
        static_cast<GroupCard *>(card)->setColors(m_theme.cardFill(), m_theme.separator());

    const bool aurora = m_theme.isAurora();
    m_banner->setShadowed(aurora);
    const auto style = m_theme.accentButtonStyle();
    for (const TintedButton &entry : std::as_const(m_accentButtons)) {
        entry.button->setStyleSheet(m_theme.buttonStyleSheet(style, entry.tint));
        if (aurora) {
            auto *shadow = new QGraphicsDropShadowEffect(entry.button);
            shadow->setColor(Appearance::withOpacity(entry.tint.value_or(m_theme.accent()), 0.22));
            shadow->setBlurRadius(12);
            shadow->setOffset(0, 4);
            entry.button->setGraphicsEffect(shadow);
        } else {
            entry.button->setGraphicsEffect(nullptr);
        }
    }
    update();
}

void SettingsView::scheduleStatisticsRefresh()
{
    m_statisticsTimer->start();
}

void SettingsView::refreshStatistics()
{
    m_entriesValue->setText(QString::number(m_store.items().size()));
    qint64 size = 0;
    QFile file(m_store.fileURL());
    if (file.open(QIODevice::ReadOnly))
        size = file.size();
    m_storageValue->setText(formattedFileSize(size));
}

QString SettingsView::formattedFileSize(qint64 bytes)
{
    if (bytes <= 0)
        return QStringLiteral("0 bytes");
    if (bytes == 1)
        return QStringLiteral("1 byte");
    if (bytes < 1000)
        return QStringLiteral("%1 bytes").arg(bytes);
    static constexpr std::array units{"KB", "MB", "GB", "TB"};
    // Kilobytes whole, larger units with one decimal, as file managers do;
    // move up a unit where rounding would print 1000.
    double value = double(bytes) / 1000.0;
    std::size_t unit = 0;
    while (value >= (unit == 0 ? 999.5 : 999.95) && unit + 1 < units.size()) {
        value /= 1000.0;
        ++unit;
    }
    const int decimals = unit == 0 ? 0 : 1;
    QString number = QLocale::c().toString(value, 'f', decimals);
    if (decimals > 0 && number.endsWith(QLatin1String(".0")))
        number.chop(2);
    return number + QLatin1Char(' ') + QLatin1String(units[unit]);
}

// ---- banner -----------------------------------------------------------------

void SettingsView::showBanner(const QString &message, bool isError)
{
    // Restarting the one timer drops the older banner's pending dismissal,
    // so it can never hide the newer one early.
    m_banner->setMessage(message, isError);
    m_banner->show();
    m_bannerTimer->start();
}

// ---- data tools -------------------------------------------------------------

void SettingsView::requestConfirmation(PendingAction action)
{
    m_pendingAction = action;
    const bool today = action == PendingAction::clearToday;
    Dialogs::Confirmation confirmation;
    confirmation.title = today ? QStringLiteral("Delete Today's History?")
                               : QStringLiteral("Delete All Clipboard History?");
    confirmation.message =
        today ? QStringLiteral("This removes only today's clipboard items.")
              : QStringLiteral("This removes every clipboard item currently saved.");
    confirmation.buttons = {
        {today ? QStringLiteral("Delete Today") : QStringLiteral("Delete All"),
         Dialogs::ButtonRole::destructive},
        {QStringLiteral("Cancel"), Dialogs::ButtonRole::cancel},
    };
    if (m_dialogs.confirm(window(), confirmation) != 0)
        return;
    if (today) {
        m_store.clearToday();
        showBanner(QStringLiteral("Today's history deleted successfully."), false);
    } else {
        m_store.clearAll();
        showBanner(QStringLiteral("History deleted successfully."), false);
    }
    refreshStatistics();
}

QString SettingsView::backupFileName(const QDateTime &localTime)
{
    return QStringLiteral("quillmark-backup-") +
           QLocale::c().toString(localTime, QStringLiteral("HH-mm-ss_dd.MM.yy")) +
           QStringLiteral(".json");
}

QString SettingsView::backupDirectory()
{
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (!documents.isEmpty() && QDir(documents).exists())
        return documents;
    return QDir::homePath();
}

void SettingsView::exportHistory()
{
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Export Quillmark Backup");
    request.message = QStringLiteral("Creates a backup of your clipboard history.");
    request.directory = backupDirectory();
    request.proposedName = backupFileName(m_clock.now().toLocalTime());
    const std::optional<QString> path = m_dialogs.saveFile(window(), request);
    if (!path || path->isEmpty())
        return;
    const QString error = m_store.exportHistory(*path);
    if (error.isEmpty())
        showBanner(QStringLiteral("History exported successfully."), false);
    else
        showBanner(QStringLiteral("Export failed: ") + error, true);
}

void SettingsView::confirmImport()
{
    Dialogs::Confirmation confirmation;
    confirmation.title = QStringLiteral("Import History?");
    confirmation.message = importMessage;
    confirmation.buttons = {
        {QStringLiteral("Continue"), Dialogs::ButtonRole::normal},
        {QStringLiteral("Cancel"), Dialogs::ButtonRole::cancel},
    };
    if (m_dialogs.confirm(window(), confirmation) == 0)
        importHistory();
}

void SettingsView::importHistory()
{
    Dialogs::FileRequest request;
    request.title = QStringLiteral("Import Quillmark Backup");
    request.message =
        QStringLiteral("Select a Quillmark backup file to restore your clipboard history.");
    request.directory = backupDirectory();
    const std::optional<QString> path = m_dialogs.openFile(window(), request);
    if (!path || path->isEmpty())
        return;
    const QString error = m_store.importHistory(*path);
    if (error.isEmpty())
        showBanner(QStringLiteral("History imported successfully."), false);
    else
        showBanner(QStringLiteral("Import failed: ") + error, true);
    refreshStatistics();
}

// ---- retention --------------------------------------------------------------

void SettingsView::retentionSelectionChanged(RetentionPeriod period)
{
    m_retentionSelection = period;
    if (period == m_settings.retentionPeriod())
        return;
    Dialogs::Confirmation confirmation;
    confirmation.title = QStringLiteral("Change Retention Period?");
    confirmation.message =
        QStringLiteral("Changing retention period will immediately wipe off your previous clips.");
    confirmation.buttons = {
        {QStringLiteral("Change"), Dialogs::ButtonRole::destructive},
        {QStringLiteral("Cancel"), Dialogs::ButtonRole::cancel},
    };
    if (m_dialogs.confirm(window(), confirmation) == 0)
        applyRetentionChange(period);
    else
        revertRetentionSelection();
}

void SettingsView::applyRetentionChange(RetentionPeriod period)
{
    m_settings.setRetentionPeriod(period); // saves
    showBanner(QStringLiteral("Retention period updated."), false);
    revertRetentionSelection();
    refreshStatistics();
}

void SettingsView::revertRetentionSelection()
{
    // Selecting the stored period again asks nothing (see above).
    m_retentionPicker->setCurrentIndex(static_cast<int>(caseIndex(m_settings.retentionPeriod())));
    m_retentionSelection = m_settings.retentionPeriod();
}

// ---- painting ---------------------------------------------------------------

void SettingsView::showEvent(QShowEvent *event)
{
    revertRetentionSelection();
    refreshStatistics();
    QWidget::showEvent(event);
}

void SettingsView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    Appearance::paintBackdrop(&painter, QRectF(rect()), m_theme.backdrop(Theme::Surface::settings));
}
