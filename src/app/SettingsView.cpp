#include "app/SettingsView.h"

#include "app/SettingsControls.h"
#include "app/SymbolTextButton.h"
#include "ui/eon/EonCard.h"
#include "ui/eon/EonCloseButton.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSheetKeys.h"
#include "ui/eon/Symbols.h"

#include <QGridLayout>
#include <QLabel>
#include <QPainter>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// A hairline between the groups.
class Divider : public QWidget {
public:
    explicit Divider(QWidget* parent)
        : QWidget(parent)
    {
        setFixedHeight(1);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), eonHairline()); }
};

} // namespace

SettingsView::SettingsView(TrackTableLayoutState& layout, UndoManager* undoManager, QWidget* parent)
    : QDialog(parent)
    , m_presenter(layout, undoManager)
{
    setObjectName(u"settingsSheet"_s);
    setWindowTitle(u"Settings"_s);
    setWindowModality(Qt::WindowModal);
    setFixedSize(fixedSize);
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto* scroll = new QScrollArea(this);
    scroll->setAccessibleName(u"Settings"_s);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->viewport()->setAutoFillBackground(false);
    // Tab goes to the controls, and the page scrolls to the one it reaches.
    scroll->setFocusPolicy(Qt::NoFocus);
    auto* page = new QWidget(scroll);
    page->setAutoFillBackground(false);
    scroll->setWidget(page);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(scroll);

    auto* column = new QVBoxLayout(page);
    column->setContentsMargins(eon::space6XL, eon::space6XL, eon::space6XL, eon::space6XL);
    column->setSpacing(eon::space6XL);
    column->addWidget(buildHeader());

    auto* appearance = new SettingsSection(u"APPEARANCE"_s, page);
    m_accentSwitch = new SettingsSwitch(u"Extract accent color from artwork"_s, appearance);
    appearance->content().addWidget(m_accentSwitch);
    m_manualAccentRow = new QWidget(appearance);
    auto* manual = new QHBoxLayout(m_manualAccentRow);
    manual->setContentsMargins(0, 0, 0, 0);
    manual->setSpacing(eon::spaceL);
    manual->addWidget(settingsText(u"Manual Accent Color"_s, eon::textBody, QFont::Medium,
        eonTextSecondary(), m_manualAccentRow));
    m_accentWell = new ColorWell(m_presenter.values().accentColor, m_manualAccentRow);
    manual->addWidget(m_accentWell);
    manual->addStretch(1);
    appearance->content().addWidget(m_manualAccentRow);
    m_transparency = new SettingsSlider(
        u"Panel Transparency"_s, 0.4, 1.0, SettingsPresenter::percentFormat, appearance);
    appearance->content().addWidget(m_transparency);
    column->addWidget(appearance);
    column->addWidget(new Divider(page));

    auto* layoutGroup = new SettingsSection(u"LAYOUT"_s, page);
    m_compact = new SettingsSwitch(u"Compact Mode"_s, layoutGroup);
    layoutGroup->content().addWidget(m_compact);
    m_cornerRadius = new SettingsSlider(
        u"Corner Radius"_s, 0.0, 16.0, SettingsPresenter::pixelFormat, layoutGroup);
    layoutGroup->content().addWidget(m_cornerRadius);
    m_fontScale = new SettingsSlider(
        u"Font Size Scale"_s, 0.8, 1.2, SettingsPresenter::percentFormat, layoutGroup);
    layoutGroup->content().addWidget(m_fontScale);
    layoutGroup->content().addWidget(buildColumnCard());
    column->addWidget(layoutGroup);
    column->addWidget(new Divider(page));

    auto* behavior = new SettingsSection(u"BEHAVIOR"_s, page);
    auto* speed = new QVBoxLayout;
    speed->setSpacing(eon::spaceL);
    speed->addWidget(settingsText(
        u"Animation Speed"_s, eon::textBody, QFont::Medium, eonTextPrimary(), behavior));
    QStringList speeds;
    for (const AnimationSpeedChoice& choice : SettingsPresenter::animationSpeeds()) {
        speeds << choice.title;
    }
    m_animationSpeed = new SegmentedPicker(speeds, behavior);
    m_animationSpeed->setAccessibleName(u"Animation Speed"_s);
    speed->addWidget(m_animationSpeed);
    behavior->content().addLayout(speed);
    column->addWidget(behavior);
    column->addStretch(1);

    SettingsValues& values = m_presenter.values();
    connect(m_accentSwitch, &QAbstractButton::toggled, this, [this, &values](bool on) {
        values.useDynamicAccent = on;
        m_manualAccentRow->setVisible(m_presenter.showsManualAccent());
    });
    connect(m_accentWell, &ColorWell::colorChanged, this,
        [&values](const QColor& color) { values.accentColor = color; });
    connect(m_transparency, &SettingsSlider::valueChanged, this,
        [&values](double value) { values.panelTransparency = value; });
    connect(m_compact, &QAbstractButton::toggled, this,
        [&values](bool on) { values.isCompactMode = on; });
    connect(m_cornerRadius, &SettingsSlider::valueChanged, this,
        [&values](double value) { values.roundedCorners = value; });
    connect(m_fontScale, &SettingsSlider::valueChanged, this,
        [&values](double value) { values.fontSizeScale = value; });
    connect(m_animationSpeed, &SegmentedPicker::selectedIndexChanged, this, [&values](int index) {
        values.animationSpeed = SettingsPresenter::animationSpeeds().value(index).value;
    });
    connect(&m_presenter, &SettingsPresenter::columnsChanged, this, &SettingsView::showColumns);
    showValues();
    showColumns();
}

