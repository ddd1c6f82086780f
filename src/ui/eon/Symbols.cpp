#include "ui/eon/Symbols.h"

#include <QFile>
#include <QFontDatabase>
#include <QHash>
#include <QPainter>

using namespace Qt::Literals::StringLiterals;

namespace kivo {

namespace {

// Where Debian's fonts-material-design-icons-iconfont puts the font.
constexpr auto fontFile
    = u"/usr/share/fonts/truetype/material-design-icons-iconfont/MaterialIcons-Regular.ttf";

// The design's symbol names, each with the closest Material Icons glyph.
constexpr SymbolGlyph glyphs[] = {
    { u"arrow.clockwise.circle.fill", u"refresh", 0xe5d5 },
    { u"arrow.counterclockwise", u"replay", 0xe042 },
    { u"arrow.left.and.line.vertical.and.arrow.right", u"unfold_more", 0xe5d7, 1.0, 1 },
    { u"arrow.right.and.line.vertical.and.arrow.left", u"unfold_less", 0xe5d6, 1.0, 1 },
    { u"arrow.left.and.right", u"swap_horiz", 0xe8d4 },
    { u"arrow.triangle.2.circlepath", u"sync", 0xe627 },
    { u"backward.fill", u"fast_rewind", 0xe020 },
    { u"calendar", u"event", 0xe878 },
    { u"calendar.badge.plus", u"today", 0xe8df },
    { u"checkmark", u"check", 0xe5ca },
    { u"checkmark.circle.fill", u"check_circle", 0xe86c },
    { u"chevron.down", u"expand_more", 0xe5cf, 1.5 },
    { u"chevron.left", u"chevron_left", 0xe5cb, 1.5 },
    { u"chevron.right", u"chevron_right", 0xe5cc, 1.5 },
    { u"chevron.up", u"expand_less", 0xe5ce, 1.5 },
    { u"circle", u"radio_button_unchecked", 0xe836 },
    { u"clock", u"schedule", 0xe8b5 },
    { u"clock.arrow.circlepath", u"history", 0xe889 },
    { u"desktopcomputer", u"computer", 0xe30a },
    { u"doc", u"description", 0xe873 },
    { u"ellipsis", u"more_horiz", 0xe5d3 },
    { u"envelope", u"mail", 0xe158 },
    { u"exclamationmark.triangle.fill", u"warning", 0xe002 },
    { u"folder", u"folder", 0xe2c7 },
    { u"folder.badge.plus", u"create_new_folder", 0xe2cc },
    { u"forward.fill", u"fast_forward", 0xe01f },
    { u"gearshape", u"settings", 0xe8b8 },
    { u"gearshape.2.fill", u"settings_applications", 0xe8b9 },
    { u"globe", u"language", 0xe894 },
    { u"guitars", u"piano", 0xe521 },
    { u"heart", u"favorite_border", 0xe87e },
    { u"heart.fill", u"favorite", 0xe87d },
    { u"heart.slash", u"heart_broken", 0xeac2 },
    { u"info.circle", u"info_outline", 0xe88f },
    { u"line.3.horizontal", u"menu", 0xe5d2 },
    { u"list.bullet", u"format_list_bulleted", 0xe241 },
    { u"lock.fill", u"lock", 0xe897 },
    { u"magnifyingglass", u"search", 0xe8b6 },
    { u"number", u"tag", 0xe9ef },
    { u"minus.circle.fill", u"remove_circle", 0xe15c },
    { u"music.mic", u"mic", 0xe029 },
    { u"music.note", u"music_note", 0xe405 },
    { u"music.note.list", u"queue_music", 0xe03d },
    { u"pause.fill", u"pause", 0xe034 },
    { u"pencil", u"edit", 0xe3c9 },
    { u"person.2", u"people", 0xe7fb },
    { u"person.wave.2", u"record_voice_over", 0xe91f },
    { u"photo", u"photo", 0xe410 },
    { u"photo.badge.minus", u"hide_image", 0xf022 },
    { u"photo.badge.plus", u"add_photo_alternate", 0xe43e },
    { u"photo.on.rectangle.angled", u"photo_library", 0xe413 },
    { u"play.fill", u"play_arrow", 0xe037 },
    { u"plus", u"add", 0xe145 },
    { u"plus.circle.fill", u"add_circle", 0xe147 },
    { u"rectangle.3.group", u"view_quilt", 0xe8f1 },
    { u"rectangle.badge.minus", u"remove_from_queue", 0xe067 },
    { u"repeat", u"repeat", 0xe040 },
    { u"repeat.1", u"repeat_one", 0xe041 },
    { u"shuffle", u"shuffle", 0xe043 },
    { u"sidebar.left", u"view_sidebar", 0xf114, 1.0, 0, true },
    { u"sidebar.right", u"view_sidebar", 0xf114 },
    { u"sparkles", u"auto_awesome", 0xe65f },
    { u"speedometer", u"speed", 0xe9e4 },
    { u"speaker.slash.fill", u"volume_off", 0xe04f },
    { u"speaker.wave.1.fill", u"volume_mute", 0xe04e },
    { u"speaker.wave.2.fill", u"volume_down", 0xe04d },
    { u"speaker.wave.3.fill", u"volume_up", 0xe050 },
    { u"square.and.arrow.down", u"file_download", 0xe2c4 },
    { u"square.grid.2x2", u"grid_view", 0xe9b0 },
    { u"square.grid.3x3", u"apps", 0xe5c3 },
    { u"square.stack", u"layers", 0xe53b },
    { u"star", u"star_border", 0xe83a },
    { u"star.fill", u"star", 0xe838 },
    { u"tags", u"local_offer", 0xe54e },
    { u"text.quote", u"format_quote", 0xe244 },
    { u"trash", u"delete", 0xe872 },
    { u"waveform", u"graphic_eq", 0xe1b8 },
    { u"waveform.path", u"show_chart", 0xe6e1 },
    { u"xmark", u"close", 0xe5cd },
    { u"xmark.circle.fill", u"cancel", 0xe5c9 },
};

QString& fontFamily()
{
    static QString family = u"Material Icons"_s;
    return family;
}

} // namespace

std::span<const SymbolGlyph> Symbols::table()
{
    return glyphs;
}

const SymbolGlyph* Symbols::find(const QString& name)
{
    static const QHash<QString, const SymbolGlyph*> byName = [] {
        QHash<QString, const SymbolGlyph*> map;
        for (const SymbolGlyph& entry : glyphs) {
            map.insert(QString::fromUtf16(entry.name), &entry);
        }
        return map;
    }();
    return byName.value(name);
}

std::optional<QChar> Symbols::glyph(const QString& name)
{
    const SymbolGlyph* entry = find(name);
    return entry ? std::optional(QChar(entry->codepoint)) : std::nullopt;
}

void Symbols::loadFont()
{
    const QString file = QString::fromUtf16(fontFile);
    if (!QFile::exists(file)) {
        return; // the installed family, if any, is found by name
    }
    const int id = QFontDatabase::addApplicationFont(file);
    const QStringList families = QFontDatabase::applicationFontFamilies(id);
    if (!families.isEmpty()) {
        fontFamily() = families.first();
    }
}

QFont Symbols::font(double size)
{
    QFont font(fontFamily());
    font.setPixelSize(std::max(1, qRound(size)));
    font.setStyleStrategy(QFont::NoFontMerging); // never a letter from another font
    return font;
}

void Symbols::paint(
    QPainter& painter, const QRectF& rect, const QString& name, const QColor& color, double size)
{
    const SymbolGlyph* entry = find(name);
    if (!entry) {
        return;
    }
    painter.save();
    painter.translate(rect.center());
    painter.rotate(90.0 * entry->quarterTurns);
    if (entry->mirrored) {
        painter.scale(-1, 1);
    }
    painter.setFont(font(size * entry->scale));
    painter.setPen(color);
    // A box large enough for the scaled glyph, centred where the rect is.
    const double side = std::max({ rect.width(), rect.height(), size * entry->scale }) * 2;
    painter.drawText(QRectF(-side / 2, -side / 2, side, side), Qt::AlignCenter,
        QString(QChar(entry->codepoint)));
    painter.restore();
}

QPixmap Symbols::pixmap(
    const QString& name, const QColor& color, double size, int side, qreal devicePixelRatio)
{
    QPixmap image(QSize(side, side) * devicePixelRatio);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::TextAntialiasing);
    paint(painter, QRectF(0, 0, side, side), name, color, size);
    return image;
}

} // namespace kivo
