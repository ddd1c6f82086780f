#include "ui/library/PlaylistRenameSheet.h"

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

PlaylistRenameSheet::PlaylistRenameSheet(
    PlaylistEngine& playlists, Playlist playlist, QWidget* parent)
    : QDialog(parent)
    , m_model(playlists, std::move(playlist))
{
    setObjectName(u"playlistRenameSheet"_s);
    setWindowTitle(u"Rename Playlist"_s);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, eonSurface());
    setPalette(palette);
    setAutoFillBackground(true);

    constexpr int width = 340 - 48;
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(eon::space4XL, eon::space4XL, eon::space4XL, eon::space4XL);
    layout->setSpacing(eon::sheetSectionSpacing);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(library::sheetTitle(u"Rename Playlist"_s, this));
    m_field = library::nameField(u"Playlist name"_s, this);
    m_field->setObjectName(u"renamePlaylistName"_s);
    m_field->setFixedWidth(width);
    m_field->setText(m_model.name());
    layout->addWidget(m_field);
    m_error = library::errorLabel(11, 0.9, true, this);
    m_error->setFixedWidth(width);
    layout->addWidget(m_error);
    auto* buttons = new QHBoxLayout;
    auto* cancel = editing::button(u"Cancel"_s, false, this);
    m_rename = editing::button(u"Rename"_s, true, this);
    buttons->addWidget(cancel);
    buttons->addStretch(1);
    buttons->addWidget(m_rename);
    layout->addLayout(buttons);

    connect(m_field, &QLineEdit::textChanged, this, [this](const QString& text) {
        m_model.setName(text);
        refresh();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_rename, &QPushButton::clicked, this, &PlaylistRenameSheet::submit);
    new EonSheetKeys(
        this, [this] { reject(); }, m_rename, EonSheetKeys::ReturnKey::saves);
    refresh();
}

void PlaylistRenameSheet::present()
{
    setWindowModality(Qt::WindowModal);
    open();
    m_field->setFocus();
    m_field->end(false);
}

void PlaylistRenameSheet::submit()
{
    if (m_model.submit()) {
        accept();
        return;
    }
    refresh();
}

void PlaylistRenameSheet::refresh()
{
    m_rename->setEnabled(m_model.canRename());
    m_error->setText(m_model.error().value_or(QString()));
    m_error->setVisible(m_model.error().has_value());
}

} // namespace kivo