QWidget* SettingsView::buildHeader()
{
    auto* header = new QWidget;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(0, 0, 0, eon::spaceM);
    row->setSpacing(eon::space2XL);
    auto* titles = new QVBoxLayout;
    titles->setSpacing(eon::spaceXS);
    titles->addWidget(
        settingsText(u"Settings"_s, eon::textDisplay, QFont::Bold, eonTextPrimary(), header));
    titles->addWidget(settingsText(u"Personalize your workspace and playback experience."_s,
        eon::textBody, QFont::Medium, eonTextTertiary(), header));
    row->addLayout(titles);
    row->addStretch(1);
    m_close = new EonCloseButton(
        { 32, 0.95, eon::textCallout }, u"settings.close"_s, u"Close Settings"_s, header);
    row->addWidget(m_close, 0, Qt::AlignTop);
    connect(m_close, &QAbstractButton::clicked, this, &QDialog::reject);
    new EonSheetKeys(this, [this] { reject(); });
    return header;
}

QWidget* SettingsView::buildColumnCard()
{
    auto* card = new EonCard(0.52);
    card->setObjectName(u"settings.songColumns"_s);
    auto* column = new QVBoxLayout(card);
    column->setContentsMargins(14, 14, 14, 14);
    column->setSpacing(eon::spaceXL);

    auto* header = new QHBoxLayout;
    auto* titles = new QVBoxLayout;
    titles->setSpacing(eon::titleLineSpacing);
    titles->addWidget(settingsText(
        u"Song Table Columns"_s, eon::textBody, QFont::DemiBold, eonTextPrimary(), card));
    titles->addWidget(settingsText(u"Drag headers to reorder and their edges to resize."_s,
        eon::textFootnote, QFont::Medium, eonTextTertiary(), card));
    header->addLayout(titles);
    header->addStretch(1);
    m_columnCount
        = settingsText({}, eon::textFootnote, QFont::DemiBold, eonTextTertiary(), card, true);
    m_columnCount->setObjectName(u"settings.columnCount"_s);
    header->addWidget(m_columnCount);
    column->addLayout(header);

    auto* grid = new QGridLayout;
    grid->setVerticalSpacing(9);
    grid->setHorizontalSpacing(eon::spaceXL);
    int index = 0;
    for (const TrackTableColumnID id : allTrackTableColumnIDs()) {
        auto* toggle = new SettingsCheckBox(title(id), card);
        // A click changes the shared layout; what the box shows is read back from it.
        connect(toggle, &QAbstractButton::clicked, this,
            [this, id](bool on) { m_presenter.setColumnShown(id, on); });
        m_columnToggles.insert(id, toggle);
        grid->addWidget(toggle, index / 2, index % 2);
        ++index;
    }
    column->addLayout(grid);

    auto* restore = new QHBoxLayout;
    m_recovery = settingsText(
        {}, eon::textCaption, QFont::Medium, eonWithOpacity(eonWarning(), 0.9), card);
    m_recovery->setWordWrap(true);
    restore->addWidget(m_recovery, 1);
    restore->addStretch(0);
    m_restore = new SymbolTextButton(u"arrow.counterclockwise"_s, u"Restore Default"_s, 12,
        SymbolTextButton::Style::bordered, eonAccent(), card);
    m_restore->setObjectName(u"settings.restoreColumns"_s);
    m_restore->setToolTip(u"Restore the default song-column order, widths, and visibility"_s);
    connect(m_restore, &QAbstractButton::clicked, this, [this] { m_presenter.restoreDefault(); });
    restore->addWidget(m_restore);
    column->addLayout(restore);
    return card;
}

QString SettingsView::columnCountText() const
{
    return m_columnCount->text();
}

void SettingsView::showValues()
{
    const SettingsValues& values = m_presenter.values();
    m_accentSwitch->setChecked(values.useDynamicAccent);
    m_manualAccentRow->setVisible(m_presenter.showsManualAccent());
    m_accentWell->setColor(values.accentColor);
    m_transparency->setValue(values.panelTransparency);
    m_compact->setChecked(values.isCompactMode);
    m_cornerRadius->setValue(values.roundedCorners);
    m_fontScale->setValue(values.fontSizeScale);
    const QList<AnimationSpeedChoice>& speeds = SettingsPresenter::animationSpeeds();
    for (int i = 0; i < speeds.size(); ++i) {
        if (speeds[i].value == values.animationSpeed) {
            m_animationSpeed->setSelectedIndex(i);
        }
    }
}

void SettingsView::showColumns()
{
    m_columnCount->setText(m_presenter.columnCountText());
    for (auto it = m_columnToggles.cbegin(); it != m_columnToggles.cend(); ++it) {
        it.value()->setChecked(m_presenter.isColumnShown(it.key()));
    }
    const QString message = m_presenter.recoveryMessage();
    m_recovery->setText(message);
    m_recovery->setVisible(!message.isEmpty());
    m_restore->setEnabled(m_presenter.canRestoreDefault());
}

void SettingsView::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), eonCanvas());
}

} // namespace kivo
