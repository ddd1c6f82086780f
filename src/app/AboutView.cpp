#include "app/AboutView.h"

#include "app/AppIdentity.h"
#include "app/SymbolTextButton.h"
#include "ui/eon/EonCloseButton.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonPressButtonStyle.h"
#include "ui/eon/EonSheetKeys.h"

#include <QGraphicsDropShadowEffect>
#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

const QColor& orange()
{
    static const QColor color = eonWithOpacity(eonWarning(), 0.92);
    return color;
}

QLabel* label(const QString& text, double size, QFont::Weight weight, const QColor& color,
    QWidget* parent, bool mono = false)
{
    QLabel* made = eonPlainLabel(
        text, mono ? eonMonoFont(size, weight) : eonFont(size, weight), color, parent);
    made->setAlignment(Qt::AlignCenter);
    made->setAccessibleName(text);
    return made;
}

// The program's own icon, drawn from its image at the tile's size.
class AppIconView : public QWidget {
public:
    explicit AppIconView(QWidget* parent)
        : QWidget(parent)
    {
        setObjectName(u"about.icon"_s);
        setFixedSize(92, 92);
        auto* shadow = new QGraphicsDropShadowEffect(this);
        shadow->setColor(eonWithOpacity(eonAccent(), 0.20));
        shadow->setBlurRadius(32);
        shadow->setOffset(0, 6);
        setGraphicsEffect(shadow);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        paintAppIcon(painter, rect());
    }
};

} // namespace

