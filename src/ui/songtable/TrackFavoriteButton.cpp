#include "ui/songtable/TrackFavoriteButton.h"

#include "ui/eon/EonIconButton.h"
#include "ui/eon/EonPalette.h"
#include "ui/songtable/TrackFavoriteState.h"
#include "ui/songtable/TrackListOverlaysModifier.h"

#include <QPainter>
#include <QTimer>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

// An indeterminate busy mark: a turning arc that lets clicks through.
class TrackFavoriteButton::Spinner : public QWidget {
public:
    explicit Spinner(QWidget* parent)
        : QWidget(parent)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_TranslucentBackground);
        m_timer.setInterval(50);
        connect(&m_timer, &QTimer::timeout, this, [this] {
            m_angle = (m_angle + 30) % 360;
            update();
        });
    }

protected:
    void showEvent(QShowEvent*) override { m_timer.start(); }
    void hideEvent(QHideEvent*) override { m_timer.stop(); }
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        const double side = std::min(width(), height()) * 0.5;
        const QRectF arc((width() - side) / 2.0, (height() - side) / 2.0, side, side);
        painter.setPen(QPen(eonTextPrimary(), 1.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawArc(arc, -m_angle * 16, 270 * 16);
    }

private:
    QTimer m_timer;
    int m_angle = 0;
};

TrackFavoriteButton::TrackFavoriteButton(LibraryEngine& library, int size, QWidget* parent)
    : QWidget(parent)
    , m_state(new TrackFavoriteState(library, this))
    , m_button(new EonIconButton(u"heart"_s, size, false, std::nullopt, this))
    , m_spinner(new Spinner(this))
{
    setFixedSize(size, size);
    m_spinner->setGeometry(rect());
    m_spinner->hide();
    connect(m_button, &QAbstractButton::clicked, m_state, &TrackFavoriteState::toggle);
    connect(m_state, &TrackFavoriteState::changed, this, &TrackFavoriteButton::refresh);
    refresh();
}

TrackFavoriteButton::~TrackFavoriteButton() = default;

void TrackFavoriteButton::setTrack(std::optional<Track> track)
{
    m_state->setTrack(std::move(track));
}

bool TrackFavoriteButton::isSpinnerVisible() const
{
    return !m_spinner->isHidden();
}

void TrackFavoriteButton::refresh()
{
    const bool favorite = m_state->isFavorite();
    m_button->setSymbolName(m_state->symbolName());
    m_button->setActive(favorite);
    m_button->setAccessibilityLabel(m_state->label());
    m_button->setToolTip(m_state->label());
    const bool saving = m_state->isSaving();
    setEnabled(!saving && m_state->currentTrack().has_value());
    m_spinner->setVisible(saving);
    if (saving) {
        m_spinner->raise();
    }
    if (m_state->errorMessage() && !m_alert) {
        showAlert();
    }
}

void TrackFavoriteButton::showAlert()
{
    // A child of the button: it goes when the button goes.
    EonAlert* alert = TrackListOverlaysModifier::makeAlert(TrackFavoriteState::alertTitle(),
        TrackFavoriteState::alertMessage(m_state->errorMessage()), this);
    alert->setObjectName(u"favoriteAlert"_s);
    // "OK", Escape or closing the window all end here, once.
    connect(alert, &QDialog::finished, m_state, &TrackFavoriteState::clearError);
    m_alert = alert;
    alert->open();
}

} // namespace kivo
