#include "app/SettingsControls.h"

#include "ui/eon/EonFocusRing.h"
#include "ui/eon/EonFonts.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/Symbols.h"

#include <QButtonGroup>
#include <QColorDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QSlider>
#include <QVBoxLayout>
#include <cmath>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// One segment of a picker; paints itself: accent wash when chosen.
class Segment : public QAbstractButton {
public:
    using QAbstractButton::QAbstractButton;
    QSize sizeHint() const override { return { fontMetrics().horizontalAdvance(text()) + 28, 24 }; }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        if (isChecked()) {
            painter.setPen(QPen(eonWithOpacity(eonAccent(), 0.5), 1));
            painter.setBrush(eonWithOpacity(eonAccent(), 0.24));
            painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5),
                eon::badgeCornerRadius, eon::badgeCornerRadius);
        }
        painter.setPen(isChecked() ? eonTextPrimary() : eonTextSecondary());
        painter.setFont(font());
        painter.drawText(rect(), Qt::AlignCenter, text());
    }
};

} // namespace

QLabel* settingsText(const QString& words, double size, QFont::Weight weight, const QColor& color,
    QWidget* parent, bool mono)
{
    QLabel* label = eonPlainLabel(
        words, mono ? eonMonoFont(size, weight) : eonFont(size, weight), color, parent);
    label->setAccessibleName(words);
    return label;
}

SettingsSection::SettingsSection(const QString& title, QWidget* parent)
    : QWidget(parent)
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(eon::space3XL);
    QLabel* heading
        = settingsText(title, eon::textFootnote, QFont::DemiBold, eonTextTertiary(), this);
    QFont font = heading->font();
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1.2);
    heading->setFont(font);
    column->addWidget(heading);
    m_content = new QVBoxLayout;
    m_content->setSpacing(eon::space2XL);
    column->addLayout(m_content);
}

SettingsSwitch::SettingsSwitch(const QString& title, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(title);
    setAccessibleName(title);
    setCheckable(true);
    setFont(eonFont(eon::textBody, QFont::Medium));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusPolicy(Qt::StrongFocus);
}

QSize SettingsSwitch::sizeHint() const
{
    return { fontMetrics().horizontalAdvance(text()) + 60, 22 };
}

void SettingsSwitch::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(eonTextPrimary());
    painter.setFont(font());
    painter.drawText(rect().adjusted(0, 0, -48, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
    const QRectF track(width() - 38, (height() - 20) / 2.0, 36, 20);
    painter.setPen(QPen(eonHairline(), 1));
    painter.setBrush(isChecked() ? eonAccent() : eonWithOpacity(eonSurfaceRaised(), 0.95));
    painter.drawRoundedRect(track, track.height() / 2, track.height() / 2);
    const double x = isChecked() ? track.right() - 18 : track.left() + 2;
    painter.setPen(Qt::NoPen);
    painter.setBrush(isChecked() ? eonTextPrimary() : eonTextSecondary());
    painter.drawEllipse(QRectF(x, track.top() + 2, 16, 16));
    if (EonFocusRing::isShown(*this)) {
        EonFocusRing::paint(painter, track.adjusted(-2, -2, 2, 2), track.height() / 2 + 2);
    }
}

SettingsCheckBox::SettingsCheckBox(const QString& title, QWidget* parent)
    : QAbstractButton(parent)
{
    setText(title);
    setAccessibleName(title);
    setCheckable(true);
    setFont(eonFont(eon::textCallout, QFont::Medium));
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QSize SettingsCheckBox::sizeHint() const
{
    return { 22 + fontMetrics().horizontalAdvance(text()), std::max(16, fontMetrics().height()) };
}

void SettingsCheckBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0.5, (height() - 14) / 2.0 + 0.5, 13, 13);
    painter.setPen(QPen(isChecked() ? eonAccent() : eonWithOpacity(eonTextTertiary(), 0.8), 1));
    painter.setBrush(isChecked() ? eonAccent() : eonWithOpacity(eonSurfaceRaised(), 0.95));
    painter.drawRoundedRect(box, eon::checkboxCornerRadius, eon::checkboxCornerRadius);
    if (isChecked()) {
        Symbols::paint(painter, box, u"checkmark"_s, eonCanvas(), 12);
    }
    if (EonFocusRing::isShown(*this)) {
        EonFocusRing::paint(
            painter, box.adjusted(-2.5, -2.5, 2.5, 2.5), eon::checkboxCornerRadius + 2);
    }
    painter.setPen(eonTextSecondary());
    painter.setFont(font());
    painter.drawText(rect().adjusted(22, 0, 0, 0), Qt::AlignLeft | Qt::AlignVCenter, text());
}

