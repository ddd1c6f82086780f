#include "ui/library/SmartPlaylistSetupView.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSheetKeys.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/Symbols.h"
#include "ui/library/SmartPlaylistSetupPresenter.h"
#include "ui/library/SmartRuleRowView.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScrollArea>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr double sheetRadius = eon::sheetCornerRadius;
// The name is the sheet's main field, set larger than the rules below it.
constexpr int nameTextSize = 18;

QString rgba(const QColor& color)
{
    return color.name(QColor::HexArgb);
}

QPushButton* labelButton(const QString& text, const QFont& font, const QColor& ink,
    const QColor& fill, const QString& padding, QWidget* parent)
{
    auto* button = new QPushButton(text, parent);
    button->setAutoDefault(false);
    button->setDefault(false);
    button->setFont(font);
    button->setCursor(Qt::PointingHandCursor);
    button->setStyleSheet(u"QPushButton { background: %1; color: %2; border: none;"
                          " border-radius: 6px; padding: %3; }"
                          " QPushButton:pressed { background: %4; }"
                          " QPushButton:disabled { background: %5; color: %6; }"_s.arg(rgba(fill),
                              rgba(ink), padding, rgba(fill.darker(120)),
                              rgba(eonWithOpacity(fill, 0.35)), rgba(eonWithOpacity(ink, 0.5))));
    return button;
}

} // namespace

SmartPlaylistSetupView::SmartPlaylistSetupView(
    SmartPlaylistSetupPresenter& presenter, QWidget* parent)
    : QDialog(parent)
    , m_presenter(presenter)
    , m_header(new QWidget(this))
    , m_footer(new QWidget(this))
    , m_name(new QLineEdit(this))
    , m_match(new QComboBox(this))
    , m_rows(new QVBoxLayout)
    , m_addRule(nullptr)
    , m_cancel(nullptr)
    , m_create(nullptr)
{
    setObjectName(u"smartPlaylistSetup"_s);
    setWindowTitle(u"Create Smart Playlist"_s);
    setWindowModality(Qt::WindowModal);
    setWindowFlag(Qt::FramelessWindowHint);
    setAttribute(Qt::WA_TranslucentBackground);
    setFixedSize(550, 480);

    auto* header = new QHBoxLayout(m_header);
    header->setContentsMargins(eon::space4XL, eon::space2XL, eon::space4XL, eon::space2XL);
    header->addWidget(new EonSymbolView(u"gearshape.2.fill"_s, 15, eonTextSecondary(), m_header));
    header->addWidget(editing::plainLabel(u"Create Smart Playlist"_s,
        eonFont(eon::textHeadline, QFont::Bold), eonTextPrimary(), m_header));
    header->addStretch(1);

    auto* body = new QWidget;
    body->setAttribute(Qt::WA_TranslucentBackground);
    auto* blocks = new QVBoxLayout(body);
    blocks->setContentsMargins(eon::space4XL, eon::space4XL, eon::space4XL, eon::space4XL);
    blocks->setSpacing(eon::space6XL);

    auto* nameBlock = new QVBoxLayout;
    nameBlock->setSpacing(eon::spaceM);
    QLabel* caption = editing::caption(u"Playlist Name"_s, body);
    QFont captionFont = caption->font();
    captionFont.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    caption->setFont(captionFont);
    nameBlock->addWidget(caption);
    m_name->setObjectName(u"smartPlaylistSetup.name"_s);
    m_name->setAccessibleName(u"Playlist Name"_s);
    m_name->setPlaceholderText(u"e.g. Late Night Focus"_s);
    m_name->setText(presenter.playlistName());
    editing::styleField(m_name, 0.045, eonHairline(), eon::controlCornerRadius,
        eonFont(nameTextSize, QFont::Medium));
    m_name->setStyleSheet(m_name->styleSheet() + u" QLineEdit { padding: 12px; }"_s);
    nameBlock->addWidget(m_name);
    blocks->addLayout(nameBlock);

    auto* rulesBlock = new QVBoxLayout;
    rulesBlock->setSpacing(eon::space2XL);
    auto* matchRow = new QHBoxLayout;
    matchRow->setSpacing(eon::spaceM);
    const QFont matchFont = eonFont(eon::textBody, QFont::Medium);
    matchRow->addWidget(editing::plainLabel(u"Match"_s, matchFont, eonTextSecondary(), body));
    m_match->setObjectName(u"smartPlaylistSetup.match"_s);
    m_match->setAccessibleName(u"Match"_s);
    m_match->addItem(u"ALL"_s, true);
    m_match->addItem(u"ANY"_s, false);
    m_match->setCurrentIndex(presenter.matchAllRules() ? 0 : 1);
    m_match->setFixedWidth(80);
    styleSmartRulePicker(m_match);
    matchRow->addWidget(m_match);
    matchRow->addWidget(
        editing::plainLabel(u"of the following rules:"_s, matchFont, eonTextSecondary(), body));
    matchRow->addStretch(1);
    rulesBlock->addLayout(matchRow);
    m_rows->setSpacing(eon::spaceM);
    rulesBlock->addLayout(m_rows);
    m_addRule = labelButton(u"Add Rule"_s, eonFont(eon::textCallout, QFont::DemiBold),
        eonTextSecondary(), eonWithOpacity(Qt::white, 0.055), u"8px 12px"_s, body);
    m_addRule->setObjectName(u"smartPlaylistSetup.addRule"_s);
    m_addRule->setProperty("symbolName", u"plus.circle.fill"_s);
    m_addRule->setIcon(QIcon(Symbols::pixmap(u"plus.circle.fill"_s, eonTextSecondary(),
        Symbols::sizeForTextSize(eon::textCallout), 16, devicePixelRatioF())));
    auto* addRow = new QHBoxLayout;
    addRow->setContentsMargins(0, eon::spaceM, 0, 0);
    addRow->addWidget(m_addRule);
    addRow->addStretch(1);
    rulesBlock->addLayout(addRow);
    blocks->addLayout(rulesBlock);
    blocks->addStretch(1);

    auto* scroll = new QScrollArea(this);
    scroll->setWidget(body);
    scroll->setWidgetResizable(true);
    body->setAutoFillBackground(false); // the scroll area turns it on
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setStyleSheet(u"QScrollArea { background: transparent; }"_s);
    scroll->viewport()->setAutoFillBackground(false);

    auto* footer = new QHBoxLayout(m_footer);
    footer->setContentsMargins(eon::space2XL, eon::space2XL, eon::space2XL, eon::space2XL);
    footer->setSpacing(eon::spaceXL);
    footer->addStretch(1);
    m_cancel = labelButton(u"Cancel"_s, eonFont(eon::textBody, QFont::Medium), eonTextPrimary(),
        eonWithOpacity(Qt::white, 0.08), u"8px 16px"_s, m_footer);
    m_cancel->setObjectName(u"smartPlaylistSetup.cancel"_s);
    m_create = labelButton(u"Create"_s, eonFont(eon::textBody, QFont::Bold), Qt::black,
        eonTextPrimary(), u"8px 16px"_s, m_footer);
    m_create->setObjectName(u"smartPlaylistSetup.create"_s);
    footer->addWidget(m_cancel);
    footer->addWidget(m_create);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(m_header);
    column->addWidget(editing::divider(this));
    column->addWidget(scroll, 1);
    column->addWidget(editing::divider(this));
    column->addWidget(m_footer);

    connect(
        m_name, &QLineEdit::textEdited, &presenter, &SmartPlaylistSetupPresenter::setPlaylistName);
    connect(m_match, &QComboBox::currentIndexChanged, this,
        [this](int index) { m_presenter.setMatchAllRules(m_match->itemData(index).toBool()); });
    connect(m_addRule, &QPushButton::clicked, &presenter, &SmartPlaylistSetupPresenter::addRule);
    connect(m_cancel, &QPushButton::clicked, &presenter, &SmartPlaylistSetupPresenter::cancel);
    connect(m_create, &QPushButton::clicked, &presenter, &SmartPlaylistSetupPresenter::create);
    new EonSheetKeys(this, [this] { reject(); });
    connect(&presenter, &SmartPlaylistSetupPresenter::rulesChanged, this,
        &SmartPlaylistSetupView::rebuildRows);
    connect(&presenter, &SmartPlaylistSetupPresenter::stateChanged, this,
        &SmartPlaylistSetupView::refresh);
    rebuildRows();
}

