#include "ui/eon/EonAlert.h"

#include "ui/eon/EonFonts.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonPlainLabel.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/EonSymbolView.h"
#include "ui/eon/KeyModifiers.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

constexpr int alertWidth = 440;
constexpr int margin = 22;
constexpr int iconSpacing = 16;

} // namespace

EonAlert::EonAlert(const QString& title, const QString& message, QWidget* parent)
    : QDialog(parent)
    , m_titleText(title)
    , m_messageText(message)
    , m_buttonRow(new QHBoxLayout)
{
    setWindowTitle(title);
    setWindowModality(Qt::WindowModal);
    setAttribute(Qt::WA_DeleteOnClose);
    // A readable line length rather than a narrow box.
    setFixedWidth(alertWidth);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(margin, 20, margin, 18);
    column->setSpacing(18);
    auto* body = new QHBoxLayout;
    body->setSpacing(iconSpacing);
    auto* icon = new EonSymbolView(u"exclamationmark.triangle.fill"_s, 22, eonAccent(), this);
    // Wrapped labels in a dialog get no height for their width: give it them,
    // exactly, or a short message's guessed narrower wrap leaves a blank line.
    const int textWidth = alertWidth - 2 * margin - iconSpacing - icon->width();
    const auto wrapAt = [textWidth](QLabel* label) {
        label->setWordWrap(true);
        label->setFixedHeight(label->heightForWidth(textWidth));
    };
    body->addWidget(icon, 0, Qt::AlignTop);
    auto* texts = new QVBoxLayout;
    texts->setSpacing(6);
    QLabel* titleLabel = eonPlainLabel(title, eonFont(15, QFont::Bold), eonTextPrimary(), this);
    titleLabel->setObjectName(u"alertTitle"_s);
    wrapAt(titleLabel);
    texts->addWidget(titleLabel);
    if (!message.isEmpty()) {
        QLabel* messageLabel = eonPlainLabel(message, eonFont(13), eonTextSecondary(), this);
        messageLabel->setObjectName(u"alertMessage"_s);
        wrapAt(messageLabel);
        texts->addWidget(messageLabel);
    }
    texts->addStretch(1);
    body->addLayout(texts, 1);
    column->addLayout(body);
    m_buttonRow->setSpacing(10);
    m_buttonRow->addStretch(1);
    column->addLayout(m_buttonRow);
    m_implicitOK = addButton(u"OK"_s, Role::accept);
}

QPushButton* EonAlert::addButton(const QString& text, Role role)
{
    // The implicit "OK" gives way to the caller's own buttons.
    if (QPushButton* implicit = std::exchange(m_implicitOK, nullptr)) {
        m_buttons.removeOne(implicit);
        m_roles.removeFirst();
        delete implicit;
    }
    auto* button = new QPushButton(text, this);
    button->setFont(eonFont(13, QFont::Medium));
    button->setMinimumSize(84, 30);
    // Return goes to the default button, never to whichever has the focus.
    button->setAutoDefault(false);
    if (role == Role::destructive) {
        button->setProperty(EonStyle::destructiveProperty, true);
    }
    connect(button, &QPushButton::clicked, this, [this, button] {
        m_clicked = button;
        if (roleOf(button) == Role::cancel) {
            QDialog::reject();
        } else {
            accept();
        }
    });
    m_buttons.append(button);
    m_roles.append(role);
    m_buttonRow->addWidget(button);
    if (role == Role::accept && !defaultButton()) {
        button->setDefault(true);
    }
    return button;
}

void EonAlert::setDefaultButton(QPushButton* button)
{
    for (QPushButton* each : std::as_const(m_buttons)) {
        each->setDefault(each == button);
    }
}

QPushButton* EonAlert::defaultButton() const
{
    for (QPushButton* each : m_buttons) {
        if (each->isDefault()) {
            return each;
        }
    }
    return nullptr;
}

std::optional<EonAlert::Role> EonAlert::clickedRole() const
{
    if (m_clicked) {
        return roleOf(m_clicked);
    }
    if (m_cancelled) {
        return Role::cancel;
    }
    return std::nullopt;
}

QPushButton* EonAlert::button(Role role) const
{
    const qsizetype index = m_roles.indexOf(role);
    return index < 0 ? nullptr : m_buttons[index];
}

QPushButton* EonAlert::button(const QString& text) const
{
    for (QPushButton* each : m_buttons) {
        if (each->text() == text) {
            return each;
        }
    }
    return nullptr;
}

void EonAlert::reject()
{
    // Escape and the window's close both mean the cancel button.
    if (!m_clicked) {
        m_clicked = button(Role::cancel);
        m_cancelled = true;
    }
    QDialog::reject();
}

EonAlert::Role EonAlert::roleOf(const QPushButton* button) const
{
    const qsizetype index = m_buttons.indexOf(const_cast<QPushButton*>(button));
    return index < 0 ? Role::accept : m_roles[index];
}

void EonAlert::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (QPushButton* preferred = defaultButton()) {
        preferred->setFocus(Qt::ActiveWindowFocusReason);
    }
}

void EonAlert::keyPressEvent(QKeyEvent* event)
{
    // Ctrl+Escape and Ctrl+Return act as Escape and Return, as in every sheet
    // (a focused button takes Ctrl+Return itself, as it takes Return).
    if ((event->modifiers() & keys::anyModifier) == keys::command) {
        if (event->key() == Qt::Key_Escape) {
            reject();
            return;
        }
        if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
            if (QPushButton* preferred = defaultButton(); preferred && preferred->isEnabled()) {
                preferred->click();
            }
            return;
        }
    }
    QDialog::keyPressEvent(event);
}

void EonAlert::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), eonPanelGradient().toLinearGradient(layoutDirection()));
    // An edge of its own, so the alert never melts into the dark window it
    // sits on when the window manager draws no frame.
    painter.setPen(QPen(eonHairline(), 1));
    painter.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
}

} // namespace kivo