SettingsSlider::SettingsSlider(const QString& title, double minimum, double maximum,
    SettingsValueFormat format, QWidget* parent)
    : QWidget(parent)
    , m_minimum(minimum)
    , m_maximum(maximum)
    , m_value(minimum)
    , m_format(std::move(format))
{
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(eon::spaceM);
    auto* row = new QHBoxLayout;
    row->addWidget(settingsText(title, eon::textBody, QFont::Medium, eonTextPrimary(), this));
    row->addStretch(1);
    m_valueLabel = settingsText({}, eon::textCallout, QFont::Medium, eonTextTertiary(), this, true);
    row->addWidget(m_valueLabel);
    column->addLayout(row);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setRange(0, steps);
    m_slider->setAccessibleName(title);
    column->addWidget(m_slider);
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        // Dragging to an end gives exactly that end, never a rounding of it.
        const double value = position == steps
            ? m_maximum
            : m_minimum + (m_maximum - m_minimum) * position / double(steps);
        if (value != m_value) {
            m_value = value;
            m_valueLabel->setText(valueText());
            Q_EMIT valueChanged(m_value);
        }
    });
    setValue(minimum);
    m_valueLabel->setText(valueText());
}

void SettingsSlider::setValue(double value)
{
    m_value = std::clamp(value, m_minimum, m_maximum);
    const QSignalBlocker quiet(m_slider);
    m_slider->setValue(qRound((m_value - m_minimum) / (m_maximum - m_minimum) * steps));
    m_valueLabel->setText(valueText());
}

QString SettingsSlider::valueText() const
{
    return m_format.text(m_value);
}

void SettingsSlider::setShownValue(double shown)
{
    if (std::isnan(shown)) {
        return;
    }
    const double value = std::clamp(shown / m_format.scale, m_minimum, m_maximum);
    if (value == m_value) {
        return;
    }
    setValue(value);
    Q_EMIT valueChanged(m_value);
}

SegmentedPicker::SegmentedPicker(const QStringList& titles, QWidget* parent)
    : QWidget(parent)
    , m_group(new QButtonGroup(this))
{
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(eon::space2XS, eon::space2XS, eon::space2XS, eon::space2XS);
    row->setSpacing(eon::space2XS);
    for (const QString& title : titles) {
        auto* segment = new Segment(this);
        segment->setText(title);
        segment->setAccessibleName(title);
        segment->setCheckable(true);
        segment->setFont(eonFont(eon::textCallout, QFont::Medium));
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
        m_group->addButton(segment, m_group->buttons().size());
        row->addWidget(segment);
    }
    m_group->setExclusive(true);
    connect(m_group, &QButtonGroup::idClicked, this, &SegmentedPicker::selectedIndexChanged);
}

int SegmentedPicker::selectedIndex() const
{
    return m_group->checkedId();
}

void SegmentedPicker::setSelectedIndex(int index)
{
    if (QAbstractButton* button = m_group->button(index)) {
        button->setChecked(true);
    }
}

QAbstractButton& SegmentedPicker::segment(int index) const
{
    return *m_group->button(index);
}

void SegmentedPicker::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(eonHairline(), 1));
    painter.setBrush(eonWithOpacity(eonSurfaceRaised(), 0.9));
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5), eon::plateCornerRadius,
        eon::plateCornerRadius);
}

ColorWell::ColorWell(const QColor& color, QWidget* parent)
    : QAbstractButton(parent)
    , m_color(color)
{
    setAccessibleName(u"Manual Accent Color"_s);
    setCursor(Qt::PointingHandCursor);
    setFixedSize(sizeHint());
    connect(this, &QAbstractButton::clicked, this, &ColorWell::choose);
}

void ColorWell::setColor(const QColor& color)
{
    if (color.isValid() && color != m_color) {
        m_color = color;
        update();
        Q_EMIT colorChanged(m_color);
    }
}

void ColorWell::choose()
{
    auto* dialog = new QColorDialog(m_color, this);
    dialog->setOptions(QColorDialog::ShowAlphaChannel | QColorDialog::DontUseNativeDialog);
    dialog->setWindowModality(Qt::WindowModal);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QColorDialog::colorSelected, this, &ColorWell::setColor);
    dialog->open();
}

void ColorWell::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF frame = QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5);
    painter.setPen(QPen(eonHairline(), 1));
    painter.setBrush(eonSurfaceRaised());
    painter.drawRoundedRect(frame, eon::controlCornerRadius, eon::controlCornerRadius);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    painter.drawRoundedRect(
        frame.adjusted(3, 3, -3, -3), eon::compactCornerRadius, eon::compactCornerRadius);
    EonFocusRing::paintFor(painter, *this, eon::controlCornerRadius);
}

} // namespace kivo
