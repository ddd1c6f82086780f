#include "ui/songtable/TrackContextMenuContent.h"

#include "ui/eon/EonPalette.h"
#include "ui/eon/EonStyle.h"
#include "ui/eon/Symbols.h"

#include <QAction>
#include <QMenu>

namespace kivo {

namespace {

QAction* addItem(
    QMenu* menu, const QString& text, const QString& symbol, const std::function<void()>& action)
{
    QAction* item = menu->addAction(
        QIcon(Symbols::pixmap(symbol, eonTextSecondary(), 16, 18, menu->devicePixelRatioF())),
        text);
    item->setProperty("symbolName", symbol);
    QObject::connect(item, &QAction::triggered, menu, [action] {
        if (action) {
            action();
        }
    });
    return item;
}

} // namespace

QString TrackContextMenuContent::editText(qint64 metadataSelectionCount)
{
    if (metadataSelectionCount < 2) {
        return QStringLiteral("Edit Metadata\u2026");
    }
    return QStringLiteral("Edit Shared Metadata for %1 Songs\u2026").arg(metadataSelectionCount);
}

QMenu* TrackContextMenuContent::build(const Track& track, qint64 metadataSelectionCount,
    bool isRemovalInFlight, TrackContextMenuActions actions, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    addItem(menu, QStringLiteral("Play Now"), QStringLiteral("play.fill"), actions.onPlay);
    menu->addSeparator();
    addItem(menu, editText(metadataSelectionCount), QStringLiteral("pencil"), actions.onEdit);
    const bool favorite = track.isFavorite();
    addItem(menu, favorite ? QStringLiteral("Remove Favorite") : QStringLiteral("Add Favorite"),
        favorite ? QStringLiteral("heart.slash") : QStringLiteral("heart"),
        actions.onToggleFavorite);
    menu->addSeparator();
    addItem(menu, QStringLiteral("Choose Artwork\u2026"), QStringLiteral("photo"),
        actions.onChooseArtwork);
    addItem(menu, QStringLiteral("Remove Artwork"), QStringLiteral("photo.badge.minus"),
        actions.onRemoveArtwork);
    menu->addSeparator();
    addItem(menu, QStringLiteral("Show in File Manager"), QStringLiteral("folder"),
        actions.onRevealInFileManager);
    menu->addSeparator();

    QMenu* deletion
        = menu->addMenu(QIcon(Symbols::pixmap(QStringLiteral("trash"), eonTextSecondary(), 16, 18)),
            QStringLiteral("Delete"));
    deletion->menuAction()->setProperty("symbolName", QStringLiteral("trash"));
    addItem(deletion, QStringLiteral("Remove from Player"), QStringLiteral("rectangle.badge.minus"),
        actions.onRemoveFromPlayer);
    deletion->addSeparator();
    QAction* destroy = addItem(deletion, QStringLiteral("Delete Permanently\u2026"),
        QStringLiteral("trash"), actions.onRequestPermanentDeletion);
    // Only the item that deletes the file is drawn as destructive; the
    // submenu's title merely leads to it.
    destroy->setProperty(EonStyle::destructiveProperty, true);
    deletion->setEnabled(!isRemovalInFlight);
    deletion->menuAction()->setEnabled(!isRemovalInFlight);
    return menu;
}

} // namespace kivo