QList<SmartRuleRowView*> SmartPlaylistSetupView::ruleRows() const
{
    QList<SmartRuleRowView*> rows;
    for (int i = 0; i < m_rows->count(); ++i) {
        rows.append(qobject_cast<SmartRuleRowView*>(m_rows->itemAt(i)->widget()));
    }
    return rows;
}

void SmartPlaylistSetupView::rebuildRows()
{
    while (QLayoutItem* item = m_rows->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const SmartRule& rule : m_presenter.rules()) {
        auto* row = new SmartRuleRowView(rule);
        connect(row, &SmartRuleRowView::ruleEdited, &m_presenter,
            &SmartPlaylistSetupPresenter::updateRule);
        // Queued: the row goes away with its own click.
        connect(row, &SmartRuleRowView::removeRequested, &m_presenter,
            &SmartPlaylistSetupPresenter::removeRule, Qt::QueuedConnection);
        m_rows->addWidget(row);
    }
    refresh();
}

void SmartPlaylistSetupView::refresh()
{
    m_create->setEnabled(m_presenter.canCreate());
    for (SmartRuleRowView* row : ruleRows()) {
        row->setRemovable(m_presenter.canRemoveRules());
    }
}

void SmartPlaylistSetupView::reject()
{
    m_presenter.cancel();
}

void SmartPlaylistSetupView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), sheetRadius, sheetRadius);
    painter.fillPath(shape, eonSurfaceRaised());
    painter.setClipPath(shape);
    const QColor bar = eonWithOpacity(eonSurface(), 0.6);
    painter.fillRect(m_header->geometry(), bar);
    painter.fillRect(m_footer->geometry(), bar);
    // The stroke runs just inside the fill: outside it, its faint white
    // would sit on nothing and read as white specks at the corners.
    QPainterPath edge;
    edge.addRoundedRect(
        QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), sheetRadius - 0.5, sheetRadius - 0.5);
    painter.setPen(QPen(eonWithOpacity(Qt::white, 0.08), 1));
    painter.drawPath(edge);
}

} // namespace kivo
