#include "ui/library/NewPlaylistSheet.h"

#include "ui/editing/EditingStyle.h"
#include "ui/eon/EonMetrics.h"
#include "ui/eon/EonPalette.h"
#include "ui/eon/EonSheetKeys.h"
#include "ui/eon/KeyModifiers.h"
#include "ui/library/LibraryViewStyle.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

NewPlaylistSheet::NewPlaylistSheet(PlaylistEngine& playlists, QWidget* parent)
    : QDialog(parent)
    , m_model(playlists)
{
    setObjectName(u"newPlaylistSheet"_s);
    setWindowTitle(u"New Playlist"_s);
    setFixedWidth(320);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, eonSurface());
    setPalette(palette);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(eon::space4XL, eon::space4XL, eon::space4XL, eon::space4XL);
    layout->setSpacing(eon::sheetSectionSpacing);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(library::sheetTitle(u"New Playlist"_s, this));
    m_field = library::nameField(u"Playlist name"_s, this);
    m_field->setObjectName(u"newPlaylistName"_s);
    m_field->setFixedWidth(320 - 48);
    layout->addWidget(m_field);
    m_error = library::errorLabel(11, 0.9, true, this);
    m_error->setFixedWidth(320 - 48);
    layout->addWidget(m_error);
    auto* buttons = new QHBoxLayout;
    auto* cancel = editing::button(u"Cancel"_s, false, this);
    m_create = editing::button(u"Create"_s, true, this);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_create);
    layout->addLayout(buttons);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model.setName(text);
        refresh();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_create, &QPushButton::clicked, this, &NewPlaylistSheet::create);
    new EonSheetKeys(
        this, [this] { reject(); }, m_create, EonSheetKeys::ReturnKey::saves);
    m_model.reset();
    refresh();
}

void NewPlaylistSheet::present()
{
    setWindowModality(Qt::WindowModal);
    open();
    m_field->setFocus();
}

void NewPlaylistSheet::create()
{
    if (m_model.create()) {
        accept();
        return;
    }
    refresh();
}

void NewPlaylistSheet::refresh()
{
    m_create->setEnabled(m_model.canCreate());
    m_error->setText(m_model.error().value_or(QString()));
    m_error->setVisible(m_model.error().has_value());
}

} // namespace kivo