AboutView::AboutView(LinkOpener& opener, QWidget* parent)
    : QWidget(parent, Qt::Window)
    , m_presenter(opener)
{
    setObjectName(u"aboutWindow"_s);
    setWindowTitle(u"About KIVO VOVID"_s);
    setFixedSize(fixedSize);
    setAttribute(Qt::WA_OpaquePaintEvent);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(eon::space5XL, eon::space5XL, eon::space5XL, eon::space5XL);
    column->setSpacing(18);

    // The close button floats in the top corner, so that the column keeps its
    // height for the content and sits centred in the window.
    m_close = new EonCloseButton(
        { 28, 0.88, eon::textCaption }, u"about.close"_s, u"Close About"_s, this);
    m_close->move(width() - 28 - m_close->width(), 28);
    column->addStretch(1);

    auto* identity = new QVBoxLayout;
    identity->setSpacing(eon::spaceL);
    identity->addWidget(new AppIconView(this), 0, Qt::AlignHCenter);
    identity->addWidget(
        label(u"KIVO VOVID"_s, eon::textDisplay, QFont::Bold, eonTextPrimary(), this));
    m_version = label(AboutPresenter::programVersionLine(), eon::textFootnote, QFont::DemiBold,
        eonTextTertiary(), this, true);
    m_version->setObjectName(u"about.version"_s);
    identity->addWidget(m_version);
    column->addLayout(identity);

    QLabel* description = label(
        AboutPresenter::description, eon::textCallout, QFont::Medium, eonTextSecondary(), this);
    description->setWordWrap(true);
    description->setFixedWidth(350);
    description->setText(u"<div style=\"line-height: 125%\">%1</div>"_s.arg(
        AboutPresenter::description.toHtmlEscaped()));
    description->setTextFormat(Qt::RichText); // fixed text, for the line spacing only
    column->addWidget(description, 0, Qt::AlignHCenter);

    auto* maker = new QVBoxLayout;
    maker->setSpacing(eon::spaceXS);
    maker->addWidget(label(
        u"Designed by Halvern"_s, eon::textCallout, QFont::DemiBold, eonAccentBright(), this));
    maker->addWidget(label(
        u"Part of Halvern Tools"_s, eon::textFootnote, QFont::Medium, eonTextTertiary(), this));
    column->addLayout(maker);

    auto* links = new QVBoxLayout;
    links->setSpacing(eon::spaceM);
    for (const AboutLink::Kind kind : { AboutLink::Kind::homePage, AboutLink::Kind::supportMail }) {
        const AboutLink& link = AboutPresenter::link(kind);
        auto* button = new SymbolTextButton(
            link.symbolName, link.label, 11, SymbolTextButton::Style::plain, eonSignalIce(), this);
        button->setToolTip(link.helpText.toHtmlEscaped());
        button->setObjectName(
            kind == AboutLink::Kind::homePage ? u"about.homePage"_s : u"about.supportMail"_s);
        m_links[static_cast<int>(kind)] = button;
        links->addWidget(button, 0, Qt::AlignHCenter);
    }
    column->addLayout(links);

    auto* updates = new QVBoxLayout;
    updates->setSpacing(eon::spaceS);
    const AboutLink& update = AboutPresenter::link(AboutLink::Kind::updates);
    auto* updateButton = new SymbolTextButton(
        update.symbolName, update.label, 12, SymbolTextButton::Style::prominent, eonAccent(), this);
    updateButton->setMinimumButtonWidth(160);
    updateButton->setToolTip(update.helpText.toHtmlEscaped());
    updateButton->setObjectName(u"about.checkForUpdates"_s);
    m_links[static_cast<int>(AboutLink::Kind::updates)] = updateButton;
    updates->addWidget(updateButton, 0, Qt::AlignHCenter);
    updates->addWidget(label(u"Opens the Halvern Store for the latest release."_s, eon::textMicro,
        QFont::Medium, eonTextTertiary(), this));
    column->addLayout(updates);

    m_error = label({}, eon::textCaption, QFont::Medium, orange(), this);
    m_error->setObjectName(u"about.linkError"_s);
    m_error->setWordWrap(true);
    auto* fade = new QGraphicsOpacityEffect(m_error);
    m_error->setGraphicsEffect(fade);
    m_errorFade = new QVariantAnimation(this);
    m_errorFade->setDuration(160);
    m_errorFade->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_errorFade, &QVariantAnimation::valueChanged, fade,
        [fade](const QVariant& value) { fade->setOpacity(value.toDouble()); });
    connect(m_errorFade, &QVariantAnimation::finished, this, [this] {
        if (m_presenter.linkError().isEmpty()) {
            m_error->hide();
        }
    });
    m_error->hide();
    column->addWidget(m_error);
    column->addStretch(1);

    for (const AboutLink::Kind kind :
        { AboutLink::Kind::homePage, AboutLink::Kind::supportMail, AboutLink::Kind::updates }) {
        connect(m_links[static_cast<int>(kind)], &QAbstractButton::clicked, this,
            [this, kind] { m_presenter.open(kind); });
    }
    connect(&m_presenter, &AboutPresenter::linkErrorChanged, this, &AboutView::showLinkError);
    connect(m_close, &QAbstractButton::clicked, this, &QWidget::close);
    new EonSheetKeys(this, [this] { close(); });
}

EonPressButton& AboutView::linkButton(AboutLink::Kind kind) const
{
    return *m_links[static_cast<int>(kind)];
}

QString AboutView::versionText() const
{
    return m_version->text();
}

QString AboutView::errorText() const
{
    // While the old text fades out it no longer counts as shown.
    return m_error->isHidden() || m_presenter.linkError().isEmpty() ? QString() : m_error->text();
}

void AboutView::showLinkError(const QString& error)
{
    auto* fade = static_cast<QGraphicsOpacityEffect*>(m_error->graphicsEffect());
    m_errorFade->stop();
    m_errorFade->setStartValue(fade->opacity());
    if (error.isEmpty()) {
        m_errorFade->setEndValue(0.0);
    } else {
        m_error->setText(error);
        m_error->setAccessibleName(error);
        if (m_error->isHidden()) {
            fade->setOpacity(0);
            m_errorFade->setStartValue(0.0);
            m_error->show();
        }
        m_errorFade->setEndValue(1.0);
    }
    m_errorFade->start();
}

void AboutView::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.fillRect(rect(), QBrush(eonWindowGradient().toLinearGradient(layoutDirection())));
}

} // namespace kivo
